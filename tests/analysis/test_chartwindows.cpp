// The lap time diagram, the Sessions chart and the lap comparison chart as
// windows over a real database: what shows after the switches, ticks and
// selections, the read-outs under the mouse, the linked GPS view's place,
// memGPS passing between the loaders, and the openers.
#include <QButtonGroup>
#include <QCoreApplication>
#include <QEvent>
#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <set>

#include "analysis/ugpspowiazany.h"
#include "analysis/upanelsesji.h"
#include "analysis/uwykres.h"
#include "analysis/uwykresczasyMDI.h"
#include "analysis/uwykreslaptolap.h"
#include "platform/chart/chart.h"
#include "platform/dbgrid.h"
#include "platform/dialogs.h"
#include "shell/common/stale.h"
#include "shell/projectrecord.h"
#include "sim_sessions.h"
#include "support/areahost.h"
#include "support/testdb.h"
#include "tree_rows.h"

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using namespace simsessions;

class ChartWindows : public ChartsDatabaseTest {
protected:
    // The analysis session the windows of a case show.
    AnalysisSession session;

    // The first row of a table with these values of id_naglowka and typ_rekordu.
    static int RowOf(const MemTable& t, int sessionId, const char* type, int nth = 0)
    {
        for (int r = 0; r < t.RecordCount(); ++r)
            if (Int(t, r, "id_naglowka") == sessionId &&
                t.StringAt(r, t.FieldIndex(QStringLiteral("typ_rekordu"))) == QLatin1String(type) && nth-- == 0)
                return r;
        return -1;
    }
    static std::set<int> VisibleTags(const Chart* chart)
    {
        std::set<int> tags;
        for (int i = 0; i < chart->SeriesCount(); ++i)
            if (chart->Series(i)->Visible())
                tags.insert(chart->Series(i)->Tag());
        return tags;
    }
    // Lets the windows lay themselves out after a load and react to
    // memGPS changing hands.
    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    static QPoint PlotPoint(const Chart* chart, double x, double fy = 0.5)
    {
        const QRect p = chart->PlotRect();
        return {chart->XToScreen(x), p.top() + int(p.height() * fy)};
    }
};

// ------------------------------------------------------------ lap time diagram

class Diagram : public ChartWindows {
protected:
    TFPanelSesji panel{session};
    TfwykresCzasy window{session};

    void SetUp() override
    {
        ChartWindows::SetUp();
        // Session 11 ticked, 12 unticked in the panel; 13 chosen without rows.
        treerows::AddSession(session.tree, {11, 1000, {{1, 3465, {1269, 1137, 1059}}, {2, 3342, {1256, 1126, 960}}}});
        treerows::AddSession(session.tree, {12, 500, {{1, 4000, {2000, 2000}}}, 0});
        Choose({11, 12, 13});
        window.resize(1000, 600);
        window.show();
        window.LoadChart();
        Settle();
    }
    void TearDown() override
    {
        ChartWindows::TearDown();
    }
};

// The panel's ticks and the filters together: a series shows when its
// session is ticked and the filters let it through, also after a reload.
TEST_F(Diagram, TicksAndFiltersTogetherDecideWhatShows)
{
    EXPECT_EQ(window.Chart1->SeriesCount(), 8);  // 100..103, 200..202, 300
    EXPECT_EQ(window.Chart1->SeriesByTag(300)->Count(), 0);
    struct Step {
        const char* what;
        std::function<void()> act;
        std::set<int> shown;
    };
    const std::vector<Step> steps = {
        {"loaded", [] {}, {100, 101, 102, 103, 300}},
        {"sector 3", [&] { window.RadioItems->button(3)->click(); }, {100, 103, 300}},
        {"no sectors", [&] { window.CheckBox2->click(); }, {100, 300}},
        {"sectors again", [&] { window.CheckBox2->click(); }, {100, 103, 300}},
        {"tick 12", [&] { window.SetSessionVisible(12, 1); }, {100, 103, 200, 300}},
        {"no laps", [&] { window.CheckBox1->click(); }, {103}},
        {"untick 11", [&] { window.SetSessionVisible(11, 0); }, {}},
        {"all sectors", [&] { window.RadioItems->button(0)->click(); }, {201, 202}},
        {"tick 11", [&] { window.SetSessionVisible(11, 1); }, {101, 102, 103, 201, 202}},
        {"reload", [&] { window.LoadChart(); }, {101, 102, 103}},  // the panel still has 12 unticked
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(VisibleTags(window.Chart1), s.shown) << s.what;
    }
}

