// The lap-overlay chart on hand-made sessions: one series per lap and
// channel from the lap's start line, the check column and the highlight,
// and the read-out of the current lap.
#include "analysis/uwykresmdilapy.h"

#include <QLabel>

#include "chart_support.h"

namespace {

using charttest::ChartFixture;
using charttest::Choose;

class LapOverlayChart : public ChartFixture {
protected:
    std::unique_ptr<Tfwykresmdilapy> window;

    Tfwykresmdilapy& Open() { return Show(window, 1000, 560); }
};

TEST_F(LapOverlayChart, OneSeriesPerLapAndChannelFromTheLapStart)
{
    Choose({{"obroty", "%0.0f"}, {"accx", "%1.1f"}});
    TwoSessions();
    Tfwykresmdilapy& w = Open();
    EXPECT_EQ(fwykresmdilapy, &w);
    Chart* c = w.Chart1;

    // Session 12: laps 1..3 (lap 0 draws nothing); session 13: laps 1, 2.
    struct Expected {
        int tag;
        const char* title;
        int colour;
        bool visible;
    };
    const Expected expected[] = {
        {1201, "12 L1 RPM", 1, true},  {1201, "12 L1 ACCX", 2, true}, {1202, "12 L2 RPM", 3, true},
        {1202, "12 L2 ACCX", 4, true}, {1203, "12 L3 RPM", 5, true},  {1203, "12 L3 ACCX", 6, true},
        {1301, "13 L1 RPM", 1, false}, {1301, "13 L1 ACCX", 2, false}, {1302, "13 L2 RPM", 3, false},
        {1302, "13 L2 ACCX", 4, false},
    };
    ASSERT_EQ(c->SeriesCount(), 10);
    for (int i = 0; i < 10; ++i) {
        const ChartSeries* s = c->Series(i);
        EXPECT_EQ(s->Tag(), expected[i].tag) << i;
        EXPECT_EQ(s->Title(), QString::fromLatin1(expected[i].title)) << i;
        EXPECT_EQ(s->Colour(), LapColour(expected[i].colour)) << i;  // counted per session
        EXPECT_EQ(s->Visible(), expected[i].visible) << i;
    }
    // x from the lap's own start line.
    const ChartSeries* lap2 = c->Series(2);
    EXPECT_EQ(lap2->XValue(0), 0);     // the sample at 7500
    EXPECT_EQ(lap2->Count(), 59);      // 7500 .. 13300
    EXPECT_EQ(c->Series(4)->XValue(0), 0);
    EXPECT_EQ(c->Series(4)->Count(), 61);  // 13400 .. 19400
    EXPECT_DOUBLE_EQ(c->Series(3)->YValue(0), 750);

    // A lap the panel's filters left out of the tree has no series.
    Panel().Tree().memokrazenia.SetRecNo(2);
    Panel().Tree().memokrazenia.Delete();
    w.LoadChart();
    EXPECT_EQ(c->SeriesCount(), 8);
    EXPECT_EQ(c->SeriesByTag(1202), nullptr);
    EXPECT_EQ(c->Series(2)->Colour(), LapColour(3));
    EXPECT_EQ(c->Series(2)->Tag(), 1203);
}

TEST_F(LapOverlayChart, SixChannelsFillAllRows)
{
    Choose({{"obroty", "%0.0f"}, {"temp1", "%1.1f"}, {"accx", "%1.1f"}, {"accy", "%1.1f"}, {"temp2", "%1.1f"},
            {"predkosc_gps", "%0.0f"}});
    TwoSessions();
    Tfwykresmdilapy& w = Open();
    const char* captions[] = {"", "RPM", "T1", "ACCX", "ACCY", "T2", "V"};
    for (int i = 1; i <= 6; ++i) {
        EXPECT_TRUE(w.ChannelCaptions[size_t(i)]->isVisible()) << i;
        EXPECT_EQ(w.ChannelCaptions[size_t(i)]->text(), QString::fromLatin1(captions[i]));
    }
    EXPECT_EQ(w.ChannelCaptions[6]->objectName(), QStringLiteral("Label6"));
    EXPECT_EQ(w.ChannelValues[6]->objectName(), QStringLiteral("StaticText9"));
    EXPECT_EQ(w.Chart1->SeriesCount(), 5 * 6);
}

TEST_F(LapOverlayChart, CheckColumnAndHighlight)
{
    TwoSessions();
    Tfwykresmdilapy& w = Open();
    Chart* c = w.Chart1;
    w.SetLapVisible(13, 2, 1);
    EXPECT_TRUE(c->SeriesByTag(1302)->Visible());
    EXPECT_FALSE(c->SeriesByTag(1301)->Visible());
    w.SetLapVisible(12, 1, 0);
    EXPECT_FALSE(c->SeriesByTag(1201)->Visible());

    w.HighlightLap(12, 2);
    for (int i = 0; i < c->SeriesCount(); ++i)
        EXPECT_EQ(c->Series(i)->PenWidth(), c->Series(i)->Tag() == 1202 ? HighlightPenWidth : 1);
    w.HighlightLap(12, 0);  // a session row: nothing stands out
    for (int i = 0; i < c->SeriesCount(); ++i)
        EXPECT_EQ(c->Series(i)->PenWidth(), 1);
}

// Tags keep the lap in their last two digits: lap 101 of session 5 and lap
// 1 of session 6 share the tag 601, yet the check column, the highlight and
// the read-out reach only the lap's own series.
TEST_F(LapOverlayChart, LapsFromHundredOnKeepToTheirSession)
{
    for (int t = 0; t <= 3000; t += 100)
        Sample(5, t, 101, 4000);
    for (int t = 0; t <= 3000; t += 100)
        Sample(6, t, 1, 6000);
    Ranges(5);
    Ranges(6);
    treetest::AddTreeRow(Panel().Tree(), "1", 5, 0, 1);
    treetest::AddTreeRow(Panel().Tree(), "2", 5, 101, 1);
    treetest::AddTreeRow(Panel().Tree(), "1", 6, 0, 1);
    treetest::AddTreeRow(Panel().Tree(), "2", 6, 1, 1);
    treetest::AddLap(Panel().Tree(), {5, 0, 101, QStringLiteral("00:30:00"), 0, 3000});
    treetest::AddLap(Panel().Tree(), {6, 0, 1, QStringLiteral("00:30:00"), 0, 3000});
    Current(0);
    Tfwykresmdilapy& w = Open();
    ExactView();
    Chart* c = w.Chart1;
    ASSERT_EQ(c->SeriesCount(), 2);
    EXPECT_EQ(c->Series(0)->Tag(), c->Series(1)->Tag());

    w.SetLapVisible(6, 1, 0);
    EXPECT_TRUE(c->Series(0)->Visible());
    EXPECT_FALSE(c->Series(1)->Visible());
    w.SetLapVisible(6, 1, 1);
    w.HighlightLap(5, 101);
    EXPECT_EQ(c->Series(0)->PenWidth(), HighlightPenWidth);
    EXPECT_EQ(c->Series(1)->PenWidth(), 1);

    Current(3);  // lap 1 of session 6
    MoveMouse(c, At(1500));
    EXPECT_EQ(Box(1), QStringLiteral("6000"));
    Current(1);  // lap 101 of session 5
    MoveMouse(c, At(1600));
    EXPECT_EQ(Box(1), QStringLiteral("4000"));
}

// The read-out shows the current lap: its time since the start line and
// the values of its own channels at that time.
TEST_F(LapOverlayChart, ReadOutOfTheCurrentLap)
{
    Choose({{"obroty", "%0.0f"}, {"accx", "%1.1f"}});
    TwoSessions();
    Tfwykresmdilapy& w = Open();
    ExactView();
    Chart* c = w.Chart1;

    Current(3);  // lap 2: 12000 is 4500 after its start
    MoveMouse(c, At(4500));
    EXPECT_EQ(w.CursorX(), c->XToScreen(4500));
    EXPECT_EQ(w.st_czas->text(), QStringLiteral("00:45:00"));
    EXPECT_EQ(Box(1), QStringLiteral("14000"));
    EXPECT_EQ(Box(2), QStringLiteral("1.5"));
    EXPECT_EQ(w.CursorTime(), 4500);

    Current(4);  // lap 3: the same cursor time, 17900 in the session
    MoveMouse(c, At(4500) + QPoint(1, 0));
    MoveMouse(c, At(4500));
    EXPECT_EQ(w.st_czas->text(), QStringLiteral("00:45:00"));
    EXPECT_EQ(Box(1), QStringLiteral("19900"));
    EXPECT_EQ(Box(2), QStringLiteral("0.0"));

    // A hidden current lap changes no box.
    w.SetLapVisible(12, 3, 0);
    MoveMouse(c, At(1000));
    EXPECT_EQ(w.st_czas->text(), QStringLiteral("00:45:00"));
    EXPECT_EQ(Box(1), QStringLiteral("19900"));
    EXPECT_EQ(w.CursorX(), c->XToScreen(1000));

    // A session row: only the cursor line moves.
    Current(0);
    MoveMouse(c, At(2000));
    EXPECT_EQ(w.CursorX(), c->XToScreen(2000));
    EXPECT_EQ(w.st_czas->text(), QStringLiteral("00:45:00"));

    // A sector row reads its lap.
    Current(2);
    MoveMouse(c, At(3000));
    EXPECT_EQ(w.st_czas->text(), QStringLiteral("00:30:00"));
    EXPECT_EQ(Box(1), QStringLiteral("6500"));  // lap 1: 1500 + 3000
}

// The time read-out rounds the cursor time once: just before a whole
// second it shows that second, not the one before it.
TEST_F(LapOverlayChart, TimeReadOutRoundsOnce)
{
    TwoSessions();
    Tfwykresmdilapy& w = Open();
    Chart* c = w.Chart1;
    Current(3);
    // 100 hundredths a pixel from -0.3: column 46 of the plot reads 4599.7.
    const QRect plot = c->PlotRect();
    c->ZoomToView({{-0.3, (plot.width() - 1) * 100.0 - 0.3}, {0, 1000}, false, false});
    Settle();
    struct Case {
        int column;
        const char* text;
    };
    for (const Case& k : {Case{46, "00:46:00"}, Case{45, "00:45:00"}, Case{600, "10:00:00"}}) {
        MoveMouse(c, {plot.left() + k.column, plot.center().y()});
        EXPECT_EQ(w.st_czas->text(), QString::fromLatin1(k.text)) << "column " << k.column;
    }
}

}  // namespace
