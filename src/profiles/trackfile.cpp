#include "profiles/trackfile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/tdatetime.h"
#include "shell/common/cp1250.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

namespace {

const QString kTable = QStringLiteral("TORY");
const QString kIdColumn = QStringLiteral("ID_TORU");
const QString kNameColumn = QStringLiteral("NAZWA");

// Type code of a column from the database's own description of it
// (RDB$FIELD_TYPE, sub-type and scale).
int TypeCode(int fieldType, int subType, int scale)
{
    switch (fieldType) {
    case 7:  // SMALLINT
        return scale < 0 ? trackcode::Fixed : trackcode::SmallInt;
    case 8:  // INTEGER
        return scale < 0 ? trackcode::Fixed : trackcode::Integer;
    case 16:  // BIGINT
        return scale < 0 ? trackcode::Fixed : trackcode::LargeInt;
    case 10:  // FLOAT
    case 27:  // DOUBLE PRECISION
        return trackcode::Float;
    case 14:  // CHAR
    case 37:  // VARCHAR
        return trackcode::Text;
    case 12: return trackcode::Date;
    case 13: return trackcode::Time;
    case 35: return trackcode::DateTime;  // TIMESTAMP
    case 23: return trackcode::Boolean;
    case 261: return subType == 1 ? trackcode::Memo : trackcode::Blob;
    default: return 0;
    }
}

// True when a picture's or memo's content holds nothing but blanks and
// control characters.
bool BlankContent(const QByteArray& bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) > 0x20)
            return false;
    return true;
}

// A side-file name of the moment of writing and two pseudo-random numbers;
// drawn again while a file of that name is in the folder.
QString NewSideFileName(const QString& folder)
{
    for (;;) {
        const QDateTime now = QDateTime::currentDateTime();
        const QDate d = now.date();
        const QTime t = now.time();
        const QString name =
            Format("%4.4d_%2.2d_%2.2d_%2.2d_%2.2d_%2.2d_%2.2d_%d_%d.bin", d.year(), d.month(), d.day(), t.hour(),
                   t.minute(), t.second(), t.msec(), QRandomGenerator::global()->bounded(1000),
                   QRandomGenerator::global()->bounded(1000));
        if (!QFileInfo::exists(folder + name))
            return name;
    }
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit())
        return true;
    if (error)
        *error = QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), f.errorString());
    return false;
}

QString DateTimeText(const QDateTime& dt)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    return Format("%4.4d-%2.2d-%2.2d %2.2d:%2.2d:%2.2d", d.year(), d.month(), d.day(), t.hour(), t.minute(),
                  t.second());
}

// The value text of a column that is neither a number with decimals, a
// date-time nor a blob.
QString PlainText(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QDate: return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime: return v.toTime().toString(QStringLiteral("hh:mm:ss"));
    default: return v.toString();
    }
}

// Digits only, as a number; false for anything else.
bool DigitsValue(const QString& text, int& out)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    out = text.toInt();
    return true;
}

// A date-time value "yyyy-mm-dd hh:nn:ss"; anything shorter or not a valid
// date and time gives the zero date-time (30 December 1899 00:00:00).
QDateTime ParseDateTimeValue(const QString& value)
{
    QDateTime zero(DayZero(), QTime(0, 0));
    if (value.size() < 19)
        return zero;
    int part[6];
    const int from[6] = {0, 5, 8, 11, 14, 17};
    const int length[6] = {4, 2, 2, 2, 2, 2};
    for (int i = 0; i < 6; ++i)
        if (!DigitsValue(value.mid(from[i], length[i]), part[i]))
            return zero;
    QDateTime dt;
    if (!TryEncodeDateTime(part[0], part[1], part[2], part[3], part[4], part[5], 0, dt))
        return zero;
    return dt;
}

QString CannotRead(int error)
{
    return QStringLiteral("it cannot be read: ") + QString::fromLocal8Bit(std::strerror(error));
}

// How reading a file of the transfer folder went.
enum class FileRead { Ok, Missing, Link, NotPlain, TooLarge, Failed };