TEST_F(Diagram, DiffSwitchMarksAndTheBarUnderTheMouse)
{
    const ChartSeries* laps = window.Chart1->SeriesByTag(100);
    ASSERT_EQ(laps->Count(), 2);
    EXPECT_EQ(laps->Label(0), QStringLiteral("00:01:23"));
    EXPECT_EQ(laps->Label(1), QStringLiteral("00:00:00"));
    window.CheckBox3->click();
    EXPECT_EQ(laps->Label(0), QStringLiteral("00:34:65"));
    EXPECT_EQ(laps->YValue(0), 3465);
    window.CheckBox3->click();
    EXPECT_EQ(laps->YValue(0), 123);

    window.CheckBox4->click();
    for (int i = 0; i < window.Chart1->SeriesCount(); ++i)
        EXPECT_FALSE(window.Chart1->Series(i)->MarksVisible());

    // Over a bar: its label in the read-out and the tooltip; over nothing:
    // an empty read-out and no tooltip.
    const QRect plot = window.Chart1->PlotRect();
    const QPoint overBar(window.Chart1->XToScreen(1) - 5, plot.bottom() - 2);
    QString expected;
    for (int i = 0; i < window.Chart1->SeriesCount() && expected.isEmpty(); ++i) {
        const ChartSeries* s = window.Chart1->Series(i);
        const int k = window.Chart1->PointAt(s, overBar);
        if (s->Visible() && k >= 0)
            expected = s->Label(k);
    }
    ASSERT_FALSE(expected.isEmpty());
    window.Chart1MouseMove(overBar);
    EXPECT_EQ(window.StaticText1->text(), expected);
    EXPECT_EQ(window.Chart1->ToolTipText(), expected);
    window.Chart1MouseMove(QPoint(plot.left() + 2, plot.top() + 2));
    EXPECT_TRUE(window.StaticText1->text().isEmpty());
    EXPECT_TRUE(window.Chart1->ToolTipText().isEmpty());
}

// Three hundred ticked sessions: every session's lap bars and sector bars
// are series of their own, and the switches find them all.
TEST_F(ChartWindows, DiagramKeepsLapsAndSectorsApartOverThreeHundredSessions)
{
    TFPanelSesji panel{session};
    std::vector<int> ids;
    for (int n = 1; n <= 300; ++n) {
        ids.push_back(1000 + n);
        treerows::AddSession(session.tree, {1000 + n, 500, {{1, 4000 + n, {1500, 2500 + n}}, {2, 3900 + n, {1400, 2500 + n}}}});
    }
    Choose(ids);
    TfwykresCzasy window{session};
    window.resize(1000, 600);
    window.show();
    window.LoadChart();
    ASSERT_EQ(window.Chart1->SeriesCount(), 900);
    // Each session: one lap series with its two laps, one series per sector
    // number with that sector of both laps, all titled with the session.
    for (int i = 0; i < window.Chart1->SeriesCount(); ++i) {
        const ChartSeries* s = window.Chart1->Series(i);
        const int n = i / 3 + 1, k = i % 3;
        ASSERT_EQ(s->Tag() / 100, n) << i;
        ASSERT_EQ(s->Tag() % 100, k) << i;
        ASSERT_EQ(s->Title(), QString::number(1000 + n)) << i;
        ASSERT_EQ(s->Count(), 2) << s->Tag();
    }
    // The times, not the differences, tell which bars landed in which series.
    window.CheckBox3->click();
    for (int i = 0; i < window.Chart1->SeriesCount(); ++i) {
        const ChartSeries* s = window.Chart1->Series(i);
        const int n = i / 3 + 1, k = i % 3;
        const int expected[3][2] = {{4000 + n, 3900 + n}, {1500, 1400}, {2500 + n, 2500 + n}};
        ASSERT_EQ(s->YValue(0), expected[k][0]) << s->Tag();
        ASSERT_EQ(s->YValue(1), expected[k][1]) << s->Tag();
    }

    auto shown = [&](int k) {
        int count = 0;
        for (int i = 0; i < window.Chart1->SeriesCount(); ++i)
            count += window.Chart1->Series(i)->Visible() && window.Chart1->Series(i)->Tag() % 100 == k ? 1 : 0;
        return count;
    };
    window.CheckBox1->click();  // no laps
    EXPECT_EQ(shown(0), 0);
    EXPECT_EQ(shown(1), 300);
    EXPECT_EQ(shown(2), 300);
    window.CheckBox1->click();
    window.CheckBox2->click();  // no sectors
    EXPECT_EQ(shown(0), 300);
    EXPECT_EQ(shown(1) + shown(2), 0);
    window.CheckBox2->click();
    window.RadioItems->button(2)->click();
    EXPECT_EQ(shown(0), 300);
    EXPECT_EQ(shown(1), 0);
    EXPECT_EQ(shown(2), 300);
    // The panel's check column hides a session past the 99th whole.
    window.SetSessionVisible(1150, 0);
    EXPECT_EQ(shown(0), 299);
    EXPECT_EQ(shown(2), 299);
}

