#pragma once
// Making a new database file with the program's base schema.  The program
// itself creates no tables; a new installation gets its "KROMDB.GDB" from
// this creator (the kromdb_create tool, the run script and the tests).
#include <QString>
#include <QStringList>

// The statements of the base schema, in order.
QStringList BaseSchemaStatements();

// Creates the file through the embedded engine (page size 16384, default
// character set WIN1250, dialect 3) and runs the base schema on it.  Fails
// when the file exists already.  On failure a half-made file is removed and
// the error text is given.
bool CreateDatabaseFile(const QString& path, QString* error = nullptr);

// Turns forced (synchronous) writes of a database file on or off, through
// the embedded engine; the setting is stored in the file.  New files keep
// them on: a crash loses nothing committed.  Only throw-away test copies
// turn them off.  False with the database's message.
bool SetForcedWrites(const QString& path, bool on, QString* error = nullptr);
