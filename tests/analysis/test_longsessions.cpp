// Sessions longer than the logger's one-byte lap count (250, 256, 300 and
// 2,000 laps), simulated, imported and loaded as the session panel loads
// them: every analysis table holds every lap once, at the time it was
// driven, with its own sectors.  What was driven is read back from the
// stored samples (the first sample of each lap number).
#include <gtest/gtest.h>

#include <map>

#include "analysis/chartcore.h"
#include "analysis/gpsmap.h"
#include "analysis/lapdiagram.h"
#include "analysis/sessioncharts.h"
#include "analysis/sessionchoice.h"
#include "analysis/sessionload.h"
#include "analysis/sessiontree.h"
#include "shell/common/stale.h"
#include "shell/data/ibquery.h"
#include "shell/projectrecord.h"
#include "sim_sessions.h"

namespace {

using namespace simsessions;

constexpr int kDriven[] = {250, 256, 300, 2000};
constexpr int kSectorsPerLap = 2;

// Per lap number of a session: its first and last sample time and samples.
struct LapSamples {
    int first = 0, last = 0, count = 0;
};
std::map<int, LapSamples> SamplesByLap(int sessionId)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select OKRAZENIE, min(DATA_SS) as F, max(DATA_SS) as L, count(*) as C from POZYCJE "
                            "where ID_NAGLOWKA = :N group by OKRAZENIE"));
    q.ParamByName(QStringLiteral("N"), sessionId);
    std::map<int, LapSamples> out;
    for (q.Open(); !q.Eof(); q.Next())
        out[q.FieldByName(QStringLiteral("OKRAZENIE")).AsInteger()] = {q.FieldByName(QStringLiteral("F")).AsInteger(),
                                                                       q.FieldByName(QStringLiteral("L")).AsInteger(),
                                                                       q.FieldByName(QStringLiteral("C")).AsInteger()};
    return out;
}

// A session's sector rows by lap, each lap's in the order stored.
std::map<int, std::vector<StoredSector>> SectorsByLap(int sessionId)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select * from SEKTORY where ID_NAGLOWKA = :N"));
    q.ParamByName(QStringLiteral("N"), sessionId);
    std::map<int, std::vector<StoredSector>> out;
    for (q.Open(); !q.Eof(); q.Next()) {
        const int lap = q.FieldByName(QStringLiteral("NR_OKRAZENIA")).AsInteger();
        out[lap].push_back({lap, q.FieldByName(QStringLiteral("NR_SEKTORA")).AsInteger(),
                            q.FieldByName(QStringLiteral("CZAS_SS")).AsInteger(),
                            q.FieldByName(QStringLiteral("CZAS")).AsString()});
    }
    return out;
}

// The four sessions imported and loaded as the panel loads them.
class LongSessions : public ::testing::Test {
protected:
    TestDatabase db;
    SessionTree tree;
    std::vector<int> ids_;
    std::map<int, std::map<int, LapSamples>> samples_;
    std::map<int, std::map<int, std::vector<StoredSector>>> sectors_;

    void SetUp() override
    {
        db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO) values (1, 'Ada', 'Nowak')"));
        std::vector<kromsim::SessionOptions> sessions;
        for (int laps : kDriven) {
            kromsim::SessionOptions s = Session(laps, kSectorsPerLap, uint32_t(laps));
            s.trackScale = kromsim::kSmallestTrack;  // laps of about 6 s
            sessions.push_back(s);
        }
        ids_ = ImportSessions(sessions);
        ASSERT_EQ(ids_.size(), std::size(kDriven));
        MemTable& chosen = DM->memWybraneSesje;
        chosen.Close();
        chosen.Open();
        for (int id : ids_) {
            samples_[id] = SamplesByLap(id);
            sectors_[id] = SectorsByLap(id);
            chosen.SetIntAt(chosen.AppendRow(), chosen.FieldIndex(QStringLiteral("id_nag")), id);
        }
        ProjectRecord record;
        LoadSessions(chosen, DM->memGPS, DM->memMinMax, tree, TreeFilters{}, record);
    }

    static int Int(const MemTable& t, int row, const char* field) { return t.IntAt(row, Column(t, field)); }
    static QString Str(const MemTable& t, int row, const char* field) { return t.StringAt(row, Column(t, field)); }

    void TreePlacesEveryLapWhereItWasDriven();
    void OverlayAndGpsLapViewStartEachLapAtItsOwnLine();
    void DiagramHasABarForEveryLap();
    void LapComparisonSessionsChartAndChoosersTakeEveryLap();
};

