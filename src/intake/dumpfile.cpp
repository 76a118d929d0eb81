#include "intake/dumpfile.h"

#include <QFileInfo>
#include <QHash>

#include <cstring>

namespace {

// Code page 1250, bytes 0x80..0xFF.  Undefined bytes keep their own value.
constexpr char16_t kCp1250High[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

const QHash<char16_t, uint8_t>& Cp1250Reverse()
{
    static const QHash<char16_t, uint8_t> table = [] {
        QHash<char16_t, uint8_t> t;
        for (int i = 0; i < 128; ++i)
            t.insert(kCp1250High[i], static_cast<uint8_t>(0x80 + i));
        return t;
    }();
    return table;
}

}  // namespace

QString Cp1250ToUnicode(const uint8_t* bytes, int count)
{
    QString out(count, Qt::Uninitialized);
    QChar* d = out.data();
    for (int i = 0; i < count; ++i) {
        const uint8_t b = bytes[i];
        d[i] = QChar(b < 0x80 ? char16_t(b) : kCp1250High[b - 0x80]);
    }
    return out;
}

QByteArray UnicodeToCp1250(const QString& text, char replacement)
{
    QByteArray out;
    out.reserve(text.size());
    const auto& reverse = Cp1250Reverse();
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out.append(static_cast<char>(u));
            continue;
        }
        const auto it = reverse.constFind(u);
        out.append(it == reverse.cend() ? replacement : static_cast<char>(it.value()));
    }
    return out;
}

// ------------------------------------------------------ SessionHeaderRecord

SessionHeaderRecord SessionHeaderRecord::FromBytes(const uint8_t* data)
{
    SessionHeaderRecord r;
    std::memcpy(r.bytes_.data(), data, kSize);
    return r;
}

uint16_t SessionHeaderRecord::Word(int offset) const
{
    return static_cast<uint16_t>(bytes_.at(offset) | (bytes_.at(offset + 1) << 8));
}

uint32_t SessionHeaderRecord::DWord(int offset) const
{
    return static_cast<uint32_t>(bytes_.at(offset)) | (static_cast<uint32_t>(bytes_.at(offset + 1)) << 8) |
           (static_cast<uint32_t>(bytes_.at(offset + 2)) << 16) |
           (static_cast<uint32_t>(bytes_.at(offset + 3)) << 24);
}

void SessionHeaderRecord::SetWord(int offset, uint16_t value)
{
    bytes_.at(offset) = static_cast<uint8_t>(value);
    bytes_.at(offset + 1) = static_cast<uint8_t>(value >> 8);
}

void SessionHeaderRecord::SetDWord(int offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes_.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

bool SessionHeaderRecord::SessionEnd(QDateTime& out) const
{
    const int year = EndYear();
    if (year < 1 || year > 9999 || !QDate::isValid(year, EndMonth(), EndDay()) ||
        !QTime::isValid(EndHour(), EndMinute(), EndSecond(), 0))
        return false;
    out = QDateTime(QDate(year, EndMonth(), EndDay()), QTime(EndHour(), EndMinute(), EndSecond()), Qt::UTC);
    return true;
}

QByteArray SessionHeaderRecord::DriverBytes() const
{
    return QByteArray(reinterpret_cast<const char*>(bytes_.data()) + kDriverTextOffset, kTextLength);
}

QByteArray SessionHeaderRecord::TrackBytes() const
{
    return QByteArray(reinterpret_cast<const char*>(bytes_.data()) + kTrackTextOffset, kTextLength);
}

QString SessionHeaderRecord::Text(int offset) const
{
    QString text = Cp1250ToUnicode(bytes_.data() + offset, kTextLength);
    text.replace(QChar(u'\0'), QChar(u' '));
    return text;
}

QString SessionHeaderRecord::DriverText() const { return Text(kDriverTextOffset); }
QString SessionHeaderRecord::TrackText() const { return Text(kTrackTextOffset); }

void SessionHeaderRecord::SetText(int offset, const QString& text)
{
    const QByteArray b = UnicodeToCp1250(text).left(kTextLength);
    std::memset(bytes_.data() + offset, 0, kTextLength);
    std::memcpy(bytes_.data() + offset, b.constData(), static_cast<size_t>(b.size()));
}

void SessionHeaderRecord::SetDriverText(const QString& text) { SetText(kDriverTextOffset, text); }
void SessionHeaderRecord::SetTrackText(const QString& text) { SetText(kTrackTextOffset, text); }

// -------------------------------------------------------------- file names

QString SerialFromFileName(const QString& fileName)
{
    const QString empty = QStringLiteral("");  // not a null QString: binds as '' rather than NULL
    const qsizetype underscore = fileName.indexOf(u'_');
    if (underscore < 0)
        return empty;
    const qsizetype dot = fileName.indexOf(u'.', underscore + 1);
    if (dot <= underscore + 1)
        return empty;
    return fileName.mid(underscore + 1, dot - underscore - 1);
}

// ------------------------------------------------------------- KeyDumpFile

bool KeyDumpFile::Open(const QString& path)
{
    Close();
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("Cannot open file %1: %2").arg(QFileInfo(path).fileName(), file_.errorString());
        return false;
    }
    error_.clear();
    records_ = static_cast<int>(qMin<qint64>(file_.size() / kDumpRecordSize, INT32_MAX));
    next_ = 0;
    filePos_ = 0;
    return true;
}

void KeyDumpFile::Close()
{
    if (file_.isOpen())
        file_.close();
    records_ = 0;
    next_ = 0;
    filePos_ = -1;
}

QString KeyDumpFile::FileName() const { return QFileInfo(file_.fileName()).fileName(); }

void KeyDumpFile::ReadRecord(int index, uint8_t* out)
{
    if (!file_.isOpen())
        throw DumpFileError("File not open");
    if (index < 0 || index >= records_)
        throw DumpFileError(QStringLiteral("Read beyond end of file (%1)").arg(FileName()).toStdString());
    const qint64 pos = static_cast<qint64>(index) * kDumpRecordSize;
    if (pos != filePos_) {
        if (!file_.seek(pos)) {
            filePos_ = -1;
            throw DumpFileError(
                QStringLiteral("Cannot read file %1: %2").arg(FileName(), file_.errorString()).toStdString());
        }
    }
    const qint64 got = file_.read(reinterpret_cast<char*>(out), kDumpRecordSize);
    if (got != kDumpRecordSize) {
        filePos_ = -1;
        throw DumpFileError(
            QStringLiteral("Cannot read file %1: %2").arg(FileName(), file_.errorString()).toStdString());
    }
    filePos_ = pos + kDumpRecordSize;
}

SessionHeaderRecord KeyDumpFile::ReadHeader(int entry)
{
    uint8_t buf[kDumpRecordSize];
    ReadRecord(kFirstHeaderRecord - 1 + entry, buf);
    return SessionHeaderRecord::FromBytes(buf);
}

// -------------------------------------------------------------- SampleRing

SampleRing::SampleRing(KeyDumpFile& file, int startOffset) : file_(file), startOffset_(startOffset)
{
    file_.Seek(kRingFirstRecord + startOffset);
}

void SampleRing::Next(uint8_t* out)
{
    ++n_;
    // 160 + offset + n beyond the count means the record to be read now
    // (160 + offset + n - 1) is not in the file: go round to the ring start.
    if (!wrapped_ && kRingFirstRecord + startOffset_ + n_ > file_.RecordCount()) {
        file_.Seek(kRingFirstRecord);
        n_ = 1;
        wrapped_ = true;
    }
    file_.ReadNext(out);
    ++read_;
}
