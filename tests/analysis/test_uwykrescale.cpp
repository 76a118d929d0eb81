// The whole-session chart on hand-made sessions: its series, the check
// column and the highlight, the cursor and read-out (also after a zoom),
// the lap strip, the
// extreme markers, the range labels, and its opener.
#include "analysis/uwykrescale.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "analysis/analysis.h"
#include "analysis/chartcore.h"
#include "analysis/uwykresmdilapy.h"
#include "chart_support.h"
#include "shell/shell_support.h"
#include "shell/umain.h"

namespace {

using charttest::ChartFixture;
using charttest::Choose;

class WholeSessionChart : public ChartFixture {
protected:
    std::unique_ptr<Tfwykrescale> window;

    Tfwykrescale& Open() { return Show(window, 1100, 600); }
};

TEST_F(WholeSessionChart, OneSeriesPerSessionAndChannel)
{
    Choose({{"obroty", "%0.0f"}, {"accx", "%1.1f"}, {"temp1", "%1.1f"}});
    TwoSessions();
    Tfwykrescale& w = Open();
    EXPECT_EQ(fwykrescale, &w);

    Chart* c = w.Chart1;
    ASSERT_EQ(c->SeriesCount(), 6);
    const char* titles[] = {"12 RPM", "12 ACCX", "12 Temp", "13 RPM", "13 ACCX", "13 Temp"};
    for (int i = 0; i < 6; ++i) {
        const ChartSeries* s = c->Series(i);
        EXPECT_EQ(s->Title(), QString::fromLatin1(titles[i]));
        EXPECT_EQ(s->Tag(), i < 3 ? 12 : 13);
        EXPECT_EQ(s->Colour(), LapColour(i + 1));  // the count runs on across sessions
        EXPECT_EQ(s->ValueFormat(), QString::number(i % 3 + 1));
        EXPECT_EQ(s->Visible(), i < 3) << "session 13 is unticked in the panel";
        EXPECT_EQ(s->Count(), i < 3 ? 211 : 111);
    }
    // Points: x the session time, y the height of the value in its range.
    const ChartSeries* acc = c->Series(1);
    EXPECT_EQ(acc->XValue(100), 10000);
    EXPECT_DOUBLE_EQ(acc->YValue(100), 750);  // 150 hundredths of g in -3..3 g
    EXPECT_DOUBLE_EQ(acc->YValue(10), 500);   // 0 g
    EXPECT_NEAR(c->Series(0)->YValue(100), 12000.0 / 15, 1e-9);

    // Channel rows: the chosen ones with their short captions.
    EXPECT_EQ(w.ChannelCaptions[1]->text(), QStringLiteral("RPM"));
    EXPECT_EQ(w.ChannelCaptions[2]->text(), QStringLiteral("ACCX"));
    EXPECT_EQ(w.ChannelCaptions[3]->text(), QStringLiteral("T1"));
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(w.ChannelCaptions[size_t(i)]->isVisible(), i <= 3) << i;
        EXPECT_EQ(w.ChannelValues[size_t(i)]->isVisible(), i <= 3) << i;
    }

    // Extremes of RPM without the out lap and the last lap.
    ASSERT_EQ(w.memMin.RecordCount(), 2);
    EXPECT_EQ(w.memMin.IntAt(0, 0), 12);
    EXPECT_EQ(w.memMin.IntAt(0, 1), 1500);
    EXPECT_EQ(w.memMin.FloatAt(0, 2), 3500);
    EXPECT_EQ(w.memMaks.IntAt(0, 1), 13300);
    EXPECT_EQ(w.memMaks.FloatAt(0, 2), 15300);
    EXPECT_EQ(w.memMin.FloatAt(1, 2), 8000);  // session 13: its lap 1 only
    EXPECT_EQ(w.memMin.IntAt(1, 1), 1000);

    // A reload with other channels starts over.
    Choose({});
    w.LoadChart();
    EXPECT_EQ(c->SeriesCount(), 0);
    EXPECT_FALSE(w.ChannelValues[1]->isVisible());
    EXPECT_EQ(w.memMaks.RecordCount(), 2);
}

