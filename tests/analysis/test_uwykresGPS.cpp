// The GPS trace window over sessions imported from the logger simulator:
// opening through ShowGps, the drawn line and lap colours, the replay step
// with marker, read-outs and g-dot, the saved window place, and the message
// for a session or lap without fixes.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include <map>
#include <QScrollBar>
#include <QTest>

#include "analysis/gps_support.h"
#include "analysis/gpscanvas.h"
#include "analysis/uwykresGPS.h"
#include "analysis/uwykrespowiazany.h"
#include "platform/chart/chart.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "shell/common/stale.h"
#include "shell/projectrecord.h"
#include "support/testdb.h"
#include "analysis/gps_shots.h"

namespace {

class TraceWindow : public ::testing::Test {
protected:
    TestDatabase db;
    std::vector<int> ids;

    void SetUp() override
    {
        platform::testing::SetScripted(true);
        ApplyDarkTheme(*qApp);
        ids = gpstest::ImportSessions({gpstest::GpsSession(4, true, 5), gpstest::GpsSession(2, false, 6)});
        ASSERT_EQ(ids.size(), 2u);
        Project().ResetForNewProject();
    }
    void TearDown() override { platform::testing::ClearModalHandlers(); }
};

// Colour of the line picture under a pixel, ignoring the frame.
int CountColour(const QImage& image, QColor colour)
{
    int n = 0;
    for (int y = 1; y < image.height() - 1; ++y)
        for (int x = 1; x < image.width() - 1; ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

TEST_F(TraceWindow, NoFixGivesTheMessageAndNoWindow)
{
    for (const auto& [id, lap] : {std::pair{ids[1], 0}, {ids[0], 77}, {9999, 0}}) {
        platform::testing::ClearMessages();
        bool shown = false;
        platform::testing::OnModal(QStringLiteral("TfwykresGPS"), [&](QDialog& d) {
            shown = true;
            d.reject();
        });
        ShowGps(id, lap);
        EXPECT_FALSE(shown) << id << " " << lap;
        EXPECT_EQ(platform::testing::Messages(), QStringList{QStringLiteral("There is no data from GPS")});
        EXPECT_EQ(fwykresGPS, nullptr);
    }
}

TEST_F(TraceWindow, WholeSessionInLapColoursReplayedWithTheScrollBar)
{
    bool shown = false;
    platform::testing::OnModal(QStringLiteral("TfwykresGPS"), [&](QDialog& d) {
        shown = true;
        auto& w = static_cast<TfwykresGPS&>(d);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("GPS"));
        EXPECT_EQ(w.size(), QSize(889, 653));
        EXPECT_EQ(w.paintbox1->size(), QSize(887, 470));
        const QImage& line = w.paintbox1->Line();
        // Each segment in its lap's colour: the in-lap, drawn last, lies on
        // top; the laps before it show where it does not cover them.
        const int n = w.memdane.RecordCount();
        const int lastLap = w.memdane.IntAt(n - 1, gpOkrazenie);
        for (int r = n - 20; r < n; ++r)
            EXPECT_EQ(line.pixelColor(w.memdane.IntAt(r, gpXobr), 470 - w.memdane.IntAt(r, gpYobr)),
                      LapColour(lastLap));
        int colours = 0;
        for (int lap = 0; lap <= lastLap; ++lap)
            colours += CountColour(line, MapLapColour(lap)) > 0;
        EXPECT_GE(colours, 3);
        // A one-pixel white frame.
        EXPECT_EQ(line.pixelColor(0, 200), QColor(Qt::white));
        EXPECT_EQ(line.pixelColor(886, 469), QColor(Qt::white));

        // At the start: the first fix.
        ASSERT_EQ(w.paintbox1->Markers().size(), 1u);
        EXPECT_EQ(w.paintbox1->Markers()[0].point,
                  QPoint(w.memdane.IntAt(0, gpXobr), w.memdane.IntAt(0, gpYobr)));
        EXPECT_EQ(w.paintbox1->Markers()[0].penWidth, 1);
        EXPECT_EQ(w.LapTimeValue->text(), QStringLiteral("00:00:00"));
        EXPECT_EQ(w.ScrollBar1->maximum(), w.memdane.IntAt(w.memdane.RecordCount() - 1, gpData) / 10);
        EXPECT_FALSE(w.UpperExtent->text().isEmpty());
        EXPECT_FALSE(w.LowerExtent->text().isEmpty());
        // Seen from above at one scale: the drawn trace has the proportions
        // of its east-west (upper) and north-south (lower) extents.
        EXPECT_NEAR(gpstest::DrawnAspect(w.memdane) /
                        (w.UpperExtent->text().toDouble() / w.LowerExtent->text().toDouble()),
                    1.0, 0.02);
        gpstest::Shot(w, QStringLiteral("trace-session"));

        // A minute later: the sample at exactly 60 s after the first fix.
        w.ScrollBar1->setValue(600);
        const int row = FindTime(w.memdane, 6000);
        ASSERT_GE(row, 0);
        EXPECT_EQ(w.LapTimeValue->text(), QStringLiteral("01:00:00"));
        EXPECT_EQ(w.RpmValue->text(), QString::number(w.memdane.IntAt(row, gpObroty)));
        EXPECT_EQ(w.Temp1Value->text(), Format("%1.1f", w.memdane.FloatAt(row, gpTemp1)));
        const auto o = TraceReplayStep(w.memdane, 600, w.Panel4->size());
        ASSERT_TRUE(o.has_value());
        EXPECT_EQ(w.GForceXValue->text(), o->gForceX);
        EXPECT_EQ(w.Panel4->pos(), o->dot);
        ASSERT_EQ(w.paintbox1->Markers().size(), 1u);
        EXPECT_EQ(w.paintbox1->Markers()[0].point, o->marker);
        // The marker on screen: red on the point, the line picture unchanged.
        const QImage screen = w.paintbox1->grab().toImage();
        EXPECT_EQ(screen.pixelColor(o->marker.x(), 470 - o->marker.y()), QColor(255, 0, 0));
        EXPECT_EQ(w.paintbox1->Line(), line);
        d.reject();
    });
    ShowGps(ids[0], 0);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(platform::testing::Messages().isEmpty());
    EXPECT_EQ(fwykresGPS, nullptr);
}

TEST_F(TraceWindow, OneLapInYellowAndTheWindowPlaceIsKept)
{
    Project().SetGpsTraceLeft(37);
    Project().SetGpsTraceTop(41);
    bool shown = false;
    platform::testing::OnModal(QStringLiteral("TfwykresGPS"), [&](QDialog& d) {
        shown = true;
        auto& w = static_cast<TfwykresGPS&>(d);
        for (int r = 0; r < w.memdane.RecordCount(); ++r)
            ASSERT_EQ(w.memdane.IntAt(r, gpOkrazenie), 2);
        const QImage& line = w.paintbox1->Line();
        EXPECT_GT(CountColour(line, QColor(255, 255, 0)), 500);
        EXPECT_EQ(CountColour(line, LapColour(2)), 0);
        EXPECT_EQ(w.paintbox1->Markers()[0].penWidth, 2);
        // The saved place is applied once the window shows.
        QTRY_COMPARE(w.pos(), QPoint(37, 41));
        // Positions between samples change nothing.
        w.ScrollBar1->setValue(100);
        const QString rpm = w.RpmValue->text();
        const QPoint marker = w.paintbox1->Markers()[0].point;
        const int gap = w.ScrollBar1->maximum() + 1;
        w.ScrollBar1->setMaximum(gap);
        w.ScrollBar1->setValue(gap);
        EXPECT_EQ(w.RpmValue->text(), rpm);
        EXPECT_EQ(w.paintbox1->Markers()[0].point, marker);
        gpstest::Shot(w, QStringLiteral("trace-lap"));
        w.move(55, 66);
        d.reject();
    });
    ShowGps(ids[0], 2);
    EXPECT_TRUE(shown);
    EXPECT_EQ(Project().GpsTraceLeft(), 55);
    EXPECT_EQ(Project().GpsTraceTop(), 66);
}

TEST_F(TraceWindow, LinkedChartsFollowTheReplayAndKeepTheirPlaces)
{
    Project().SetRpmChartLeft(300);
    Project().SetRpmChartTop(200);
    struct Expect {
        LinkedChannel channel;
        const char* caption;
        const char* title;
        QColor colour;
        int left, top;  // offsets of the saved place
    };
    const Expect charts[] = {
        {LinkedChannel::Rpm, "RPM", "RPM", QColor(255, 0, 0), 24, 28},
        {LinkedChannel::Temp1, "Temp 1", "TEMP 1", QColor(0, 128, 0), 8, 12},
        {LinkedChannel::Temp2, "Temp 2", "TEMP 2", QColor(0, 0, 0), 16, 20},
        {LinkedChannel::GForce, "GForce", "GForce X", QColor(255, 0, 0), 32, 36},
    };
    std::map<LinkedChannel, QPoint> places;
    bool shown = false;
    platform::testing::OnModal(QStringLiteral("TfwykresGPS"), [&](QDialog& d) {
        shown = true;
        auto& w = static_cast<TfwykresGPS&>(d);
        w.ScrollBar1->setValue(300);
        w.SpeedButton1->click();
        w.SpeedButton2->click();
        w.SpeedButton4->click();
        w.SpeedButton3->click();
        const int n = w.memdane.RecordCount();
        for (const Expect& e : charts) {
            TfwykresPowiazany* c = w.Linked(e.channel);
            ASSERT_NE(c, nullptr) << e.caption;
            EXPECT_TRUE(c->isVisible());
            EXPECT_EQ(c->windowTitle(), QString::fromLatin1(e.caption));
            EXPECT_EQ(c->Series1->Title(), QString::fromLatin1(e.title));
            EXPECT_EQ(c->Series1->Colour(), e.colour) << e.caption;
            EXPECT_EQ(c->Series1->Count(), n);
            EXPECT_EQ(c->Series2->Visible(), e.channel == LinkedChannel::GForce);
            // The cursor point starts at the replay's sample.
            EXPECT_EQ(c->CursorTime(), 3000);
        }
        EXPECT_EQ(w.Linked(LinkedChannel::Rpm)->pos(), QPoint(300, 200));
        EXPECT_EQ(w.Linked(LinkedChannel::GForce)->Series2->Title(), QStringLiteral("GForce Y"));
        EXPECT_EQ(w.Linked(LinkedChannel::GForce)->Series2->Colour(), QColor(0, 128, 0));

        // A replay step moves every cursor point.
        w.ScrollBar1->setValue(450);
        const int row = FindTime(w.memdane, 4500);
        ASSERT_GE(row, 0);
        TfwykresPowiazany* rpm = w.Linked(LinkedChannel::Rpm);
        EXPECT_EQ(rpm->CursorTime(), 4500);
        EXPECT_EQ(rpm->CursorValue(), w.memdane.IntAt(row, gpObroty));
        EXPECT_EQ(rpm->StaticText1->text(), QStringLiteral("00:45:00"));
        EXPECT_EQ(rpm->StaticText2->text(), QString::number(w.memdane.IntAt(row, gpObroty)));
        TfwykresPowiazany* temp = w.Linked(LinkedChannel::Temp1);
        EXPECT_EQ(temp->StaticText2->text(), Format("%2.2f", w.memdane.FloatAt(row, gpTemp1)));
        TfwykresPowiazany* g = w.Linked(LinkedChannel::GForce);
        EXPECT_EQ(g->StaticText2->text(), w.GForceXValue->text());
        // Drawn on the chart at its point.
        rpm->Chart1->grab();
        EXPECT_EQ(rpm->CursorPixel(),
                  QPoint(rpm->Chart1->XToScreen(4500), rpm->Chart1->YToScreen(w.memdane.IntAt(row, gpObroty))));
        const QImage chart = rpm->Chart1->grab().toImage();
        EXPECT_EQ(chart.pixelColor(rpm->CursorPixel()), QColor(0, 0, 255));
        gpstest::Shot(*rpm, QStringLiteral("linked-chart-rpm"));
        gpstest::Shot(*g, QStringLiteral("linked-chart-gforce"));

        // Opening again brings the same window forward with its points.
        rpm->hide();
        w.SpeedButton1->click();
        EXPECT_EQ(w.Linked(LinkedChannel::Rpm), rpm);
        EXPECT_TRUE(rpm->isVisible());
        EXPECT_EQ(rpm->Series1->Count(), n);

        for (const Expect& e : charts) {
            TfwykresPowiazany* c = w.Linked(e.channel);
            c->move(100 + 10 * int(e.channel), 50 + 10 * int(e.channel));
            places[e.channel] = c->pos();
        }
        d.reject();
        // Closing the trace window closes its charts.
        for (const Expect& e : charts)
            EXPECT_FALSE(w.Linked(e.channel)->isVisible());
    });
    ShowGps(ids[0], 0);
    ASSERT_TRUE(shown);
    for (const Expect& e : charts) {
        EXPECT_EQ(Project().Int32At(e.left), places[e.channel].x()) << e.caption;
        EXPECT_EQ(Project().Int32At(e.top), places[e.channel].y()) << e.caption;
    }
}

}  // namespace
