// The GPS view linked to the chart cursors over sessions imported from the
// logger simulator: a lap with its start and sector pictures, the whole
// session, the cursor with read-outs and arrow, the switch to another lap,
// the delayed redraw after a resize, and the place kept on close.
#include <gtest/gtest.h>

#include <QPointer>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "analysis/gps_shots.h"
#include "analysis/gps_window_fixture.h"
#include "analysis/gpscanvas.h"
#include "analysis/ugpspowiazany.h"
#include "shell/common/stale.h"
#include "shell/projectrecord.h"

namespace {

class LinkedView : public gpstest::MapWindowTest<Tfgpspowiazany> {
protected:
    void SetUp() override { Open({gpstest::GpsSession(4, true, 5), gpstest::GpsSession(2, false, 6)}); }

    int LapStartOf(int id, int lap) { return LapStart(&session.tree.memokrazenia, id, lap); }
    int Row(int r, GpsPointColumn c) { return window->memdane.IntAt(r, c); }
    QPoint Point(int r) { return QPoint(Row(r, gpXobr), Row(r, gpYobr)); }
    int Count(MapMarkerKind kind)
    {
        int n = 0;
        for (const auto& p : window->paintbox1->Pictures())
            n += p.kind == kind;
        return n;
    }
};

TEST_F(LinkedView, OneLapWithStartAndSectorPicturesAndTheCursor)
{
    ASSERT_TRUE(window->GpsDraw(ids[0], 2, QStringLiteral(" LAP-2")));
    EXPECT_EQ(window->windowTitle(), QStringLiteral(" LAP-2"));
    const int n = window->memdane.RecordCount();
    ASSERT_GT(n, 100);
    for (int r = 0; r < n; ++r)
        ASSERT_EQ(Row(r, gpOkrazenie), 2);
    EXPECT_EQ(window->ScrollBar1->maximum(), (Row(n - 1, gpData) - LapStartOf(ids[0], 2)) / 10);

    // The start at the second point, a pin at each of the two sector lines.
    const auto& pictures = window->paintbox1->Pictures();
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_EQ(pictures[0].kind, MapMarkerKind::Start);
    const int h = window->paintbox1->height();
    EXPECT_EQ(pictures[0].topLeft, PictureTopLeft(Row(1, gpXobr), Row(1, gpYobr), h, QSize(22, 22)));
    EXPECT_EQ(Count(MapMarkerKind::Sector), 2);
    // The lap as seen from above, inside the margin of 25: the track is
    // wider than the map's proportions, so it fills the width between the
    // margins and lies in the middle of the map's height.
    EXPECT_NEAR(gpstest::DrawnAspect(window->memdane) / gpstest::TrueAspect(ids[0], 2), 1.0, 0.02);
    const int w = window->paintbox1->width();
    int minX = w, maxX = 0, minH = h, maxH = 0;
    for (int r = 0; r < n; ++r) {
        minX = std::min(minX, Row(r, gpXobr));
        maxX = std::max(maxX, Row(r, gpXobr));
        minH = std::min(minH, Row(r, gpYobr));
        maxH = std::max(maxH, Row(r, gpYobr));
    }
    EXPECT_EQ(minX, 25);
    EXPECT_EQ(maxX, w - 25);
    EXPECT_GE(minH, 25);
    EXPECT_LE(maxH, h - 25);
    EXPECT_NEAR(minH + maxH, h, 1);

    // Cursor: marker, lap time since the line, arrow.
    const int r = n / 3;
    window->GpsCursor(Row(r, gpData), 2, ids[0]);
    ASSERT_EQ(window->paintbox1->Markers().size(), 1u);
    EXPECT_EQ(window->paintbox1->Markers()[0].point, Point(r));
    EXPECT_EQ(window->TimeValue->text(), SessionTimeText(Row(r, gpData) - LapStartOf(ids[0], 2)));
    EXPECT_EQ(window->RpmValue->text(), QString::number(Row(r, gpObroty)));
    EXPECT_EQ(window->GfxValue->text(), Format("%2.2f", Row(r, gpAccx) / 100.0));
    ASSERT_TRUE(window->paintbox1->Arrow().has_value());
    EXPECT_EQ(window->paintbox1->Arrow()->total.from, QPoint(Row(r, gpXobr) - 1, h - (Row(r, gpYobr) - 1)));
    gpstest::Shot(*window, QStringLiteral("linked-lap"));
    const QImage line = window->paintbox1->Line();

    // Without arrow; a time without sample changes nothing.
    window->GpsCursorAt(Row(r + 5, gpData));
    EXPECT_EQ(window->paintbox1->Markers()[0].point, Point(r + 5));
    EXPECT_FALSE(window->paintbox1->Arrow().has_value());
    window->GpsCursor(Row(r, gpData) + 3, 2, ids[0]);
    EXPECT_EQ(window->paintbox1->Markers()[0].point, Point(r + 5));
    // Cursor steps on the shown lap leave the line as drawn.
    EXPECT_EQ(window->paintbox1->Line(), line);

    // The scroll bar counts from the first point.
    window->ScrollBar1->setValue(7);
    EXPECT_EQ(window->paintbox1->Markers()[0].point, Point(FindTime(window->memdane, Row(0, gpData) + 70)));

    // A cursor in another lap brings that lap.
    window->GpsCursor(LapStartOf(ids[0], 3) + 500, 3, ids[0]);
    EXPECT_EQ(window->ShownLap(), 3);
    EXPECT_EQ(window->windowTitle(), QStringLiteral(" LAP-3"));
    EXPECT_EQ(Row(0, gpOkrazenie), 3);
    // Lap 0 from a chart does not switch a lap view.
    window->GpsCursor(100, 0, ids[0]);
    EXPECT_EQ(window->ShownLap(), 3);
}

TEST_F(LinkedView, WholeSessionInLapColoursWithAStartPerLap)
{
    ASSERT_TRUE(window->GpsDraw(ids[0], 0, QStringLiteral("GPS: session")));
    const int laps =
        db.Scalar(QStringLiteral("select max(OKRAZENIE) from POZYCJE where ID_NAGLOWKA = %1").arg(ids[0])).toInt();
    EXPECT_EQ(Count(MapMarkerKind::Start), laps);
    EXPECT_EQ(Count(MapMarkerKind::Sector), 0);
    const int n = window->memdane.RecordCount();
    EXPECT_EQ(window->ScrollBar1->maximum(), Row(n - 1, gpData) / 10);

    // The session view is never switched by a cursor; the time read-out is
    // the session time.
    const int r = n / 2;
    window->GpsCursor(Row(r, gpData), 2, ids[0]);
    EXPECT_EQ(window->ShownLap(), 0);
    EXPECT_EQ(window->TimeValue->text(), SessionTimeText(Row(r, gpData)));
    EXPECT_EQ(window->paintbox1->Markers()[0].point, Point(r));
    // The last point has no arrow.
    window->GpsCursor(Row(n - 1, gpData), 0, ids[0]);
    EXPECT_EQ(window->paintbox1->Markers()[0].point, Point(n - 1));
    EXPECT_FALSE(window->paintbox1->Arrow().has_value());
    window->GpsCursor(Row(r, gpData), 0, ids[0]);
    gpstest::Shot(*window, QStringLiteral("linked-session"));
}

TEST_F(LinkedView, ADrawBeforeTheViewIsShownFillsItsMap)
{
    // As the sessions charts open it: drawn first, shown after.
    Tfgpspowiazany fresh(session);
    ASSERT_TRUE(fresh.GpsDraw(ids[0], 2, QStringLiteral(" LAP-2")));
    EXPECT_EQ(fresh.paintbox1->Line().size(), QSize(542, 422 - 68));
    EXPECT_NEAR(gpstest::DrawnAspect(fresh.memdane) / gpstest::TrueAspect(ids[0], 2), 1.0, 0.02);
    fresh.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
    EXPECT_EQ(fresh.paintbox1->Line().size(), fresh.paintbox1->size());
}

TEST_F(LinkedView, NoPointGivesABlackMapThatSaysSoAndFalse)
{
    ASSERT_TRUE(window->GpsDraw(ids[0], 1, QStringLiteral(" LAP-1")));
    EXPECT_TRUE(window->paintbox1->Notice().isEmpty());
    for (const auto& [id, lap] : {std::pair{ids[1], 0}, {ids[0], 40}, {12345, 0}}) {
        EXPECT_FALSE(window->GpsDraw(id, lap, QStringLiteral("x"))) << id << " " << lap;
        EXPECT_TRUE(window->paintbox1->Pictures().empty());
        EXPECT_TRUE(window->paintbox1->Markers().empty());
        const QImage& line = window->paintbox1->Line();
        int lit = 0;
        for (int y = 1; y < line.height() - 1; ++y)
            for (int x = 1; x < line.width() - 1; ++x)
                lit += line.pixelColor(x, y) != QColor(Qt::black);
        EXPECT_EQ(lit, 0);
        EXPECT_EQ(line.pixelColor(0, 5), QColor(Qt::white));  // the frame
        // The text over the black map, in its middle.
        EXPECT_EQ(window->paintbox1->Notice(), QStringLiteral("There is no data from GPS"));
        EXPECT_TRUE(gpstest::LitInMiddle(*window->paintbox1));
        window->GpsCursor(100, 0, id);  // nothing to show: no failure
    }
    gpstest::Shot(*window, QStringLiteral("linked-no-fix"));
    ASSERT_TRUE(window->GpsDraw(ids[0], 2, QStringLiteral(" LAP-2")));
    EXPECT_TRUE(window->paintbox1->Notice().isEmpty());
}

TEST_F(LinkedView, ResizeRedrawsOnceAllowedAndCloseKeepsThePlace)
{
    ASSERT_TRUE(window->GpsDraw(ids[0], 2, QStringLiteral(" LAP-2")));
    window->resize(640, 500);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->timerresize->isActive());  // not allowed yet
    EXPECT_NE(window->paintbox1->Line().size(), window->paintbox1->size());

    window->SetResizeAllowed(true);
    window->resize(700, 520);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->timerresize->isActive());
    QTRY_VERIFY(!window->timerresize->isActive());
    EXPECT_EQ(window->paintbox1->Line().size(), window->paintbox1->size());
    EXPECT_EQ(window->windowTitle(), QStringLiteral(" LAP-2"));
    EXPECT_EQ(window->paintbox1->Pictures().size(), 3u);

    window->move(120, 80);
    const QPointer<Tfgpspowiazany> kept(window.get());
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Project().LinkedGpsViewLeft(), window->x());
    EXPECT_EQ(Project().LinkedGpsViewTop(), window->y());
    EXPECT_EQ(Project().LinkedGpsViewWidth(), 700);
    EXPECT_EQ(Project().LinkedGpsViewHeight(), 520);
    EXPECT_FALSE(kept.isNull());  // hidden, not freed
}

}  // namespace
