// The loaders of the Sessions chart and the lap comparison chart against a
// real database: simulated sessions imported by the intake, compared with
// the stored rows; small hand-made sessions for the tree's rules, the lap
// starts and the read-outs.
#include "analysis/sessioncharts.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>

#include <map>
#include <set>

#include "analysis/sessionload.h"
#include "shell/common/stale.h"
#include "shell/data/ibquery.h"
#include "sim_sessions.h"
#include "support/testdb.h"

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using namespace simsessions;

class SessionChartsTest : public ChartsDatabaseTest {
protected:
    void Insert(const HandSession& s) { InsertHandSession(s); }
};

// ------------------------------------------------------------ Sessions chart

// Two imported sessions: their samples in session time and their trees
// match the stored rows.
TEST_F(SessionChartsTest, SessionsChartLoadsSimulatedSessions)
{
    const std::vector<int> ids = ImportSessions({Session(3, 3, 11), Session(2, 4, 12, SampleFormat::Plain)});
    ASSERT_EQ(ids.size(), 2u);
    SessionsChartTree tree;
    std::vector<ChartSession> loaded;
    for (int id : ids)
        loaded.push_back(LoadSessionsChartSession(tree, memGPS, id));

    int row = 0;  // running memdane row
    int firstRow = 0;
    for (size_t i = 0; i < ids.size(); ++i) {
        const int id = ids[i];
        const ChartSession& cs = loaded[i];
        SCOPED_TRACE(id);
        EXPECT_EQ(cs.title, QStringLiteral("Ada Nowak  ") + StartText(id));

        // Samples: every stored row, in time order, in session time.
        EXPECT_EQ(cs.first, firstRow);
        TIBQuery q(db.dm().TransBrowse);
        q.SetSQL(QStringLiteral("select * from POZYCJE where ID_NAGLOWKA = :N order by DATA_SS"));
        q.ParamByName(QStringLiteral("N"), id);
        int r = cs.first;
        for (q.Open(); !q.Eof(); q.Next(), ++r) {
            auto f = [&q](const char* n) { return q.FieldByName(QString::fromLatin1(n)).AsInteger(); };
            ASSERT_LT(r, memGPS.RecordCount());
            EXPECT_EQ(Int(memGPS, r, "id_nag"), id);
            EXPECT_EQ(Int(memGPS, r, "data"), f("DATA_SS"));
            EXPECT_EQ(Str(memGPS, r, "datas"), SessionTimeText(f("DATA_SS")));
            EXPECT_EQ(Int(memGPS, r, "obroty"), f("OBROTY"));
            EXPECT_EQ(Int(memGPS, r, "okrazenie"), f("OKRAZENIE"));
            EXPECT_EQ(Int(memGPS, r, "accx"), AccToHundredthsG(f("ACCX")));
            EXPECT_EQ(Int(memGPS, r, "gpsx_wyl"), MapCoordinate(uint32_t(f("GPSX"))));
            EXPECT_EQ(Int(memGPS, r, "predkosc_gps"), f("PREDKOSC_GPS"));
        }
        EXPECT_EQ(r - cs.first, cs.count);
        firstRow += cs.count;

        // The tree: the session row, then each lap with its sectors; the
        // lines at the start and at every lap and sector end.
        const int start = FirstLapStart(id);
        const std::vector<StoredLap> laps = Laps(id);
        ASSERT_FALSE(laps.empty());
        EXPECT_EQ(Str(tree.memdane, row, "typ_rekordu"), QStringLiteral("1"));
        EXPECT_EQ(Str(tree.memdane, row, "Pole1"), StartText(id));
        EXPECT_EQ(Str(tree.memdane, row, "Pole2"), QStringLiteral("Ada Nowak"));
        EXPECT_EQ(Int(tree.memdane, row, "wybrany"), 1);
        std::vector<std::pair<int, QString>> lapLines = {{start, QStringLiteral("L0 : S")}};
        std::vector<std::pair<int, QString>> sectorLines = {{start, QStringLiteral(" : ")}};
        int lapSum = 0, sectorSum = 0;
        const auto [fastest, slowest] = std::minmax_element(laps.begin(), laps.end(),
                                                             [](const StoredLap& a, const StoredLap& b) { return a.time < b.time; });
        std::map<int, std::vector<int>> sectorTimes;  // by number: times in tree order
        std::map<int, std::vector<int>> sectorStatus;
        ++row;
        for (const StoredLap& lap : laps) {
            EXPECT_EQ(Str(tree.memdane, row, "Pole1"), QStringLiteral("L%1").arg(lap.nr));
            EXPECT_EQ(Str(tree.memdane, row, "Pole2"), lap.text);
            EXPECT_TRUE(Null(tree.memdane, row, "wybrany"));
            const int status = Null(tree.memdane, row, "status_naj") ? 0 : Int(tree.memdane, row, "status_naj");
            EXPECT_EQ(status, lap.nr == slowest->nr ? 1 : lap.nr == fastest->nr ? 2 : 0) << "lap " << lap.nr;
            lapSum += lap.time;
            lapLines.push_back({start + lapSum, QStringLiteral("L%1 : %2").arg(lap.nr).arg(lap.text)});
            ++row;
            for (const StoredSector& s : Sectors(id, lap.nr)) {
                EXPECT_EQ(Str(tree.memdane, row, "typ_rekordu"), QStringLiteral("3"));
                EXPECT_EQ(Str(tree.memdane, row, "Pole1"), QStringLiteral(" S%1").arg(s.nr));
                sectorTimes[s.nr].push_back(s.time);
                sectorStatus[s.nr].push_back(Null(tree.memdane, row, "status_naj") ? 0 : Int(tree.memdane, row, "status_naj"));
                sectorSum += s.time;
                sectorLines.push_back({start + sectorSum, QStringLiteral("S%1 : %2").arg(s.nr).arg(s.text)});
                ++row;
            }
        }
        // Per sector number: the first fastest 2, the first slowest 1.
        for (const auto& [nr, times] : sectorTimes) {
            const size_t best = size_t(std::min_element(times.begin(), times.end()) - times.begin());
            const size_t worst = size_t(std::max_element(times.begin(), times.end()) - times.begin());
            for (size_t k = 0; k < times.size(); ++k)
                EXPECT_EQ(sectorStatus[nr][k], k == worst ? 1 : k == best ? 2 : 0) << "sector " << nr << " #" << k;
        }
        auto lines = [](const std::vector<ChartLine>& in) {
            std::vector<std::pair<int, QString>> out;
            for (const ChartLine& l : in)
                out.push_back({l.time, l.caption});
            return out;
        };
        EXPECT_EQ(lines(ChartLines(tree.memokrazenia, id)), lapLines);
        EXPECT_EQ(lines(ChartLines(tree.memSektory, id)), sectorLines);
    }
    EXPECT_EQ(row, tree.memdane.RecordCount());
    EXPECT_EQ(firstRow, memGPS.RecordCount());
    // lp runs on across both sessions.
    for (int r = 0; r < tree.memdane.RecordCount(); ++r)
        EXPECT_EQ(Int(tree.memdane, r, "lp"), r + 1);
}

