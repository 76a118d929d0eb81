// The GPS windows' computations without a window: the fit-to-box
// projection, map coordinates across a whole-degree line, the trace load
// and replay step, the extent labels, the linked view's pictures and arrow,
// the comparison ring, and all of it over sessions imported from the
// logger simulator.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/gps_support.h"
#include "analysis/gpsmap.h"
#include "analysis/sessiontree.h"
#include "shell/common/stale.h"
#include "support/testdb.h"

namespace {

uint32_t Packed(int degrees, int minutes, int fraction)
{
    return (uint32_t(degrees) << 24) | (uint32_t(minutes) << 16) | uint32_t(fraction);
}

// A point table filled by hand: one row per point, data 0, 10, 20, ...
struct Point {
    int xobr = 0, yobr = 0;
    int okrazenie = 0, sektor = 0;
    int accx = 0, accy = 0;
};
void Fill(MemTable& t, const std::vector<Point>& points)
{
    t.Close();
    t.Open();
    int data = 0;
    for (const Point& p : points) {
        const int r = t.AppendRow();
        for (int c = 0; c < t.FieldCount(); ++c)
            if (t.Def(c).type == FieldType::Integer)
                t.SetIntAt(r, c, 0);
        t.SetIntAt(r, gpXobr, p.xobr);
        t.SetIntAt(r, gpYobr, p.yobr);
        t.SetIntAt(r, gpOkrazenie, p.okrazenie);
        t.SetIntAt(r, gpSektor, p.sektor);
        t.SetIntAt(r, gpAccx, p.accx);
        t.SetIntAt(r, gpAccy, p.accy);
        t.SetIntAt(r, gpData, data);
        data += 10;
    }
}

// ------------------------------------------------------------ projection

TEST(FitToBox, PlacesPointsWithMarginCentredAxisAndHalfEvenRounding)
{
    struct Case {
        const char* what;
        int width, height, margin;
        MapExtent extent;
        int mapX, mapY;
        int x, h;
    };
    const MapExtent wide{false, 0, 200, 0, 50};          // W/dx < H/dy: X fills, Y centred
    const MapExtent tall{false, 1000, 1106, 500, 700};   // Y fills, X centred
    const MapExtent even{false, 0, 200, 0, 40};
    const MapExtent square{false, 0, 100, 0, 50};        // both scales equal
    const Case cases[] = {
        // 100 x 50 box, scale 0.5; Y span 25 in 50: (50 - 25) / 2 = 12.5 -> 12.
        {"wide far corner", 120, 70, 10, wide, 200, 50, 110, 37},
        {"wide origin", 120, 70, 10, wide, 0, 0, 10, 12},
        {"wide 0.5 rounds to 0", 120, 70, 10, wide, 1, 1, 10, 12},
        {"wide 1.5 rounds to 2", 120, 70, 10, wide, 3, 3, 12, 14},
        // Margin 25: 250 x 100 box, scale 0.5; X span 53 in 250: 98.5 -> 98.
        {"tall far corner", 300, 150, 25, tall, 1106, 700, 151, 125},
        {"tall near corner", 300, 150, 25, tall, 1001, 501, 98, 25},
        {"tall 2.5 rounds to 2", 300, 150, 25, tall, 1005, 505, 100, 27},
        // Y span 20 centred in 60 from 0: 20..40, its middle 10 below the
        // image's middle (40).
        {"centred low end", 120, 80, 10, even, 0, 0, 10, 20},
        {"centred high end", 120, 80, 10, even, 200, 40, 110, 40},
        // Equal scales: Y takes the margin, X is centred from 0.
        {"equal scales", 120, 70, 10, square, 100, 50, 100, 60},
        {"equal scales origin", 120, 70, 10, square, 0, 0, 0, 10},
    };
    for (const Case& c : cases) {
        const FitProjection p = FitToBox(c.width, c.height, c.margin, c.extent);
        EXPECT_EQ(p.PixelX(c.mapX), c.x) << c.what;
        EXPECT_EQ(p.PixelHeight(c.mapY), c.h) << c.what;
    }
}

TEST(FitToBox, PointsOnOneLineOrOneSpotAreCentred)
{
    struct Case {
        const char* what;
        MapExtent extent;
        int mapX, mapY;
        int x, h;
    };
    // 120 x 70 image, margin 10: a 100 x 50 box.
    const Case cases[] = {
        {"one X: Y fills, X centred", {false, 5, 5, 0, 100}, 5, 100, 50, 60},
        {"one X, low end", {false, 5, 5, 0, 100}, 5, 0, 50, 10},
        {"one Y: X fills, Y centred", {false, 0, 400, 7, 7}, 400, 7, 110, 25},
        {"one Y, low end", {false, 0, 400, 7, 7}, 0, 7, 10, 25},
        {"a single point", {false, 3, 3, 4, 4}, 3, 4, 50, 25},
    };
    for (const Case& c : cases) {
        const FitProjection p = FitToBox(120, 70, 10, c.extent);
        EXPECT_TRUE(std::isfinite(p.scale)) << c.what;
        EXPECT_EQ(p.PixelX(c.mapX), c.x) << c.what;
        EXPECT_EQ(p.PixelHeight(c.mapY), c.h) << c.what;
    }
}

TEST(MapExtent, FirstPointSetsAllAndLaterOnesWidenIt)
{
    MapExtent e;
    e.Add(50, 60);
    EXPECT_FALSE(e.empty);
    EXPECT_EQ((std::array{e.minX, e.maxX, e.minY, e.maxY}), (std::array{50, 50, 60, 60}));
    e.Add(40, 70);
    e.Add(45, 65);
    EXPECT_EQ((std::array{e.minX, e.maxX, e.minY, e.maxY}), (std::array{40, 50, 60, 70}));
}

// --------------------------------------------------------- trace loading

class TraceLoad : public ::testing::Test {
protected:
    TestDatabase db;
    MemTable memdane{QStringLiteral("memdane"), GpsPointFields(false)};
    int nextId = 1;

