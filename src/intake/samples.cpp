#include "intake/samples.h"

#include <cstdlib>

using namespace sample_offsets;

void UnpackAcceleration(uint32_t packed, int32_t& x, int32_t& y)
{
    x = static_cast<int32_t>(packed & 0x3FF) * 64;
    if ((packed & 0x400) == 0)
        x = -x;
    y = static_cast<int32_t>((packed >> 11) & 0x3FF) * 64;
    if ((packed & 0x200000) == 0)
        y = -y;
}

uint32_t PackAcceleration(int32_t x, int32_t y)
{
    auto magnitude = [](int32_t v) -> uint32_t {
        const long m = (std::labs(static_cast<long>(v)) + 32) / 64;
        return static_cast<uint32_t>(m > 1023 ? 1023 : m);
    };
    uint32_t v = magnitude(x) | (magnitude(y) << 11);
    if (x >= 0)
        v |= 0x400;
    if (y >= 0)
        v |= 0x200000;
    return v;
}

void DecodeSampleRecord(const uint8_t* r, SampleFormat format, SampleValues& out)
{
    out.type = r[kType];
    out.lineHundredths = r[kLineHundredths];
    out.raceIndex = r[kRaceIndex];
    out.humidity = r[kHumidity];
    out.lap = r[kLap];
    out.sector = r[kSector];
    out.temp1 = ReadS16(r + kTemp1) / 10.0;
    for (int k = 0; k < kRpmSamples; ++k)
        out.rpm[k] = ReadU16(r + kRpm + 2 * k);
    for (int j = 0; j < kFastSamples; ++j) {
        out.gpsX[j] = ReadS32(r + kGpsX + 4 * j);
        out.gpsY[j] = ReadS32(r + kGpsY + 4 * j);
    }
    if (format == SampleFormat::Plain) {
        const double temp2 = ReadS16(r + kPlainTemp2) / 10.0;
        out.ambient = ReadS16(r + kPlainAmbient) / 10.0;
        for (int j = 0; j < kFastSamples; ++j) {
            out.temp2[j] = temp2;
            out.accX[j] = ReadS16(r + kPlainAccX + 2 * j);
            out.accY[j] = ReadS16(r + kPlainAccY + 2 * j);
            out.gyro[j] = ReadS32(r + kPlainGyro + 4 * j);
            out.speed[j] = 0;
        }
    } else {
        out.ambient = ReadS16(r + kGpsAmbient) / 10.0;
        for (int j = 0; j < kFastSamples; ++j) {
            out.temp2[j] = ReadS16(r + kGpsTemp2 + 2 * j) / 10.0;
            UnpackAcceleration(ReadU32(r + kGpsPackedAcc + 4 * j), out.accX[j], out.accY[j]);
            out.gyro[j] = 0;
            out.speed[j] = r[kGpsSpeed + 2 * j + 1];
        }
    }
}
