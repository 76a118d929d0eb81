// The GPS view linked to the chart cursors over sessions imported from the
// logger simulator: a lap with its start and sector pictures, the whole
// session, the cursor with read-outs and arrow, the switch to another lap,
// the delayed redraw after a resize, and the place kept on close.
#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "analysis/gps_shots.h"
#include "analysis/gps_support.h"
#include "analysis/gpscanvas.h"
#include "analysis/ugpspowiazany.h"
#include "analysis/upanelsesji.h"
#include "platform/application.h"
#include "shell/common/stale.h"
#include "shell/projectrecord.h"
#include "support/testdb.h"

namespace {

class LinkedView : public ::testing::Test {
protected:
    TestDatabase db;
    std::vector<int> ids;
    std::unique_ptr<TFPanelSesji> panel;
    std::unique_ptr<Tfgpspowiazany> view;

    void SetUp() override
    {
        ApplyDarkTheme(*qApp);
        ids = gpstest::ImportSessions({gpstest::GpsSession(4, true, 5), gpstest::GpsSession(2, false, 6)});
        ASSERT_EQ(ids.size(), 2u);
        panel = std::make_unique<TFPanelSesji>();
        FPanelSesji = panel.get();
        DM->memGPS.Open();
        for (int id : ids)
            gpstest::LoadSession(id, DM->memGPS, panel->memokrazenia);
        view = std::make_unique<Tfgpspowiazany>();
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }
    void TearDown() override
    {
        view.reset();
        FPanelSesji = nullptr;
        panel.reset();
        DM->memGPS.Close();
    }

