// The session import against a real database: hand-made sessions whose
// rows are worked out by hand, the error paths, and whole simulated
// sessions compared with the simulator's truth.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <thread>

#include <stdio.h>

#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "kromsim.h"
#include "shell/common/stale.h"
#include "shell/data/fbbulk.h"
#include "stored_rows.h"
#include "support/testdb.h"

namespace {

using Rpms = std::array<uint16_t, 10>;
using kromsim::SampleRecordBuilder;

Rpms Flat(uint16_t v)
{
    Rpms r;
    r.fill(v);
    return r;
}

SampleRecordBuilder Rec(uint8_t type, uint8_t line, uint8_t lap, uint8_t sector, const Rpms& rpm,
                        SampleFormat format = SampleFormat::Plain, uint8_t race = 0)
{
    SampleRecordBuilder b(format);
    b.Type(type).LineHundredths(line).Lap(lap).Sector(sector).Rpms(rpm).Race(race);
    return b;
}

SampleRecordBuilder EndRec(uint8_t race = 0)
{
    SampleRecordBuilder b;
    b.Type(5).Race(race);
    return b;
}

struct HandSession {
    int entry = 1;
    uint8_t race = 0;
    SampleFormat format = SampleFormat::Plain;
    int startRecord = kRingFirstRecord;
    int hour = 10;  // session end: 2024-06-20 hour:00:00
    std::vector<SampleRecordBuilder> samples;
};

struct Pos {
    int dataSs, obroty, okrazenie, sektor, typ, gyro1, gyro2, gpsx, accx, accy, predkosc;
    QString data;
    double temp1, temp2, ambient;
    int wilgotnosc;
};

using stored::LapRow;
using stored::Row;
using stored::SameRows;
using stored::SectorRow;

class ImportTest : public ::testing::Test {
protected:
    TestDatabase db;
    QTemporaryDir folder;
    QStringList messages;
    int confirmations = 0;
    std::vector<std::pair<int, int>> progress;

    void WriteDump(const QString& name, int records, const std::vector<HandSession>& sessions)
    {
        kromsim::DumpImage image(records);
        for (const HandSession& s : sessions) {
            SessionHeaderRecord h;
            h.SetByte(0, s.race);
            h.SetByte(1, static_cast<uint8_t>(s.hour));
            h.SetByte(4, 20);
            h.SetByte(5, 6);
            h.SetWord(6, 2024);
            h.SetWord(10, static_cast<uint16_t>(s.startRecord - kRingFirstRecord));
            h.SetDWord(132, static_cast<uint32_t>(s.samples.size() * 100));
            h.SetWord(220, s.format == SampleFormat::Gps ? 1 : 0);
            image.SetHeader(s.entry, h);
            int r = s.startRecord, half = 0;
            for (const SampleRecordBuilder& b : s.samples) {
                image.SetSample(r, half, b.Data());
                if (++half == 2) {
                    half = 0;
                    if (++r >= records)
                        r = kRingFirstRecord;
                }
            }
        }
        ASSERT_TRUE(image.Save(folder.filePath(name)));
    }

    void List()
    {
        BuildSessionList(folder.path(), [this](const QString& m) { messages.append(m); });
    }

    // Lists and imports, confirming every header with driver 1 and track 1
    // unless a confirmation of its own is given.
    using Confirm = std::function<int(const QString&, const SessionHeaderRecord&, int&, int&, FbTransaction&)>;
    ImportSummary Import(Confirm confirm = {})
    {
        List();
        ImportCallbacks cb;
        cb.confirmHeader = [&](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                               FbTransaction& session) {
            ++confirmations;
            if (confirm)
                return confirm(serial, h, d, t, session);
            d = 1;
            t = 1;
            QString error;
            const int id = InsertHeader(serial, h, d, t, &error, &session);
            EXPECT_GE(id, 0) << error.toStdString();
            return id;
        };
        cb.message = [this](const QString& m) { messages.append(m); };
        cb.progress = [this](int done, int expected) { progress.emplace_back(done, expected); };
        return ImportSessions(folder.path(), cb);
    }

    int HeaderId(int hour)
    {
        return db
            .Scalar(QStringLiteral("select ID_NAG from NAGLOWKI where DATA_KONIEC = '2024-06-20 %1:00:00'").arg(hour))
            .toInt();
    }
    int Count(const QString& table)
    {
        return db.Scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt();
    }

    std::vector<Pos> Positions(int idNag)
    {
        TIBQuery q(db.dm().TransBrowse);
        q.SetSQL(QStringLiteral("select * from POZYCJE where ID_NAGLOWKA = :N order by ID_POZYCJI"));
        q.ParamByName(QStringLiteral("N"), idNag);
        q.Open();
        std::vector<Pos> out;
        for (; !q.Eof(); q.Next()) {
            auto i = [&](const char* f) { return q.FieldByName(QString::fromLatin1(f)).AsInteger(); };
            auto d = [&](const char* f) { return q.FieldByName(QString::fromLatin1(f)).AsFloat(); };
            out.push_back({i("DATA_SS"), i("OBROTY"), i("OKRAZENIE"), i("SEKTOR"), i("TYP_PROBKI"), i("GYRO1"),
                           i("GYRO2"), i("GPSX"), i("ACCX"), i("ACCY"), i("PREDKOSC_GPS"),
                           q.FieldByName(QStringLiteral("DATA")).AsString(), d("TEMP1"), d("TEMP2"),
                           d("TEMP_OTOCZENIA"), i("WILGOTNOSC")});
        }
        return out;
    }

    // Every column of the session's lap and sector rows.
    static stored::Table Laps(int idNag) { return stored::Laps(idNag, stored::kLapColumns); }
    static stored::Table Sectors(int idNag) { return stored::Sectors(idNag, stored::kSectorColumns); }

    // Session i of several in one file, without samples: entry i + 1, race
    // index i, ending 2024-06-20 at hour 10 + i, its samples recordsApart
    // records after those of session i - 1.
    static HandSession Numbered(int i, int recordsApart)
    {
        HandSession s;
        s.entry = i + 1;
        s.hour = 10 + i;
        s.race = static_cast<uint8_t>(i);
        s.startRecord = kRingFirstRecord + recordsApart * i;
        return s;
    }

    // n sessions of one sample record each.
    static std::vector<HandSession> OneRecordSessions(int n)
    {
        std::vector<HandSession> sessions;
        for (int i = 0; i < n; ++i) {
            HandSession s = Numbered(i, 1);
            s.samples = {Rec(1, 0, 0, 1, Flat(5000), SampleFormat::Plain, s.race), EndRec(s.race)};
            sessions.push_back(s);
        }
        return sessions;
    }

