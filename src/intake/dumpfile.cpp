#include "intake/dumpfile.h"

#include <QFileInfo>

#include <cstring>

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

bool SessionHeaderRecord::SessionStart(QDateTime& out) const
{
    if (!SessionEnd(out))
        return false;
    out = out.addMSecs(-static_cast<qint64>(Duration()) * 10);
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