// The tree's rules on hand-made sessions: (session, row, Pole1, status).
TEST_F(SessionChartsTest, SessionsChartTreeFlagsAndStartLines)
{
    Insert({1, 1500, {}, {}, {}});                                        // no laps
    Insert({2, 1500, {{1, 3000}}, {}, {}});                               // one lap
    Insert({3, 1500, {{1, 3000}, {2, 3000}}, {}, {}});                    // equal laps
    Insert({4, std::nullopt, {{1, 3000}, {2, 2900}, {3, 3100}}, {}, {}});  // no first crossing stored
    Insert({5, 0, {{1, 3000}, {2, 3000}},
            {{1, 1, 1000}, {1, 11, 2000}, {2, 1, 900}, {2, 11, 1900}, {2, 12, 200}}, {}, 99});  // unknown driver
    SessionsChartTree tree;
    for (int id = 1; id <= 5; ++id)
        BuildSessionsChartTree(tree, id);

    struct Row {
        int session;
        QString pole1;
        int status;  // 0: none
    };
    const std::vector<Row> expected = {
        {1, StartText(1), 0},
        {2, StartText(2), 0}, {2, "L1", 1},
        {3, StartText(3), 0}, {3, "L1", 1}, {3, "L2", 0},
        {4, StartText(4), 0}, {4, "L1", 0}, {4, "L2", 2}, {4, "L3", 1},
        {5, StartText(5), 0}, {5, "L1", 1}, {5, " S1", 1}, {5, " S11", 0},
        {5, "L2", 0}, {5, " S1", 2}, {5, " S11", 0}, {5, " S12", 0},
    };
    ASSERT_EQ(tree.memdane.RecordCount(), int(expected.size()));
    for (int r = 0; r < int(expected.size()); ++r) {
        EXPECT_EQ(Int(tree.memdane, r, "id_naglowka"), expected[size_t(r)].session) << "row " << r;
        EXPECT_EQ(Str(tree.memdane, r, "Pole1"), expected[size_t(r)].pole1) << "row " << r;
        const int status = Null(tree.memdane, r, "status_naj") ? 0 : Int(tree.memdane, r, "status_naj");
        EXPECT_EQ(status, expected[size_t(r)].status) << "row " << r;
    }
    EXPECT_EQ(Str(tree.memdane, 10, "Pole2"), QStringLiteral(" "));  // no such driver

    // The start lines: the first crossing, 0 when none is stored.
    struct Lines {
        int session;
        std::vector<int> laps, sectors;
    };
    const std::vector<Lines> lines = {
        {1, {1500}, {1500}},
        {2, {1500, 4500}, {1500}},
        {4, {0, 3000, 5900, 9000}, {0}},
        {5, {0, 3000, 6000}, {0, 1000, 3000, 3900, 5800, 6000}},
    };
    for (const Lines& l : lines) {
        std::vector<int> laps, sectors;
        for (const ChartLine& c : ChartLines(tree.memokrazenia, l.session))
            laps.push_back(c.time);
        for (const ChartLine& c : ChartLines(tree.memSektory, l.session))
            sectors.push_back(c.time);
        EXPECT_EQ(laps, l.laps) << "session " << l.session;
        EXPECT_EQ(sectors, l.sectors) << "session " << l.session;
    }
    EXPECT_EQ(ChartLines(tree.memokrazenia, 1).front().caption, QStringLiteral("L0 : S"));
    EXPECT_EQ(ChartLines(tree.memSektory, 1).front().caption, QStringLiteral(" : "));
    EXPECT_EQ(Int(tree.memdane, 6, "przes_czas"), 0);
}

