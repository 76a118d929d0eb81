// The GPS trace window over sessions imported from the logger simulator:
// opening through ShowGps, the drawn line and lap colours, the replay step
// with marker, read-outs and g-dot, the saved window place, and the message
// for a session or lap without fixes.
#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include "analysis/gps_support.h"
#include "analysis/gpscanvas.h"
#include "analysis/uwykresGPS.h"
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

}  // namespace