    int LapStartOf(int id, int lap) { return LapStart(&panel->memokrazenia, id, lap); }
    int Row(int r, GpsPointColumn c) { return view->memdane.IntAt(r, c); }
    QPoint Point(int r) { return QPoint(Row(r, gpXobr), Row(r, gpYobr)); }
    int Count(MapMarkerKind kind)
    {
        int n = 0;
        for (const auto& p : view->paintbox1->Pictures())
            n += p.kind == kind;
        return n;
    }
};

TEST_F(LinkedView, OneLapWithStartAndSectorPicturesAndTheCursor)
{
    ASSERT_TRUE(view->GpsDraw(ids[0], 2, QStringLiteral(" LAP-2")));
    EXPECT_EQ(view->windowTitle(), QStringLiteral(" LAP-2"));
    const int n = view->memdane.RecordCount();
    ASSERT_GT(n, 100);
    for (int r = 0; r < n; ++r)
        ASSERT_EQ(Row(r, gpOkrazenie), 2);
    EXPECT_EQ(view->ScrollBar1->maximum(), (Row(n - 1, gpData) - LapStartOf(ids[0], 2)) / 10);

    // The start at the second point, a pin at each of the two sector lines.
    const auto& pictures = view->paintbox1->Pictures();
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_EQ(pictures[0].kind, MapMarkerKind::Start);
    const int h = view->paintbox1->height();
    EXPECT_EQ(pictures[0].topLeft, PictureTopLeft(Row(1, gpXobr), Row(1, gpYobr), h, QSize(22, 22)));
    EXPECT_EQ(Count(MapMarkerKind::Sector), 2);
    // The line stays inside the margin of 25.
    for (int r = 0; r < n; ++r) {
        ASSERT_GE(Row(r, gpXobr), 0);
        ASSERT_LE(Row(r, gpXobr), view->paintbox1->width() - 25);
        ASSERT_GE(Row(r, gpYobr), 25);
        ASSERT_LE(Row(r, gpYobr), h - 25);
    }

    // Cursor: marker, lap time since the line, arrow.
    const int r = n / 3;
    view->GpsCursor(Row(r, gpData), 2, ids[0]);
    ASSERT_EQ(view->paintbox1->Markers().size(), 1u);
    EXPECT_EQ(view->paintbox1->Markers()[0].point, Point(r));
    EXPECT_EQ(view->TimeValue->text(), SessionTimeText(Row(r, gpData) - LapStartOf(ids[0], 2)));
    EXPECT_EQ(view->RpmValue->text(), QString::number(Row(r, gpObroty)));
    EXPECT_EQ(view->GfxValue->text(), Format("%2.2f", Row(r, gpAccx) / 100.0));
    ASSERT_TRUE(view->paintbox1->Arrow().has_value());
    EXPECT_EQ(view->paintbox1->Arrow()->total.from, QPoint(Row(r, gpXobr) - 1, h - (Row(r, gpYobr) - 1)));
    gpstest::Shot(*view, QStringLiteral("linked-lap"));
    const QImage line = view->paintbox1->Line();

    // Without arrow; a time without sample changes nothing.
    view->GpsCursorAt(Row(r + 5, gpData));
    EXPECT_EQ(view->paintbox1->Markers()[0].point, Point(r + 5));
    EXPECT_FALSE(view->paintbox1->Arrow().has_value());
    view->GpsCursor(Row(r, gpData) + 3, 2, ids[0]);
    EXPECT_EQ(view->paintbox1->Markers()[0].point, Point(r + 5));
    // Cursor steps on the shown lap leave the line as drawn.
    EXPECT_EQ(view->paintbox1->Line(), line);

    // The scroll bar counts from the first point.
    view->ScrollBar1->setValue(7);
    EXPECT_EQ(view->paintbox1->Markers()[0].point, Point(FindTime(view->memdane, Row(0, gpData) + 70)));

    // A cursor in another lap brings that lap.
    view->GpsCursor(LapStartOf(ids[0], 3) + 500, 3, ids[0]);
    EXPECT_EQ(view->ShownLap(), 3);
    EXPECT_EQ(view->windowTitle(), QStringLiteral(" LAP-3"));
    EXPECT_EQ(Row(0, gpOkrazenie), 3);
    // Lap 0 from a chart does not switch a lap view.
    view->GpsCursor(100, 0, ids[0]);
    EXPECT_EQ(view->ShownLap(), 3);
}

TEST_F(LinkedView, WholeSessionInLapColoursWithAStartPerLap)
{
    ASSERT_TRUE(view->GpsDraw(ids[0], 0, QStringLiteral("GPS: session")));
    const int laps =
        db.Scalar(QStringLiteral("select max(OKRAZENIE) from POZYCJE where ID_NAGLOWKA = %1").arg(ids[0])).toInt();
    EXPECT_EQ(Count(MapMarkerKind::Start), laps);
    EXPECT_EQ(Count(MapMarkerKind::Sector), 0);
    const int n = view->memdane.RecordCount();
    EXPECT_EQ(view->ScrollBar1->maximum(), Row(n - 1, gpData) / 10);

    // The session view is never switched by a cursor; the time read-out is
    // the session time.
    const int r = n / 2;
    view->GpsCursor(Row(r, gpData), 2, ids[0]);
    EXPECT_EQ(view->ShownLap(), 0);
    EXPECT_EQ(view->TimeValue->text(), SessionTimeText(Row(r, gpData)));
    EXPECT_EQ(view->paintbox1->Markers()[0].point, Point(r));
    // The last point has no arrow.
    view->GpsCursor(Row(n - 1, gpData), 0, ids[0]);
    EXPECT_EQ(view->paintbox1->Markers()[0].point, Point(n - 1));
    EXPECT_FALSE(view->paintbox1->Arrow().has_value());
    view->GpsCursor(Row(r, gpData), 0, ids[0]);
    gpstest::Shot(*view, QStringLiteral("linked-session"));
}

TEST_F(LinkedView, NoPointGivesABlackMapAndFalse)
{
    ASSERT_TRUE(view->GpsDraw(ids[0], 1, QStringLiteral(" LAP-1")));
    for (const auto& [id, lap] : {std::pair{ids[1], 0}, {ids[0], 40}, {12345, 0}}) {
        EXPECT_FALSE(view->GpsDraw(id, lap, QStringLiteral("x"))) << id << " " << lap;
        EXPECT_TRUE(view->paintbox1->Pictures().empty());
        EXPECT_TRUE(view->paintbox1->Markers().empty());
        const QImage& line = view->paintbox1->Line();
        int lit = 0;
        for (int y = 1; y < line.height() - 1; ++y)
            for (int x = 1; x < line.width() - 1; ++x)
                lit += line.pixelColor(x, y) != QColor(Qt::black);
        EXPECT_EQ(lit, 0);
        EXPECT_EQ(line.pixelColor(0, 5), QColor(Qt::white));  // the frame
        view->GpsCursor(100, 0, id);                           // nothing to show: no failure
    }
}

TEST_F(LinkedView, ResizeRedrawsOnceAllowedAndCloseKeepsThePlace)
{
    ASSERT_TRUE(view->GpsDraw(ids[0], 2, QStringLiteral(" LAP-2")));
    view->resize(640, 500);
    QCoreApplication::processEvents();
    EXPECT_FALSE(view->timerresize->isActive());  // not allowed yet
    EXPECT_NE(view->paintbox1->Line().size(), view->paintbox1->size());

    view->SetResizeAllowed(true);
    view->resize(700, 520);
    QCoreApplication::processEvents();
    EXPECT_TRUE(view->timerresize->isActive());
    QTRY_VERIFY(!view->timerresize->isActive());
    EXPECT_EQ(view->paintbox1->Line().size(), view->paintbox1->size());
    EXPECT_EQ(view->windowTitle(), QStringLiteral(" LAP-2"));
    EXPECT_EQ(view->paintbox1->Pictures().size(), 3u);

    view->move(120, 80);
    view->close();
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(Project().LinkedGpsViewLeft(), view->x());
    EXPECT_EQ(Project().LinkedGpsViewTop(), view->y());
    EXPECT_EQ(Project().LinkedGpsViewWidth(), 700);
    EXPECT_EQ(Project().LinkedGpsViewHeight(), 520);
    EXPECT_EQ(fgpspowiazany, view.get());  // hidden, not freed
}

}  // namespace