    void Pos(int session, int dataSs, uint32_t gx, uint32_t gy, int lap = 0, int obroty = 9000, int accx = 0,
             int accy = 0)
    {
        db.Exec(QStringLiteral("insert into POZYCJE (ID_POZYCJI, ID_NAGLOWKA, DATA_SS, OBROTY, TEMP1, TEMP2, "
                               "TYP_PROBKI, ACCX, ACCY, GPSX, GPSY, GYRO1, GYRO2, OKRAZENIE, SEKTOR) values "
                               "(%1, %2, %3, %4, 41.26, 120.5, 1, %5, %6, %7, %8, 0, 0, %9, 1)")
                    .arg(nextId++)
                    .arg(session)
                    .arg(dataSs)
                    .arg(obroty)
                    .arg(accx)
                    .arg(accy)
                    .arg(int32_t(gx))
                    .arg(int32_t(gy))
                    .arg(lap));
    }
};

TEST_F(TraceLoad, TraceAcrossAWholeDegreeLineStaysInOnePiece)
{
    const uint32_t y = Packed(21, 5, 0);
    Pos(1, 100, 0, 0);                        // before the first fix
    Pos(1, 110, Packed(51, 59, 9000), y);
    Pos(1, 120, Packed(52, 0, 0), y);         // exactly on the line: a fix
    Pos(1, 130, Packed(52, 0, 1000), y);
    Pos(1, 140, Packed(52, 0, 1500), 0);      // no fix in Y
    Pos(1, 150, Packed(52, 0, 2000), y, 1);
    TraceExtent extent;
    int scrollMax = -1;
    ASSERT_TRUE(LoadTracePoints(1, 0, memdane, extent, scrollMax));
    ASSERT_EQ(memdane.RecordCount(), 4);
    std::vector<int> data;
    for (int r = 0; r < 4; ++r)
        data.push_back(memdane.IntAt(r, gpData));
    EXPECT_EQ(data, (std::vector<int>{0, 10, 20, 40}));
    EXPECT_EQ(scrollMax, 4);
    EXPECT_EQ(memdane.StringAt(3, gpDatas), QStringLiteral("00:00:40"));

    // Evenly spaced fixes 0.1 minute apart stay evenly spaced on the map.
    ProjectPoints(memdane, FitToBox(887, 470, 10, extent.map));
    std::vector<int> x;
    for (int r = 0; r < 4; ++r)
        x.push_back(memdane.IntAt(r, gpXobr));
    EXPECT_EQ(x, (std::vector<int>{10, 299, 588, 877}));
    // All on one Y: centred on that axis.
    EXPECT_EQ(memdane.IntAt(0, gpYobr), 225);
}

TEST_F(TraceLoad, LapFilterSingleFixAndNoFix)
{
    const uint32_t y = Packed(21, 5, 0);
    Pos(1, 100, Packed(52, 10, 0), y, 1);
    Pos(1, 110, Packed(52, 10, 100), y, 1);
    Pos(1, 200, Packed(52, 10, 200), y, 2);
    Pos(1, 300, 0, y, 3);
    Pos(1, 310, Packed(52, 10, 300), 0, 3);

    TraceExtent extent;
    int scrollMax = -1;
    // One fix in lap 2: it is the start (data 0) and stands centred.
    ASSERT_TRUE(LoadTracePoints(1, 2, memdane, extent, scrollMax));
    ASSERT_EQ(memdane.RecordCount(), 1);
    EXPECT_EQ(memdane.IntAt(0, gpData), 0);
    EXPECT_EQ(scrollMax, 0);
    ProjectPoints(memdane, FitToBox(887, 470, 10, extent.map));
    EXPECT_EQ(memdane.IntAt(0, gpXobr), 434);  // 867 / 2 = 433.5 -> 434
    EXPECT_EQ(memdane.IntAt(0, gpYobr), 225);

    // Lap 3 has samples, none with a fix; session 2 has no samples at all.
    EXPECT_FALSE(LoadTracePoints(1, 3, memdane, extent, scrollMax));
    EXPECT_EQ(memdane.RecordCount(), 0);
    EXPECT_FALSE(LoadTracePoints(2, 0, memdane, extent, scrollMax));
}

TEST_F(TraceLoad, ExtentLabelsInMetres)
{
    // X (latitude) spans one minute, Y (longitude) two minutes.
    Pos(1, 100, Packed(52, 10, 5000), Packed(21, 6, 0));
    Pos(1, 110, Packed(52, 11, 0), Packed(21, 5, 0));
    Pos(1, 120, Packed(52, 10, 0), Packed(21, 7, 0));
    TraceExtent extent;
    int scrollMax = 0;
    ASSERT_TRUE(LoadTracePoints(1, 0, memdane, extent, scrollMax));
    // A minute of latitude is about 1855 m; two minutes of longitude at
    // 52 deg 11' are 2 x 1855.32 x cos(52.1833 deg).
    EXPECT_EQ(extent.LowerLabel(), QStringLiteral("1855.32"));
    EXPECT_EQ(extent.UpperLabel(), QStringLiteral("2275.14"));

    // One fix: both extents 0.
    TraceExtent one;
    one.Add(Packed(52, 10, 0), Packed(21, 5, 0));
    EXPECT_EQ(one.LowerLabel(), QStringLiteral("0.00"));
    EXPECT_EQ(one.UpperLabel(), QStringLiteral("0.00"));
}

TEST_F(TraceLoad, ReplayStepReadsOutTheSampleAtThatTime)
{
    const uint32_t y = Packed(21, 5, 0);
    Pos(1, 500, Packed(52, 10, 0), y, 1, 8123, 4096, -2048);
    Pos(1, 510, Packed(52, 10, 100), y, 1, 8200, 0, 0);
    Pos(1, 530, Packed(52, 10, 200), y, 1, 8300, -8192, 8192);
    TraceExtent extent;
    int scrollMax = 0;
    ASSERT_TRUE(LoadTracePoints(1, 0, memdane, extent, scrollMax));
    ProjectPoints(memdane, FitToBox(887, 470, 10, extent.map));

    const auto first = TraceReplayStep(memdane, 0);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->rpm, QStringLiteral("8123"));
    EXPECT_EQ(first->lapTime, QStringLiteral("00:00:00"));
    EXPECT_EQ(first->temp1, QStringLiteral("41.3"));
    EXPECT_EQ(first->temp2, QStringLiteral("120.5"));
    // 4096 counts are 0.99999744 g, -2048 counts -0.49999872 g.
    EXPECT_EQ(first->gForceX, QStringLiteral("1.00"));
    EXPECT_EQ(first->gForceY, QStringLiteral("-0.50"));
    // 40 pixels per g around (80, 80), less half the dot: right and down.
    EXPECT_EQ(first->dot, QPoint(114, 94));
    EXPECT_EQ(first->marker, QPoint(10, 225));

