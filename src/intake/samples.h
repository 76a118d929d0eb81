#pragma once
// Sample records: 128 bytes covering one second of recording, with ten RPM
// samples (10 per second) and five samples of every other sampled channel
// (5 per second).  Two layouts exist; the session header's word 220 chooses.
#include <array>
#include <cstdint>

inline constexpr int kSampleRecordSize = 128;
inline constexpr int kRpmSamples = 10;    // RPM: 10 per second
inline constexpr int kFastSamples = 5;    // GPS, acceleration, gyro, speed: 5 per second

enum class SampleFormat { Plain, Gps };

// Record types (byte 0).  0 and 255 also end a session; every other value
// is ordinary data and is stored as it stands.
inline constexpr uint8_t kSampleEnd = 5;
inline constexpr uint8_t kSampleLapLine = 3;
inline constexpr uint8_t kSampleSectorLine = 4;

// Byte offsets of the fields both layouts share.
namespace sample_offsets {
inline constexpr int kType = 0;
inline constexpr int kLineHundredths = 1;
inline constexpr int kRaceIndex = 2;
inline constexpr int kHumidity = 3;
inline constexpr int kTemp1 = 4;
inline constexpr int kRpm = 8;
inline constexpr int kGpsX = 28;
inline constexpr int kGpsY = 48;
inline constexpr int kLap = 120;
inline constexpr int kSector = 121;
// Plain layout.
inline constexpr int kPlainTemp2 = 6;
inline constexpr int kPlainAccX = 68;
inline constexpr int kPlainAccY = 78;
inline constexpr int kPlainAmbient = 98;
inline constexpr int kPlainGyro = 100;
// GPS layout.
inline constexpr int kGpsAmbient = 6;
inline constexpr int kGpsPackedAcc = 68;
inline constexpr int kGpsSpeed = 88;
inline constexpr int kGpsTemp2 = 98;
}  // namespace sample_offsets

// One sample record with its values as stored: temperatures in degrees
// (tenths / 10.0), accelerations in raw counts, GPS coordinates packed.
struct SampleValues {
    uint8_t type = 0;
    uint8_t lineHundredths = 0;  // types 3 and 4: hundredth of the crossing
    uint8_t raceIndex = 0;
    uint8_t humidity = 0;
    uint8_t lap = 0;     // byte 120
    uint8_t sector = 0;  // byte 121
    double temp1 = 0;    // once per second in both layouts
    double ambient = 0;  // once per second in both layouts
    std::array<uint16_t, kRpmSamples> rpm{};
    // 5 per second; plain: one temperature 2 per second, repeated.
    std::array<double, kFastSamples> temp2{};
    std::array<int32_t, kFastSamples> gpsX{};  // packed, as stored (signed)
    std::array<int32_t, kFastSamples> gpsY{};
    std::array<int32_t, kFastSamples> accX{};  // plain: as stored; GPS: unpacked
    std::array<int32_t, kFastSamples> accY{};
    std::array<int32_t, kFastSamples> gyro{};   // plain only; 0 in the GPS layout
    std::array<int32_t, kFastSamples> speed{};  // GPS only: high byte of each speed word; 0 in plain
};

// Decodes one 128-byte sample record.
void DecodeSampleRecord(const uint8_t* record, SampleFormat format, SampleValues& out);

// Packed acceleration of the GPS layout: X = (v and 0x3FF) * 64, negative
// unless bit 0x400 is set; Y = ((v shr 11) and 0x3FF) * 64, negative unless
// bit 0x200000 is set; bits 22..31 unused.
void UnpackAcceleration(uint32_t packed, int32_t& x, int32_t& y);
// The reverse for writers: each axis rounded to the nearest multiple of 64,
// at most 1023 * 64 in size.
uint32_t PackAcceleration(int32_t x, int32_t y);

// Little-endian readers of a record's bytes.
inline uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline int16_t ReadS16(const uint8_t* p) { return static_cast<int16_t>(ReadU16(p)); }
inline uint32_t ReadU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t ReadS32(const uint8_t* p) { return static_cast<int32_t>(ReadU32(p)); }
