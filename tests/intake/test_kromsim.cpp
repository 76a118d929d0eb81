// The logger simulator's own invariants: believable sessions, consistent
// truth, the layout of dump and key image files.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>
#include <cstring>

#include "intake/keymemory.h"
#include "kromsim.h"
#include "platform/usb_simkey.h"

namespace {

double Degrees(int32_t packed)
{
    const uint32_t v = static_cast<uint32_t>(packed);
    return (v >> 24) + (((v >> 16) & 0xFF) + (v & 0xFFFF) / 10000.0) / 60.0;
}

TEST(KromSim, PackedCoordinates)
{
    EXPECT_EQ(static_cast<uint32_t>(kromsim::PackCoordinate(50.0 + (18.6667 / 60.0))), 0x32121A0Bu);
    EXPECT_EQ(kromsim::PackCoordinate(21.0), 0x15000000);
    EXPECT_NEAR(Degrees(kromsim::PackCoordinate(52.123456)), 52.123456, 1e-6);
}

TEST(KromSim, StandardSessionsAreBelievable)
{
    kromsim::DumpImage image;
    const kromsim::DumpTruth truth = kromsim::BuildDump(kromsim::StandardDumps(4, 77)[0], image);
    ASSERT_EQ(truth.sessions.size(), 6u);
    EXPECT_EQ(truth.fileName, QStringLiteral("dane1_77.bin"));

    for (const kromsim::SessionTruth& t : truth.sessions) {
        const SessionHeaderRecord& h = t.header;
        // Lap lines crossed: the timed laps and the line that starts them.
        EXPECT_EQ(h.LapCount(), static_cast<int>(t.laps.size()) + 1);
        EXPECT_EQ(t.lapLines, t.options.laps + 1);
        EXPECT_EQ(h.Duration(), static_cast<uint32_t>(t.dataSeconds) * 100);
        EXPECT_EQ(h.IsGpsFormat(), t.options.format == SampleFormat::Gps);
        EXPECT_EQ(kRingFirstRecord + h.StartOffset(), t.startRecord);
        QDateTime end;
        EXPECT_EQ(h.SessionEnd(end), t.validDate);
        EXPECT_EQ(static_cast<int>(t.laps.size()), t.options.laps);

        int best = 1 << 30;
        for (const kromsim::SimLap& lap : t.laps) {
            EXPECT_GT(lap.czasSs, 3000) << lap.nr;  // 30 to 70 s on a track of about 850 m
            EXPECT_LT(lap.czasSs, 7000) << lap.nr;
            best = std::min(best, lap.czasSs);
            int sectors = 0, total = 0;
            for (const kromsim::SimSector& s : t.sectors)
                if (s.nrOkrazenia == lap.nr) {
                    ++sectors;
                    total += s.czasSs;
                }
            EXPECT_EQ(sectors, 3);
            EXPECT_EQ(total, lap.czasSs);
        }
        EXPECT_LE(h.TheoreticalBest(), best);
        EXPECT_GT(h.TheoreticalBest(), best - 300);

        // Walk the samples as the ring holds them.
        int record = t.startRecord, half = 0;
        double prevLat = 0, prevLon = 0;
        double maxSpeed = 0;
        int lapLines = 0;
        for (int n = 0; n < t.dataSeconds; ++n) {
            const uint8_t* raw = image.RecordData(record) + half * kSampleRecordSize;
            if (++half == 2) {
                half = 0;
                if (++record >= image.RecordCount())
                    record = kRingFirstRecord;
            }
            SampleValues v;
            DecodeSampleRecord(raw, t.options.format, v);
            ASSERT_EQ(v.raceIndex, t.options.raceIndex);
            lapLines += v.type == kSampleLapLine;
            for (uint16_t rpm : v.rpm) {
                EXPECT_GE(rpm, 2000);
                EXPECT_LE(rpm, 16000);
            }
            for (int j = 0; j < kFastSamples; ++j) {
                EXPECT_LT(std::abs(v.accX[j]), 3 * 4096);  // within 3 g
                EXPECT_LT(std::abs(v.accY[j]), 3 * 4096);
                maxSpeed = std::max<double>(maxSpeed, v.speed[j]);
                if (!t.options.gpsFix) {
                    EXPECT_EQ(v.gpsX[j], 0);
                    continue;
                }
                const double lat = Degrees(v.gpsX[j]), lon = Degrees(v.gpsY[j]);
                EXPECT_NEAR(lat, 52.0 + 10.0 / 60, 0.004);  // within a few hundred metres
                EXPECT_NEAR(lon, 21.0 + 5.0 / 60, 0.006);
                if (prevLat != 0) {  // 0.2 s apart: at most about 7 m at 120 km/h
                    const double dy = (lat - prevLat) * 111320, dx = (lon - prevLon) * 111320 * 0.613;
                    EXPECT_LT(std::hypot(dx, dy), 8.0);
                }
                prevLat = lat;
                prevLon = lon;
            }
        }
        EXPECT_EQ(lapLines, t.options.laps + 1);
        if (t.options.format == SampleFormat::Gps) {
            EXPECT_GT(maxSpeed, 80);
            EXPECT_LT(maxSpeed, 125);
        }
    }
    const kromsim::SessionTruth& wrap = truth.sessions.back();
    EXPECT_TRUE(wrap.wraps);
    EXPECT_EQ(wrap.startRecord, kFullDumpRecords - 30);
    EXPECT_FALSE(truth.sessions[4].validDate);
    for (int e : truth.freeEntries) {
        uint8_t first = image.RecordData(kFirstHeaderRecord - 1 + e)[0];
        EXPECT_EQ(first, 0xFF);
    }
}

TEST(KromSim, OverlappingSessionsAreRefused)
{
    kromsim::DumpOptions opts;
    opts.records = kRingFirstRecord + 200;
    kromsim::SessionOptions a;
    a.ringStart = kRingFirstRecord;
    kromsim::SessionOptions b = a;
    b.raceIndex = 1;
    opts.sessions = {a, b};
    kromsim::DumpImage image(opts.records);
    EXPECT_THROW(kromsim::BuildDump(opts, image), std::invalid_argument);
}

TEST(KromSim, KeyImageHoldsDirectoryAndSlots)
{
    QTemporaryDir dir;
    kromsim::DumpImage a, b;
    a.RecordData(kRingFirstRecord)[0] = 0x11;
    b.RecordData(kFullDumpRecords - 1)[255] = 0x22;
    const QString path = dir.filePath(QStringLiteral("key.img"));
    ASSERT_TRUE(kromsim::WriteKeyImage(path, {{2, 77, &a}, {5, 0xFFFFFFFFu, &b}}));

    uint8_t block[512];
    ASSERT_TRUE(platform::ReadKeyImageBlock(path.toStdString(), 0, block));
    const KeyDirectory directory = KeyDirectory::FromBlock(block);
    EXPECT_EQ(directory.Serial(1), 0u);
    EXPECT_EQ(directory.Serial(2), 77u);
    EXPECT_EQ(directory.Serial(5), 0xFFFFFFFFu);
    EXPECT_EQ(directory.UsedSlotCount(), 2);

    for (const auto& [slot, image] : {std::pair{2, &a}, std::pair{5, &b}}) {
        for (uint32_t blk : {0u, 40u, 80u, 7167u}) {
            ASSERT_TRUE(platform::ReadKeyImageBlock(path.toStdString(), SessionSlotFirstReadBlock(slot) + blk, block));
            EXPECT_EQ(std::memcmp(block, image->Bytes().constData() + blk * 512, 512), 0) << slot << "/" << blk;
        }
    }
}

}  // namespace