    QVariant HeaderColumn(int id, const char* column)
    {
        return db.Scalar(QStringLiteral("select %1 from NAGLOWKI where ID_NAG = %2").arg(QString::fromLatin1(column)).arg(id));
    }
};

// The closing message with its counts.
QString Finished(int stored, int skipped, int failed)
{
    return QStringLiteral("Finished\nSessions stored: %1\nSkipped as already stored: %2\nFailed: %3")
        .arg(stored)
        .arg(skipped)
        .arg(failed);
}

// Lap lines crossed at hundredth 0 and at hundredth 45, with the lap's
// averages and mean rise and fall worked out by hand.
TEST_F(ImportTest, LapLinesAtHundredthZeroAndFortyFive)
{
    HandSession s;
    s.samples = {
        Rec(1, 0, 0, 1, Flat(3000)),
        Rec(3, 0, 1, 3, {5000, 5100, 5200, 5300, 5400, 5500, 5600, 5700, 5800, 5900}),
        Rec(1, 0, 1, 1, {6000, 5800, 5600, 5400, 5200, 5000, 4800, 4600, 4400, 4200}),
        Rec(3, 45, 2, 2, {4300, 4400, 4500, 4600, 4700, 9000, 9000, 9000, 9000, 9000}),
        Rec(1, 0, 2, 1, Flat(8000)),
        Rec(3, 0, 3, 1, {7000, 6000, 6000, 6000, 6000, 6000, 6000, 6000, 6000, 6000}),
        EndRec(),
    };
    WriteDump(QStringLiteral("dane1_77.bin"), kMinDumpRecords + 40, {s});
    const ImportSummary sum = Import();
    EXPECT_EQ(sum.imported, 1);
    EXPECT_EQ(messages, QStringList{Finished(1, 0, 0)});

    const int id = HeaderId(10);
    EXPECT_EQ(HeaderColumn(id, "START_PIERWSZ_OKR").toInt(), 100);
    const std::vector<Pos> pos = Positions(id);
    ASSERT_EQ(pos.size(), 60u);
    for (int i = 0; i < 60; ++i) {
        const int rec = i / 10, k = i % 10;
        int lap = rec == 0 ? 0 : 1, sector = rec == 1 ? 3 : 1;
        if (rec == 3 && k >= 5) {  // after the crossing at 45
            lap = 2;
            sector = 2;
        }
        if (rec >= 4)
            lap = rec - 2;
        EXPECT_EQ(pos[i].dataSs, rec * 100 + k * 10) << i;
        EXPECT_EQ(pos[i].okrazenie, lap) << i;
        EXPECT_EQ(pos[i].sektor, sector) << i;
    }

    // Lap 1: samples of the first line's second (restarted at its first
    // sample), the whole next second, and 0..40 of the closing second:
    // 25 samples, 54500 + 51000 + 22500 = 128000, average 5120.  Rises
    // after the restart: 9 x 100, +100, 5 x 100 = 1500 in 15 -> 1500 / 1.5;
    // falls: 9 x 200 = 1800 in 9 -> 1800 / 0.9.
    // Lap 2 starts at 50 of the 45 crossing (9000) and closes at hundredth
    // 0 two seconds later, whose first sample (7000) still counts to it:
    // 5 x 9000 + 10 x 8000 + 7000 = 132000 / 16 = 8250; falls 1000 and
    // 1000 in 2 -> 2000 / 0.2; no rises.  Each lap is one sector,
    // numbered by the sector byte of the closing line's record.
    EXPECT_TRUE(SameRows(Laps(id), {LapRow(1, 245, "00:02:45", 5120, 1000, 2000),  //
                                    LapRow(2, 155, "00:01:55", 8250, 0, 10000)}));
    EXPECT_TRUE(SameRows(Sectors(id), {SectorRow(1, 2, 245, "00:02:45", 5120, 1000, 2000),
                                       SectorRow(2, 1, 155, "00:01:55", 8250, 0, 10000)}));
}

// Sector lines at 30 and 50 with averages that round half to even.
TEST_F(ImportTest, SectorLinesAndHalfEvenAverages)
{
    HandSession s;
    s.samples = {
        Rec(3, 0, 1, 3, Flat(1000)),
        Rec(4, 30, 1, 1, {1000, 1000, 1000, 1007, 2001, 2001, 2001, 2001, 2001, 2001}),
        Rec(4, 50, 1, 2, {2001, 2001, 2001, 2001, 2002, 2006, 3000, 3000, 3000, 3000}),
        EndRec(),
    };
    WriteDump(QStringLiteral("dane1_77.bin"), kMinDumpRecords + 40, {s});
    Import();
    const int id = HeaderId(10);
    EXPECT_EQ(HeaderColumn(id, "START_PIERWSZ_OKR").toInt(), 0);
    EXPECT_TRUE(SameRows(Laps(id), {}));

    // Sector 1: 10 x 1000 + 1000, 1000, 1000, 1007 = 14007 / 14 = 1000.5 -> 1000;
    // one rise of 7 -> 7 / 0.1.  Sector 2 restarts at 40: 6 x 2001 + 4 x 2001
    // + 2002 + 2006 = 24018 / 12 = 2001.5 -> 2002; rises 1 and 4 -> 5 / 0.2.
    EXPECT_TRUE(SameRows(Sectors(id), {SectorRow(1, 1, 130, "00:01:30", 1000, 70, 0),
                                       SectorRow(1, 2, 120, "00:01:20", 2002, 25, 0)}));

    const std::vector<Pos> pos = Positions(id);
    ASSERT_EQ(pos.size(), 30u);
    const int expectedSector[30] = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3,  //
                                    1, 1, 1, 1, 2, 2, 2, 2, 2, 2,  //
                                    2, 2, 2, 2, 2, 2, 3, 3, 3, 3};
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(pos[i].sektor, expectedSector[i]) << i;
        EXPECT_EQ(pos[i].okrazenie, 1) << i;
    }
}

// The first lap line writes only START_PIERWSZ_OKR; sector lines before it
// write no row; the first lap row comes with the second line.
TEST_F(ImportTest, FirstLapLineAndEarlierSectorLinesWriteNoRows)
{
    HandSession s;
    s.samples = {
        Rec(4, 20, 0, 1, Flat(3000)), Rec(3, 60, 1, 2, Flat(3000)), Rec(1, 0, 1, 1, Flat(3000)),
        Rec(4, 10, 1, 1, Flat(3000)), Rec(3, 0, 2, 2, Flat(3000)),  EndRec(),
    };
    WriteDump(QStringLiteral("dane1_77.bin"), kMinDumpRecords + 40, {s});
    Import();
    const int id = HeaderId(10);
    EXPECT_EQ(HeaderColumn(id, "START_PIERWSZ_OKR").toInt(), 160);
    // Every sample is 3000: no rise, no fall.
    EXPECT_TRUE(SameRows(Laps(id), {LapRow(1, 240, "00:02:40", 3000, 0, 0)}));
    EXPECT_TRUE(SameRows(Sectors(id), {SectorRow(1, 1, 150, "00:01:50", 3000, 0, 0),
                                       SectorRow(1, 2, 90, "00:00:90", 3000, 0, 0)}));
    EXPECT_EQ(Positions(id).size(), 50u);
}

