// Loading chosen sessions for the analysis: the unit conversions, the
// display ranges, and whole loads of simulated sessions imported into a
// real database.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstring>

#include "analysis/sessionload.h"
#include "analysis/sessiontree.h"
#include "choice_support.h"
#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "kromsim.h"
#include "shell/projectrecord.h"
#include "support/testdb.h"

namespace {

uint32_t Packed(uint32_t degrees, uint32_t minutes, uint32_t fraction)
{
    return degrees << 24 | minutes << 16 | fraction;
}

TEST(SampleConversions, AccelerationCountsBecomeHundredthsOfG)
{
    const std::pair<int32_t, int> cases[] = {
        {4096, 100}, {-2048, -50}, {0, 0}, {41, 1}, {20, 0}, {-21, -1}, {12288, 300}, {32767, 800}, {-32768, -800},
    };
    for (const auto& [count, expected] : cases)
        EXPECT_EQ(AccToHundredthsG(count), expected) << count;
}

TEST(SampleConversions, MapCoordinatesCarryTheDegrees)
{
    const std::pair<uint32_t, int32_t> cases[] = {
        {0x32121A0Bu, 30186667},               // 50 degrees 18.6667 minutes
        {0, 0},                                // no fix
        {Packed(0, 0, 1), 1},
        {Packed(51, 0, 0), 30600000},          // a fix on a whole degree is not "no fix"
        {Packed(255, 255, 65535), 155615535},  // the largest packed value still fits
    };
    for (const auto& [packed, expected] : cases)
        EXPECT_EQ(MapCoordinate(packed), expected) << std::hex << packed;

    // A trace crossing the 51st degree moves on in equal steps.
    std::vector<uint32_t> trace;
    for (uint32_t f = 9990; f <= 9999; f += 3)
        trace.push_back(Packed(50, 59, f));
    for (uint32_t f = 2; f <= 11; f += 3)
        trace.push_back(Packed(51, 0, f));
    for (size_t i = 1; i < trace.size(); ++i)
        EXPECT_EQ(MapCoordinate(trace[i]) - MapCoordinate(trace[i - 1]), 3) << i;
}

TEST(SampleConversions, ZeroRangesGetTheirDefaultsInTheRecord)
{
    struct Range {
        int rpmMin, rpmMax, t1Min, t1Max, t2Min, t2Max, accMin, accMax, vMin, vMax;
    };
    struct Case {
        Range before, after;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 15000, 0, 70, 0, 70, -3, 3, 0, 0}},
        // A zero maximum counts as not set; the minimum goes with it.
        {{500, 0, 10, 0, -5, 0, -1, 0, 7, 0}, {0, 15000, 0, 70, 0, 70, -3, 3, 7, 0}},
        {{1000, 12000, 20, 90, -10, 40, -2, 2, 0, 120}, {1000, 12000, 20, 90, -10, 40, -2, 2, 0, 120}},
        {{0, -1, 0, 5, 0, 0, -4, 4, 0, 0}, {0, -1, 0, 5, 0, 70, -4, 4, 0, 0}},
        // No width counts as not set too; a minimum above the maximum is set.
        {{800, 800, 30, 30, 5, 5, 2, 2, 40, 40}, {0, 15000, 0, 70, 0, 70, -3, 3, 40, 40}},
        {{9000, 100, 90, 20, 0, 70, 3, -3, 0, 0}, {9000, 100, 90, 20, 0, 70, 3, -3, 0, 0}},
    };
    for (const Case& c : cases) {
        ProjectRecord r;
        r.SetRpmMin(c.before.rpmMin);
        r.SetRpmMax(c.before.rpmMax);
        r.SetTemp1Min(c.before.t1Min);
        r.SetTemp1Max(c.before.t1Max);
        r.SetTemp2Min(c.before.t2Min);
        r.SetTemp2Max(c.before.t2Max);
        r.SetAccMin(c.before.accMin);
        r.SetAccMax(c.before.accMax);
        r.SetVGpsMin(c.before.vMin);
        r.SetVGpsMax(c.before.vMax);
        const auto bytesBefore = r.Bytes();
        ApplyRangeDefaults(r);
        const Range got{r.RpmMin(), r.RpmMax(), r.Temp1Min(), r.Temp1Max(), r.Temp2Min(),
                        r.Temp2Max(), r.AccMin(), r.AccMax(), r.VGpsMin(), r.VGpsMax()};
        EXPECT_EQ(std::memcmp(&got, &c.after, sizeof got), 0)
            << "rpm " << got.rpmMin << ".." << got.rpmMax << " acc " << got.accMin << ".." << got.accMax;
        for (int b = ProjectRecord::OffVGpsMax; b < ProjectRecord::Size; ++b)  // nothing else touched
            ASSERT_EQ(r.Bytes()[size_t(b)], bytesBefore[size_t(b)]) << b;
    }
}