// Over the session panel's own load of imported sessions: each session's
// laps and sectors measured against its best.
TEST_F(ChartWindows, DiagramOverThePanelsLoadOfImportedSessions)
{
    const std::vector<int> ids = ImportSessions({Session(4, 3, 51), Session(3, 2, 52)});
    Choose(ids);
    TFPanelSesji panel{session};
    panel.LoadSessions();
    TfwykresCzasy window{session};
    window.LoadChart();
    for (size_t n = 1; n <= ids.size(); ++n) {
        const int id = ids[n - 1];
        SCOPED_TRACE(id);
        const std::vector<StoredLap> laps = Laps(id);
        int best = laps.front().time;
        for (const StoredLap& l : laps)
            best = std::min(best, l.time);
        const ChartSeries* lapBars = window.Chart1->SeriesByTag(int(n) * 100);
        ASSERT_NE(lapBars, nullptr);
        ASSERT_EQ(lapBars->Count(), int(laps.size()));
        for (size_t i = 0; i < laps.size(); ++i) {
            EXPECT_EQ(lapBars->XValue(int(i)), laps[i].nr);
            EXPECT_EQ(lapBars->YValue(int(i)), laps[i].time - best);
            EXPECT_EQ(lapBars->Label(int(i)), SessionTimeText(laps[i].time - best));
        }
        // Sector k of every lap against the best sector k.
        for (int k = 1; k <= 3; ++k) {
            std::vector<int> times;
            for (const StoredLap& l : laps)
                for (const StoredSector& s : Sectors(id, l.nr))
                    if (s.nr == k)
                        times.push_back(s.time);
            const ChartSeries* bars = window.Chart1->SeriesByTag(int(n) * 100 + k);
            if (times.empty()) {
                EXPECT_EQ(bars, nullptr) << "sector " << k;
                continue;
            }
            ASSERT_NE(bars, nullptr) << "sector " << k;
            const int bestSector = *std::min_element(times.begin(), times.end());
            ASSERT_EQ(bars->Count(), int(times.size()));
            for (size_t i = 0; i < times.size(); ++i)
                EXPECT_EQ(bars->YValue(int(i)), times[i] - bestSector) << "sector " << k;
        }
    }
}

// ------------------------------------------------------------ Sessions chart

class SessionsChart : public ChartWindows {
protected:
    std::vector<int> ids;
    TFWykres window{session};

    void Load(const std::vector<int>& chosen)
    {
        Choose(chosen);
        window.resize(1200, 700);
        window.show();
        window.LoadChart();
        Settle();
    }
    int Samples(int id)
    {
        return db.Scalar(QStringLiteral("select count(*) from POZYCJE where ID_NAGLOWKA = %1").arg(id)).toInt();
    }
};

TEST_F(SessionsChart, NoSessionsChosenEmptiesMemGps)
{
    memGPS.Open();
    memGPS.SetIntAt(memGPS.AppendRow(), 0, 1);
    Load({});
    EXPECT_EQ(memGPS.RecordCount(), 0);
    EXPECT_EQ(window.Tree.memdane.RecordCount(), 0);
    EXPECT_EQ(window.Chart1->SeriesCount(), 0);
    window.Chart1MouseMove(window.Chart1->PlotRect().center());  // nothing to read
    EXPECT_TRUE(window.st_czas->text().isEmpty());
}