// Reads a file only when it is a plain file, not a link, of at most cap
// bytes.  A pipe, a device or a link is never opened for reading, so no
// entry of the folder can block the program or feed it without end.
FileRead ReadPlainFile(const QString& path, qint64 cap, QByteArray& bytes, QString& why)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        const int e = errno;
        why = CannotRead(e);
        return e == ENOENT ? FileRead::Missing : FileRead::Failed;
    }
    if (S_ISLNK(st.st_mode)) {
        why = QStringLiteral("it is a link, not a plain file");
        return FileRead::Link;
    }
    if (!S_ISREG(st.st_mode)) {
        why = QStringLiteral("it is not a plain file");
        return FileRead::NotPlain;
    }
    // Opened without following a link and without waiting, then checked
    // again: the entry may have been replaced since it was looked at.
    const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        why = e == ELOOP ? QStringLiteral("it is a link, not a plain file") : CannotRead(e);
        return e == ELOOP ? FileRead::Link : e == ENOENT ? FileRead::Missing : FileRead::Failed;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = QStringLiteral("it is not a plain file");
        return FileRead::NotPlain;
    }
    const QString tooLarge = QStringLiteral("it is larger than %1 MB").arg(cap / (1024 * 1024));
    if (st.st_size > cap) {
        why = tooLarge;
        return FileRead::TooLarge;
    }
    // Read to the end, however the file grows meanwhile, but never past cap.
    bytes.resize(qsizetype(st.st_size) + 1);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > cap) {
                why = tooLarge;
                bytes.clear();
                return FileRead::TooLarge;
            }
            bytes.resize(qsizetype(std::min<qint64>(cap + 1, qint64(got) * 2 + 4096)));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int e = errno;
            why = CannotRead(e);
            bytes.clear();
            return FileRead::Failed;
        }
        if (n == 0)
            break;
        got += n;
    }
    if (got > cap) {
        why = tooLarge;
        bytes.clear();
        return FileRead::TooLarge;
    }
    bytes.resize(got);
    return FileRead::Ok;
}

// A side-file name is read only as a bare name of a file of the folder.
bool BareFileName(const QString& name)
{
    return !name.isEmpty() && name != u'.' && name != QLatin1String("..") && !name.contains(u'/') &&
           !name.contains(u'\\') && !QDir::isAbsolutePath(name);
}

// The lines of a text, split at CR LF, CR or LF, without copying them.
class LineReader {
public:
    explicit LineReader(QStringView text) : text_(text) {}

    // The next line; false at the end of the text.
    bool Next(QStringView& line)
    {
        if (pos_ >= text_.size())
            return false;
        qsizetype end = pos_;
        while (end < text_.size() && text_[end] != u'\r' && text_[end] != u'\n')
            ++end;
        line = text_.sliced(pos_, end - pos_);
        pos_ = end < text_.size() && text_[end] == u'\r' && end + 1 < text_.size() && text_[end + 1] == u'\n'
                   ? end + 2
                   : end + 1;
        ++number_;
        return true;
    }
    // The line Next gives, without moving on; empty at the end.
    QStringView Peek() const
    {
        LineReader ahead = *this;
        QStringView line;
        ahead.Next(line);
        return line;
    }
    // The number of the line Next gave last, from 1.
    int Number() const { return number_; }

private:
    QStringView text_;
    qsizetype pos_ = 0;
    int number_ = 0;
};

// A line of nothing but blanks and control characters.
bool BlankLine(QStringView line)
{
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() <= 0x20; });
}

// Whether line opens a field block, its type line being next: "<NAME>"
// then "<TYP>code<!TYP>".
enum class Opening { None, BadType, Block };
Opening BlockOpening(QStringView line, QStringView next, QString& name, int& type)
{
    if (line.size() < 2 || !line.startsWith(u'<') || !line.endsWith(u'>') || !next.startsWith(u"<TYP>"))
        return Opening::None;
    const qsizetype close = next.indexOf(u"<!TYP>", 5);
    bool ok = false;
    const int code = close < 0 ? 0 : next.sliced(5, close - 5).toInt(&ok);
    if (!ok)
        return Opening::BadType;
    name = line.sliced(1, line.size() - 2).toString();
    type = code;
    return Opening::Block;
}