// Every lap at the time it was driven, with an end and only its own
// sectors, which end where the lap ends.
void LongSessions::TreePlacesEveryLapWhereItWasDriven()
{
    SCOPED_TRACE("TreePlacesEveryLapWhereItWasDriven");
    const MemTable& laps = tree.memokrazenia;
    const MemTable& rows = tree.memdane;
    const MemTable& sectorEnds = tree.memSektory;
    int lapRow = 0, row = 0, sectorRow = 0;
    for (size_t n = 0; n < ids_.size(); ++n) {
        const int id = ids_[n], driven = kDriven[n];
        SCOPED_TRACE(driven);
        const std::map<int, LapSamples>& driving = samples_[id];
        ASSERT_EQ(Int(laps, lapRow++, "nr_lapa"), 0);  // the session's start row
        ASSERT_EQ(Str(rows, row++, "typ_rekordu"), QStringLiteral("1"));
        ++sectorRow;
        for (int lap = 1; lap <= driven; ++lap, ++lapRow) {
            ASSERT_EQ(Int(laps, lapRow, "id_nag"), id);
            ASSERT_EQ(Int(laps, lapRow, "nr_lapa"), lap);
            const int start = Int(laps, lapRow, "czas"), end = Int(laps, lapRow, "czas_end");
            ASSERT_LE(start, driving.at(lap).first) << lap;
            ASSERT_GT(start + 10, driving.at(lap).first) << lap;
            ASSERT_GT(end, driving.at(lap).last) << lap;
            ASSERT_LE(end, driving.at(lap + 1).first) << lap;
            ASSERT_EQ(end - start, Int(laps, lapRow, "czas_ss")) << lap;

            ASSERT_EQ(Str(rows, row, "Pole1"), QStringLiteral("L%1").arg(lap));
            const std::vector<StoredSector>& stored = sectors_[id][lap];
            ASSERT_EQ(stored.size(), size_t(kSectorsPerLap));
            ++row;
            for (const StoredSector& s : stored) {
                ASSERT_EQ(Str(rows, row, "typ_rekordu"), QStringLiteral("3"));
                ASSERT_EQ(Int(rows, row, "id_okrazenia"), lap);
                ASSERT_EQ(Int(rows, row, "id_sektora"), s.nr);
                ASSERT_EQ(Int(rows, row++, "czas_ss"), s.time);
                ASSERT_EQ(Int(sectorEnds, sectorRow++, "nr_okr"), lap);
            }
            ASSERT_EQ(Int(sectorEnds, sectorRow - 1, "czas"), end) << lap;
        }
    }
    EXPECT_EQ(lapRow, laps.RecordCount());
    EXPECT_EQ(row, rows.RecordCount());
    EXPECT_EQ(sectorRow, sectorEnds.RecordCount());
}

// The lap overlay draws each lap from its own start line, and the GPS lap
// view finds the lap's samples and its start.
void LongSessions::OverlayAndGpsLapViewStartEachLapAtItsOwnLine()
{
    SCOPED_TRACE("OverlayAndGpsLapViewStartEachLapAtItsOwnLine");
    const MemTable& gps = DM->memGPS;
    const int dataCol = Column(gps, "data");
    for (size_t n = 0; n < ids_.size(); ++n) {
        const int id = ids_[n], driven = kDriven[n];
        SCOPED_TRACE(driven);
        const std::vector<LapRun> runs = LapRuns(gps, id, tree.memokrazenia);
        ASSERT_EQ(runs.size(), size_t(driven));  // the in-lap has no tree row
        for (int lap = 1; lap <= driven; ++lap) {
            const LapRun& run = runs[size_t(lap - 1)];
            ASSERT_EQ(run.lap, lap);
            ASSERT_EQ(run.count, samples_[id].at(lap).count);
            const int x = gps.IntAt(run.first, dataCol) - run.lapStart;
            ASSERT_GE(x, 0) << lap;
            ASSERT_LT(x, 10) << lap;
        }

        MemTable points(QStringLiteral("memdane"), GpsPointFields(true));
        points.Open();
        MapExtent extent;
        const int last = driven;
        const int start = LapStart(&tree.memokrazenia, id, last);
        const PointFill fill = FillPointsFromMemGps(gps, id, last, false, true, start, points, extent);
        EXPECT_EQ(fill.rows, samples_[id].at(last).count);
        EXPECT_EQ(start, LapStartTime(tree.memokrazenia, id, last));
        EXPECT_LT(fill.maxSinceLapStart, Laps(id).back().time);
        EXPECT_EQ(points.StringAt(0, gpDataso), SessionTimeText(samples_[id].at(last).first - start));
    }
}