    const auto still = TraceReplayStep(memdane, 1);
    ASSERT_TRUE(still.has_value());
    EXPECT_EQ(still->dot, QPoint(74, 74));

    // Left and up, beyond the cross: the dot is not kept inside.
    const auto last = TraceReplayStep(memdane, 3);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->dot, QPoint(-6, -6));
    EXPECT_EQ(last->gForceX, QStringLiteral("-2.00"));

    // No sample at 20 hundredths, none after the end.
    EXPECT_FALSE(TraceReplayStep(memdane, 2).has_value());
    EXPECT_FALSE(TraceReplayStep(memdane, 4).has_value());
}

TEST(MapLapColour, PaletteWithSilverForBlack)
{
    EXPECT_EQ(MapLapColour(1), QColor(255, 0, 0));
    EXPECT_EQ(MapLapColour(0), QColor(255, 255, 255));
    EXPECT_EQ(MapLapColour(8), QColor(0, 255, 0));
    for (int lap : {4, 12, 20})
        EXPECT_EQ(MapLapColour(lap), QColor(192, 192, 192)) << lap;
}

// ------------------------------------------------------------- pictures

TEST(MapMarkers, StartAndSectorPictures)
{
    struct Case {
        const char* what;
        bool oneLap;
        std::vector<Point> points;  // okrazenie, sektor in the table
        std::vector<std::pair<MapMarkerKind, int>> expected;
    };
    auto laps = [](std::initializer_list<int> l) {
        std::vector<Point> p;
        for (int v : l)
            p.push_back({0, 0, v, 0});
        return p;
    };
    auto sectors = [](std::initializer_list<int> l) {
        std::vector<Point> p;
        for (int v : l)
            p.push_back({0, 0, 4, v});
        return p;
    };
    using K = MapMarkerKind;
    const Case cases[] = {
        {"whole session: each lap from 1 at its first point", false, laps({0, 0, 1, 1, 2, 2, 3}),
         {{K::Start, 2}, {K::Start, 4}, {K::Start, 6}}},
        {"whole session starting in lap 1: at the second point", false, laps({1, 1, 1, 2}),
         {{K::Start, 1}, {K::Start, 3}}},
        {"whole session: lap 0 alone gets none", false, laps({0, 0, 0}), {}},
        {"whole session: no sector pictures", false, sectors({1, 2, 3}), {{K::Start, 1}}},
        {"one lap: start at the second point, sector where it rises", true, sectors({3, 1, 1, 2, 2, 3, 3}),
         {{K::Start, 1}, {K::Sector, 3}, {K::Sector, 5}}},
        {"one lap: a rise at the start picture's point is not marked", true, sectors({0, 1, 2}),
         {{K::Start, 1}, {K::Sector, 2}}},
        {"one lap: sector 0 and falls are not marked", true, sectors({2, 2, 0, 0, 1}),
         {{K::Start, 1}, {K::Sector, 4}}},
        {"one point: nothing", true, sectors({1}), {}},
    };
    MemTable t(QStringLiteral("memdane"), GpsPointFields(true));
    t.Open();
    for (const Case& c : cases) {
        Fill(t, c.points);
        std::vector<std::pair<MapMarkerKind, int>> got;
        for (const MapMarker& m : MapMarkers(t, c.oneLap, true))
            got.emplace_back(m.kind, m.row);
        EXPECT_EQ(got, c.expected) << c.what;
    }
    // The comparison: one start picture, never sector pictures.
    Fill(t, sectors({1, 1, 2, 3}));
    const auto compare = MapMarkers(t, true, false);
    ASSERT_EQ(compare.size(), 1u);
    EXPECT_EQ(compare[0].row, 1);
}

