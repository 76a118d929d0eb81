// Decoding of sample records in both layouts, written byte by byte here
// from the record tables.
#include <gtest/gtest.h>

#include <cstring>

#include "intake/samples.h"

namespace {

struct Raw {
    uint8_t b[128] = {};
    void U8(int at, uint8_t v) { b[at] = v; }
    void U16(int at, uint16_t v)
    {
        b[at] = static_cast<uint8_t>(v);
        b[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    void U32(int at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
};

TEST(PackedAcceleration, DecodingTable)
{
    const struct {
        uint32_t packed;
        int32_t x, y;
    } cases[] = {
        {0x00000000, 0, 0},
        {0x00000400, 0, 0},             // sign bit alone: zero stays zero
        {0x00000401, 64, 0},            // X 1, positive
        {0x00000001, -64, 0},           // X 1, negative (bit 0x400 clear)
        {0x000007FF, 65472, 0},         // X 1023 positive
        {0x000003FF, -65472, 0},
        {0x00200800, 0, 64},            // Y 1 positive
        {0x00000800, 0, -64},           // Y 1 negative (bit 0x200000 clear)
        {0x003FF800, 0, 65472},         // Y 1023 positive
        {0x001FF800, 0, -65472},
        {0x00003C05, 320, -448},        // X 5 positive, Y 7 negative
        {0xFFC00401, 64, 0},            // bits 22..31 are not used
        {0xFFFFFFFF, 65472, 65472},
    };
    for (const auto& c : cases) {
        int32_t x = 1, y = 1;
        UnpackAcceleration(c.packed, x, y);
        EXPECT_EQ(x, c.x) << std::hex << c.packed;
        EXPECT_EQ(y, c.y) << std::hex << c.packed;
    }
}

TEST(PackedAcceleration, PackingKeepsMultiplesOf64)
{
    for (int32_t x : {0, 64, -64, 4096, -8192, 65472, -65472})
        for (int32_t y : {0, 128, -4096, 65472}) {
            int32_t gx = 0, gy = 0;
            UnpackAcceleration(PackAcceleration(x, y), gx, gy);
            EXPECT_EQ(gx, x);
            EXPECT_EQ(gy, y);
        }
}

// Bytes both layouts share: type, line hundredths, race, humidity, temp 1,
// RPM, GPS, lap and sector.
void FillCommon(Raw& r)
{
    r.U8(0, 3);
    r.U8(1, 45);
    r.U8(2, 7);
    r.U8(3, 55);
    r.U16(4, static_cast<uint16_t>(-15));  // -1.5 degrees
    for (int k = 0; k < 10; ++k)
        r.U16(8 + 2 * k, static_cast<uint16_t>(k == 9 ? 0xFFFF : 9000 + k));
    for (int j = 0; j < 5; ++j) {
        r.U32(28 + 4 * j, j == 4 ? 0xFFFFFFFFu : 0x34120000u + j);
        r.U32(48 + 4 * j, 0x15050000u + j);
    }
    r.U8(120, 12);
    r.U8(121, 3);
}

void CheckCommon(const SampleValues& v)
{
    EXPECT_EQ(v.type, 3);
    EXPECT_EQ(v.lineHundredths, 45);
    EXPECT_EQ(v.raceIndex, 7);
    EXPECT_EQ(v.humidity, 55);
    EXPECT_DOUBLE_EQ(v.temp1, -1.5);
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(v.rpm[k], 9000 + k);
    EXPECT_EQ(v.rpm[9], 65535);  // unsigned
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(v.gpsX[j], static_cast<int32_t>(0x34120000 + j));
        EXPECT_EQ(v.gpsY[j], static_cast<int32_t>(0x15050000 + j));
    }
    EXPECT_EQ(v.gpsX[4], -1);  // signed, stored unchanged
    EXPECT_EQ(v.lap, 12);
    EXPECT_EQ(v.sector, 3);
}

TEST(SampleRecord, PlainLayout)
{
    Raw r;
    FillCommon(r);
    r.U16(6, 1234);  // temp 2: one value per second
    for (int j = 0; j < 5; ++j) {
        r.U16(68 + 2 * j, static_cast<uint16_t>(-100 * (j + 1)));
        r.U16(78 + 2 * j, static_cast<uint16_t>(200 * (j + 1)));
        r.U32(100 + 4 * j, static_cast<uint32_t>(j == 4 ? -77 : 1000 + j));
        r.U16(88 + 2 * j, 0xAB00);  // not read in this layout
    }
    r.U16(98, 215);
    SampleValues v;
    DecodeSampleRecord(r.b, SampleFormat::Plain, v);
    CheckCommon(v);
    EXPECT_DOUBLE_EQ(v.ambient, 21.5);
    for (int j = 0; j < 5; ++j) {
        EXPECT_DOUBLE_EQ(v.temp2[j], 123.4);
        EXPECT_EQ(v.accX[j], -100 * (j + 1));
        EXPECT_EQ(v.accY[j], 200 * (j + 1));
        EXPECT_EQ(v.gyro[j], j == 4 ? -77 : 1000 + j);
        EXPECT_EQ(v.speed[j], 0);
    }
}

TEST(SampleRecord, GpsLayout)
{
    Raw r;
    FillCommon(r);
    r.U16(6, static_cast<uint16_t>(-32));  // ambient -3.2 degrees
    for (int j = 0; j < 5; ++j) {
        r.U32(68 + 4 * j, 0x00200400u | (static_cast<uint32_t>(j + 1) << 11) | static_cast<uint32_t>(j));
        r.U16(88 + 2 * j, static_cast<uint16_t>(((50 + j) << 8) | 0xCD));
        r.U16(98 + 2 * j, static_cast<uint16_t>(1800 + j));
    }
    // Bytes that are gyro values in the plain layout hold nothing here.
    for (int i = 108; i < 120; ++i)
        r.U8(i, 0x5A);
    SampleValues v;
    DecodeSampleRecord(r.b, SampleFormat::Gps, v);
    CheckCommon(v);
    EXPECT_DOUBLE_EQ(v.ambient, -3.2);
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(v.accX[j], 64 * j);
        EXPECT_EQ(v.accY[j], 64 * (j + 1));
        EXPECT_EQ(v.speed[j], 50 + j);  // the high byte only
        EXPECT_DOUBLE_EQ(v.temp2[j], (1800 + j) / 10.0);
        EXPECT_EQ(v.gyro[j], 0);
    }
}

}  // namespace
