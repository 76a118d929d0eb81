#pragma once
// The list of recorded sessions in the key dump files of a folder, in the
// data module's table memPrzejazdy, with a test whether each is stored.
#include <QString>
#include <QStringList>

#include <functional>

// Names (without folder) of the files matching "dane*.bin" in folder, in
// the order of a sorted file list: by name without regard to case (ties by
// exact name).  The mask ignores case, as the key's own system did.
QStringList DumpFileNames(const QString& folder);

// Characters of a logger serial the list (nr_seryjny) and NAGLOWKI
// (NR_SERYJNY_KROM) can hold.
inline constexpr int kLoggerSerialLength = 30;

// Fills DM->memPrzejazdy with one row per session of every dump file of
// folder, sorted on "nr_pliku;numer_wpisu".  Free entries and entries with
// an impossible end date are left out.  A file too short to hold its header
// records, or whose name carries a serial the database cannot store, is
// skipped after a message naming it; the others are listed (nr_pliku stays
// the position in the file list).  Database errors reach the caller as
// DatabaseError, with the list table's bulk update ended.
void BuildSessionList(const QString& folder, const std::function<void(const QString&)>& message);

// The message for a file that is too short to hold the session headers.
QString ShortDumpFileMessage(const QString& fileName);
// The message for a file whose serial (from its name) is longer than
// kLoggerSerialLength or holds a character outside code page 1250; empty
// for a serial that can be stored.
QString DumpFileSerialProblem(const QString& fileName);
