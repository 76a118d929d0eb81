#pragma once
// Track transfer files: one tagged text file per TORY row ("TORY_" + id +
// ".txt2") with a side file per non-empty picture or memo, in the folder
// "tmpupdate/TMP" under the program folder.  Tracks travel between
// installations with them: the export writes every track of the database
// there, the import lists the tracks this database lacks and writes the
// chosen ones.
//
// A main file is code page 1250 text with CR LF line ends: per column of
// the row a field block
//     <NAME>
//     <TYP>code<!TYP>
//     value line(s)
//     <!NAME>
// then "[TABLENAME]", "TORY", "[!TABLENAME]".  Numbers with decimals are
// written with "." and two decimals, date-times as "yyyy-mm-dd hh:nn:ss",
// pictures and memos as the bare name of their side file or "EMPTY".
//
// Files come from other installations, so the import accepts only the table
// TORY and only the column names TORY has (by the database's own column
// list), binds every value as a parameter, and reads a side file only when
// it is named by a bare file name inside the folder.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class TIBQuery;

// Type codes of the field blocks: the kind of the column's value.
namespace trackcode {
inline constexpr int Text = 1;
inline constexpr int SmallInt = 2;
inline constexpr int Integer = 3;
inline constexpr int Word = 4;
inline constexpr int Boolean = 5;
inline constexpr int Float = 6;
inline constexpr int Currency = 7;
inline constexpr int Fixed = 8;
inline constexpr int Date = 9;
inline constexpr int Time = 10;
inline constexpr int DateTime = 11;
inline constexpr int Blob = 15;
inline constexpr int Memo = 16;
inline constexpr int LargeInt = 25;
inline constexpr int TimeStamp = 36;
}  // namespace trackcode

// The value of a picture or memo column that is empty.
inline constexpr const char* kEmptyBlob = "EMPTY";

// program folder + "tmpupdate/TMP", with a trailing separator.
QString TrackTransferFolder();
// "TORY_" + id + ".txt2".
QString TrackFileName(int id);
// "The folder ... does not exist".
QString MissingFolderMessage(const QString& folder);

// A column of a table as the database lists it.
struct TableColumn {
    QString name;  // upper case, as stored
    int type = 0;  // type code
};
// The columns of a table in their order, with their type codes; empty for
// an unknown table.  Database errors reach the caller as DatabaseError.
std::vector<TableColumn> TableColumns(const QString& table);

// ---------------------------------------------------------------- text

// The lines as a file's bytes: code page 1250, each line ended by CR LF.
QByteArray TransferFileBytes(const QStringList& lines);
// A file's bytes as lines: code page 1250, split at CR LF, CR or LF.
QStringList TransferFileLines(const QByteArray& bytes);

// ---------------------------------------------------------------- writer

// Appends the field blocks of the query's current row to lines, in the
// query's column order, and writes the side files into folder.  columns
// gives the type codes (TableColumns of the query's table).  False with the
// reason when a side file could not be written.
bool WriteRecordAsText(const TIBQuery& query, const std::vector<TableColumn>& columns, QStringList& lines,
                       const QString& folder, QString* error = nullptr);

// The export: writes the file of every TORY row, the softly deleted ones
// too, into folder (an existing file of the same name is replaced).
// Returns the number of tracks written, or -1 with the reason (a missing
// folder, a file that could not be written); files written before stay.
// Database errors reach the caller as DatabaseError.
int ExportTracks(const QString& folder, QString* error = nullptr);

// ---------------------------------------------------------------- reader

// The largest main file the import reads (real ones hold a few hundred
// bytes) and the largest side file (a picture or memo).
inline constexpr qint64 kMaxTrackFileBytes = 4 * 1024 * 1024;
inline constexpr qint64 kMaxSideFileBytes = 64 * 1024 * 1024;

// The lines of the first block open + name + close .. open + "!" + name +
// close (compared without regard to case), without the type line; false
// when the closing line is missing (out then holds what was collected).
bool FindTagLine(const QStringList& lines, const QString& name, const QString& open, const QString& close,
                 QStringList& out);

// The next field block from line index on: its name (empty when there is
// none), its type code in type, and index moved past its type line.
QString ParseFieldBlock(const QStringList& lines, int& index, int& type);

// One field block of a file.
struct TrackFileField {
    QString name;   // as in the file
    int type = 0;   // type code
    QString value;  // the value lines, each followed by CR LF
};

// A main file read: its table name and field blocks, or why it cannot be
// taken.
struct TrackFile {
    QString table;  // trimmed
    std::vector<TrackFileField> fields;
    QString refusal;  // empty when the file is a whole transfer file of TORY

    // The field of a column (case-insensitive); null when absent.
    const TrackFileField* Field(const QString& name) const;
};
// Reads a main file's bytes in one pass.  columns are those of TORY: the
// reading of blocks ends at the first block of a name TORY lacks or that
// came before, an unclosed block, a type line that is no number or a line
// outside any block, and the file is refused for it (a file of another
// table is refused as such); so is a file without its table-name block.
TrackFile ReadTrackFile(const QByteArray& bytes, const std::vector<TableColumn>& columns);

// ---------------------------------------------------------------- import

// A file of the folder read and checked against the columns of TORY.
struct CheckedTrackFile {
    bool track = false;  // a track: id, name, digest and file are set
    QString reason;      // otherwise "File <name> skipped: <why>"
    int id = 0;
    QString name;
    QString digest;  // of the file's bytes, to tell whether it changed later
    TrackFile file;
};
// Reads folder + fileName: only a plain file, not a link, of at most
// kMaxTrackFileBytes; anything else is refused.  Database errors reach
// the caller as DatabaseError.
CheckedTrackFile CheckTrackFile(const QString& folder, const QString& fileName);

// The first pass: empties DM->memToryImport and lists in it, in the order of
// the file names, every track file of the folder whose id the database does
// not know (live or softly deleted), ticked.  perFile runs before each file
// (the window processes pending messages there).  Returns one message per
// refused file, naming it.  Database errors reach the caller.
QStringList ListTrackFiles(const QString& folder, const std::function<void()>& perFile = {});

// The second pass for one file as it is now: deletes the track of the
// file's id, inserts the file's row and makes the track live, in one
// transaction; on any failure nothing is written and error says why
// (the file, the column when one is to blame, and on a second line the
// database's own text).
bool ImportTrackFile(const QString& folder, const QString& fileName, QString* error = nullptr);

struct TrackImportResult {
    int imported = 0;
    int failed = 0;
    QStringList failures;  // per failed file, naming it
};
// The second pass over the ticked rows of DM->memToryImport, in order.  A
// file that no longer holds what was listed (its id or any byte changed)
// fails and writes nothing.
TrackImportResult ImportChosenTracks(const QString& folder, const std::function<void()>& perFile = {});

// Texts that may run to thousands as one message that fits on the screen:
// the heading, the first few entries, then "and N more".
QString SummaryMessage(const QString& heading, const QStringList& entries);
// The first pass's refusals as one message ("N files skipped:" ...).
QString TrackRefusalMessage(const QStringList& refusals);
// "Finished. N tracks imported", followed by the failures when there are any.
QString TrackImportMessage(const TrackImportResult& result);