const TableColumn* FindColumn(const std::vector<TableColumn>& columns, const QString& name)
{
    for (const TableColumn& c : columns)
        if (c.name == name)
            return &c;
    return nullptr;
}

// A database's text of several lines as one.
QString OneLine(const QString& text) { return text.split(u'\n', Qt::SkipEmptyParts).join(QStringLiteral("; ")); }

// The parameter value of a field block, by its type code; false with the
// reason when a side file is there but cannot be read.  memoColumn: the
// column is a text blob, whose side file holds code page 1250 text.
bool ParameterValue(const TrackFileField& field, bool memoColumn, const QString& folder, QVariant& out, QString& why)
{
    const QString value = TrimControls(field.value);
    switch (field.type & 0x7F) {
    case trackcode::SmallInt:
    case trackcode::Integer:
    case trackcode::Word: {
        bool ok = false;
        const int v = value.toInt(&ok);
        out = ok ? v : 0;
        return true;
    }
    case trackcode::LargeInt: {
        bool ok = false;
        const qint64 v = value.toLongLong(&ok);
        out = ok ? v : qint64(0);
        return true;
    }
    case trackcode::Float:
    case trackcode::Currency:
    case trackcode::Fixed:
        out = value.isEmpty() ? 0.0 : StrToFloatSep(value, u'.');
        return true;
    case trackcode::DateTime:
    case trackcode::TimeStamp:
        out = ParseDateTimeValue(value);
        return true;
    case trackcode::Blob:
    case trackcode::Memo: {
        // "EMPTY", a missing side file or a name that is not a bare name of
        // a plain file of the folder: no picture or memo.
        out = QVariant();
        if (value == QLatin1String(kEmptyBlob) || !BareFileName(value))
            return true;
        QByteArray bytes;
        QString reason;
        switch (ReadPlainFile(folder + value, kMaxSideFileBytes, bytes, reason)) {
        case FileRead::Ok: break;
        case FileRead::Missing:
        case FileRead::Link:
        case FileRead::NotPlain: return true;
        case FileRead::TooLarge:
        case FileRead::Failed:
            why = QStringLiteral("side file %1: %2").arg(value, reason);
            return false;
        }
        // Both go as blob data, whatever their length; a memo in the
        // connection's character set.
        out = memoColumn ? Cp1250ToUnicode(bytes).toUtf8() : bytes;
        return true;
    }
    default:
        out = value;
        return true;
    }
}

// The parameter values of the file's fields, in their order; false with
// "File ...: column ...: why" when one cannot be had.
bool ParameterValues(const QString& fileName, const TrackFile& file, const std::vector<TableColumn>& columns,
                     const QString& folder, std::vector<QVariant>& values, QString& error)
{
    values.clear();
    for (const TrackFileField& f : file.fields) {
        const TableColumn* column = FindColumn(columns, TrimControls(f.name).toUpper());
        QVariant v;
        QString why;
        if (!ParameterValue(f, column && column->type == trackcode::Memo, folder, v, why)) {
            error = QStringLiteral("File %1: column %2: %3").arg(fileName, TrimControls(f.name).toUpper(), why);
            return false;
        }
        values.push_back(v);
    }
    return true;
}

// Deletes the track of the id (a failure reaches the caller).
void DeleteTrack(int id)
{
    TIBQuery qry_z(DM->TransEdit);
    qry_z.SetSQL(QStringLiteral("DELETE FROM ") + kTable + QStringLiteral(" WHERE ") + kIdColumn +
                 QStringLiteral(" = :K1"));
    qry_z.ParamByName(QStringLiteral("K1"), id);
    qry_z.ExecSQL();
}

