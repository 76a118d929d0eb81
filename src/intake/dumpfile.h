#pragma once
// Key dump files as the readers see them: a file of 256-byte records with
// the 48 session header records of one logger (records 80..127) and a ring
// of sample records from record 160 to the end of the file.
#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

#include <array>
#include <cstdint>
#include <stdexcept>

#include "profiles/setupcolumns.h"
#include "shell/common/cp1250.h"

inline constexpr int kDumpRecordSize = 256;
inline constexpr int kHeaderEntryCount = 48;
// Entry e (1..48) is record 79 + e.
inline constexpr int kFirstHeaderRecord = 80;
// A file needs this many records to hold every header record.
inline constexpr int kMinDumpRecords = 128;
inline constexpr int kRingFirstRecord = 160;
// A complete dump file: 7168 key blocks of 512 bytes.
inline constexpr int kFullDumpRecords = 14336;

// A read the file cannot satisfy (past its end, or the file failed).
class DumpFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Texts on the key are code page 1250 bytes (shell/common/cp1250.h).

// Header word of the engine operating counter (minutes).
inline constexpr int kOperatingCounterOffset = 12;

// The session header record: 256 bytes, little-endian, unsigned unless
// stated otherwise.
class SessionHeaderRecord {
public:
    static constexpr int kSize = 256;
    static constexpr int kDriverTextOffset = 192;
    static constexpr int kTrackTextOffset = 204;
    static constexpr int kTextLength = 12;

    SessionHeaderRecord() { bytes_.fill(0); }
    static SessionHeaderRecord FromBytes(const uint8_t* data);

    const uint8_t* Data() const { return bytes_.data(); }
    uint8_t* Data() { return bytes_.data(); }

    uint8_t Byte(int offset) const { return bytes_.at(offset); }
    uint16_t Word(int offset) const;
    uint32_t DWord(int offset) const;
    void SetByte(int offset, uint8_t value) { bytes_.at(offset) = value; }
    void SetWord(int offset, uint16_t value);
    void SetDWord(int offset, uint32_t value);

    // Byte 0: race index; 0xFF marks a free entry.
    int RaceIndex() const { return bytes_[0]; }
    bool IsFree() const { return bytes_[0] == 0xFF; }

    // Session end: bytes 1..5 hour, minute, second, day, month; word 6 year.
    int EndHour() const { return bytes_[1]; }
    int EndMinute() const { return bytes_[2]; }
    int EndSecond() const { return bytes_[3]; }
    int EndDay() const { return bytes_[4]; }
    int EndMonth() const { return bytes_[5]; }
    int EndYear() const { return Word(6); }
    // The session end with milliseconds 0; false when the bytes form no
    // valid date and time.  The value carries the logger's wall-clock fields
    // without a time zone (Qt::UTC), so no daylight-saving rule shifts it.
    bool SessionEnd(QDateTime& out) const;
    // The session start: the end minus the duration (hundredths, so the
    // start keeps its fraction of a second); false as SessionEnd.
    bool SessionStart(QDateTime& out) const;

    int LapCount() const { return bytes_[9]; }
    // Sample start, in 256-byte records after record 160.
    int StartOffset() const { return Word(10); }
    // A set-up word (kSetupColumns[i].headerOffset), unsigned 16-bit.
    int SetupValue(int offset) const { return Word(offset); }
    int OperatingCounter() const { return Word(kOperatingCounterOffset); }
    // Session duration in hundredths of a second.
    uint32_t Duration() const { return DWord(132); }
    int MaxRpm() const { return Word(136); }
    int MinRpm() const { return Word(138); }
    // Theoretical best lap in hundredths of a second, signed.
    int32_t TheoreticalBest() const { return static_cast<int32_t>(DWord(140)); }

    // The 12 text bytes at 192 (driver) and 204 (track), taken whole.  In
    // the texts every zero byte (the padding of shorter names) becomes a
    // blank, so a text always has its 12 characters and shows as the name
    // followed by blanks; nothing after a zero byte is dropped.
    QByteArray DriverBytes() const;
    QByteArray TrackBytes() const;
    QString DriverText() const;
    QString TrackText() const;
    // Writers: the text in code page 1250, cut to 12 bytes, padded with zeros.
    void SetDriverText(const QString& text);
    void SetTrackText(const QString& text);

    // Word 220: 0 = plain sample format, anything else = GPS sample format.
    int SampleFormatWord() const { return Word(220); }
    bool IsGpsFormat() const { return Word(220) != 0; }

private:
    QString Text(int offset) const;
    void SetText(int offset, const QString& text);
    std::array<uint8_t, kSize> bytes_;
};

// The logger serial number of a dump file from its name: the text after the
// first "_" up to the first "." after it; empty when either is missing.
// An empty serial is an empty, not a null, QString, so that it binds as ''
// in the database tests (a null QString would bind as NULL).
QString SerialFromFileName(const QString& fileName);

// An open key dump file, read record by record.
class KeyDumpFile {
public:
    KeyDumpFile() = default;
    KeyDumpFile(const KeyDumpFile&) = delete;
    KeyDumpFile& operator=(const KeyDumpFile&) = delete;

    // False when the file cannot be opened; ErrorText says why.
    bool Open(const QString& path);
    void Close();
    bool IsOpen() const { return file_.isOpen(); }
    const QString& ErrorText() const { return error_; }
    // The file name without its folder.
    QString FileName() const;

    // File size in bytes divided by 256 (a partial last record is not counted).
    int RecordCount() const { return records_; }
    // Whether every header record is present.
    bool HasHeaderRecords() const { return records_ >= kMinDumpRecords; }

    // Random access; throws DumpFileError past the last record.
    void ReadRecord(int index, uint8_t* out);
    // Header record of entry e (1..48).
    SessionHeaderRecord ReadHeader(int entry);

    // Sequential access from a record on.  Seeking past the end is allowed;
    // the next read then fails.
    void Seek(int index) { next_ = index; }
    int Position() const { return next_; }
    void ReadNext(uint8_t* out) { ReadRecord(next_, out); ++next_; }

private:
    QFile file_;
    QString error_;
    int records_ = 0;
    int next_ = 0;
    qint64 filePos_ = -1;  // where the file stands, to skip needless seeks
};

// The records of one session: from record 160 + start offset on, wrapping
// once to record 160 when the next record would not be below the record
// count.  A read past the end after the wrap throws DumpFileError.
class SampleRing {
public:
    SampleRing(KeyDumpFile& file, int startOffset);
    // Reads the next 256-byte record (two sample records).
    void Next(uint8_t* out);
    bool Wrapped() const { return wrapped_; }
    // Records read so far.
    int RecordsRead() const { return read_; }

private:
    KeyDumpFile& file_;
    int startOffset_;
    int n_ = 0;
    int read_ = 0;
    bool wrapped_ = false;
};