TEST_F(SessionsChart, SelectionTicksAndReadOuts)
{
    ids = ImportSessions({Session(3, 3, 41), Session(2, 3, 42)});
    Load(ids);
    ASSERT_EQ(window.Chart1->SeriesCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(window.Chart1->Series(i)->Tag(), ids[size_t(i)]);
        EXPECT_EQ(window.Chart1->Series(i)->Count(), Samples(ids[size_t(i)]));
    }
    EXPECT_EQ(memGPS.RecordCount(), Samples(ids[0]) + Samples(ids[1]));

    // The first session is selected; a lap row of the second selects it.
    const ChartSeries* first = window.Chart1->Series(0);
    const ChartSeries* second = window.Chart1->Series(1);
    EXPECT_EQ(window.SelectedSession(), ids[0]);
    EXPECT_EQ(first->PenWidth(), 2);
    EXPECT_EQ(second->PenWidth(), 1);
    window.RxDBGrid1->SelectRow(RowOf(window.Tree.memdane, ids[1], "2", 1));
    EXPECT_EQ(window.SelectedSession(), ids[1]);
    EXPECT_EQ(first->PenWidth(), 1);
    EXPECT_EQ(second->PenWidth(), 2);

    // Before the first lap line: lap and sector time repeat the time.
    const int start = FirstLapStart(ids[1]);
    window.Chart1MouseMove(PlotPoint(window.Chart1, start / 2.0));
    EXPECT_EQ(window.StaticText1->text(), window.st_czas->text());
    EXPECT_EQ(window.StaticText2->text(), window.st_czas->text());
    // After it: the times since the lines; the cursor time is the first
    // sample at or after the time under the mouse.
    const QPoint after = PlotPoint(window.Chart1, start + 1234.0);
    window.Chart1MouseMove(after);
    const double x = window.Chart1->ScreenToX(after.x());
    EXPECT_EQ(window.StaticText1->text(), ClockText(x - start));
    EXPECT_NE(window.StaticText1->text(), window.st_czas->text());
    EXPECT_EQ(window.Chart1->CursorLine(), after.x());
    const int k = second->NearestPoint(x);
    ASSERT_GE(k, 1);
    EXPECT_EQ(window.CursorTime(), int(second->XValue(k)));
    EXPECT_GE(second->XValue(k), x);
    EXPECT_LT(second->XValue(k - 1), x);

    // Outside the plot: the line goes, the texts stay.
    const QString lapText = window.StaticText1->text();
    window.Chart1MouseMove(QPoint(2, 2));
    EXPECT_EQ(window.Chart1->CursorLine(), -1);
    EXPECT_EQ(window.StaticText1->text(), lapText);

    // Unticking the selected session hides its line; the time shows "-".
    const int sessionRow = RowOf(window.Tree.memdane, ids[1], "1");
    window.RxDBGrid1CellClick(sessionRow, QStringLiteral("wybrany"));
    EXPECT_EQ(Int(window.Tree.memdane, sessionRow, "wybrany"), 0);
    EXPECT_FALSE(second->Visible());
    EXPECT_TRUE(first->Visible());
    window.Chart1MouseMove(after);
    EXPECT_EQ(window.st_czas->text(), QStringLiteral("-"));
    EXPECT_EQ(window.StaticText1->text(), lapText);
    window.RxDBGrid1CellClick(sessionRow, QStringLiteral("wybrany"));
    EXPECT_TRUE(second->Visible());
    // Lap rows have no tick.
    window.RxDBGrid1CellClick(sessionRow + 1, QStringLiteral("wybrany"));
    EXPECT_TRUE(window.Tree.memdane.IsNullAt(sessionRow + 1, window.Tree.memdane.FieldIndex(QStringLiteral("wybrany"))));
}

// A session without laps: its start lines alone, blue over green.
TEST_F(SessionsChart, StartLinesOfASessionWithoutLaps)
{
    InsertHandSession({61, 1530, {}, {}, {{0, 0, 3000}, {1000, 0, 5000}, {3000, 0, 4000}}});
    Load({61});
    const QRect plot = window.Chart1->PlotRect();
    const int x = window.Chart1->XToScreen(1530);
    auto colourAtLine = [&] {
        Settle();
        return window.Chart1->grab().toImage().pixelColor(x, plot.bottom() - 3);
    };
    EXPECT_EQ(colourAtLine(), QColor(Qt::white));
    window.CheckBox2->click();
    EXPECT_EQ(colourAtLine(), QColor(0, 128, 0));
    window.CheckBox1->click();
    EXPECT_EQ(colourAtLine(), QColor(0, 0, 255));
}