// Inserts the file's row: every field block a column and a parameter (the
// names are columns of the table, checked before).
void InsertFromFields(const TrackFile& file, const std::vector<QVariant>& values)
{
    QStringList names;
    QStringList params;
    for (const TrackFileField& f : file.fields) {
        const QString name = TrimControls(f.name).toUpper();
        names << name;
        params << u':' + name;
    }
    TIBQuery qry_z(DM->TransEdit);
    qry_z.SetSQL(QStringLiteral("INSERT INTO %1  ( %2)  VALUES ( %3 )")
                     .arg(kTable, names.join(u','), params.join(QStringLiteral(", "))));
    for (size_t i = 0; i < file.fields.size(); ++i)
        qry_z.ParamByName(TrimControls(file.fields[i].name).toUpper(), values[i]);
    qry_z.ExecSQL();
}

// After the database refused a row: the first column whose value it
// refuses on its own, with its text; empty when it takes each value alone.
// The row is written a column at a time in a transaction that is always
// rolled back, so nothing of it stays.
std::pair<QString, QString> RefusedColumn(const TrackFile& file, const std::vector<QVariant>& values, int id)
{
    TTransaction& t = DM->TransEdit;
    if (t.Active())
        t.Rollback();
    t.StartTransaction();
    std::pair<QString, QString> refused;
    try {
        DeleteTrack(id);
        TIBQuery insert(t);
        insert.SetSQL(QStringLiteral("INSERT INTO ") + kTable + QStringLiteral(" (") + kIdColumn +
                      QStringLiteral(") VALUES (:ID)"));
        insert.ParamByName(QStringLiteral("ID"), id);
        insert.ExecSQL();
        for (size_t i = 0; i < file.fields.size() && refused.first.isEmpty(); ++i) {
            const QString name = TrimControls(file.fields[i].name).toUpper();
            if (name == kIdColumn)
                continue;
            TIBQuery update(t);
            update.SetSQL(QStringLiteral("UPDATE %1 SET %2 = :V WHERE %3 = :ID").arg(kTable, name, kIdColumn));
            update.ParamByName(QStringLiteral("V"), values[i]);
            update.ParamByName(QStringLiteral("ID"), id);
            try {
                update.ExecSQL();
            } catch (const std::exception& e) {
                refused = {name, QString::fromUtf8(e.what())};
            }
        }
    } catch (const std::exception&) {
        // The row itself cannot be had: no column is to blame.
    }
    t.Rollback();
    return refused;
}

// Writes a checked track: delete, insert and the update that makes it
// live, as one.
bool WriteTrack(const QString& folder, const QString& fileName, const CheckedTrackFile& checked,
                const std::vector<TableColumn>& columns, QString* error)
{
    std::vector<QVariant> values;
    QString why;
    if (!ParameterValues(fileName, checked.file, columns, IncludeBackslash(folder), values, why)) {
        if (error)
            *error = why;
        return false;
    }
    const bool ok = DM->ExecEditAll([&] {
        DeleteTrack(checked.id);
        InsertFromFields(checked.file, values);
        TIBQuery qusuniety1(DM->TransEdit);
        qusuniety1.SetSQL(QStringLiteral("update TORY set usuniety=0 where ID_TORU= :ID"));
        qusuniety1.ParamByName(QStringLiteral("ID"), checked.id);
        qusuniety1.ExecSQL();
    });
    if (ok || !error)
        return ok;
    const QString text = DM->LastEditError();
    const auto [column, columnText] = RefusedColumn(checked.file, values, checked.id);
    *error = column.isEmpty()
                 ? QStringLiteral("File %1: track %2 could not be written\n%3")
                       .arg(fileName, QString::number(checked.id), OneLine(text))
                 : QStringLiteral("File %1: column %2 was refused\n%3").arg(fileName, column, OneLine(columnText));
    return false;
}

}  // namespace

QString TrackTransferFolder()
{
    return IncludeBackslash(ProgramFolder() + QStringLiteral("tmpupdate") + QDir::separator() + QStringLiteral("TMP"));
}