// Sessions simulated on a data key and imported, as the intake stores them.
class SessionLoadTest : public ::testing::Test {
protected:
    TestDatabase db;
    QTemporaryDir folder;
    std::vector<int> ids;  // imported sessions, in import order
    SessionTree tree;
    ProjectRecord record;
    TreeFilters filters;

    void SetUp() override
    {
        kromsim::DumpOptions dump;
        dump.records = 4000;
        for (int i = 0; i < 3; ++i) {
            kromsim::SessionOptions s;
            s.format = i == 1 ? SampleFormat::Plain : SampleFormat::Gps;
            s.gpsFix = i != 2;
            s.laps = 2 + i;
            s.seed = uint32_t(11 + i);
            dump.sessions.push_back(s);
        }
        QString error;
        const kromsim::DumpTruth truth = kromsim::WriteDumpFile(folder.path(), dump, &error);
        ASSERT_EQ(truth.sessions.size(), 3u) << error.toStdString();
        BuildSessionList(folder.path(), [](const QString&) {});
        ImportCallbacks cb;
        cb.confirmHeader = [&](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                               FbTransaction& session) {
            d = 1;
            t = 1;
            const int id = InsertHeader(serial, h, d, t, nullptr, &session);
            ids.push_back(id);
            return id;
        };
        cb.message = [](const QString&) {};
        ImportSessions(folder.path(), cb);
        ASSERT_EQ(ids.size(), 3u);
        for (int id : ids)
            ASSERT_GT(Count(id), 100) << id;
    }

    int Count(int id)
    {
        return db.Scalar(QStringLiteral("select count(*) from POZYCJE where ID_NAGLOWKA = %1").arg(id)).toInt();
    }

    void Choose(const std::vector<int>& chosen) { choice_test::SetIds(db.dm().memWybraneSesje, "id_nag", chosen); }

    void Load()
    {
        TDM& dm = db.dm();
        LoadSessions(dm.memWybraneSesje, dm.memGPS, dm.memMinMax, tree, filters, record);
    }

    // memGPS rows from `first` hold the session's POZYCJE rows, in DATA_SS
    // order, with the values the analysis works with.
    void ExpectSamples(int id, int first)
    {
        MemTable& gps = db.dm().memGPS;
        TIBQuery q(db.dm().TransBrowse);
        q.SetSQL(QStringLiteral("select * from POZYCJE where ID_NAGLOWKA = :N order by DATA_SS"));
        q.ParamByName(QStringLiteral("N"), id);
        q.Open();
        auto in = [&](const char* name) { return q.FieldByName(QString::fromLatin1(name)).AsInteger(); };
        auto out = [&](int row, const char* name) { return gps.Cell(row, gps.FieldIndex(QString::fromLatin1(name))); };
        int row = first;
        for (; !q.Eof(); q.Next(), ++row) {
            const std::string where = "session " + std::to_string(id) + " row " + std::to_string(row);
            ASSERT_LT(row, gps.RecordCount()) << where;
            const std::pair<const char*, int> ints[] = {
                {"typ_probki", in("TYP_PROBKI")},
                {"obroty", in("OBROTY")},
                {"accx", AccToHundredthsG(in("ACCX"))},
                {"accy", AccToHundredthsG(in("ACCY"))},
                {"gpsx", in("GPSX")},
                {"gpsy", in("GPSY")},
                {"gyro1", in("GYRO1")},
                {"gyro2", in("GYRO2")},
                {"sektor", in("SEKTOR")},
                {"data", in("DATA_SS")},
                {"xobr", 0},
                {"yobr", 0},
                {"okrazenie", in("OKRAZENIE")},
                {"id_nag", id},
                {"gpsx_wyl", MapCoordinate(uint32_t(in("GPSX")))},
                {"gpsy_wyl", MapCoordinate(uint32_t(in("GPSY")))},
                {"predkosc_gps", in("PREDKOSC_GPS")},
            };
            for (const auto& [field, value] : ints) {
                ASSERT_FALSE(out(row, field).IsNull()) << where << " " << field;
                ASSERT_EQ(out(row, field).AsInteger(), value) << where << " " << field;
            }
            ASSERT_EQ(out(row, "temp1").AsFloat(), q.FieldByName(QStringLiteral("TEMP1")).AsFloat()) << where;
            ASSERT_EQ(out(row, "temp2").AsFloat(), q.FieldByName(QStringLiteral("TEMP2")).AsFloat()) << where;
            ASSERT_EQ(out(row, "datas").AsString(), QStringLiteral(" ")) << where;
            ASSERT_TRUE(out(row, "brakOkrazenia").IsNull()) << where;
        }
        EXPECT_EQ(row - first, Count(id));
    }
};

