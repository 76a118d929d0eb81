#include "profiles/trackfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>

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

// A side-file name as a file of the folder: only a bare name of a plain
// file there; anything else counts as missing.
QString SideFilePath(const QString& folder, const QString& name)
{
    if (name.isEmpty() || name == u'.' || name == QLatin1String("..") || name.contains(u'/') ||
        name.contains(u'\\') || QDir::isAbsolutePath(name))
        return {};
    const QFileInfo info(folder + name);
    if (info.isSymLink() || !info.isFile())
        return {};
    return info.filePath();
}

// The parameter value of a field block, by its type code.  memoColumn: the
// column is a text blob, whose side file holds code page 1250 text.
QVariant ParameterValue(const TrackFileField& field, bool memoColumn, const QString& folder)
{
    const QString value = TrimControls(field.value);
    switch (field.type & 0x7F) {
    case trackcode::SmallInt:
    case trackcode::Integer:
    case trackcode::Word: {
        bool ok = false;
        const int v = value.toInt(&ok);
        return ok ? v : 0;
    }
    case trackcode::LargeInt: {
        bool ok = false;
        const qint64 v = value.toLongLong(&ok);
        return ok ? v : qint64(0);
    }
    case trackcode::Float:
    case trackcode::Currency:
    case trackcode::Fixed:
        return value.isEmpty() ? 0.0 : StrToFloatSep(value, u'.');
    case trackcode::DateTime:
    case trackcode::TimeStamp:
        return ParseDateTimeValue(value);
    case trackcode::Blob:
    case trackcode::Memo: {
        // "EMPTY", a missing side file or a name that is not a bare file
        // name of the folder: no picture or memo.
        if (value == QLatin1String(kEmptyBlob))
            return {};
        const QString path = SideFilePath(folder, value);
        QByteArray bytes;
        if (path.isEmpty() || !ReadFileBytes(path, bytes, nullptr))
            return {};
        if (memoColumn)
            return Cp1250ToUnicode(bytes);
        return bytes;
    }
    default:
        return value;
    }
}

// Deletes the rows of the file's table whose key columns hold the file's
// values (the key names are columns of the table, checked before).
void DeleteByKeys(const TrackFile& file, const QStringList& keys)
{
    TIBQuery qry_z(DM->TransEdit);
    QString sql = QStringLiteral("DELETE FROM ") + kTable + QStringLiteral(" WHERE ");
    for (int i = 0; i < keys.size(); ++i) {
        if (i > 0)
            sql += QStringLiteral(" AND ");
        sql += keys[i] + QStringLiteral(" = :K") + QString::number(i + 1);
    }
    qry_z.SetSQL(sql);
    for (int i = 0; i < keys.size(); ++i) {
        const TrackFileField* f = file.Field(keys[i]);
        qry_z.ParamByName(QStringLiteral("K") + QString::number(i + 1),
                          f ? TrimControls(f->value).toInt() : 0);
    }
    qry_z.ExecSQL();
}