QString TrackFileName(int id) { return QStringLiteral("TORY_") + QString::number(id) + QStringLiteral(".txt2"); }

QString MissingFolderMessage(const QString& folder)
{
    return QStringLiteral("The folder %1 does not exist").arg(QDir::toNativeSeparators(folder));
}

std::vector<TableColumn> TableColumns(const QString& table)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select rf.RDB$FIELD_NAME as NAME, f.RDB$FIELD_TYPE as FTYPE,"
                            " f.RDB$FIELD_SUB_TYPE as SUBTYPE, f.RDB$FIELD_SCALE as FSCALE"
                            " from RDB$RELATION_FIELDS rf"
                            " join RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE"
                            " where rf.RDB$RELATION_NAME = :T order by rf.RDB$FIELD_POSITION"));
    q.ParamByName(QStringLiteral("T"), table.toUpper());
    q.Open();
    std::vector<TableColumn> columns;
    for (; !q.Eof(); q.Next())
        columns.push_back({q.FieldByName(QStringLiteral("NAME")).AsString().trimmed(),
                           TypeCode(q.FieldByName(QStringLiteral("FTYPE")).AsInteger(),
                                    q.FieldByName(QStringLiteral("SUBTYPE")).AsInteger(),
                                    q.FieldByName(QStringLiteral("FSCALE")).AsInteger())});
    q.Close();
    return columns;
}

// ---------------------------------------------------------------- text

QByteArray TransferFileBytes(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += UnicodeToCp1250(line);
        bytes += "\r\n";
    }
    return bytes;
}

QStringList TransferFileLines(const QByteArray& bytes)
{
    const QString text = Cp1250ToUnicode(bytes);
    LineReader reader(text);
    QStringList lines;
    for (QStringView line; reader.Next(line);)
        lines << line.toString();
    return lines;
}

// ---------------------------------------------------------------- writer

bool WriteRecordAsText(const TIBQuery& query, const std::vector<TableColumn>& columns, QStringList& lines,
                       const QString& folder, QString* error)
{
    const QString dir = IncludeBackslash(folder);
    for (int i = 0; i < query.FieldCount(); ++i) {
        const QString name = query.FieldName(i);
        int code = 0;
        for (const TableColumn& c : columns)
            if (c.name.compare(name, Qt::CaseInsensitive) == 0)
                code = c.type;
        lines << u'<' + name + u'>';
        lines << QStringLiteral("<TYP>") + QString::number(code) + QStringLiteral("<!TYP>");
        const QVariant v = query.FieldValue(i);
        const bool null = !v.isValid() || v.isNull();
        switch (code) {
        case trackcode::Float:
        case trackcode::Currency:
        case trackcode::Fixed:
            lines << FloatToStrSep(null ? 0.0 : v.toDouble(), u'.');
            break;
        case trackcode::Blob:
        case trackcode::Memo: {
            // A memo travels as code page 1250 text, a picture as its bytes.
            const QByteArray bytes = null ? QByteArray()
                                     : code == trackcode::Memo
                                         ? UnicodeToCp1250(v.typeId() == QMetaType::QByteArray
                                                               ? QString::fromUtf8(v.toByteArray())
                                                               : v.toString())
                                         : v.toByteArray();
            if (BlankContent(bytes)) {
                lines << QString::fromLatin1(kEmptyBlob);
                break;
            }
            const QString side = NewSideFileName(dir);
            if (!WriteWholeFile(dir + side, bytes, error))
                return false;
            lines << side;
            break;
        }
        case trackcode::DateTime:
        case trackcode::TimeStamp:
            lines << DateTimeText(null ? QDateTime(DayZero(), QTime(0, 0)) : v.toDateTime());
            break;
        default:
            lines << PlainText(v);
            break;
        }
        lines << QStringLiteral("<!") + name + u'>';
    }
    return true;
}