TEST(MapMarkers, PictureStandsOnThePointCentred)
{
    EXPECT_EQ(PictureTopLeft(100, 50, 470, QSize(22, 22)), QPoint(89, 398));
    EXPECT_EQ(PictureTopLeft(7, 0, 300, QSize(21, 22)), QPoint(-3, 278));
}

// ---------------------------------------------------------------- arrow

TEST(AccelerationArrow, LimeRightOfTravelAquaForward)
{
    // Travel in the four directions; screen rows grow downwards.
    struct Case {
        const char* what;
        QPoint next;       // xobr, yobr of the next point (from 100, 100)
        QPoint forward;    // unit of travel on the screen
    };
    const Case cases[] = {
        {"east", {110, 100}, {1, 0}},
        {"north", {100, 110}, {0, -1}},
        {"west", {90, 100}, {-1, 0}},
        {"south", {100, 90}, {0, 1}},
    };
    const int H = 300, L = 90;  // L / 3 = 30 pixels per g
    MemTable t(QStringLiteral("memdane"), GpsPointFields(true));
    t.Open();
    for (const Case& c : cases) {
        // 2 g across (positive accx), 1 g along (positive accy).
        Fill(t, {{100, 100, 1, 0, 200, 100}, {c.next.x(), c.next.y(), 1, 0, 0, 0}});
        const auto a = AccelerationArrow(t, 0, L, H);
        ASSERT_TRUE(a.has_value()) << c.what;
        const QPoint start(99, H - 99);
        EXPECT_EQ(a->total.from, start) << c.what;
        const QPoint right(-c.forward.y(), c.forward.x());  // a quarter turn clockwise on the screen
        EXPECT_EQ(a->across.to - start, right * 60) << c.what;
        EXPECT_EQ(a->along.to - start, c.forward * 30) << c.what;
        EXPECT_EQ(a->total.to - start, right * 60 + c.forward * 30) << c.what;
    }
}