// The lap time diagram has a bar for every lap and every sector.
void LongSessions::DiagramHasABarForEveryLap()
{
    SCOPED_TRACE("DiagramHasABarForEveryLap");
    LapDiagram diagram;
    diagram.Load(tree, ids_);
    const std::vector<std::vector<DiagramBar>> bars = diagram.Bars(false);
    for (size_t n = 0; n < ids_.size(); ++n) {
        const int driven = kDriven[n];
        SCOPED_TRACE(driven);
        const std::vector<StoredLap> stored = Laps(ids_[n]);
        const int lapSeries = diagram.SeriesIndex(LapBarsTag(int(n) + 1));
        ASSERT_GE(lapSeries, 0);
        const std::vector<DiagramBar>& lapBars = bars[size_t(lapSeries)];
        ASSERT_EQ(lapBars.size(), size_t(driven));
        for (int lap = 1; lap <= driven; ++lap) {
            ASSERT_EQ(lapBars[size_t(lap - 1)].x, lap);
            ASSERT_EQ(lapBars[size_t(lap - 1)].y, stored[size_t(lap - 1)].time);
        }
        for (int k = 1; k <= kSectorsPerLap; ++k) {
            const int s = diagram.SeriesIndex(SectorBarsTag(int(n) + 1, k));
            ASSERT_GE(s, 0);
            ASSERT_EQ(bars[size_t(s)].size(), size_t(driven));
            EXPECT_EQ(bars[size_t(s)].back().x, driven);
        }
    }
}

// The lap comparison draws every lap from its start, the Sessions chart
// draws a line at every lap end, and the choosers list every lap.
void LongSessions::LapComparisonSessionsChartAndChoosersTakeEveryLap()
{
    SCOPED_TRACE("LapComparisonSessionsChartAndChoosersTakeEveryLap");
    LapComparisonTree comparison;
    SessionsChartTree sessions;
    for (size_t n = 0; n < ids_.size(); ++n) {
        const int id = ids_[n], driven = kDriven[n];
        SCOPED_TRACE(driven);
        const std::vector<ComparedLap> laps = LoadLapComparisonSession(comparison, DM->memGPS, id);
        ASSERT_EQ(laps.size(), size_t(driven));
        for (int lap = 1; lap <= driven; ++lap) {
            const ComparedLap& l = laps[size_t(lap - 1)];
            ASSERT_EQ(l.lap, lap);
            ASSERT_EQ(l.start, LapStartTime(tree.memokrazenia, id, lap));
            ASSERT_EQ(l.count, samples_[id].at(lap).count);
            ASSERT_LT(DM->memGPS.IntAt(l.first, Column(DM->memGPS, "data")), 10);
        }

        BuildSessionsChartTree(sessions, id);
        std::vector<int> ends;
        for (const ChartLine& line : ChartLines(sessions.memokrazenia, id))
            ends.push_back(line.time);
        ASSERT_EQ(ends.size(), size_t(driven) + 1);  // and the start line
        const std::vector<StoredLap> stored = Laps(id);
        for (int lap = 1; lap <= driven; ++lap)
            ASSERT_EQ(ends[size_t(lap)], laps[size_t(lap - 1)].start + stored[size_t(lap - 1)].time) << lap;
    }

    // The Template says how many laps were timed; the lap chooser lists
    // each with its own sectors.
    TIBQuery q(DM->TransBrowse);
    BuildTemplateRangeQuery(q, TDateTime(DayNumber(QDate(2024, 6, 14))), TDateTime(DayNumber(QDate(2024, 6, 16))));
    MemTable templ(QStringLiteral("memdane"), TemplateFields());
    FillTemplateSessions(q, templ);
    std::map<int, int> timed;
    for (int r = 0; r < templ.RecordCount(); ++r)
        timed[Int(templ, r, "id_nag")] = Int(templ, r, "ilosc_okr");
    for (size_t n = 0; n < ids_.size(); ++n)
        EXPECT_EQ(timed[ids_[n]], kDriven[n]);

    BuildLapChooserQuery(q, 0, 0, TDateTime(DayNumber(QDate(2024, 6, 14))), TDateTime(DayNumber(QDate(2024, 6, 16))));
    MemTable chooser(QStringLiteral("memdane"), LapChooserFields());
    FillLapChooser(q, chooser);
    std::map<int, int> listed;
    for (int r = 0; r < chooser.RecordCount(); ++r) {
        if (Str(chooser, r, "typ_rekordu") != QLatin1String("2"))
            continue;
        const int id = Int(chooser, r, "id_naglowka"), lap = Int(chooser, r, "id_okrazenia");
        ASSERT_EQ(lap, ++listed[id]);
        const std::vector<StoredSector>& own = sectors_[id][lap];
        ASSERT_EQ(Str(chooser, r, "S1"), own.at(0).text) << lap;
        ASSERT_EQ(Str(chooser, r, "S2"), own.at(1).text) << lap;
    }
    for (size_t n = 0; n < ids_.size(); ++n)
        EXPECT_EQ(listed[ids_[n]], kDriven[n]);
}

// One import serves every table (it is the slow part).
TEST_F(LongSessions, EveryAnalysisTableTakesEveryLapWhereItWasDriven)
{
    TreePlacesEveryLapWhereItWasDriven();
    OverlayAndGpsLapViewStartEachLapAtItsOwnLine();
    DiagramHasABarForEveryLap();
    // Last: the lap comparison appends its own rows to memGPS.
    LapComparisonSessionsChartAndChoosersTakeEveryLap();
}

}  // namespace