int ExportTracks(const QString& folder, QString* error)
{
    const QString dir = IncludeBackslash(folder);
    if (!QFileInfo(dir).isDir()) {
        if (error)
            *error = MissingFolderMessage(dir);
        return -1;
    }
    const std::vector<TableColumn> columns = TableColumns(kTable);
    TIBQuery qTory(DM->TransBrowse);
    qTory.SetSQL(QStringLiteral("select * from tory"));
    qTory.Open();
    int written = 0;
    for (; !qTory.Eof(); qTory.Next()) {
        QStringList lines;
        if (!WriteRecordAsText(qTory, columns, lines, dir, error))
            return -1;
        lines << QStringLiteral("[TABLENAME]") << kTable << QStringLiteral("[!TABLENAME]");
        const int id = qTory.FieldByName(kIdColumn).AsInteger();
        if (!WriteWholeFile(dir + TrackFileName(id), TransferFileBytes(lines), error))
            return -1;
        ++written;
    }
    qTory.Close();
    return written;
}

// ---------------------------------------------------------------- reader

bool FindTagLine(const QStringList& lines, const QString& name, const QString& open, const QString& close,
                 QStringList& out)
{
    out.clear();
    const QString start = (open + name + close).toUpper();
    const QString end = (open + u'!' + name + close).toUpper();
    bool inside = false;
    for (const QString& line : lines) {
        const QString upper = line.toUpper();
        if (!inside) {
            inside = upper == start;
            continue;
        }
        if (upper == end)
            return true;
        if (!line.startsWith(QLatin1String("<TYP>")))
            out << line;
    }
    return false;
}

QString ParseFieldBlock(const QStringList& lines, int& index, int& type)
{
    for (int j = index; j + 1 < lines.size(); ++j) {
        QString name;
        if (BlockOpening(lines[j], lines[j + 1], name, type) == Opening::Block) {
            index = j + 2;
            return name;
        }
    }
    return {};
}