TEST(AccelerationArrow, NoArrowWithoutALaterPointElsewhere)
{
    MemTable t(QStringLiteral("memdane"), GpsPointFields(true));
    t.Open();
    Fill(t, {{10, 10, 1, 0, 100, 100}, {10, 10, 1, 0, 100, 100}, {10, 10, 1, 0, 0, 0}});
    EXPECT_FALSE(AccelerationArrow(t, 0, 90, 300).has_value());  // later points share its pixel
    EXPECT_FALSE(AccelerationArrow(t, 2, 90, 300).has_value());  // the last point
    // A stop, then a move north: the direction comes from the first point that moved.
    Fill(t, {{10, 10, 1, 0, 100, 0}, {10, 10, 1, 0, 0, 0}, {10, 20, 1, 0, 0, 0}});
    const auto a = AccelerationArrow(t, 0, 90, 300);
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->across.to - a->across.from, QPoint(30, 0));  // right of northward travel is east
}

// ----------------------------------------------------------- comparison

TEST(CompareRing, SixthLapGoesToSlotOneAndClearingStartsAgain)
{
    CompareRing ring;
    std::vector<int> taken;
    for (int lap = 11; lap <= 18; ++lap)
        taken.push_back(ring.Take(lap));
    EXPECT_EQ(taken, (std::vector<int>{1, 2, 3, 4, 5, 1, 2, 3}));
    EXPECT_EQ(ring.Count(), 5);
    EXPECT_EQ(ring.LapOf(1), 16);
    EXPECT_EQ(ring.LapOf(3), 18);
    EXPECT_EQ(ring.LapOf(4), 14);

    ring.Clear();
    EXPECT_EQ(ring.Count(), 0);
    EXPECT_EQ(ring.Take(21), 1);
    EXPECT_EQ(ring.Take(22), 2);
    EXPECT_EQ(ring.LapOf(3), 18);  // untouched until filled again
}

TEST(FindTime, ExactAndLaterRows)
{
    MemTable t(QStringLiteral("memdane"), GpsPointFields(true));
    t.Open();
    Fill(t, {{}, {}, {}});  // data 0, 10, 20
    EXPECT_EQ(FindTime(t, 10), 1);
    EXPECT_EQ(FindTime(t, 15), -1);
    EXPECT_EQ(FindTimeOrLater(t, 15), 2);
    EXPECT_EQ(FindTimeOrLater(t, 20), 2);
    EXPECT_EQ(FindTimeOrLater(t, 99), 2);
    EXPECT_EQ(FindTimeOrLater(t, -5), 0);
    Fill(t, {});
    EXPECT_EQ(FindTime(t, 0), -1);
    EXPECT_EQ(FindTimeOrLater(t, 0), -1);
}