TEST(SessionsChartReadOut, TimeTexts)
{
    const std::vector<std::pair<double, QString>> cases = {
        {0, "00:00:00:00"},      {12345, "00:02:03:45"},   {12399.6, "00:02:04:00"}, {12345.5, "00:02:03:46"},
        {12346.5, "00:02:03:46"}, {360000, "01:00:00:00"}, {-150, "-00:00:01:50"},
    };
    for (const auto& [v, text] : cases)
        EXPECT_EQ(ClockText(v), text) << v;
}

// Read-outs before the start line repeat the time; after it they count
// from the last line strictly before the cursor.
TEST(SessionsChartReadOut, SinceTheLastLineBeforeTheCursor)
{
    SessionsChartTree tree;
    auto line = [](MemTable& t, int id, int time, const char* lap) {
        const int r = t.AppendRow();
        t.SetIntAt(r, 0, id);
        t.SetIntAt(r, 1, time);
        t.SetStringAt(r, 2, QString::fromLatin1(lap));
    };
    for (int id : {7, 8}) {  // session 8 only shows the lines belong to one session
        const int shift = id == 7 ? 0 : 100000;
        line(tree.memokrazenia, id, 1000 + shift, "L0");
        line(tree.memokrazenia, id, 4000 + shift, "L1");
        line(tree.memokrazenia, id, 7100 + shift, "L2");
        line(tree.memSektory, id, 1000 + shift, "");
        line(tree.memSektory, id, 2000 + shift, "S1");
        line(tree.memSektory, id, 4000 + shift, "S2");
        line(tree.memSektory, id, 5500 + shift, "S1");
    }
    struct Case {
        double x;
        QString time, lap, sector;
    };
    const std::vector<Case> cases = {
        {500, "00:00:05:00", "00:00:05:00", "00:00:05:00"},
        {1000, "00:00:10:00", "00:00:10:00", "00:00:10:00"},
        {1500, "00:00:15:00", "00:00:05:00", "00:00:05:00"},
        {4000, "00:00:40:00", "00:00:30:00", "00:00:20:00"},
        {6000.25, "00:01:00:00", "00:00:20:00", "00:00:05:00"},
        {9000, "00:01:30:00", "00:00:19:00", "00:00:35:00"},
    };
    for (const Case& c : cases) {
        const SessionsReadOut r = SessionsChartReadOut(tree, 7, c.x);
        EXPECT_EQ(r.time, c.time) << c.x;
        EXPECT_EQ(r.lap, c.lap) << c.x;
        EXPECT_EQ(r.sector, c.sector) << c.x;
    }
}

// ------------------------------------------------------------ lap comparison