const TrackFileField* TrackFile::Field(const QString& name) const
{
    for (const TrackFileField& f : fields)
        if (TrimControls(f.name).compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

TrackFile ReadTrackFile(const QByteArray& bytes, const std::vector<TableColumn>& columns)
{
    TrackFile file;
    const QString text = Cp1250ToUnicode(bytes);
    LineReader reader(text);
    QSet<QString> seen;
    bool hasTable = false;
    // The first fault ends the reading of blocks; the table-name block is
    // still looked for, since a file of another table is refused as such.
    QString fault;
    for (QStringView line; reader.Next(line);) {
        if (line.compare(u"[TABLENAME]", Qt::CaseInsensitive) == 0) {
            QString table;
            bool closed = false;
            for (int n = 0; reader.Next(line); ++n) {
                if ((closed = line.compare(u"[!TABLENAME]", Qt::CaseInsensitive) == 0))
                    break;
                if (n > 0)
                    table += QStringLiteral("\r\n");
                table += line;
            }
            if (!closed) {
                if (fault.isEmpty())
                    fault = QStringLiteral("its table-name block is not closed");
                break;
            }
            if (!hasTable) {
                hasTable = true;
                file.table = TrimControls(table);
            }
            continue;
        }
        if (!fault.isEmpty() || BlankLine(line))
            continue;
        QString name;
        int type = 0;
        switch (BlockOpening(line, reader.Peek(), name, type)) {
        case Opening::None:
            fault = QStringLiteral("line %1 is not part of a field block").arg(reader.Number());
            continue;
        case Opening::BadType:
            fault = QStringLiteral("the type of block %1 is not a number").arg(line.toString());
            continue;
        case Opening::Block: break;
        }
        const QString column = TrimControls(name).toUpper();
        if (!FindColumn(columns, column)) {
            fault = QStringLiteral("%1 has no column %2").arg(kTable, name);
            continue;
        }
        if (seen.contains(column)) {
            fault = QStringLiteral("column %1 appears twice").arg(column);
            continue;
        }
        seen.insert(column);
        reader.Next(line);  // the type line
        const QString closing = QStringLiteral("<!") + name + u'>';
        TrackFileField field{name, type, {}};
        bool closed = false;
        while (reader.Next(line)) {
            if ((closed = line.compare(closing, Qt::CaseInsensitive) == 0))
                break;
            if (!line.startsWith(u"<TYP>")) {
                field.value += line;
                field.value += QStringLiteral("\r\n");
            }
        }
        if (!closed) {
            fault = QStringLiteral("block %1 is not closed").arg(name);
            break;
        }
        file.fields.push_back(std::move(field));
    }
    if (hasTable && file.table.compare(kTable, Qt::CaseInsensitive) != 0)
        file.refusal = QStringLiteral("it holds table %1, not %2").arg(file.table, kTable);
    else if (!fault.isEmpty())
        file.refusal = fault;
    else if (!hasTable)
        file.refusal = QStringLiteral("it ends before its table-name block");
    else if (file.fields.empty())
        file.refusal = QStringLiteral("it holds no field blocks");
    if (!file.refusal.isEmpty())
        file.fields.clear();
    return file;
}

// ---------------------------------------------------------------- import

namespace {

CheckedTrackFile CheckTrackFile(const QString& folder, const QString& fileName, const std::vector<TableColumn>& columns)
{
    CheckedTrackFile checked;
    auto refuse = [&](const QString& why) {
        checked.track = false;
        checked.reason = QStringLiteral("File %1 skipped: %2").arg(fileName, why);
        return checked;
    };
    QByteArray bytes;
    QString why;
    if (ReadPlainFile(IncludeBackslash(folder) + fileName, kMaxTrackFileBytes, bytes, why) != FileRead::Ok)
        return refuse(why);
    checked.digest = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    checked.file = ReadTrackFile(bytes, columns);
    const TrackFile& file = checked.file;
    if (!file.refusal.isEmpty())
        return refuse(file.refusal);
    const TrackFileField* id = file.Field(kIdColumn);
    bool ok = false;
    checked.id = id ? TrimControls(id->value).toInt(&ok) : 0;
    if (!ok)
        return refuse(QStringLiteral("%1 is not a whole number").arg(kIdColumn));
    if (const TrackFileField* name = file.Field(kNameColumn))
        checked.name = TrimControls(name->value);
    checked.track = true;
    return checked;
}

}  // namespace

CheckedTrackFile CheckTrackFile(const QString& folder, const QString& fileName)
{
    return CheckTrackFile(folder, fileName, TableColumns(kTable));
}

QStringList ListTrackFiles(const QString& folder, const std::function<void()>& perFile)
{
    MemTable& mem = DM->memToryImport;
    mem.Close();
    mem.Open();
    // Every entry of the name, whatever it is: what is not a plain file is
    // refused by name rather than passed over.
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*.txt2")},
                               QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot,
                               QDir::Name | QDir::IgnoreCase);
    const std::vector<TableColumn> columns = TableColumns(kTable);
    QStringList messages;
    TIBQuery IBQuery2(DM->TransBrowse);
    IBQuery2.SetSQL(QStringLiteral("select ID_TORU from tory where id_toru = :ID"));
    for (const QString& fileName : files) {
        if (perFile)
            perFile();
        const CheckedTrackFile checked = CheckTrackFile(folder, fileName, columns);
        if (!checked.track) {
            messages << checked.reason;
            continue;
        }
        IBQuery2.ParamByName(QStringLiteral("ID"), checked.id);
        IBQuery2.Open();
        const bool known = !IBQuery2.Eof();
        IBQuery2.Close();
        if (known)
            continue;
        mem.Append();
        mem.FieldByName(QStringLiteral("id_toru")).SetAsInteger(checked.id);
        mem.FieldByName(QStringLiteral("nazwaToru")).SetAsString(checked.name);
        mem.FieldByName(QStringLiteral("plik")).SetAsString(fileName);
        mem.FieldByName(QStringLiteral("wybrany")).SetAsBoolean(true);
        mem.FieldByName(QStringLiteral("jestjuzwbazie")).SetAsBoolean(false);
        mem.FieldByName(QStringLiteral("digest")).SetAsString(checked.digest);
        mem.Post();
    }
    mem.First();
    return messages;
}

bool ImportTrackFile(const QString& folder, const QString& fileName, QString* error)
{
    const std::vector<TableColumn> columns = TableColumns(kTable);
    const CheckedTrackFile checked = CheckTrackFile(folder, fileName, columns);
    if (!checked.track) {
        if (error)
            *error = checked.reason;
        return false;
    }
    return WriteTrack(folder, fileName, checked, columns, error);
}

TrackImportResult ImportChosenTracks(const QString& folder, const std::function<void()>& perFile)
{
    TrackImportResult result;
    MemTable& mem = DM->memToryImport;
    if (!mem.Active())
        return result;
    const int cTicked = mem.FieldIndex(QStringLiteral("wybrany"));
    const int cFile = mem.FieldIndex(QStringLiteral("plik"));
    const int cId = mem.FieldIndex(QStringLiteral("id_toru"));
    const int cDigest = mem.FieldIndex(QStringLiteral("digest"));
    const std::vector<TableColumn> columns = TableColumns(kTable);
    for (int row = 0; row < mem.RecordCount(); ++row) {
        if (perFile)
            perFile();
        if (!mem.BoolAt(row, cTicked))
            continue;
        const QString fileName = mem.StringAt(row, cFile);
        const CheckedTrackFile checked = CheckTrackFile(folder, fileName, columns);
        QString error;
        bool ok = false;
        if (!checked.track)
            error = checked.reason;
        else if (checked.id != mem.IntAt(row, cId) || checked.digest != mem.StringAt(row, cDigest))
            error = QStringLiteral("File %1 skipped: it was changed after it was listed").arg(fileName);
        else
            ok = WriteTrack(folder, fileName, checked, columns, &error);
        if (ok) {
            ++result.imported;
        } else {
            ++result.failed;
            result.failures << error;
        }
    }
    return result;
}

namespace {

// A message box wraps only between words: a word longer than a line (a long
// file name) is broken into lines of its own so that it is seen whole.
QString BreakLongWords(const QString& text)
{
    constexpr int kLongest = 80;
    QString out;
    int run = 0;
    for (QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongest) {
            out += u'\n';
            run = 1;
        }
        out += c;
    }
    return out;
}

}  // namespace

