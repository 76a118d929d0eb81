#include "platform/inifile.h"

#include <QFile>
#include <QSaveFile>

#include <limits>

namespace {

bool IsComment(const QString& trimmed) { return trimmed.startsWith(u';'); }

// "[name]" (blanks allowed around and inside the brackets) -> name.
bool SectionName(const QString& trimmed, QString& name)
{
    if (!trimmed.startsWith(u'['))
        return false;
    qsizetype close = trimmed.indexOf(u']');
    if (close < 0)
        close = trimmed.size();  // an unclosed header still starts a section
    name = trimmed.mid(1, close - 1).trimmed();
    return true;
}

// "key=value" -> key and value, both trimmed.
bool KeyValue(const QString& trimmed, QString& key, QString& value)
{
    const qsizetype eq = trimmed.indexOf(u'=');
    if (eq < 0 || IsComment(trimmed))
        return false;
    key = trimmed.left(eq).trimmed();
    value = trimmed.mid(eq + 1).trimmed();
    return true;
}

// A value enclosed in a pair of double or single quotes loses that one
// pair, as the Windows ini reader does ("C:\KROM\KROMDB.GDB" -> the path).
QString WithoutQuotes(const QString& value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool HasLineBreak(const QString& s) { return s.contains(u'\n') || s.contains(u'\r'); }

// Windows ini integers: decimal, or hexadecimal after "0x".
bool ParseInt64(const QString& text, qint64& out)
{
    bool ok = false;
    qint64 v = 0;
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
        v = text.mid(2).toLongLong(&ok, 16);
    else
        v = text.toLongLong(&ok, 10);
    if (ok)
        out = v;
    return ok;
}

}  // namespace

IniFile::IniFile(const QString& fileName) : fileName_(fileName) {}

bool IniFile::readLines(QList<QByteArray>& lines, QString* error) const
{
    lines.clear();
    QFile file(fileName_);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    // Lines end in CR LF, LF or CR; the last one may have no line end.
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.mid(start));
    return true;
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    QList<QByteArray> lines;
    if (!readLines(lines, nullptr))
        return defaultValue;
    bool inSection = false;
    bool sectionSeen = false;
    for (const QByteArray& line : lines) {
        const QString trimmed = QString::fromUtf8(line).trimmed();
        QString name;
        if (SectionName(trimmed, name)) {
            // Only the first section of a name counts, as on Windows.
            if (inSection)
                break;
            inSection = !sectionSeen && SameName(name, section);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        QString k;
        QString v;
        if (inSection && KeyValue(trimmed, k, v) && SameName(k, key))
            return WithoutQuotes(v);
    }
    return defaultValue;
}

int IniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const
{
    const qint64 v = ReadInt64(section, key, defaultValue);
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return defaultValue;
    return static_cast<int>(v);
}

qint64 IniFile::ReadInt64(const QString& section, const QString& key, qint64 defaultValue) const
{
    qint64 v = 0;
    return ParseInt64(ReadString(section, key, QString()).trimmed(), v) ? v : defaultValue;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (sectionName.isEmpty() || sectionName.contains(u']') || HasLineBreak(sectionName))
        throw std::invalid_argument("ini file: invalid section name \"" + section.toStdString() + "\"");
    if (keyName.isEmpty() || keyName.contains(u'=') || keyName.startsWith(u';') ||
        keyName.startsWith(u'[') || HasLineBreak(keyName))
        throw std::invalid_argument("ini file: invalid key \"" + key.toStdString() + "\"");
    if (HasLineBreak(value))
        throw std::invalid_argument("ini file: the value of \"" + key.toStdString() +
                                    "\" holds a line break");

    QList<QByteArray> lines;
    QString error;
    // An existing file that cannot be read is never replaced: its other
    // lines would be lost.
    if (!readLines(lines, &error))
        throw IniFileError((fileName_ + ": " + error).toStdString());

    // Lines other than the one written keep their bytes exactly.
    const QByteArray entry = (keyName + u'=' + value.trimmed()).toUtf8();
    qsizetype sectionLine = -1;  // header of the first matching section
    qsizetype lastEntry = -1;    // last key line (or the header) inside it
    bool done = false;
    for (qsizetype i = 0; i < lines.size() && !done; ++i) {
        const QString trimmed = QString::fromUtf8(lines[i]).trimmed();
        QString name;
        if (SectionName(trimmed, name)) {
            if (sectionLine >= 0)
                break;
            if (SameName(name, sectionName))
                sectionLine = lastEntry = i;
            continue;
        }
        if (sectionLine < 0)
            continue;
        QString k;
        QString v;
        if (KeyValue(trimmed, k, v)) {
            if (SameName(k, keyName)) {
                lines[i] = (k + u'=' + value.trimmed()).toUtf8();
                done = true;
            }
            lastEntry = i;
        } else if (!trimmed.isEmpty() && !IsComment(trimmed)) {
            lastEntry = i;
        }
    }
    if (!done) {
        if (sectionLine >= 0) {
            lines.insert(lastEntry + 1, entry);
        } else {
            lines.append((u'[' + sectionName + u']').toUtf8());
            lines.append(entry);
        }
    }

    QSaveFile file(fileName_);
    // A writable file in a folder where no new file can be made is written
    // in place: there the whole-file replacement cannot be had.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw IniFileError((fileName_ + ": " + file.errorString()).toStdString());
    QByteArray bytes;
    for (const QByteArray& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw IniFileError((fileName_ + ": " + file.errorString()).toStdString());
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void IniFile::WriteInt64(const QString& section, const QString& key, qint64 value)
{
    WriteString(section, key, QString::number(value));
}