// A lap line and a sector line crossed after the last sample of their
// second (hundredth 95): the lap or sector that follows averages only its
// own samples, not those of the one before it.
TEST_F(ImportTest, LinesCrossedAfterTheLastSampleOfTheirSecond)
{
    HandSession s;
    s.samples = {
        Rec(3, 0, 1, 1, Flat(5000)),   // first lap line: the sums start here
        Rec(1, 0, 1, 1, Flat(6000)),
        Rec(3, 95, 2, 1, Flat(7000)),  // lap 1 closes after its 7000s
        Rec(1, 0, 2, 1, Flat(8000)),
        Rec(4, 95, 2, 1, Flat(8000)),  // sector 1 of lap 2 closes after these
        Rec(1, 0, 2, 2, Flat(4000)),
        Rec(3, 0, 3, 2, Flat(9000)),   // lap 2 and its sector 2 close at 0
        EndRec(),
    };
    WriteDump(QStringLiteral("dane1_77.bin"), kMinDumpRecords + 40, {s});
    ASSERT_EQ(Import().imported, 1);
    const int id = HeaderId(10);

    // Lap 1 (0 to 295): 10 x 5000 + 10 x 6000 + 10 x 7000 = 180000 / 30;
    // rises of 1000 and 1000 -> 2000 / 0.2.
    // Lap 2 (295 to 600): 8000 x 20, 4000 x 10 and the 9000 at the closing
    // line: 209000 / 31 = 6741.9; one fall of 4000, one rise of 5000.
    EXPECT_TRUE(SameRows(Laps(id), {LapRow(1, 295, "00:02:95", 6000, 10000, 0),
                                    LapRow(2, 305, "00:03:05", 6742, 50000, 40000)}));

    // Sector 1 of lap 2 ends with the record at 95 (495) and holds its
    // 8000s only; sector 2 holds only the 4000s and the closing 9000:
    // 49000 / 11 = 4454.5, and no fall.
    EXPECT_TRUE(SameRows(Sectors(id), {SectorRow(1, 1, 295, "00:02:95", 6000, 10000, 0),
                                       SectorRow(2, 1, 200, "00:02:00", 8000, 0, 0),
                                       SectorRow(2, 2, 105, "00:01:05", 4455, 50000, 0)}));
}

TEST_F(ImportTest, LapOf6534HundredthsIsStoredAsItsText)
{
    HandSession s;
    s.samples.push_back(Rec(3, 0, 1, 1, Flat(8000)));
    for (int i = 1; i < 65; ++i)
        s.samples.push_back(Rec(1, 0, 1, 1, Flat(8000)));
    s.samples.push_back(Rec(3, 34, 2, 1, Flat(8000)));
    s.samples.push_back(EndRec());
    WriteDump(QStringLiteral("dane1_77.bin"), kRingFirstRecord + 40, {s});
    Import();
    EXPECT_TRUE(SameRows(Laps(HeaderId(10)), {LapRow(1, 6534, "01:05:34", 8000, 0, 0)}));
    const std::vector<Pos> pos = Positions(HeaderId(10));
    ASSERT_EQ(pos.size(), 660u);
    EXPECT_EQ(pos[655].data, QStringLiteral("01:05:50"));  // minutes, seconds, hundredths
    EXPECT_EQ(pos[655].dataSs, 6550);
}

// Every value of a sample row in both layouts; a GPS-format session right
// after a plain one stores no gyro values.
TEST_F(ImportTest, RowValuesOfBothLayouts)
{
    HandSession plain;
    plain.entry = 1;
    plain.hour = 10;
    SampleRecordBuilder p = Rec(7, 0, 0, 1, Flat(6000));
    p.Humidity(61).Temp1(452).Temp2(-31).Ambient(187);
    for (int j = 0; j < 5; ++j)
        p.GpsX(j, 0x34120000 + j).GpsY(j, 0x15050000 + j).Acc(j, -300 - j, 400 + j).Gyro(j, 111 + j);
    plain.samples = {p, EndRec()};

    HandSession gps;
    gps.entry = 2;
    gps.hour = 11;
    gps.format = SampleFormat::Gps;
    gps.startRecord = kRingFirstRecord + 5;
    SampleRecordBuilder g = Rec(9, 0, 0, 1, Flat(7000), SampleFormat::Gps);
    g.Humidity(40).Temp1(555).Ambient(-12);
    for (int j = 0; j < 5; ++j)
        g.Temp2At(j, static_cast<int16_t>(1500 + j)).Acc(j, 64 * j, -128).SpeedWord(j, static_cast<uint16_t>(((80 + j) << 8) | 0x77));
    std::array<uint8_t, 128> raw = g.Bytes();
    for (int i = 108; i < 120; ++i)
        raw[i] = 0x5A;  // nothing is read here in this layout
    gps.samples = {g, EndRec()};
    WriteDump(QStringLiteral("dane1_77.bin"), kMinDumpRecords + 40, {plain, gps});
    {
        // Put the junk bytes in place of the builder's zeros.
        QFile f(folder.filePath(QStringLiteral("dane1_77.bin")));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(qint64(kRingFirstRecord + 5) * kDumpRecordSize);
        f.write(reinterpret_cast<const char*>(raw.data()), 128);
    }
    EXPECT_EQ(Import().imported, 2);

    const std::vector<Pos> a = Positions(HeaderId(10));
    ASSERT_EQ(a.size(), 10u);
    for (int k = 0; k < 10; ++k) {
        const int j = k / 2;
        EXPECT_EQ(a[k].typ, 7);
        EXPECT_EQ(a[k].wilgotnosc, 61);
        EXPECT_DOUBLE_EQ(a[k].temp1, 45.2);
        EXPECT_DOUBLE_EQ(a[k].temp2, -3.1);
        EXPECT_DOUBLE_EQ(a[k].ambient, 18.7);
        EXPECT_EQ(a[k].gpsx, 0x34120000 + j);
        EXPECT_EQ(a[k].accx, -300 - j);
        EXPECT_EQ(a[k].accy, 400 + j);
        EXPECT_EQ(a[k].gyro1, 111 + j);
        EXPECT_EQ(a[k].gyro2, 111 + j);
        EXPECT_EQ(a[k].predkosc, 0);
        EXPECT_EQ(a[k].data, QStringLiteral("00:00:%1").arg(k * 10, 2, 10, QChar(u'0')));
    }
    const std::vector<Pos> b = Positions(HeaderId(11));
    ASSERT_EQ(b.size(), 10u);
    for (int k = 0; k < 10; ++k) {
        const int j = k / 2;
        EXPECT_EQ(b[k].typ, 9);
        EXPECT_DOUBLE_EQ(b[k].temp1, 55.5);
        EXPECT_DOUBLE_EQ(b[k].ambient, -1.2);
        EXPECT_DOUBLE_EQ(b[k].temp2, (1500 + j) / 10.0);
        EXPECT_EQ(b[k].accx, 64 * j);
        EXPECT_EQ(b[k].accy, -128);
        EXPECT_EQ(b[k].predkosc, 80 + j);
        EXPECT_EQ(b[k].gyro1, 0);
        EXPECT_EQ(b[k].gyro2, 0);
    }
}

