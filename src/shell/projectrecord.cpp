#include "shell/projectrecord.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <cstring>
#include <stdexcept>

namespace {

void CheckField(int offset, int width)
{
    if (offset < 0 || offset + width > ProjectRecord::Size)
        throw std::out_of_range("project record: field at " + std::to_string(offset) + " of width " +
                                std::to_string(width) + " is outside the record");
}

std::runtime_error FileError(const QString& path, const QString& message)
{
    return std::runtime_error((path + ": " + message).toStdString());
}

}  // namespace

std::int32_t ProjectRecord::Int32At(int offset) const
{
    CheckField(offset, 4);
    return qFromLittleEndian<qint32>(bytes_.data() + offset);
}

void ProjectRecord::SetInt32At(int offset, std::int32_t value)
{
    CheckField(offset, 4);
    qToLittleEndian<qint32>(value, bytes_.data() + offset);
}

int ProjectRecord::Int16At(int offset) const
{
    CheckField(offset, 2);
    return qFromLittleEndian<qint16>(bytes_.data() + offset);
}

int ProjectRecord::UInt16At(int offset) const
{
    CheckField(offset, 2);
    return qFromLittleEndian<quint16>(bytes_.data() + offset);
}

void ProjectRecord::SetInt16At(int offset, int value)
{
    CheckField(offset, 2);
    // The low 16 bits, whatever the field's signedness.
    qToLittleEndian<quint16>(static_cast<quint16>(static_cast<unsigned>(value) & 0xFFFFu),
                             bytes_.data() + offset);
}

std::uint8_t ProjectRecord::ByteAt(int offset) const
{
    CheckField(offset, 1);
    return bytes_[offset];
}

void ProjectRecord::SetByteAt(int offset, std::uint8_t value)
{
    CheckField(offset, 1);
    bytes_[offset] = value;
}

void ProjectRecord::ResetForNewProject()
{
    SetDriverListView(1);
    SetTrackListView(1);
    for (int offset = OffGpsTraceLeft; offset <= OffGForceChartTop; offset += 4)
        SetInt32At(offset, NotSet);
    SetLapTimeDiagramOn(1);
    SetWholeSessionChartOn(1);
    SetLapOverlayChartOn(1);
    SetRpmMin(0);
    SetRpmMax(15000);
    SetTemp1Min(0);
    SetTemp1Max(70);
    SetAccMin(-3);
    SetAccMax(3);
    SetTemp2Min(0);
    SetTemp2Max(700);
    // The GPS speed range as an opened file gets it: a new project's speed
    // line is never flat for want of a range.
    ApplyOpenDefaults();
}

void ProjectRecord::ApplyOpenDefaults()
{
    if (RangeNotSet(RpmMin(), RpmMax())) {
        SetRpmMin(0);
        SetRpmMax(15000);
    }
    if (RangeNotSet(Temp1Min(), Temp1Max())) {
        SetTemp1Min(0);
        SetTemp1Max(70);
    }
    if (RangeNotSet(Temp2Min(), Temp2Max())) {
        SetTemp2Min(0);
        SetTemp2Max(700);
    }
    if (RangeNotSet(AccMin(), AccMax())) {
        SetAccMin(-3);
        SetAccMax(3);
    }
    if (RangeNotSet(VGpsMin(), VGpsMax())) {
        SetVGpsMin(0);
        SetVGpsMax(120);
    }
}

void ProjectRecord::SaveToFile(const QString& path) const
{
    QSaveFile file(path);
    // Replaced as a whole where a temporary file can be made beside it,
    // otherwise (a writable file in a folder the user cannot write) in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(path, file.errorString());
    const auto* data = reinterpret_cast<const char*>(bytes_.data());
    if (file.write(data, Size) != Size || !file.commit())
        throw FileError(path, file.errorString());
}

void ProjectRecord::LoadFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(path, file.errorString());
    std::array<std::uint8_t, Size> read{};
    qint64 got = 0;
    // read() may return fewer bytes than asked before the end of the file.
    while (got < Size) {
        const qint64 n = file.read(reinterpret_cast<char*>(read.data()) + got, Size - got);
        if (n < 0)
            throw FileError(path, file.errorString());
        if (n == 0)
            break;
        got += n;
    }
    if (got < Size)
        throw FileError(path, QStringLiteral("the file is shorter than a project record (%1 of %2 bytes)")
                                  .arg(got)
                                  .arg(Size));
    bytes_ = read;
}

ProjectRecord& Project()
{
    static ProjectRecord record;
    return record;
}
