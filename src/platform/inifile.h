#pragma once
// A Windows-style ini file ("[section]" lines and "key=value" lines), read
// and written like the platform's ini file object: sections and keys match
// without regard to case, a value is the text after the first "=" with
// blanks around it removed and one pair of enclosing quotes (double or
// single) taken away, and lines beginning with ";" are comments.
//
// The file is read again at every call (it is small and rarely touched), so
// a write is seen by the next read, also through another IniFile object.
// A write keeps every other line of the file, creates the file when it is
// missing, writes CR LF line ends and plain key=value (no quoting, no
// escaping: backslashes stay as they are), and replaces the file as a whole
// (temporary file + rename), so a crash never leaves half a file; where no
// temporary file can be made beside it (a writable file in a folder the
// user cannot write), the file is written in place instead.
//
// Texts are UTF-8 on disk (a leading byte order mark is skipped); lines
// that a write does not touch keep their bytes, whatever their encoding.
#include <QByteArray>
#include <QList>
#include <QString>

#include <stdexcept>

// A write that could not be done (the file could not be read back to keep
// its other lines, or could not be replaced).  what() holds the path and
// the system's message.
class IniFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class IniFile {
public:
    explicit IniFile(const QString& fileName);

    const QString& FileName() const { return fileName_; }

    // A missing or unreadable file, section or key gives the default.
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Decimal with an optional sign, or hexadecimal after "0x"; a value that
    // is not a number or does not fit gives the default.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    qint64 ReadInt64(const QString& section, const QString& key, qint64 defaultValue) const;

    // Replaces the first line of the key in the first such section, or adds
    // the key at the end of the section, or the section at the end of the
    // file.  A section name with "]" or a line break, a key that is empty or
    // holds "=" or a line break, and a value with a line break are refused
    // with std::invalid_argument (they could not be read back); I/O
    // failures throw IniFileError.  The file is unchanged after either.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteInt64(const QString& section, const QString& key, qint64 value);

private:
    // The file's lines as bytes without line ends; false when it exists but
    // cannot be read.  A missing file is an empty list.
    bool readLines(QList<QByteArray>& lines, QString* error) const;

    QString fileName_;
};
