#pragma once
// Database files for tests: the program's schema in a file whose writes are
// not forced to disk.  A test database lives for one test in a temporary
// folder, so losing it in a crash costs nothing, while each synchronous
// write costs the suite time; the program's own database is never made here.
#include <QString>

// Creates path with the base schema and forced writes off; upgraded also
// runs the schema upgrade the program runs at start.  False with the reason
// (a half-made file is removed).
bool MakeTestDatabaseFile(const QString& path, bool upgraded, QString* error = nullptr);