TEST_F(SessionChartsTest, LapComparisonStartsLapsAfterTheLapRowsBefore)
{
    // Session 21: laps 1, 2 and 4 (lap 3 not recorded); samples of laps 0
    // to 4.  Session 22 starts its first lap at 0.  Session 23 has no laps.
    Insert({21, 1000, {{1, 3000}, {2, 3100}, {4, 2900}}, {},
            {{500, 0, 5000}, {1000, 1, 6000}, {2500, 1, 6100}, {4000, 2, 7000}, {5000, 2, 7100},
             {7100, 3, 8000}, {9000, 3, 8100}, {10000, 4, 9000}, {12000, 4, 9100}}});
    Insert({22, 0, {{1, 2000}, {2, 2100}}, {}, {{0, 1, 4000}, {1900, 1, 4100}, {2000, 2, 4200}}});
    Insert({23, 700, {}, {}, {{100, 0, 3000}, {800, 1, 3100}}});

    LapComparisonTree tree;
    std::vector<ComparedLap> laps;
    for (int id : {21, 22, 23})
        for (const ComparedLap& l : LoadLapComparisonSession(tree, memGPS, id))
            laps.push_back(l);

    struct Expected {
        int tag, start, colour;
        std::vector<std::pair<int, int>> points;  // (data, rpm)
    };
    const std::vector<Expected> expected = {
        {2101, 1000, 1, {{0, 6000}, {1500, 6100}}},
        {2102, 4000, 2, {{0, 7000}, {1000, 7100}}},
        {2104, 7100, 3, {{2900, 9000}, {4900, 9100}}},  // after CZAS_SS(1) + CZAS_SS(2)
        {2201, 0, 1, {{0, 4000}, {1900, 4100}}},
        {2202, 2000, 2, {{0, 4200}}},
    };
    ASSERT_EQ(laps.size(), expected.size());
    int row = 0;
    for (size_t i = 0; i < laps.size(); ++i) {
        const ComparedLap& l = laps[i];
        const Expected& e = expected[i];
        EXPECT_EQ(l.Tag(), e.tag);
        EXPECT_EQ(l.start, e.start) << e.tag;
        EXPECT_EQ(l.colour, e.colour) << e.tag;
        EXPECT_EQ(l.title, StartText(l.sessionId) + QStringLiteral("  Nowak L%1").arg(l.lap));
        EXPECT_EQ(l.first, row) << e.tag;
        ASSERT_EQ(l.count, int(e.points.size())) << e.tag;
        for (const auto& [data, rpm] : e.points) {
            EXPECT_EQ(Int(memGPS, row, "data"), data) << e.tag;
            EXPECT_EQ(Str(memGPS, row, "datas"), SessionTimeText(data)) << e.tag;
            EXPECT_EQ(Int(memGPS, row, "obroty"), rpm) << e.tag;
            EXPECT_EQ(Int(memGPS, row, "okrazenie"), l.lap) << e.tag;
            EXPECT_EQ(Int(memGPS, row, "id_nag"), l.sessionId) << e.tag;
            EXPECT_EQ(Int(memGPS, row, "accx"), 100) << e.tag;
            EXPECT_EQ(Int(memGPS, row, "accy"), -50) << e.tag;
            EXPECT_EQ(Int(memGPS, row, "gpsx_wyl"), MapCoordinate(kHandGpsx)) << e.tag;
            EXPECT_EQ(Int(memGPS, row, "predkosc_gps"), 77) << e.tag;
            ++row;
        }
    }
    EXPECT_EQ(memGPS.RecordCount(), row);

    // The tree: sessions and their laps; only lap rows are ticked.
    const std::vector<std::tuple<QString, int, int>> rows = {
        {"1", 21, 0}, {"2", 21, 1}, {"2", 21, 2}, {"2", 21, 4}, {"1", 22, 0}, {"2", 22, 1}, {"2", 22, 2}, {"1", 23, 0},
    };
    ASSERT_EQ(tree.memdane.RecordCount(), int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const auto& [type, id, lap] = rows[size_t(r)];
        EXPECT_EQ(Str(tree.memdane, r, "typ_rekordu"), type) << "row " << r;
        EXPECT_EQ(Int(tree.memdane, r, "id_naglowka"), id) << "row " << r;
        EXPECT_EQ(Null(tree.memdane, r, "wybrany"), type == QLatin1String("1")) << "row " << r;
        if (type == QLatin1String("2")) {
            EXPECT_EQ(Int(tree.memdane, r, "id_okrazenia"), lap) << "row " << r;
            EXPECT_EQ(Str(tree.memdane, r, "Pole1"), QStringLiteral("L%1").arg(lap));
        } else {
            EXPECT_EQ(Str(tree.memdane, r, "Pole1"), StartText(id));
            EXPECT_EQ(Str(tree.memdane, r, "Pole2"), QStringLiteral("Ada Nowak"));
        }
    }
}