TEST_F(SessionLoadTest, ThreeSessionsLoadInTheirOrderWithOneRangeRowEach)
{
    record.SetVGpsMin(0);
    record.SetVGpsMax(0);
    record.SetTemp1Min(5);
    record.SetTemp1Max(95);
    const std::vector<int> chosen = {ids[2], ids[0], ids[1]};
    Choose(chosen);
    Load();

    // The record's zero ranges got their defaults and keep them; V GPS stays empty.
    EXPECT_EQ(record.RpmMin(), 0);
    EXPECT_EQ(record.RpmMax(), 15000);
    EXPECT_EQ(record.Temp1Max(), 95);
    EXPECT_EQ(record.AccMin(), -3);
    EXPECT_EQ(record.VGpsMax(), 0);

    MemTable& gps = db.dm().memGPS;
    int first = 0;
    for (int id : chosen) {
        ExpectSamples(id, first);
        if (HasFatalFailure())
            return;
        first += Count(id);
    }
    EXPECT_EQ(gps.RecordCount(), first);
    // GPS samples and the plain session's zeros both present.
    EXPECT_NE(gps.View(gps.FieldIndex(QStringLiteral("gpsx_wyl"))).storage, ColumnStorage::Uniform);
    EXPECT_EQ(gps.View(gps.FieldIndex(QStringLiteral("xobr"))).storage, ColumnStorage::Uniform);
    EXPECT_LE(gps.MemoryBytes(), size_t(gps.RecordCount()) * 64);

    MemTable& mm = db.dm().memMinMax;
    ASSERT_EQ(mm.RecordCount(), 3);
    const double expected[] = {0, 15000, 5, 95, -3, 3, -3, 3, 0, 70, 0, 0};
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(mm.IntAt(r, 0), chosen[size_t(r)]);
        for (int c = 1; c < mm.FieldCount(); ++c)
            EXPECT_EQ(mm.FloatAt(r, c), expected[c - 1]) << mm.Def(c).name.toStdString();
    }

    // A reload replaces everything: the same rows once, not twice.
    Load();
    EXPECT_EQ(gps.RecordCount(), first);
    EXPECT_EQ(mm.RecordCount(), 3);
    ExpectSamples(chosen[0], 0);
}

TEST_F(SessionLoadTest, EmptyChoiceEmptiesEveryTableAndUnknownSessionsLoadNoSamples)
{
    Choose({ids[0]});
    Load();
    ASSERT_GT(db.dm().memGPS.RecordCount(), 0);
    tree.memdane.AppendRow();  // as if the tree had rows
    tree.rowCounter = 7;

    Choose({});
    Load();
    EXPECT_EQ(db.dm().memGPS.RecordCount(), 0);
    EXPECT_EQ(db.dm().memMinMax.RecordCount(), 0);
    EXPECT_EQ(tree.memdane.RecordCount(), 0);
    EXPECT_EQ(tree.rowCounter, 0);
    EXPECT_TRUE(db.dm().memGPS.Active());

    Choose({999999, ids[1]});
    Load();
    EXPECT_EQ(db.dm().memMinMax.RecordCount(), 2);
    EXPECT_EQ(db.dm().memGPS.RecordCount(), Count(ids[1]));
    ExpectSamples(ids[1], 0);
}

// A load that fails names the session and leaves nothing half loaded: no
// part of a session may pass for the whole.
TEST_F(SessionLoadTest, ADatabaseErrorEndsTheLoadWithNothingLoaded)
{
    Choose({ids[0], ids[1]});
    db.Exec(QStringLiteral("alter table POZYCJE drop PREDKOSC_GPS"));
    try {
        Load();
        ADD_FAILURE() << "the load did not fail";
    } catch (const SessionLoadError& e) {
        EXPECT_EQ(e.SessionId(), ids[0]);
        EXPECT_TRUE(e.Cause().contains(QStringLiteral("PREDKOSC_GPS"))) << e.what();
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Session %1 could not be loaded").arg(ids[0])));
    }
    EXPECT_EQ(db.dm().memMinMax.RecordCount(), 0);
    EXPECT_EQ(db.dm().memGPS.RecordCount(), 0);
    EXPECT_EQ(tree.memdane.RecordCount(), 0);
    EXPECT_EQ(tree.memokrazenia.RecordCount(), 0);

    // Rows from before the column existed hold NULL there and load as 0.
    db.Exec(QStringLiteral("alter table POZYCJE add PREDKOSC_GPS integer"));
    QSignalSpy inserted(&db.dm().memGPS, &MemTable::RowsInserted);
    QSignalSpy resets(&db.dm().memGPS, &MemTable::TableReset);
    Load();
    EXPECT_EQ(inserted.count(), 0);  // views hear of the load once, at its end
    EXPECT_EQ(resets.count(), 3);    // closed, opened, loaded
    ExpectSamples(ids[0], 0);
    ExpectSamples(ids[1], Count(ids[0]));
}

}  // namespace