TEST_F(ImportTest, HasGpsIsTheHighestPositiveGpsX)
{
    const struct {
        int32_t x[5];
        int expected;
    } cases[] = {
        {{0, 0, 0, 0, 0}, 0},
        {{-5, 0, -1, -100000, 0}, 0},
        {{0, 0x34120000, -1, 0x34130000, 0x34110000}, 0x34130000},
    };
    std::vector<HandSession> sessions;
    for (int i = 0; i < 3; ++i) {
        HandSession s = Numbered(i, 2);
        SampleRecordBuilder b = Rec(1, 0, 0, 1, Flat(5000), SampleFormat::Plain, s.race);
        for (int j = 0; j < 5; ++j)
            b.GpsX(j, cases[i].x[j]);
        s.samples = {b, EndRec(s.race)};
        sessions.push_back(s);
    }
    WriteDump(QStringLiteral("dane1_77.bin"), kMinDumpRecords + 40, sessions);
    EXPECT_EQ(Import().imported, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(HeaderColumn(HeaderId(10 + i), "BYL_GPS").toInt(), cases[i].expected) << i;
}

TEST_F(ImportTest, RingWrapsToItsStart)
{
    HandSession s;
    s.startRecord = 167;  // the file has 170 records: 167..169, then 160..
    for (int i = 0; i < 9; ++i)
        s.samples.push_back(Rec(1, 0, 0, 1, Flat(static_cast<uint16_t>(1000 + i))));
    s.samples.push_back(EndRec());
    WriteDump(QStringLiteral("dane1_77.bin"), 170, {s});
    EXPECT_EQ(Import().imported, 1);
    const std::vector<Pos> pos = Positions(HeaderId(10));
    ASSERT_EQ(pos.size(), 90u);
    for (int i = 0; i < 90; ++i) {
        EXPECT_EQ(pos[i].obroty, 1000 + i / 10) << i;
        EXPECT_EQ(pos[i].dataSs, i * 10) << i;
    }
    // Before each of the 5 records: records read so far, and the 5 the
    // header's 10 seconds lead to expect.
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}}));
}

// A session without end record: its message, rollback, its header removed
// so that it is listed again; the import goes on with the next session.
TEST_F(ImportTest, SessionWithoutEndRecordIsRolledBackAndListedAgain)
{
    HandSession broken;
    broken.hour = 10;
    for (int i = 0; i < 10; ++i)  // fills the whole ring of 5 records
        broken.samples.push_back(Rec(i == 3 ? 3 : 1, 0, 1, 1, Flat(4000)));
    WriteDump(QStringLiteral("dane1_77.bin"), 165, {broken});
    HandSession good;
    good.hour = 11;
    good.samples = {Rec(1, 0, 0, 1, Flat(5000)), EndRec()};
    WriteDump(QStringLiteral("dane2_77.bin"), kMinDumpRecords + 40, {good});

    const ImportSummary sum = Import();
    EXPECT_EQ(sum.imported, 1);
    EXPECT_EQ(sum.failed, 1);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Read beyond end of file"))) << messages[0].toStdString();
    EXPECT_EQ(messages[1], Finished(1, 0, 1));
    EXPECT_EQ(Count(QStringLiteral("NAGLOWKI")), 1);
    EXPECT_EQ(HeaderId(10), 0);
    EXPECT_EQ(Count(QStringLiteral("POZYCJE")), 10);
    EXPECT_EQ(Positions(HeaderId(11)).size(), 10u);
    EXPECT_FALSE(DM->TransEdit.Active());

    messages.clear();
    List();
    MemTable& mem = DM->memPrzejazdy;
    ASSERT_EQ(mem.RecordCount(), 2);
    EXPECT_TRUE(mem.BoolAt(0, mem.FieldIndex(QStringLiteral("wybrany"))));
    EXPECT_FALSE(mem.BoolAt(0, mem.FieldIndex(QStringLiteral("jestwbazie"))));
    EXPECT_TRUE(mem.BoolAt(1, mem.FieldIndex(QStringLiteral("jestwbazie"))));
}

// A header the form could not store leads to no samples.
TEST_F(ImportTest, FailedHeaderInsertWritesNoSamples)
{
    db.Exec(QStringLiteral("alter table NAGLOWKI add constraint CHK_TEST_DRIVER check (ID_KIEROWCY < 0)"));
    HandSession s;
    s.samples = {Rec(1, 0, 0, 1, Flat(5000)), EndRec()};
    WriteDump(QStringLiteral("dane1_77.bin"), kMinDumpRecords + 40, {s});
    QString error;
    const ImportSummary sum = Import([&](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                                         FbTransaction& session) {
        d = 1;
        t = 1;
        return InsertHeader(serial, h, d, t, &error, &session);
    });
    EXPECT_EQ(sum.imported, 0);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Count(QStringLiteral("NAGLOWKI")), 0);
    EXPECT_EQ(Count(QStringLiteral("POZYCJE")), 0);
    EXPECT_EQ(messages, QStringList{Finished(0, 0, 0)});
}

// Only ticked sessions not yet stored are offered to the header form;
// "Cancel all" ends the import without the final message.
TEST_F(ImportTest, WhatIsOfferedAndCancelAll)
{
    const std::vector<HandSession> sessions = OneRecordSessions(4);
    WriteDump(QStringLiteral("dane1_77.bin"), kMinDumpRecords + 40, sessions);
    db.Exec(QStringLiteral("insert into NAGLOWKI (ID_NAG, NR_SERYJNY_KROM, DATA_KONIEC) "
                           "values (50, '77', '2024-06-20 10:00:00')"));
    List();
    MemTable& mem = DM->memPrzejazdy;
    const int ticked = mem.FieldIndex(QStringLiteral("wybrany"));
    mem.SetRecNo(1);
    mem.Edit();
    mem.FieldAt(ticked).SetAsBoolean(false);
    mem.Post();
    // The stored one ticked by the user is still not imported twice.
    mem.SetRecNo(0);
    mem.Edit();
    mem.FieldAt(ticked).SetAsBoolean(true);
    mem.Post();

    std::vector<int> offered;
    ImportCallbacks cb;
    cb.confirmHeader = [&](const QString&, const SessionHeaderRecord& h, int& d, int&, FbTransaction&) {
        offered.push_back(h.RaceIndex());
        d = 42;  // carried to the next confirmation
        return offered.size() == 1 ? -1 : -2;
    };
    int carried = 0;
    auto inner = cb.confirmHeader;
    cb.confirmHeader = [&](const QString& s, const SessionHeaderRecord& h, int& d, int& t, FbTransaction& session) {
        carried = d;
        return inner(s, h, d, t, session);
    };
    cb.message = [this](const QString& m) { messages.append(m); };
    const ImportSummary sum = ImportSessions(folder.path(), cb);
    EXPECT_TRUE(sum.cancelled);
    EXPECT_EQ(offered, (std::vector<int>{2, 3}));
    EXPECT_EQ(carried, 42);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Count(QStringLiteral("POZYCJE")), 0);
}