TEST_F(SessionsChart, GpsViewPlaceComesFromAndGoesToTheProjectRecord)
{
    ids = ImportSessions({Session(2, 3, 43), Session(2, 3, 44)});
    Load(ids);
    Project().SetChartGpsViewLeft(120);
    Project().SetChartGpsViewTop(80);
    window.Button2Click();
    Tfgpspowiazany* view = window.GpsView().View();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->pos(), QPoint(120, 80));
    EXPECT_TRUE(view->isVisible());
    // Pressed again on the other session: the same view.
    window.RxDBGrid1->SelectRow(RowOf(window.Tree.memdane, ids[1], "1"));
    view->hide();
    window.Button2Click();
    EXPECT_EQ(window.GpsView().View(), view);
    EXPECT_TRUE(view->isVisible());
    // Closing the chart keeps the view's place and hides it.
    view->move(200, 150);
    window.close();
    EXPECT_EQ(Project().ChartGpsViewLeft(), 200);
    EXPECT_EQ(Project().ChartGpsViewTop(), 150);
    EXPECT_FALSE(view->isVisible());
}

TEST_F(SessionsChart, GpsViewWithoutAStoredPlace)
{
    ids = ImportSessions({Session(2, 3, 45)});
    Load(ids);
    Project().SetChartGpsViewLeft(0);
    Project().SetChartGpsViewTop(300);
    window.Button2Click();
    ASSERT_NE(window.GpsView().View(), nullptr);
    EXPECT_NE(window.GpsView().View()->pos(), QPoint(0, 300));
}

// ------------------------------------------------------------ lap comparison

class LapComparison : public ChartWindows {
protected:
    Tfwykreslaptolap window{session};

    void SetUp() override
    {
        ChartWindows::SetUp();
        InsertHandSession({21, 1000, {{1, 3000}, {2, 3100}, {4, 2900}}, {},
                           {{1000, 1, 6000}, {2500, 1, 6100}, {4000, 2, 7000}, {5000, 2, 7100}, {7100, 3, 8000},
                            {10000, 4, 9000}, {12000, 4, 9100}}});
        InsertHandSession({22, 0, {{1, 2000}, {2, 2100}}, {}, {{0, 1, 4000}, {1900, 1, 4100}, {2000, 2, 4200}}});
        InsertHandSession({23, 700, {}, {}, {{100, 0, 3000}}});
        Choose({21, 22, 23});
        window.resize(1200, 700);
        window.show();
        window.LoadChart();
        Settle();
    }
};