// ---------------------------------------------------- simulated sessions

class SimulatedSessions : public ::testing::Test {
protected:
    TestDatabase db;
    std::vector<int> ids;
    SessionTree tree;

    void SetUp() override
    {
        kromsim::SessionOptions plain = gpstest::GpsSession(3, true, 8);
        plain.format = SampleFormat::Plain;
        ids = gpstest::ImportSessions(
            {gpstest::GpsSession(4, true, 5), gpstest::GpsSession(2, false, 6), plain});
        ASSERT_EQ(ids.size(), 3u);
        DM->memGPS.Open();
        for (int id : ids)
            gpstest::LoadSession(id, DM->memGPS, tree);
    }
    void TearDown() override { DM->memGPS.Close(); }

    int Fixes(int id, int lap = -1)
    {
        QString sql = QStringLiteral("select count(*) from POZYCJE where ID_NAGLOWKA = %1 and GPSX <> 0 and GPSY <> 0")
                          .arg(id);
        if (lap >= 0)
            sql += QStringLiteral(" and OKRAZENIE = %1").arg(lap);
        return db.Scalar(sql).toInt();
    }
};

TEST_F(SimulatedSessions, TraceOfASessionAndOfALapFitsTheMap)
{
    MemTable memdane(QStringLiteral("memdane"), GpsPointFields(false));
    for (const int lap : {0, 2}) {
        TraceExtent extent;
        int scrollMax = 0;
        ASSERT_TRUE(LoadTracePoints(ids[0], lap, memdane, extent, scrollMax)) << lap;
        const int n = memdane.RecordCount();
        EXPECT_EQ(n, lap ? Fixes(ids[0], lap) : Fixes(ids[0])) << lap;
        EXPECT_EQ(memdane.IntAt(0, gpData), 0);
        EXPECT_EQ(scrollMax, memdane.IntAt(n - 1, gpData) / 10);
        ProjectPoints(memdane, FitToBox(887, 470, 10, extent.map));
        int minX = 1 << 30, maxX = -1, minH = 1 << 30, maxH = -1;
        for (int r = 0; r < n; ++r) {
            if (lap) {
                EXPECT_EQ(memdane.IntAt(r, gpOkrazenie), lap);
            }
            if (r > 0) {
                EXPECT_GT(memdane.IntAt(r, gpData), memdane.IntAt(r - 1, gpData));
            }
            minX = std::min(minX, memdane.IntAt(r, gpXobr));
            maxX = std::max(maxX, memdane.IntAt(r, gpXobr));
            minH = std::min(minH, memdane.IntAt(r, gpYobr));
            maxH = std::max(maxH, memdane.IntAt(r, gpYobr));
        }
        // One axis spans the box from the margin, the other stays inside.
        EXPECT_GE(minX, 0);
        EXPECT_LE(maxX, 877);
        EXPECT_GE(minH, 10);
        EXPECT_LE(maxH, 460);
        EXPECT_TRUE((minX == 10 && maxX == 877) || (minH == 10 && maxH == 460)) << minX << " " << maxX << " " << minH << " " << maxH;
        // Every replay position of the fixes finds its sample.
        EXPECT_TRUE(TraceReplayStep(memdane, scrollMax).has_value());
        EXPECT_GT(extent.LowerLabel().toDouble(), 10);
    }
    // The session without a fix, and a lap beyond the last.
    TraceExtent extent;
    int scrollMax = 0;
    EXPECT_FALSE(LoadTracePoints(ids[1], 0, memdane, extent, scrollMax));
    EXPECT_FALSE(LoadTracePoints(ids[0], 40, memdane, extent, scrollMax));
    // The plain sample format carries fixes too.
    EXPECT_TRUE(LoadTracePoints(ids[2], 1, memdane, extent, scrollMax));
}