// Whole simulated sessions in both formats, one running over the ring's
// end, compared with what the simulator wrote.
TEST_F(ImportTest, SimulatedSessionsMatchTheSimulatorsTruth)
{
    std::vector<kromsim::DumpTruth> truths;
    for (const kromsim::DumpOptions& opts : kromsim::StandardDumps(3, 77))
        truths.push_back(kromsim::WriteDumpFile(folder.path(), opts));
    truths.push_back(kromsim::WriteDumpFile(folder.path(), kromsim::BrokenDump(3, 79)));
    db.Exec(QStringLiteral("insert into KROM_KIEROWCY (ID_KIEROWCY, NR_SER_KROM) values (1, '77')"));
    db.Exec(QStringLiteral("insert into KROM_KIEROWCY (ID_KIEROWCY, NR_SER_KROM) values (2, '78')"));
    db.Exec(QStringLiteral("insert into KROM_KIEROWCY (ID_KIEROWCY, NR_SER_KROM) values (3, '79')"));

    const ImportSummary sum = Import([](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                                        FbTransaction& session) {
        d = ProposeDriver(serial);
        t = 1;
        return InsertHeader(serial, h, d, t, nullptr, &session);
    });
    EXPECT_EQ(sum.failed, 1);  // the session without end record

    int expectedSessions = 0;
    bool sawWrap = false, sawGps = false, sawPlain = false;
    for (const kromsim::DumpTruth& file : truths) {
        ASSERT_FALSE(file.fileName.isEmpty());
        for (const kromsim::SessionTruth& t : file.sessions) {
            const QString where = file.fileName + QStringLiteral(" entry %1").arg(t.entry);
            const QVariant idValue = db.Scalar(
                QStringLiteral("select ID_NAG from NAGLOWKI where NR_SERYJNY_KROM = '%1' and DATA_KONIEC = '%2'")
                    .arg(file.serial, t.end.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
            if (!t.validDate || !t.hasEndRecord) {
                EXPECT_FALSE(idValue.isValid()) << where.toStdString();
                continue;
            }
            ++expectedSessions;
            ASSERT_TRUE(idValue.isValid()) << where.toStdString();
            const int id = idValue.toInt();
            sawWrap = sawWrap || t.wraps;
            (t.options.format == SampleFormat::Gps ? sawGps : sawPlain) = true;

            EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from POZYCJE where ID_NAGLOWKA = %1").arg(id)).toInt(),
                      t.positionRows)
                << where.toStdString();
            ASSERT_TRUE(t.startFirstLap.has_value());
            EXPECT_EQ(HeaderColumn(id, "START_PIERWSZ_OKR").toInt(), *t.startFirstLap) << where.toStdString();
            EXPECT_EQ(HeaderColumn(id, "BYL_GPS").toInt(), t.bylGps) << where.toStdString();
            EXPECT_EQ(t.bylGps > 0, t.options.gpsFix) << where.toStdString();

            const stored::Table laps = stored::Laps(id, stored::kTruthLapColumns);
            EXPECT_TRUE(SameRows(laps, stored::TruthLapRows(t.laps))) << where.toStdString();
            const stored::Table averages = stored::Laps(id, {QStringLiteral("AVG_OBROTY")});
            for (size_t i = 0; i < averages.rows.size(); ++i)
                EXPECT_GT(averages.Number(i, QStringLiteral("AVG_OBROTY")), 2000) << where.toStdString() << " lap " << i;
            const stored::Table sectors = stored::Sectors(id, stored::kTruthSectorColumns);
            EXPECT_TRUE(SameRows(sectors, stored::TruthSectorRows(t.sectors))) << where.toStdString();
            // Each lap's sectors add up to the lap.
            for (size_t l = 0; l < laps.rows.size(); ++l) {
                double total = 0;
                for (size_t k = 0; k < sectors.rows.size(); ++k)
                    if (sectors.Number(k, QStringLiteral("NR_OKRAZENIA")) == laps.Number(l, QStringLiteral("NR")))
                        total += sectors.Number(k, QStringLiteral("CZAS_SS"));
                EXPECT_EQ(total, laps.Number(l, QStringLiteral("CZAS_SS"))) << where.toStdString() << " lap " << l;
            }
        }
    }
    EXPECT_EQ(sum.imported, expectedSessions);
    EXPECT_EQ(messages.last(), Finished(expectedSessions, 0, 1));
    EXPECT_EQ(Count(QStringLiteral("NAGLOWKI")), expectedSessions);
    EXPECT_TRUE(sawWrap);
    EXPECT_TRUE(sawGps);
    EXPECT_TRUE(sawPlain);
    // Position ids run on without gaps across the sessions.
    EXPECT_EQ(db.Scalar(QStringLiteral("select max(ID_POZYCJI) - min(ID_POZYCJI) + 1 - count(*) from POZYCJE")).toInt(), 0);
}

// Sessions longer than the logger's one-byte lap count: the lap byte wraps
// from 255 to 0 and the import counts on, so every driven lap is stored
// once with its own number, time and sectors; the samples carry the same
// numbers, and the header's lap count says how many lap lines there were.
TEST_F(ImportTest, LapsPastTheLapBytesWrapAreCountedOn)
{
    for (const int driven : {250, 256, 300, 2000}) {
        SCOPED_TRACE(driven);
        kromsim::SessionOptions s;
        s.laps = driven;
        s.sectorsPerLap = 2;
        s.trackScale = kromsim::kSmallestTrack;  // laps of about 6 s
        s.end = QDateTime(QDate(2024, 7, 1), QTime(0, 0), Qt::UTC).addSecs(driven);
        const kromsim::SessionTruth t =
            kromsim::WriteDumpFile(folder.path(), kromsim::LongSessionDump(1, 77, s)).sessions.at(0);
        ASSERT_EQ(int(t.laps.size()), driven);
        ASSERT_EQ(Import().imported, 1);
        const int id = db.Scalar(QStringLiteral("select max(ID_NAG) from NAGLOWKI")).toInt();

        // Lap numbers run on from 1 past 255.
        std::vector<Row> expectedLaps;
        for (size_t i = 0; i < t.laps.size(); ++i)
            expectedLaps.push_back({int(i) + 1, t.laps[i].czasSs, SessionTimeText(t.laps[i].czasSs)});
        ASSERT_TRUE(SameRows(stored::Laps(id, stored::kTruthLapColumns), expectedLaps));
        ASSERT_TRUE(SameRows(stored::Sectors(id, stored::kTruthSectorColumns), stored::TruthSectorRows(t.sectors)));
        EXPECT_EQ(HeaderColumn(id, "ILOSC_OKRAZEN").toInt(), driven + 1);

        // Each lap's samples lie between its two lap lines (to the sample).
        TIBQuery q(db.dm().TransBrowse);
        q.SetSQL(QStringLiteral("select OKRAZENIE, min(DATA_SS) as S, max(DATA_SS) as E from POZYCJE "
                                "where ID_NAGLOWKA = :N group by OKRAZENIE order by OKRAZENIE"));
        q.ParamByName(QStringLiteral("N"), id);
        int start = *t.startFirstLap, lap = 0;
        for (q.Open(); !q.Eof(); q.Next(), ++lap) {
            ASSERT_EQ(q.FieldByName(QStringLiteral("OKRAZENIE")).AsInteger(), lap);
            if (lap == 0 || lap > driven)
                continue;  // before the first lap line, the in-lap
            const int end = start + t.laps[size_t(lap - 1)].czasSs;
            ASSERT_GE(q.FieldByName(QStringLiteral("S")).AsInteger(), start) << lap;
            ASSERT_LT(q.FieldByName(QStringLiteral("S")).AsInteger(), start + 10) << lap;
            ASSERT_LT(q.FieldByName(QStringLiteral("E")).AsInteger(), end) << lap;
            ASSERT_GE(q.FieldByName(QStringLiteral("E")).AsInteger(), end - 10) << lap;
            start = end;
        }
        EXPECT_EQ(lap, driven + 2);
        for (const QString& f : QDir(folder.path()).entryList({QStringLiteral("dane*.bin")}))
            QFile::remove(folder.filePath(f));
    }
}

// Rises and falls count only when the previous RPM is not 0: the climb
// from 0 to 5000 is no rise, the drop from 4000 to 0 is a fall.
TEST_F(ImportTest, RiseFromZeroRpmIsNotCounted)
{
    HandSession s;
    s.samples = {
        Rec(3, 0, 1, 1, {4000, 0, 0, 5000, 5000, 5000, 5000, 5000, 5000, 5000}),
        Rec(3, 0, 2, 1, Flat(5000)),
        EndRec(),
    };
    WriteDump(QStringLiteral("dane1_77.bin"), kRingFirstRecord + 40, {s});
    ASSERT_EQ(Import().imported, 1);
    // 4000 + 0 + 0 + 7 x 5000 + the closing 5000 = 44000 / 11.
    EXPECT_TRUE(SameRows(Laps(HeaderId(10)), {LapRow(1, 100, "00:01:00", 4000, 0, 40000)}));
}

// What ends a session: types 0, 5 and 255 with the session's own race byte,
// and any record of another race.  Nothing after it is stored.
TEST_F(ImportTest, EndRecordsEndTheSession)
{
    const struct {
        const char* name;
        uint8_t type;
        uint8_t race;
    } cases[] = {
        {"type 255 of the same race", 255, 0},
        {"type 0 of the same race", 0, 0},
        {"type 5 of the same race", 5, 0},
        {"ordinary record of another race", 1, 1},
    };
    std::vector<HandSession> sessions;
    for (int i = 0; i < 4; ++i) {
        HandSession s;
        s.entry = i + 1;
        s.hour = 10 + i;
        s.startRecord = kRingFirstRecord + 3 * i;
        SampleRecordBuilder end = Rec(cases[i].type, 0, 1, 1, Flat(7000), SampleFormat::Plain, cases[i].race);
        s.samples = {Rec(1, 0, 1, 1, Flat(5000)), end, Rec(1, 0, 1, 1, Flat(6000)), EndRec()};
        sessions.push_back(s);
    }
    WriteDump(QStringLiteral("dane1_77.bin"), kRingFirstRecord + 40, sessions);
    EXPECT_EQ(Import().imported, 4);
    for (int i = 0; i < 4; ++i) {
        const std::vector<Pos> pos = Positions(HeaderId(10 + i));
        ASSERT_EQ(pos.size(), 10u) << cases[i].name;
        EXPECT_EQ(pos.back().obroty, 5000) << cases[i].name;
    }
}

// Line records that cannot be true (a crossing beyond the record's second,
// a lap line that would close lap -1) are kept as ordinary samples: no
// negative time or lap number is stored, and the next good lap line closes
// the lap with its true time.
TEST_F(ImportTest, CorruptLineRecordsAreKeptAsOrdinarySamples)
{
    const struct {
        const char* name;
        uint8_t type, hundredths, lap, sector;
    } cases[] = {
        {"lap line at hundredth 250", 3, 250, 2, 1},
        {"sector line at hundredth 255", 4, 255, 1, 1},
        {"lap line with lap byte 0", 3, 50, 0, 1},
    };
    std::vector<HandSession> sessions;
    for (int i = 0; i < 3; ++i) {
        HandSession s = Numbered(i, 4);
        auto rec = [&](uint8_t type, uint8_t line, uint8_t lap, uint8_t sector, uint16_t rpm) {
            return Rec(type, line, lap, sector, Flat(rpm), SampleFormat::Plain, s.race);
        };
        s.samples = {rec(3, 0, 1, 1, 5000),
                     rec(1, 0, 1, 1, 5000),
                     rec(cases[i].type, cases[i].hundredths, cases[i].lap, cases[i].sector, 6000),
                     rec(1, 0, 1, 1, 7000),
                     rec(3, 20, 2, 2, 7000),
                     EndRec(s.race)};
        sessions.push_back(s);
    }
    WriteDump(QStringLiteral("dane1_77.bin"), kRingFirstRecord + 40, sessions);
    EXPECT_EQ(Import().imported, 3);

    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(cases[i].name);
        const int id = HeaderId(10 + i);
        const std::vector<Pos> pos = Positions(id);
        ASSERT_EQ(pos.size(), 50u);
        for (int k = 20; k < 30; ++k) {
            EXPECT_EQ(pos[k].typ, cases[i].type);
            EXPECT_EQ(pos[k].okrazenie, cases[i].lap);
            EXPECT_EQ(pos[k].sektor, cases[i].sector);
        }
        for (const Pos& p : pos)
            EXPECT_GE(p.okrazenie, 0);
        // 10 x 5000 + 10 x 5000 + 10 x 6000 + 10 x 7000 + 3 x 7000 = 251000 / 43.
        // Rises of 1000 and 1000 -> 2000 / 0.2; the lap is one sector,
        // numbered by the sector byte of the closing line's record.
        EXPECT_TRUE(SameRows(Laps(id), {LapRow(1, 420, "00:04:20", 5837, 10000, 0)}));
        EXPECT_TRUE(SameRows(Sectors(id), {SectorRow(1, 2, 420, "00:04:20", 5837, 10000, 0)}));
    }
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from OKRAZENIA_REJ where CZAS_SS < 0 or NR < 0")).toInt(), 0);
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from SEKTORY where CZAS_SS < 0 or NR_OKRAZENIA < 0")).toInt(), 0);
}