// Inserts the file's row: every field block a column and a parameter.
void InsertFromFields(const TrackFile& file, const std::vector<TableColumn>& columns, const QString& folder)
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
    for (const TrackFileField& f : file.fields) {
        const QString name = TrimControls(f.name).toUpper();
        bool memo = false;
        for (const TableColumn& c : columns)
            if (c.name == name)
                memo = c.type == trackcode::Memo;
        qry_z.ParamByName(name, ParameterValue(f, memo, folder));
    }
    qry_z.ExecSQL();
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
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
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
    for (int j = index; j < lines.size(); ++j) {
        const QString& line = lines[j];
        if (line.size() < 2 || !line.startsWith(u'<') || !line.endsWith(u'>') || j + 1 >= lines.size())
            continue;
        const QString& next = lines[j + 1];
        if (!next.startsWith(QLatin1String("<TYP>")))
            continue;
        const qsizetype close = next.indexOf(QLatin1String("<!TYP>"), 5);
        if (close < 0)
            continue;
        bool ok = false;
        const int code = next.mid(5, close - 5).toInt(&ok);
        if (!ok)
            continue;
        type = code;
        index = j + 2;
        return line.mid(1, line.size() - 2);
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

TrackFile ReadTrackFile(const QStringList& lines)
{
    TrackFile file;
    QStringList collected;
    file.hasTable = FindTagLine(lines, QStringLiteral("TABLENAME"), QStringLiteral("["), QStringLiteral("]"), collected);
    if (!file.hasTable)
        return file;
    file.table = TrimControls(collected.join(QStringLiteral("\r\n")));
    int index = 0;
    while (index < lines.size() - 1) {
        int type = 0;
        const QString name = ParseFieldBlock(lines, index, type);
        if (name.isEmpty())
            break;
        file.fields.push_back({name, type, {}});
    }
    for (TrackFileField& f : file.fields) {
        QStringList value;
        if (FindTagLine(lines, f.name, QStringLiteral("<"), QStringLiteral(">"), value))
            for (const QString& line : value)
                f.value += line + QStringLiteral("\r\n");
    }
    return file;
}

// ---------------------------------------------------------------- import

CheckedTrackFile CheckTrackFile(const QString& folder, const QString& fileName)
{
    CheckedTrackFile checked;
    auto refuse = [&](const QString& why) {
        checked.kind = CheckedTrackFile::Kind::Refused;
        checked.reason = QStringLiteral("File %1 skipped: %2").arg(fileName, why);
        return checked;
    };
    QByteArray bytes;
    QString readError;
    if (!ReadFileBytes(IncludeBackslash(folder) + fileName, bytes, &readError))
        return refuse(readError);
    checked.file = ReadTrackFile(TransferFileLines(bytes));
    const TrackFile& file = checked.file;
    if (!file.hasTable || file.fields.empty())
        return checked;  // not a transfer file: left alone without a word

    if (file.table.compare(kTable, Qt::CaseInsensitive) != 0)
        return refuse(QStringLiteral("it holds table %1, not %2").arg(file.table, kTable));
    const std::vector<TableColumn> columns = TableColumns(kTable);
    QSet<QString> seen;
    for (const TrackFileField& f : file.fields) {
        const QString name = TrimControls(f.name).toUpper();
        bool known = false;
        for (const TableColumn& c : columns)
            known = known || c.name == name;
        if (!known)
            return refuse(QStringLiteral("%1 has no column %2").arg(kTable, f.name));
        if (seen.contains(name))
            return refuse(QStringLiteral("column %1 appears twice").arg(name));
        seen.insert(name);
    }
    const TrackFileField* id = file.Field(kIdColumn);
    bool ok = false;
    checked.id = id ? TrimControls(id->value).toInt(&ok) : 0;
    if (!ok)
        return refuse(QStringLiteral("%1 is not a whole number").arg(kIdColumn));
    if (const TrackFileField* name = file.Field(kNameColumn))
        checked.name = TrimControls(name->value);
    checked.kind = CheckedTrackFile::Kind::Track;
    return checked;
}

QStringList ListTrackFiles(const QString& folder, const std::function<void()>& perFile)
{
    MemTable& mem = DM->memToryImport;
    mem.Close();
    mem.Open();
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*.txt2")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    QStringList messages;
    TIBQuery IBQuery2(DM->TransBrowse);
    IBQuery2.SetSQL(QStringLiteral("select ID_TORU from tory where id_toru = :ID"));
    for (const QString& fileName : files) {
        if (perFile)
            perFile();
        const CheckedTrackFile checked = CheckTrackFile(folder, fileName);
        if (checked.kind == CheckedTrackFile::Kind::Refused)
            messages << checked.reason;
        if (checked.kind != CheckedTrackFile::Kind::Track)
            continue;
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
        mem.Post();
    }
    mem.First();
    return messages;
}

bool ImportTrackFile(const QString& folder, const QString& fileName, QString* error)
{
    const CheckedTrackFile checked = CheckTrackFile(folder, fileName);
    if (checked.kind != CheckedTrackFile::Kind::Track) {
        if (error)
            *error = checked.kind == CheckedTrackFile::Kind::Refused
                         ? checked.reason
                         : QStringLiteral("File %1 skipped: it is not a track file").arg(fileName);
        return false;
    }
    const std::vector<TableColumn> columns = TableColumns(kTable);
    const QString dir = IncludeBackslash(folder);
    const bool ok = DM->ExecEditAll([&] {
        DeleteByKeys(checked.file, {kIdColumn});
        InsertFromFields(checked.file, columns, dir);
        TIBQuery qusuniety1(DM->TransEdit);
        qusuniety1.SetSQL(QStringLiteral("update TORY set usuniety=0 where ID_TORU= :ID"));
        qusuniety1.ParamByName(QStringLiteral("ID"), checked.id);
        qusuniety1.ExecSQL();
    });
    if (!ok && error)
        *error = QStringLiteral("%1: %2").arg(fileName, DM->LastEditError());
    return ok;
}

TrackImportResult ImportChosenTracks(const QString& folder, const std::function<void()>& perFile)
{
    TrackImportResult result;
    MemTable& mem = DM->memToryImport;
    if (!mem.Active())
        return result;
    const int cTicked = mem.FieldIndex(QStringLiteral("wybrany"));
    const int cFile = mem.FieldIndex(QStringLiteral("plik"));
    for (int row = 0; row < mem.RecordCount(); ++row) {
        if (perFile)
            perFile();
        if (!mem.BoolAt(row, cTicked))
            continue;
        QString error;
        if (ImportTrackFile(folder, mem.StringAt(row, cFile), &error)) {
            ++result.imported;
        } else {
            ++result.failed;
            result.failures << error;
        }
    }
    return result;
}

QString TrackImportMessage(const TrackImportResult& result)
{
    QString text = QStringLiteral("Finished. ") + QString::number(result.imported) + QStringLiteral(" tracks imported");
    if (result.failed > 0) {
        text += QStringLiteral(", %1 failed").arg(result.failed);
        for (const QString& f : result.failures)
            text += u'\n' + f;
    }
    return text;
}