TEST_F(SimulatedSessions, LinkedViewPointsOfALapAndOfTheSession)
{
    MemTable points(QStringLiteral("memdane"), GpsPointFields(true));
    points.Open();
    const int lapStart = LapStart(&tree.memokrazenia, ids[0], 2);
    EXPECT_GT(lapStart, 0);
    MapExtent extent;
    const PointFill lap = FillPointsFromMemGps(DM->memGPS, ids[0], 2, true, false, lapStart, points, extent);
    ASSERT_EQ(lap.rows, Fixes(ids[0], 2));
    ASSERT_EQ(points.RecordCount(), lap.rows);
    // Session times, the lap time from the lap start (the first fix of the
    // lap is less than a second after the line).
    EXPECT_GE(points.IntAt(0, gpData), lapStart);
    EXPECT_LT(points.IntAt(0, gpData), lapStart + 100);
    EXPECT_EQ(points.StringAt(0, gpDatas), SessionTimeText(points.IntAt(0, gpData)));
    EXPECT_TRUE(points.StringAt(0, gpDataso).startsWith(QStringLiteral("00:00:")));
    const int lapTime = db.Scalar(QStringLiteral("select CZAS_SS from OKRAZENIA_REJ where ID_NAGLOWKA = %1 and NR = 2")
                                      .arg(ids[0]))
                            .toInt();
    EXPECT_NEAR(lap.lastSinceLapStart, lapTime, 100);
    // The lap's pictures: the start, then one per sector line inside the lap.
    int sectorPictures = 0;
    for (const MapMarker& m : MapMarkers(points, true, true))
        sectorPictures += m.kind == MapMarkerKind::Sector;
    EXPECT_EQ(sectorPictures, 2);  // three sectors per lap

    points.Close();
    points.Open();
    MapExtent all;
    const PointFill whole = FillPointsFromMemGps(DM->memGPS, ids[0], 0, true, false, 0, points, all);
    EXPECT_EQ(whole.rows, Fixes(ids[0]));
    EXPECT_TRUE(points.StringAt(0, gpDataso).isEmpty());
    // One start picture per timed lap and the in-lap after the last line.
    const int laps = db.Scalar(QStringLiteral("select max(OKRAZENIE) from POZYCJE where ID_NAGLOWKA = %1").arg(ids[0])).toInt();
    EXPECT_EQ(int(MapMarkers(points, false, true).size()), laps);

    // The session without a fix gives no point.
    points.Close();
    points.Open();
    MapExtent none;
    EXPECT_EQ(FillPointsFromMemGps(DM->memGPS, ids[1], 0, true, false, 0, points, none).rows, 0);
    EXPECT_TRUE(none.empty);
}

TEST_F(SimulatedSessions, ComparisonSlotCountsFromTheLapsFirstFix)
{
    MemTable slot(QStringLiteral("memdane2"), GpsPointFields(true));
    slot.Open();
    const int start = LapStart(&tree.memokrazenia, ids[2], 3);
    MapExtent unused;
    const PointFill fill = FillPointsFromMemGps(DM->memGPS, ids[2], 3, false, true, start, slot, unused);
    ASSERT_GT(fill.rows, 0);
    EXPECT_EQ(slot.IntAt(0, gpData), 0);
    EXPECT_EQ(slot.StringAt(fill.rows - 1, gpDataso), SessionTimeText(fill.lastSinceLapStart));
    EXPECT_EQ(fill.maxSinceLapStart, fill.lastSinceLapStart);
    // Lap 0 is taken as a lap of its own, not as the whole session.
    slot.Close();
    slot.Open();
    const PointFill out = FillPointsFromMemGps(DM->memGPS, ids[2], 0, false, true, 0, slot, unused);
    EXPECT_EQ(out.rows, Fixes(ids[2], 0));
    // An unknown session or a lap without samples takes nothing.
    EXPECT_EQ(FillPointsFromMemGps(DM->memGPS, 999, 1, false, true, 0, slot, unused).rows, 0);
    EXPECT_EQ(LapStart(&tree.memokrazenia, ids[2], 99), 0);
    EXPECT_EQ(LapStart(nullptr, ids[2], 3), 0);
    // memGPS closed (nothing loaded yet): nothing to take.
    DM->memGPS.Close();
    EXPECT_EQ(FillPointsFromMemGps(DM->memGPS, ids[2], 3, false, true, 0, slot, unused).rows, 0);
}

}  // namespace