// A session of more than 255 laps lists lap numbers again (the logger
// counts laps in one byte): each listing takes its own run of samples.
TEST_F(SessionChartsTest, LapComparisonRepeatedLapNumbersShareNoSample)
{
    Insert({25, 0, {{1, 1000}, {2, 1000}, {1, 1000}}, {},
            {{0, 1, 100}, {500, 1, 101}, {1000, 2, 200}, {1500, 2, 201}, {2000, 1, 300}, {2500, 1, 301}, {2600, 1, 302}}});
    LapComparisonTree tree;
    const std::vector<ComparedLap> laps = LoadLapComparisonSession(tree, memGPS, 25);
    ASSERT_EQ(laps.size(), 3u);
    std::multiset<int> rpms;
    std::vector<std::pair<int, int>> counts;  // (lap, samples)
    for (const ComparedLap& l : laps) {
        counts.emplace_back(l.lap, l.count);
        for (int r = l.first; r < l.first + l.count; ++r)
            rpms.insert(Int(memGPS, r, "obroty"));
    }
    EXPECT_EQ(rpms, (std::multiset<int>{100, 101, 200, 201, 300, 301, 302}));
    std::sort(counts.begin(), counts.end());
    EXPECT_EQ(counts, (std::vector<std::pair<int, int>>{{1, 2}, {1, 3}, {2, 2}}));
}

// Imported sessions: every listed lap's samples, each lap counted from its
// start line, in lap order.
TEST_F(SessionChartsTest, LapComparisonLoadsSimulatedSessions)
{
    const std::vector<int> ids = ImportSessions({Session(4, 3, 21), Session(3, 2, 22, SampleFormat::Plain)});
    LapComparisonTree tree;
    for (int id : ids) {
        SCOPED_TRACE(id);
        const std::vector<ComparedLap> laps = LoadLapComparisonSession(tree, memGPS, id);
        const std::vector<StoredLap> stored = Laps(id);
        ASSERT_EQ(laps.size(), stored.size());
        int start = FirstLapStart(id);
        for (size_t i = 0; i < laps.size(); ++i) {
            const ComparedLap& l = laps[i];
            EXPECT_EQ(l.lap, stored[i].nr);
            EXPECT_EQ(l.start, start);
            EXPECT_EQ(l.colour, int(i) + 1);
            EXPECT_EQ(l.count, db.Scalar(QStringLiteral("select count(*) from POZYCJE where ID_NAGLOWKA = %1 and OKRAZENIE = %2")
                                             .arg(id)
                                             .arg(l.lap))
                                   .toInt());
            ASSERT_GT(l.count, 0);
            // The lap's samples lie between its two lap lines.
            int previous = -1;
            for (int r = l.first; r < l.first + l.count; ++r) {
                const int data = Int(memGPS, r, "data");
                EXPECT_GE(data, 0);
                EXPECT_LE(data, stored[i].time);
                EXPECT_GE(data, previous);
                previous = data;
            }
            start += stored[i].time;
        }
    }
}

TEST(LapSampleRuns, RunsOfOneSessionAndLap)
{
    MemTable t(QStringLiteral("memGPS"),
               {{QStringLiteral("id_nag"), FieldType::Integer}, {QStringLiteral("okrazenie"), FieldType::Integer}});
    t.Open();
    for (auto [id, lap] : std::vector<std::pair<int, int>>{{1, 0}, {1, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 2}, {1, 1}}) {
        const int r = t.AppendRow();
        t.SetIntAt(r, 0, id);
        t.SetIntAt(r, 1, lap);
    }
    std::vector<std::tuple<int, int, int, int>> got;
    for (const LapSampleRun& run : LapSampleRuns(t))
        got.emplace_back(run.sessionId, run.lap, run.first, run.count);
    const std::vector<std::tuple<int, int, int, int>> expected = {{1, 0, 0, 1}, {1, 1, 1, 2}, {1, 2, 3, 1}, {2, 2, 4, 2}, {1, 1, 6, 1}};
    EXPECT_EQ(got, expected);
}

}  // namespace
