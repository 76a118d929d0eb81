// The GPS lap comparison over sessions imported from the logger simulator:
// five slots in a ring, laps of two sessions on one scale, the replay with
// a marker per lap, a lap without fixes, "Clear data", and points that all
// lie on one spot.
#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include "analysis/gps_shots.h"
#include "analysis/gps_window_fixture.h"
#include "analysis/gpscanvas.h"
#include "analysis/ugpsporownaj.h"

namespace {

class CompareWindow : public gpstest::MapWindowTest<TfgpsPorownaj> {
protected:
    void SetUp() override
    {
        Open({gpstest::GpsSession(4, true, 5), gpstest::GpsSession(3, true, 9), gpstest::GpsSession(2, false, 6)});
    }

    QPoint Point(int slot, int row)
    {
        const MemTable& t = window->SlotTable(slot);
        return QPoint(t.IntAt(row, gpXobr), t.IntAt(row, gpYobr));
    }
    // Lap time from the line to the last sample of a lap.
    int LapLength(int id, int lap)
    {
        MemTable t(QStringLiteral("t"), GpsPointFields(true));
        t.Open();
        MapExtent e;
        return FillPointsFromMemGps(DM->memGPS, id, lap, false, true, LapStart(&session.tree.memokrazenia, id, lap), t, e)
            .maxSinceLapStart;
    }
};

TEST_F(CompareWindow, FiveLapsOfTwoSessionsOnOneScaleReplayedTogether)
{
    const std::pair<int, int> laps[] = {{ids[0], 1}, {ids[0], 2}, {ids[1], 1}, {ids[0], 3}, {ids[1], 2}};
    int longest = 0;
    for (const auto& [id, lap] : laps) {
        ASSERT_TRUE(window->CompareAddLap(id, lap, QStringLiteral(" ")));
        longest = std::max(longest, LapLength(id, lap));
    }
    EXPECT_EQ(window->windowTitle(), QStringLiteral(" "));
    EXPECT_EQ(window->SlotsInUse(), 5);
    EXPECT_EQ(window->LongestLap(), longest);
    EXPECT_EQ(window->ScrollBar1->maximum(), longest / 10);
    const QStringList expectedLabels{"LAP:1", "LAP:2", "LAP:1", "LAP:3", "LAP:2"};
    for (int s = 1; s <= 5; ++s) {
        EXPECT_EQ(window->SlotLapLabel(s)->text(), expectedLabels[s - 1]);
        EXPECT_EQ(window->SlotTable(s).IntAt(0, gpData), 0) << s;  // from each lap's first fix
    }
    // Only slot 1 has a start picture, at its second point.
    ASSERT_EQ(window->paintbox1->Pictures().size(), 1u);
    EXPECT_EQ(window->paintbox1->Pictures()[0].topLeft,
              PictureTopLeft(Point(1, 1).x(), Point(1, 1).y(), window->paintbox1->height(), QSize(22, 22)));
    // Seen from above: slot 1's lap has the proportions of its fixes.
    EXPECT_NEAR(gpstest::DrawnAspect(window->SlotTable(1)) / gpstest::TrueAspect(ids[0], 1), 1.0, 0.02);
    // One scale: the same track lies at the same pixels for every lap, so
    // each lap's first point is near slot 1's.
    for (int s = 2; s <= 5; ++s)
        EXPECT_LT((Point(s, 0) - Point(1, 0)).manhattanLength(), 40) << s;

    // Replay: a marker per lap at the same time since each lap's first fix.
    window->ScrollBar1->setValue(200);  // 20 s
    ASSERT_EQ(window->paintbox1->Markers().size(), 5u);
    for (int s = 1; s <= 5; ++s) {
        const MemTable& t = window->SlotTable(s);
        const int row = FindTimeOrLater(t, 2000);
        EXPECT_EQ(window->paintbox1->Markers()[s - 1].point, Point(s, row));
        EXPECT_EQ(window->paintbox1->Markers()[s - 1].colour, window->SlotColour(s));
        EXPECT_EQ(window->SlotRpmLabel(s)->text(), QString::number(t.IntAt(row, gpObroty)));
    }
    gpstest::Shot(*window, QStringLiteral("compare-five"));

    // Beyond the shorter laps' ends: their markers stay on their last points.
    window->ScrollBar1->setValue(window->ScrollBar1->maximum());
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(window->paintbox1->Markers()[s - 1].point, Point(s, window->SlotTable(s).RecordCount() - 1));

    // The sixth lap replaces slot 1, the seventh slot 2.
    ASSERT_TRUE(window->CompareAddLap(ids[1], 3, QStringLiteral(" ")));
    EXPECT_EQ(window->SlotLapLabel(1)->text(), QStringLiteral("LAP:3"));
    EXPECT_EQ(window->SlotLapLabel(2)->text(), QStringLiteral("LAP:2"));
    ASSERT_TRUE(window->CompareAddLap(ids[0], 4, QStringLiteral(" ")));
    EXPECT_EQ(window->SlotLapLabel(2)->text(), QStringLiteral("LAP:4"));
    EXPECT_EQ(window->SlotsInUse(), 5);
}

TEST_F(CompareWindow, LapWithoutFixTakesASlotAndLeavesThePicture)
{
    ASSERT_TRUE(window->CompareAddLap(ids[0], 2, QStringLiteral(" ")));
    const QImage before = window->paintbox1->Line();
    const int longest = window->LongestLap();
    ASSERT_TRUE(window->CompareAddLap(ids[2], 1, QStringLiteral(" ")));
    EXPECT_EQ(window->SlotsInUse(), 2);
    EXPECT_TRUE(window->SlotTable(2).IsEmpty());
    EXPECT_EQ(window->paintbox1->Line(), before);
    EXPECT_TRUE(window->paintbox1->Notice().isEmpty());  // a lap is on the map
    EXPECT_EQ(window->LongestLap(), longest);
    // Drawn and replayed as empty.
    ASSERT_TRUE(window->CompareAddLap(ids[1], 1, QStringLiteral(" ")));
    EXPECT_EQ(window->SlotLapLabel(2)->text(), QStringLiteral("LAP:"));
    EXPECT_EQ(window->SlotLapLabel(3)->text(), QStringLiteral("LAP:1"));
    window->ScrollBar1->setValue(100);
    EXPECT_EQ(window->paintbox1->Markers().size(), 2u);
    EXPECT_TRUE(window->SlotRpmLabel(2)->text().isEmpty());
}

TEST_F(CompareWindow, ALapWithoutFixOnAnEmptyMapSaysSo)
{
    ASSERT_TRUE(window->CompareAddLap(ids[2], 1, QStringLiteral(" ")));
    EXPECT_EQ(window->paintbox1->Notice(), QStringLiteral("There is no data from GPS"));
    EXPECT_TRUE(gpstest::LitInMiddle(*window->paintbox1));
    gpstest::Shot(*window, QStringLiteral("compare-no-fix"));
    // A lap with fixes replaces the text with the line.
    ASSERT_TRUE(window->CompareAddLap(ids[0], 1, QStringLiteral(" ")));
    EXPECT_TRUE(window->paintbox1->Notice().isEmpty());
    // After "Clear data" the map is black and says nothing until a lap
    // without fix comes again.
    window->Button1Click();
    EXPECT_TRUE(window->paintbox1->Notice().isEmpty());
    ASSERT_TRUE(window->CompareAddLap(ids[2], 2, QStringLiteral(" ")));
    EXPECT_EQ(window->paintbox1->Notice(), QStringLiteral("There is no data from GPS"));
}

TEST_F(CompareWindow, ClearDataStartsAgainAtSlotOne)
{
    for (int lap = 1; lap <= 3; ++lap)
        ASSERT_TRUE(window->CompareAddLap(ids[0], lap, QStringLiteral(" ")));
    const int longest = window->LongestLap();
    window->Button1Click();
    EXPECT_EQ(window->SlotsInUse(), 0);
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(window->SlotLapLabel(s)->text(), QStringLiteral("LAP:"));
    EXPECT_TRUE(window->paintbox1->Pictures().empty());

    // The next lap goes to slot 1 and is drawn alone; the longest lap stays.
    ASSERT_TRUE(window->CompareAddLap(ids[1], 2, QStringLiteral(" ")));
    EXPECT_EQ(window->SlotsInUse(), 1);
    EXPECT_EQ(window->SlotLapLabel(1)->text(), QStringLiteral("LAP:2"));
    EXPECT_EQ(window->SlotLapLabel(2)->text(), QStringLiteral("LAP:"));
    EXPECT_EQ(window->LongestLap(), std::max(longest, LapLength(ids[1], 2)));
    window->ScrollBar1->setValue(50);
    EXPECT_EQ(window->paintbox1->Markers().size(), 1u);
    int yellow = 0, lime = 0;
    const QImage& line = window->paintbox1->Line();
    for (int y = 1; y < line.height() - 1; ++y)
        for (int x = 1; x < line.width() - 1; ++x) {
            yellow += line.pixelColor(x, y) == window->SlotColour(1);
            lime += line.pixelColor(x, y) == window->SlotColour(2);
        }
    EXPECT_GT(yellow, 300);
    EXPECT_EQ(lime, 0);
}

TEST_F(CompareWindow, LapsOnOneSpotLieInTheMiddle)
{
    // A lap whose fixes all share one map point.
    MemTable& gps = DM->memGPS;
    auto col = [&gps](const char* n) { return gps.FieldIndex(QLatin1String(n)); };
    for (int i = 0; i < 3; ++i) {
        const int r = gps.AppendRow();
        for (int c = 0; c < gps.FieldCount(); ++c)
            if (gps.Def(c).type == FieldType::Integer)
                gps.SetIntAt(r, c, 0);
        gps.SetIntAt(r, col("id_nag"), 900);
        gps.SetIntAt(r, col("okrazenie"), 1);
        gps.SetIntAt(r, col("data"), 1000 + 10 * i);
        gps.SetIntAt(r, col("gpsx_wyl"), 31212345);
        gps.SetIntAt(r, col("gpsy_wyl"), 12654321);
    }
    ASSERT_TRUE(window->CompareAddLap(900, 1, QStringLiteral(" ")));
    // 712 x 540: the middle of the picture.
    const QPoint middle(356, 270);
    EXPECT_EQ(Point(1, 0), middle);
    window->ScrollBar1->setValue(1);
    ASSERT_EQ(window->paintbox1->Markers().size(), 1u);
    EXPECT_EQ(window->paintbox1->Markers()[0].point, middle);
}

}  // namespace