QString SummaryMessage(const QString& heading, const QStringList& entries)
{
    // Enough to see what went wrong; the box must still fit on the screen.
    // Entries of several lines count by their lines and stand apart.
    constexpr int kShownEntries = 8;
    constexpr int kShownLines = 12;
    bool severalLines = false;
    for (qsizetype i = 0; i < entries.size() && i < kShownEntries && !severalLines; ++i)
        severalLines = entries[i].contains(u'\n');
    QString text = heading + u'\n';
    qsizetype shown = 0;
    int lines = 0;
    for (; shown < entries.size() && shown < kShownEntries; ++shown) {
        const int entryLines = int(entries[shown].count(u'\n')) + 1;
        if (shown > 0 && lines + entryLines > kShownLines)
            break;
        lines += entryLines;
        text += (severalLines ? QStringLiteral("\n") : QString()) + BreakLongWords(entries[shown]) + u'\n';
    }
    if (entries.size() > shown)
        text += (severalLines ? QStringLiteral("\n") : QString()) +
                QStringLiteral("and %1 more").arg(entries.size() - shown) + u'\n';
    text.chop(1);
    return text;
}

QString TrackRefusalMessage(const QStringList& refusals)
{
    return SummaryMessage(refusals.size() == 1 ? QStringLiteral("1 file was skipped:")
                                               : QStringLiteral("%1 files were skipped:").arg(refusals.size()),
                          refusals);
}

QString TrackImportMessage(const TrackImportResult& result)
{
    QString text = QStringLiteral("Finished. ") + QString::number(result.imported) + QStringLiteral(" tracks imported");
    if (result.failed == 0)
        return text;
    return SummaryMessage(text + QStringLiteral(", %1 failed").arg(result.failed), result.failures);
}