TEST_F(LapComparison, LinesTicksSelectionAndCursor)
{
    struct Line {
        int tag;
        QColor colour;
        double firstX;
    };
    const std::vector<Line> lines = {{2101, LapColour(1), 0}, {2102, LapColour(2), 0}, {2104, LapColour(3), 2900},
                                     {2201, LapColour(1), 0}, {2202, LapColour(2), 0}};
    ASSERT_EQ(window.Chart1->SeriesCount(), int(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) {
        const ChartSeries* s = window.Chart1->Series(int(i));
        EXPECT_EQ(s->Tag(), lines[i].tag);
        EXPECT_EQ(s->Colour(), lines[i].colour) << lines[i].tag;
        ASSERT_GT(s->Count(), 0) << lines[i].tag;
        EXPECT_EQ(s->XValue(0), lines[i].firstX) << lines[i].tag;
    }
    MemTable& t = window.Tree.memdane;

    // Before "GPS" only the cursor line moves.
    window.Chart1MouseMove(PlotPoint(window.Chart1, 1200));
    EXPECT_NE(window.Chart1->CursorLine(), -1);
    EXPECT_EQ(window.CursorTime(), 0);
    // "GPS" on a session row does nothing; on a lap row it takes that lap.
    window.RxDBGrid1->SelectRow(RowOf(t, 21, "1"));
    window.Button2Click();
    EXPECT_EQ(window.GpsView().View(), nullptr);
    const int lap2 = RowOf(t, 21, "2", 1);
    window.RxDBGrid1->SelectRow(lap2);
    window.Button2Click();
    EXPECT_EQ(window.GpsSession(), 21);
    EXPECT_EQ(window.GpsLap(), 2);
    ASSERT_NE(window.GpsView().View(), nullptr);
    EXPECT_EQ(window.Chart1->SeriesByTag(2102)->PenWidth(), 2);
    EXPECT_EQ(window.Chart1->SeriesByTag(2101)->PenWidth(), 1);
    // A session row leaves the widths.
    window.RxDBGrid1->SelectRow(RowOf(t, 22, "1"));
    EXPECT_EQ(window.Chart1->SeriesByTag(2102)->PenWidth(), 2);

    // The cursor time: the GPS lap's next sample, in time since its start.
    window.Chart1MouseMove(PlotPoint(window.Chart1, 500));
    EXPECT_EQ(window.CursorTime(), 1000);
    // Unticking the GPS lap hides it; the cursor time stays.
    window.RxDBGrid1CellClick(lap2, QStringLiteral("wybrany"));
    EXPECT_EQ(Int(t, lap2, "wybrany"), 0);
    EXPECT_FALSE(window.Chart1->SeriesByTag(2102)->Visible());
    window.Chart1MouseMove(PlotPoint(window.Chart1, 0));
    EXPECT_EQ(window.CursorTime(), 1000);
    window.RxDBGrid1CellClick(lap2, QStringLiteral("wybrany"));
    EXPECT_TRUE(window.Chart1->SeriesByTag(2102)->Visible());
    // Session rows have no tick.
    window.RxDBGrid1CellClick(RowOf(t, 21, "1"), QStringLiteral("wybrany"));
    EXPECT_TRUE(t.IsNullAt(RowOf(t, 21, "1"), t.FieldIndex(QStringLiteral("wybrany"))));
}

// Tags keep the lap in their last two digits, so lap 101 of session 5 and
// lap 1 of session 6 share the tag 601: a tick or a selection still reaches
// only the lap's own line.
TEST_F(ChartWindows, LapComparisonLapsFromHundredOnKeepToTheirSession)
{
    InsertHandSession({5, 0, {{101, 2000}}, {}, {{0, 101, 4000}, {1000, 101, 4100}}});
    InsertHandSession({6, 0, {{1, 2000}}, {}, {{0, 1, 5000}, {1000, 1, 5100}}});
    Choose({5, 6});
    Tfwykreslaptolap window{session};
    window.LoadChart();
    Settle();
    ASSERT_EQ(window.Chart1->SeriesCount(), 2);
    const ChartSeries* of5 = window.Chart1->Series(0);
    const ChartSeries* of6 = window.Chart1->Series(1);
    EXPECT_EQ(of5->Tag(), of6->Tag());
    EXPECT_EQ(of6->YValue(0), 5000);

    MemTable& t = window.Tree.memdane;
    const int lap1 = RowOf(t, 6, "2");
    window.RxDBGrid1->SelectRow(lap1);
    EXPECT_EQ(of5->PenWidth(), 1);
    EXPECT_EQ(of6->PenWidth(), 2);
    window.RxDBGrid1CellClick(lap1, QStringLiteral("wybrany"));
    EXPECT_TRUE(of5->Visible());
    EXPECT_FALSE(of6->Visible());

    // The GPS lap's cursor follows its own line.
    window.Button2Click();
    EXPECT_EQ(window.GpsLap(), 1);
    window.RxDBGrid1CellClick(lap1, QStringLiteral("wybrany"));
    window.Chart1MouseMove(PlotPoint(window.Chart1, 500));
    EXPECT_EQ(window.CursorTime(), 1000);
}

// memGPS holds the last loader's samples, while each window's lines keep
// the samples of its own load: loading the lap comparison leaves the
// Sessions chart's lines whole, and another loader leaves both.
TEST_F(LapComparison, EachWindowKeepsTheLinesOfItsOwnLoad)
{
    TFWykres sessions{session};
    sessions.LoadChart();  // takes memGPS in session time
    Settle();
    const ChartSeries* lap4 = window.Chart1->SeriesByTag(2104);
    const ChartSeries* session21 = sessions.Chart1->SeriesByTag(21);
    ASSERT_NE(session21, nullptr);
    EXPECT_EQ(session21->Count(), 7);
    EXPECT_EQ(memGPS.RecordCount(), 7 + 3 + 1);
    // The lap line still starts at its lap's start, counted from it.
    ASSERT_EQ(lap4->Count(), 2);
    EXPECT_EQ(lap4->XValue(0), 2900);
    EXPECT_EQ(lap4->XValue(1), 4900);

    window.LoadChart();  // memGPS in lap times now
    Settle();
    EXPECT_EQ(memGPS.RecordCount(), 6 + 3);  // lap 3 and the lap-less samples are not listed
    ASSERT_EQ(session21->Count(), 7);        // the session's line, whole
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(session21->XValue(i), (std::vector<int>{1000, 2500, 4000, 5000, 7100, 10000, 12000})[size_t(i)]);
    EXPECT_EQ(sessions.Chart1->SeriesByTag(22)->Count(), 3);
    lap4 = window.Chart1->SeriesByTag(2104);  // the reload made new lines
    ASSERT_EQ(lap4->Count(), 2);
    EXPECT_EQ(lap4->XValue(1), 4900);

    // Another loader (the session panel) fills memGPS in session time.
    memGPS.Close();
    memGPS.Open();
    AppendSessionSamples(memGPS, 22);
    Settle();
    EXPECT_EQ(session21->Count(), 7);
    EXPECT_EQ(sessions.Chart1->SeriesByTag(22)->Count(), 3);
    EXPECT_EQ(window.Chart1->SeriesByTag(2202)->XValue(0), 0);
    EXPECT_EQ(lap4->Count(), 2);
    EXPECT_EQ(lap4->XValue(0), 2900);
}

// A load that fails on the way shows nothing of it, not the sessions before
// the failure, and names the session that failed.
TEST_F(LapComparison, AFailedLoadShowsNothingAndNamesTheSession)
{
    // Session 22's laps cannot be read.
    db.Exec(QStringLiteral("alter table OKRAZENIA_REJ add CUT computed by (1 / (ID_NAGLOWKA - 22))"));
    platform::testing::ClearMessages();
    for (const bool comparison : {true, false}) {
        SCOPED_TRACE(comparison ? "lap comparison" : "Sessions chart");
        TFWykres sessions{session};
        if (comparison)
            window.LoadChart();
        else
            sessions.LoadChart();
        Settle();
        const Chart* chart = comparison ? window.Chart1 : sessions.Chart1;
        const MemTable& tree = comparison ? window.Tree.memdane : sessions.Tree.memdane;
        EXPECT_EQ(chart->SeriesCount(), 0);
        EXPECT_EQ(tree.RecordCount(), 0);
        EXPECT_EQ(memGPS.RecordCount(), 0);
        ASSERT_EQ(platform::testing::Messages().size(), 1u);
        EXPECT_TRUE(platform::testing::Messages().front().startsWith(QStringLiteral("Session 22 could not be loaded")))
            << platform::testing::Messages().front().toStdString();
        platform::testing::ClearMessages();
    }
}

// ------------------------------------------------------------ openers

TEST_F(ChartWindows, OpenersBringAnOpenWindowForwardWithoutReloading)
{
    QMdiArea area;
    area.resize(1200, 800);
    AreaHost form(area);
    InsertHandSession({31, 0, {{1, 2000}}, {}, {{0, 1, 4000}, {1000, 1, 5000}}});
    InsertHandSession({32, 0, {{1, 2000}}, {}, {{0, 1, 4000}}});
    Choose({31});

    ShowSessionChart(session);
    ASSERT_NE(fwykres, nullptr);
    QMdiSubWindow* sub = form.MDISubWindow(QStringLiteral("TFWykres"));
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->isMaximized());
    EXPECT_EQ(fwykres->Chart1->SeriesCount(), 1);
    Choose({31, 32});
    ShowSessionChart(session);
    EXPECT_EQ(fwykres->Chart1->SeriesCount(), 1);
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(fwykres, nullptr);

    ShowLapComparison(session);
    ASSERT_NE(fwykreslaptolap, nullptr);
    EXPECT_TRUE(form.MDISubWindow(QStringLiteral("Tfwykreslaptolap"))->isMaximized());
    EXPECT_EQ(fwykreslaptolap->Chart1->SeriesCount(), 2);
    Choose({31});
    ShowLapComparison(session);
    EXPECT_EQ(fwykreslaptolap->Chart1->SeriesCount(), 2);

    ShowLapTimeDiagram(session);
    ASSERT_NE(fwykresCzasy, nullptr);
    QMdiSubWindow* diagram = form.MDISubWindow(QStringLiteral("TfwykresCzasy"));
    ASSERT_NE(diagram, nullptr);
    EXPECT_EQ(diagram->geometry(),
              QRect(SessionPanelWidth(), 0, form.ClientSize().width() - SessionPanelWidth() - 5, form.ClientSize().height() - 5));
    TfwykresCzasy* open = fwykresCzasy;
    ShowLapTimeDiagram(session);
    EXPECT_EQ(fwykresCzasy, open);
}

}  // namespace