// The closing message says how many sessions were stored, skipped as
// already stored (listed as stored, or an equal header found by the form)
// and failed.
TEST_F(ImportTest, ClosingMessageCountsWhatHappened)
{
    const std::vector<HandSession> sessions = OneRecordSessions(4);
    WriteDump(QStringLiteral("dane1_77.bin"), kRingFirstRecord + 40, sessions);
    HandSession broken;
    broken.hour = 20;
    for (int i = 0; i < 10; ++i)
        broken.samples.push_back(Rec(1, 0, 1, 1, Flat(4000)));
    WriteDump(QStringLiteral("dane2_77.bin"), 165, {broken});
    // Hour 10 is stored already; the user ticks it anyway.
    db.Exec(QStringLiteral("insert into NAGLOWKI (ID_NAG, NR_SERYJNY_KROM, DATA_KONIEC) "
                           "values (50, '77', '2024-06-20 10:00:00')"));
    List();
    MemTable& mem = DM->memPrzejazdy;
    mem.SetBoolAt(0, mem.FieldIndex(QStringLiteral("wybrany")), true);

    ImportCallbacks cb;
    cb.confirmHeader = [](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                          FbTransaction& session) {
        switch (h.RaceIndex()) {
        case 1: return 0;    // the form found an equal session
        case 2: return -1;   // skipped by the user: not counted
        default:
            d = 1;
            t = 1;
            return InsertHeader(serial, h, d, t, nullptr, &session);
        }
    };
    cb.message = [this](const QString& m) { messages.append(m); };
    const ImportSummary sum = ImportSessions(folder.path(), cb);
    EXPECT_EQ(sum.imported, 1);
    EXPECT_EQ(sum.skipped, 2);
    EXPECT_EQ(sum.failed, 1);
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.last(), Finished(1, 2, 1));
}