TEST_F(WholeSessionChart, CheckColumnAndHighlight)
{
    Choose({{"obroty", "%0.0f"}, {"temp2", "%1.1f"}});
    TwoSessions();
    Tfwykrescale& w = Open();
    Chart* c = w.Chart1;
    w.SetSessionVisible(13, 1);
    w.SetSessionVisible(12, 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(c->Series(i)->Visible(), i >= 2);
    w.SetSessionVisible(12, 2);  // anything but 1 hides
    EXPECT_FALSE(c->Series(0)->Visible());

    w.HighlightSession(13);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(c->Series(i)->PenWidth(), i >= 2 ? HighlightPenWidth : 1);
    w.HighlightSession(99);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(c->Series(i)->PenWidth(), 1);
}

TEST_F(WholeSessionChart, CursorAndReadOut)
{
    Choose({{"obroty", "%0.0f"}, {"accx", "%1.1f"}, {"temp1", "%1.1f"}});
    TwoSessions();
    Tfwykrescale& w = Open();
    ExactView();
    Chart* c = w.Chart1;
    EXPECT_EQ(w.CursorX(), -1);

    // Lap 2 of session 12 is current; at 12000: lap 2 began at 7500, the
    // last sector line lies at 10500.
    Current(3);
    MoveMouse(c, At(12000));
    EXPECT_EQ(w.CursorX(), c->XToScreen(12000));
    EXPECT_EQ(w.st_czas->text(), QStringLiteral("02:00:00"));
    EXPECT_EQ(w.StaticText1->text(), QStringLiteral("00:45:00"));
    EXPECT_EQ(w.StaticText2->text(), QStringLiteral("00:15:00"));
    EXPECT_EQ(Box(1), QStringLiteral("14000"));
    EXPECT_EQ(Box(2), QStringLiteral("1.5"));  // 150 hundredths of g back in g
    EXPECT_EQ(Box(3), QStringLiteral("32.0"));
    EXPECT_EQ(w.CursorTime(), 12000);

    // Between samples the next one to the right is read.
    MoveMouse(c, At(12000) + QPoint(1, 0));
    EXPECT_EQ(w.CursorTime(), 12100);
    EXPECT_EQ(Box(1), QStringLiteral("14100"));

    // Before the start line the lap and sector boxes repeat the time.
    MoveMouse(c, At(1000));
    EXPECT_EQ(w.StaticText1->text(), QStringLiteral("00:10:00"));
    EXPECT_EQ(w.StaticText2->text(), QStringLiteral("00:10:00"));

    // Out of the plot: the line goes, the boxes stay; back in: it returns.
    MoveMouse(c, {At(5000).x(), c->PlotRect().bottom() + 5});
    EXPECT_EQ(w.CursorX(), -1);
    EXPECT_EQ(w.st_czas->text(), QStringLiteral("00:10:00"));
    MoveMouse(c, At(5000));
    EXPECT_EQ(w.CursorX(), c->XToScreen(5000));
    EXPECT_EQ(w.MouseY(), c->PlotRect().center().y());

    // The unticked session 13 is current: its series are hidden, so the
    // time box shows "-" and nothing else changes.
    Current(5);
    MoveMouse(c, At(8000));
    EXPECT_EQ(w.st_czas->text(), QStringLiteral("-"));
    EXPECT_EQ(w.StaticText1->text(), QStringLiteral("00:35:00"));
    EXPECT_EQ(Box(1), QStringLiteral("7000"));
    EXPECT_EQ(w.CursorTime(), 5000);

    // A session without series: only the line moves.
    Choose({});
    w.LoadChart();
    Current(0);
    MoveMouse(c, At(9000));
    EXPECT_EQ(w.CursorX(), c->XToScreen(9000));
    EXPECT_EQ(w.st_czas->text(), QStringLiteral("-"));
}

// A zoom or its undo redraws the read-out at once for the cursor's place
// on the new scale; the mouse need not move.
TEST_F(WholeSessionChart, ReadOutFollowsZoomAndUndoAtOnce)
{
    Choose({{"obroty", "%0.0f"}});
    TwoSessions();
    Tfwykrescale& w = Open();
    ExactView();
    Chart* c = w.Chart1;
    Current(3);
    const QPoint mouse = At(12000);
    MoveMouse(c, mouse);
    EXPECT_EQ(w.st_czas->text(), QStringLiteral("02:00:00"));
    EXPECT_EQ(Box(1), QStringLiteral("14000"));

    // 10 hundredths a pixel from 10000: the same pixel is 10000 + 10 x its
    // column now.
    const QRect plot = c->PlotRect();
    c->ZoomToView({{10000, 10000 + (plot.width() - 1) * 10.0}, {0, 1000}, false, false});
    const double x = c->ScreenToX(mouse.x());
    ASSERT_NE(x, 12000);
    EXPECT_EQ(w.st_czas->text(), CursorTimeText(x));
    EXPECT_EQ(w.CursorX(), mouse.x());
    const int sample = int(std::ceil(x / 100)) * 100;  // samples every 100
    EXPECT_EQ(w.CursorTime(), sample);
    EXPECT_EQ(Box(1), QString::number(2000 + sample));

    c->UndoZoom();
    EXPECT_EQ(w.st_czas->text(), QStringLiteral("02:00:00"));
    EXPECT_EQ(Box(1), QStringLiteral("14000"));

    // Once the mouse has left the chart nothing follows the zoom.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(c, &leave);
    c->ZoomToView({{0, 5000}, {0, 1000}, false, false});
    EXPECT_EQ(w.st_czas->text(), QStringLiteral("02:00:00"));
    EXPECT_EQ(w.CursorX(), -1);
}

// The strip shows the current session's laps (fastest lime, slowest red,
// the others blue) and the markers its minimum (red) and maximum (green)
// of the current channel, also with no channel chosen.
TEST_F(WholeSessionChart, LapStripMarkersAndRangeLabels)
{
    Choose({});
    TwoSessions();
    Tfwykrescale& w = Open();
    Chart* c = w.Chart1;
    EXPECT_EQ(c->SeriesCount(), 0);
    w.HighlightSession(12);
    Settle();

    const QImage strip = w.Image1->grab().toImage();
    auto stripColour = [&](double time) { return strip.pixelColor(c->XToScreen(time), strip.height() - 4); };
    EXPECT_EQ(stripColour(4000), QColor(0, 0, 255));
    EXPECT_EQ(stripColour(10000), QColor(0, 255, 0));
    EXPECT_EQ(stripColour(16000), QColor(255, 0, 0));
    EXPECT_EQ(stripColour(20500), QColor(128, 128, 128));  // after the last lap

    const QImage chart = c->grab().toImage();
    EXPECT_EQ(chart.pixelColor(c->XToScreen(1500), 2), QColor(255, 0, 0));
    EXPECT_EQ(chart.pixelColor(c->XToScreen(13300), 2), QColor(0, 128, 0));

    // Range labels from the project record, following the left axis.
    EXPECT_EQ(w.Label13->text(), QStringLiteral("15000"));
    EXPECT_EQ(w.Label20->text(), QStringLiteral("0"));
    EXPECT_EQ(w.Label14->text(), QStringLiteral("3.0"));
    EXPECT_EQ(w.Label17->text(), QStringLiteral("-3.0"));
    EXPECT_EQ(w.Label16->text(), QStringLiteral("120"));
    const int top = c->PlotRect().top();
    EXPECT_EQ(w.Label13->y(), top);
    EXPECT_EQ(w.Label12->y(), top);
    EXPECT_EQ(w.Label5->y(), top + w.Label13->height());
    EXPECT_EQ(w.Label16->y(), top + 2 * w.Label13->height());
    EXPECT_LT(w.Label13->x(), w.Label12->x());
    c->ZoomToView({{0, 21000}, {250, 500}, false, false});
    Settle();
    EXPECT_EQ(w.Label13->text(), QStringLiteral("7500"));
    EXPECT_EQ(w.Label20->text(), QStringLiteral("3750"));
    EXPECT_EQ(w.Label14->text(), QStringLiteral("0.0"));
    EXPECT_EQ(w.Label17->text(), QStringLiteral("-1.5"));

    // Session 13 current: its own laps on the strip.
    Current(5);
    w.HighlightSession(13);
    c->UndoZoom();
    Settle();
    const QImage other = w.Image1->grab().toImage();
    EXPECT_EQ(other.pixelColor(c->XToScreen(3000), other.height() - 4), QColor(0, 255, 0));
    EXPECT_EQ(other.pixelColor(c->XToScreen(16000), other.height() - 4), QColor(128, 128, 128));
}

// The openers place the two charts right of the session panel over the
// whole height, without frame, and only bring an open one to the front.
class ChartOpeners : public shelltest::ShellFixture {};

TEST_F(ChartOpeners, BesideThePanelOnceAndNotReloadedWhenOpen)
{
    TForm1& form = ShownForm();
    AnalysisSession& session = InstallAnalysis(form.Analysis, form);
    DM->memWybraneSesje.Open();
    EnsureSessionPanel(session);
    ASSERT_NE(FPanelSesji, nullptr);
    const int panel = SessionPanelWidth();
    EXPECT_EQ(panel, 360);
    Choose(session, {{"obroty", "%0.0f"}});

    ShowWholeSessionChart(session);
    ShowLapsChart(session);
    const QRect place(panel, 0, form.Image17->width() - panel - 5, form.Image17->height() - 5);
    for (const QString& name : {QStringLiteral("Tfwykrescale"), QStringLiteral("Tfwykresmdilapy")}) {
        QMdiSubWindow* sub = form.MDISubWindow(name);
        ASSERT_NE(sub, nullptr) << name.toStdString();
        EXPECT_EQ(sub->geometry(), place) << name.toStdString();
        EXPECT_TRUE(sub->windowFlags() & Qt::FramelessWindowHint);
    }
    ASSERT_NE(fwykrescale, nullptr);
    ASSERT_NE(fwykresmdilapy, nullptr);
    fwykrescale->Chart1->AddSeries();  // a reload would drop it

    Choose(session, {{"obroty", "%0.0f"}, {"temp1", "%1.1f"}});
    ShowWholeSessionChart(session);
    EXPECT_EQ(fwykrescale->Chart1->SeriesCount(), 1);
    EXPECT_EQ(form.MdiArea->activeSubWindow(), form.MDISubWindow(QStringLiteral("Tfwykrescale")));

    // Closed, the chart is told nothing more, before it is freed.
    form.MDISubWindow(QStringLiteral("Tfwykrescale"))->close();
    EXPECT_FALSE(fwykrescale->InSession());
    EXPECT_TRUE(fwykresmdilapy->InSession());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(fwykrescale, nullptr);
    EXPECT_NE(fwykresmdilapy, nullptr);
}

}  // namespace