// The check list's rows are found again by file name and entry number: a
// dump file that appears while the list is open takes nobody's place, and
// an entry that no longer holds the session listed is not imported.
TEST_F(ImportTest, TickedRowsAreFoundByFileNameAndEntry)
{
    auto session = [](int entry, int hour) {
        HandSession s;
        s.entry = entry;
        s.hour = hour;
        s.race = static_cast<uint8_t>(entry);
        s.startRecord = kRingFirstRecord + entry;
        s.samples = {Rec(1, 0, 0, 1, Flat(static_cast<uint16_t>(1000 * hour)), SampleFormat::Plain, s.race),
                     EndRec(s.race)};
        return s;
    };
    WriteDump(QStringLiteral("dane2_77.bin"), kRingFirstRecord + 40, {session(1, 10), session(2, 11)});
    List();
    MemTable& mem = DM->memPrzejazdy;
    mem.SetBoolAt(0, mem.FieldIndex(QStringLiteral("wybrany")), false);  // only entry 2 (hour 11) stays ticked
    // Sorted before the listed file.
    WriteDump(QStringLiteral("dane1_5.bin"), kRingFirstRecord + 40, {session(1, 12), session(2, 13)});

    ImportCallbacks cb;
    std::vector<int> offered;
    cb.confirmHeader = [&](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                           FbTransaction& session) {
        offered.push_back(h.Byte(1));
        d = 1;
        t = 1;
        return InsertHeader(serial, h, d, t, nullptr, &session);
    };
    cb.message = [this](const QString& m) { messages.append(m); };
    ImportSummary sum = ImportSessions(folder.path(), cb);
    EXPECT_EQ(offered, std::vector<int>{11});
    EXPECT_EQ(sum.imported, 1);
    EXPECT_GT(HeaderId(11), 0);
    EXPECT_EQ(Positions(HeaderId(11)).front().obroty, 11000);
    EXPECT_EQ(HeaderId(13), 0);

    // Listed again: dane1_5 entries 1 and 2 and dane2_77 entry 1 are ticked.
    // Then entry 1 of dane1_5 is written over by another session.
    List();
    WriteDump(QStringLiteral("dane1_5.bin"), kRingFirstRecord + 40, {session(1, 15), session(2, 13)});
    messages.clear();
    offered.clear();
    sum = ImportSessions(folder.path(), cb);
    EXPECT_EQ(offered, (std::vector<int>{13, 10}));
    EXPECT_EQ(HeaderId(15), 0);
    EXPECT_EQ(HeaderId(12), 0);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("dane1_5.bin"))) << messages[0].toStdString();
    EXPECT_EQ(messages[1], Finished(2, 0, 1));
}

// The program killed in the middle of a session's import: nothing of the
// session is left behind (no header without its samples), so the next
// intake offers it again and every row arrives.
TEST_F(ImportTest, ImportKilledPartWayLeavesTheSessionToImportAgain)
{
    kromsim::DumpOptions dump;
    dump.serial = QStringLiteral("77");
    kromsim::SessionOptions options;
    options.laps = 3;
    options.seed = 7;
    dump.sessions = {options};
    const kromsim::DumpTruth truth = kromsim::WriteDumpFile(folder.path(), dump);
    const kromsim::SessionTruth& t = truth.sessions.at(0);
    ASSERT_GT(t.records, 60);

    // The child's embedded engine needs the database file to itself.
    ASSERT_FALSE(db.dm().OpenDatabase(QString()));
    QProcess child;
    child.start(QStringLiteral(IMPORT_CHILD), {db.Path(), folder.path(), QStringLiteral("50")});
    ASSERT_TRUE(child.waitForStarted());
    QByteArray out;
    while (!out.contains("writing") && child.waitForReadyRead(60000))
        out += child.readAllStandardOutput();
    ASSERT_TRUE(out.contains("writing")) << child.readAllStandardError().toStdString();
    child.kill();
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    ASSERT_TRUE(db.dm().OpenDatabase(db.Path())) << db.dm().LastOpenError().toStdString();

    EXPECT_EQ(Count(QStringLiteral("NAGLOWKI")), 0);
    EXPECT_EQ(Count(QStringLiteral("POZYCJE")), 0);
    const ImportSummary sum = Import();
    EXPECT_EQ(sum.imported, 1);
    const int id = db.Scalar(QStringLiteral("select max(ID_NAG) from NAGLOWKI")).toInt();
    EXPECT_EQ(Count(QStringLiteral("POZYCJE")), t.positionRows);
    EXPECT_EQ(Positions(id).size(), static_cast<size_t>(t.positionRows));
    EXPECT_TRUE(SameRows(stored::Laps(id, stored::kTruthLapColumns), stored::TruthLapRows(t.laps)));
    EXPECT_TRUE(SameRows(stored::Sectors(id, stored::kTruthSectorColumns), stored::TruthSectorRows(t.sectors)));
    ASSERT_TRUE(t.startFirstLap.has_value());
    EXPECT_EQ(HeaderColumn(id, "START_PIERWSZ_OKR").toInt(), *t.startFirstLap);
}

// A commit the database refuses ends the session's transaction: the
// session is rolled back whole (header included) with the database's
// message, and the next session writes the very ids the refused one held
// without waiting on it.
TEST_F(ImportTest, RefusedCommitRollsTheSessionBackWhole)
{
    db.Exec(QStringLiteral("create exception E_REFUSED 'commit refused here'"));
    db.Exec(QStringLiteral("create trigger T_REFUSE on transaction commit as begin "
                           "if (exists(select 1 from NAGLOWKI where NR_SERYJNY_KROM = '666')) then "
                           "exception E_REFUSED; end"));
    auto session = [](int hour) {
        HandSession s;
        s.hour = hour;
        s.samples = {Rec(3, 0, 1, 1, Flat(5000)), Rec(1, 0, 1, 1, Flat(6000)), Rec(3, 0, 2, 1, Flat(7000)), EndRec()};
        return s;
    };
    WriteDump(QStringLiteral("dane1_666.bin"), kRingFirstRecord + 40, {session(10)});
    WriteDump(QStringLiteral("dane2_77.bin"), kRingFirstRecord + 40, {session(11)});

    ImportSummary sum = Import();
    EXPECT_EQ(sum.imported, 1);
    EXPECT_EQ(sum.failed, 1);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("commit refused here"))) << messages[0].toStdString();
    EXPECT_EQ(messages[1], Finished(1, 0, 1));
    EXPECT_EQ(HeaderId(10), 0);
    EXPECT_EQ(HeaderId(11), 1);
    EXPECT_EQ(Count(QStringLiteral("POZYCJE")), 30);
    EXPECT_EQ(db.Scalar(QStringLiteral("select min(ID_POZYCJI) from POZYCJE")).toInt(), 1);

    db.Exec(QStringLiteral("drop trigger T_REFUSE"));
    messages.clear();
    sum = Import();
    EXPECT_EQ(sum.imported, 1);
    EXPECT_EQ(Positions(HeaderId(10)).size(), 30u);
    // 10 x 5000 + 10 x 6000 + the closing 7000 = 117000 / 21 = 5571.4;
    // rises of 1000 and 1000 -> 2000 / 0.2.
    EXPECT_TRUE(SameRows(Laps(HeaderId(10)), {LapRow(1, 200, "00:02:00", 5571, 10000, 0)}));
}

// A row another connection holds makes the session that needs it fail
// after the lock time-out, as any database error does (message, rollback,
// next session); once the row is free the session is imported.
TEST_F(ImportTest, RowHeldElsewhereFailsOnlyItsSessionAfterTheLockTimeOut)
{
    HandSession longer;
    longer.entry = 1;
    longer.hour = 10;
    longer.samples = {Rec(1, 0, 0, 1, Flat(5000)), Rec(1, 0, 0, 1, Flat(5000)), Rec(1, 0, 0, 1, Flat(5000)), EndRec()};
    HandSession shorter;
    shorter.entry = 2;
    shorter.hour = 11;
    shorter.race = 1;
    shorter.startRecord = kRingFirstRecord + 3;
    shorter.samples = {Rec(1, 0, 0, 1, Flat(6000), SampleFormat::Plain, 1), EndRec(1)};
    WriteDump(QStringLiteral("dane1_77.bin"), kRingFirstRecord + 40, {longer, shorter});

    // Position 25 is taken, uncommitted, on the other attachment: the
    // first session (positions 1 to 30) needs it, the second (1 to 10) not.
    FbTransaction holder(db.dm().TransBrowse.Database());
    holder.StartWrite(0);
    FbStatement hold(holder, QStringLiteral("insert into POZYCJE (ID_POZYCJI) values (25)"));
    hold.Execute();

    ImportSummary sum = Import();
    EXPECT_EQ(sum.failed, 1);
    EXPECT_EQ(sum.imported, 1);
    ASSERT_EQ(messages.size(), 2);
    // After the wait the engine names the conflict it ended in.
    EXPECT_TRUE(messages[0].contains(QStringLiteral("lock time-out")) ||
                messages[0].contains(QStringLiteral("\"ID_POZYCJI\" = 25")))
        << messages[0].toStdString();
    EXPECT_EQ(HeaderId(10), 0);
    EXPECT_EQ(Positions(HeaderId(11)).size(), 10u);

    holder.Rollback();
    sum = Import();
    EXPECT_EQ(sum.imported, 1);
    EXPECT_EQ(Positions(HeaderId(10)).size(), 30u);
}

// How a session is named in the import's messages: its entry, file and
// start (the end minus the header's duration).
QString SessionName(int entry, const QString& file, const QDateTime& start)
{
    return QStringLiteral("Entry %1 of %2 (started %3)").arg(entry).arg(file, DateTimeToStr(start));
}

QDateTime June20(int hour, int minute, int second)
{
    return QDateTime(QDate(2024, 6, 20), QTime(hour, minute, second), Qt::UTC);
}

// A ring without end record names the session whose samples ran out: its
// entry and its start, not only the file.
TEST_F(ImportTest, ReadPastTheEndNamesTheEntryAndItsStart)
{
    HandSession broken;
    broken.entry = 3;
    broken.hour = 10;
    for (int i = 0; i < 10; ++i)
        broken.samples.push_back(Rec(1, 0, 0, 1, Flat(4000)));
    WriteDump(QStringLiteral("dane2_78.bin"), 165, {broken});

    EXPECT_EQ(Import().failed, 1);
    EXPECT_EQ(messages, (QStringList{SessionName(3, QStringLiteral("dane2_78.bin"), June20(9, 59, 50)) +
                                         QStringLiteral(" was not stored: Read beyond end of file (dane2_78.bin)"),
                                     Finished(0, 0, 1)}));
}

// A row another connection holds, whether it then commits while the import
// waits or rolls back after the wait: the session is not stored, the
// message says the database is busy (not a duplicate key), and a retry
// after the other side has ended stores the session.
TEST_F(ImportTest, RowHeldByAnotherConnectionIsReportedAsBusy)
{
    struct Case {
        const char* name;
        bool commits;  // true: commits one second into the wait; false: rolls back after it
    };
    const Case cases[] = {{"other side commits", true}, {"other side rolls back", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db.Exec(QStringLiteral("delete from POZYCJE"));
        db.Exec(QStringLiteral("delete from NAGLOWKI"));
        messages.clear();
        HandSession s;
        s.samples = {Rec(1, 0, 0, 1, Flat(5000)), Rec(1, 0, 0, 1, Flat(5000)), Rec(1, 0, 0, 1, Flat(5000)), EndRec()};
        WriteDump(QStringLiteral("dane1_77.bin"), kRingFirstRecord + 40, {s});

        FbTransaction holder(db.dm().TransBrowse.Database());
        holder.StartWrite(0);
        FbStatement hold(holder, QStringLiteral("insert into POZYCJE (ID_POZYCJI) values (25)"));
        hold.Execute();
        std::thread committer;
        if (c.commits)
            committer = std::thread([&holder] {
                std::this_thread::sleep_for(std::chrono::seconds(1));
                holder.Commit();
            });
        const ImportSummary sum = Import();
        if (committer.joinable())
            committer.join();
        holder.Rollback();

        EXPECT_EQ(sum.imported, 0);
        EXPECT_EQ(sum.failed, 1);
        ASSERT_EQ(messages.size(), 2);
        const QString busy = SessionName(1, QStringLiteral("dane1_77.bin"), June20(9, 59, 56)) +
                             QStringLiteral(" was not stored: the database is busy: another connection holds rows this "
                                            "session needs. Read the session again once that connection has "
                                            "finished.\n\nDatabase message: ");
        EXPECT_TRUE(messages[0].startsWith(busy)) << messages[0].toStdString();
        EXPECT_EQ(messages[1], Finished(0, 0, 1));
        EXPECT_EQ(HeaderId(10), 0);

        messages.clear();
        EXPECT_EQ(Import().imported, 1);
        EXPECT_EQ(Positions(HeaderId(10)).size(), 30u);
    }
}

// The database file deleted or replaced while the program runs: the
// engine would go on writing into the file that is gone.  The session is
// rolled back, the message says the file is gone, nothing is counted as
// stored, and no further session is offered.
TEST_F(ImportTest, DatabaseFileGoneMidRunStoresNothingMore)
{
    struct Case {
        const char* name;
        bool replaced;  // false: deleted
    };
    const Case cases[] = {{"deleted", false}, {"replaced by a copy", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDatabase own;  // the file this case takes away
        messages.clear();
        confirmations = 0;
        WriteDump(QStringLiteral("dane1_77.bin"), kMinDumpRecords + 40, OneRecordSessions(2));
        bool taken = false;
        ImportCallbacks cb;
        cb.confirmHeader = [&](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                               FbTransaction& session) {
            ++confirmations;
            d = 1;
            t = 1;
            return InsertHeader(serial, h, d, t, nullptr, &session);
        };
        cb.message = [this](const QString& m) { messages.append(m); };
        cb.progress = [&](int, int) {
            if (taken)
                return;
            taken = true;
            const QString path = own.Path();
            if (c.replaced) {
                ASSERT_TRUE(QFile::copy(path, path + QStringLiteral(".copy")));
                ASSERT_EQ(::rename(QFile::encodeName(path + QStringLiteral(".copy")).constData(),
                                   QFile::encodeName(path).constData()),
                          0);
            } else {
                ASSERT_TRUE(QFile::remove(path));
            }
        };
        List();
        EXPECT_TRUE(DM->AttachedFileInPlace());
        const ImportSummary sum = ImportSessions(folder.path(), cb);
        EXPECT_FALSE(DM->AttachedFileInPlace());
        EXPECT_EQ(sum.imported, 0);
        EXPECT_EQ(sum.failed, 1);
        EXPECT_EQ(confirmations, 1);
        EXPECT_EQ(messages,
                  (QStringList{SessionName(1, QStringLiteral("dane1_77.bin"), June20(9, 59, 58)) +
                                   QStringLiteral(" was not stored: the database file %1 is gone: it was deleted or "
                                                  "replaced while the program was running, and nothing more can be "
                                                  "stored in it.")
                                       .arg(own.Path()),
                               Finished(0, 0, 1)}));
    }
}

}  // namespace
