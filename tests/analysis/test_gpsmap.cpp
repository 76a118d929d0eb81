// The GPS windows' computations without a window: the fit-to-box
// projection, map coordinates across a whole-degree line, the trace load
// and replay step, the extent labels, the linked view's pictures and arrow,
// the comparison ring, and all of it over sessions imported from the
// logger simulator.
#include <gtest/gtest.h>

#include <QPointF>

#include <cmath>
#include <string>

#include "analysis/gps_support.h"
#include "analysis/gpsmap.h"
#include "analysis/sessionload.h"
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
        MapExtent extent;  // map X (latitude) min/max, then map Y (longitude)
        int mapX, mapY;
        QPoint at;         // pixel x, pixel height
    };
    // Near the equator a minute of longitude is as long as one of latitude
    // (the factor is 1 to within 1e-9).
    const MapExtent tall{false, 0, 100, 0, 50};         // latitude fills, longitude centred
    const MapExtent wide{false, 1000, 1106, 500, 1000};  // longitude fills, latitude centred
    const MapExtent equator{false, 0, 0, 0, 200};       // exactly on it: the factor is 1
    const MapExtent square{false, 0, 50, 0, 100};       // both scales all but equal
    const MapExtent low{false, 0, 40, 0, 200};
    // At 60 deg N two minutes of longitude are as long as one of latitude.
    const MapExtent north60{false, 36000000 - 50, 36000000 + 50, 0, 200};
    const Case cases[] = {
        // 100 x 50 box, scale 0.5; longitude span 25 in the middle of the
        // 100 inside the margin: 10 + 37.5 -> 48.
        {"tall far corner", 120, 70, 10, tall, 100, 50, {73, 60}},
        {"tall origin", 120, 70, 10, tall, 0, 0, {48, 10}},
        {"tall 0.5 rounds to 0", 120, 70, 10, tall, 1, 0, {48, 10}},
        {"tall 1.5 rounds to 2", 120, 70, 10, tall, 3, 0, {48, 12}},
        {"tall 2.5 rounds to 2", 120, 70, 10, tall, 5, 0, {48, 12}},
        // Margin 25: 250 x 100 box, scale 0.5; latitude span 53 in the
        // middle of the 100 inside the margin: 25 + 23.5 -> 49.
        {"wide far corner", 300, 150, 25, wide, 1106, 1000, {275, 102}},
        {"wide near corner", 300, 150, 25, wide, 1000, 500, {25, 49}},
        {"wide middle", 300, 150, 25, wide, 1053, 750, {150, 76}},
        {"east 0.5 rounds to 0", 120, 70, 10, equator, 0, 1, {10, 35}},
        {"east 1.5 rounds to 2", 120, 70, 10, equator, 0, 3, {12, 35}},
        {"east 2.5 rounds to 2", 120, 70, 10, equator, 0, 5, {12, 35}},
        // Latitude span 20 centred in the 60 inside the margin: 30..50,
        // its middle the image's middle (40).
        {"centred low end", 120, 80, 10, low, 0, 0, {10, 30}},
        {"centred high end", 120, 80, 10, low, 40, 200, {110, 50}},
        // Equal scales: both axes fill the box inside the margin.
        {"equal scales", 120, 70, 10, square, 50, 100, {110, 60}},
        {"equal scales origin", 120, 70, 10, square, 0, 0, {10, 10}},
        {"60 N far corner", 120, 120, 10, north60, 36000050, 200, {110, 110}},
        {"60 N middle", 120, 120, 10, north60, 36000000, 100, {60, 60}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitToBox(c.width, c.height, c.margin, c.extent).Place(c.mapX, c.mapY), c.at) << c.what;
}

TEST(FitToBox, PointsOnOneLineOrOneSpotLieInTheMiddle)
{
    struct Case {
        const char* what;
        int width, height;
        MapExtent extent;
        int mapX, mapY;
        QPoint at;
    };
    // Margin 10: the middle of a 120 x 70 image is (60, 35).
    const Case cases[] = {
        {"one latitude: longitude fills", 120, 70, {false, 5, 5, 0, 100}, 5, 100, {110, 35}},
        {"one latitude, west end", 120, 70, {false, 5, 5, 0, 100}, 5, 0, {10, 35}},
        {"one longitude: latitude fills", 120, 70, {false, 0, 100, 7, 7}, 100, 7, {60, 60}},
        {"one longitude, south end", 120, 70, {false, 0, 100, 7, 7}, 0, 7, {60, 10}},
        {"a single point", 120, 70, {false, 3, 3, 4, 4}, 3, 4, {60, 35}},
        {"a single point, odd width", 887, 470, {false, 3, 3, 4, 4}, 3, 4, {444, 235}},  // 443.5 -> 444
    };
    for (const Case& c : cases) {
        const FitProjection p = FitToBox(c.width, c.height, 10, c.extent);
        EXPECT_TRUE(std::isfinite(p.scale)) << c.what;
        EXPECT_EQ(p.Place(c.mapX, c.mapY), c.at) << c.what;
    }
}

// Tracks of known shape, in metres east and north of their middle, in the
// order they are driven.
struct Shape {
    const char* name;
    std::vector<QPointF> metres;
};
std::vector<QPointF> Oval(double eastWest, double northSouth, bool clockwise)
{
    std::vector<QPointF> p;
    for (int i = 0; i < 120; ++i) {
        const double t = 2 * 3.14159265358979 * i / 120 * (clockwise ? -1 : 1);
        p.emplace_back(eastWest / 2 * std::cos(t), northSouth / 2 * std::sin(t));
    }
    return p;
}
std::vector<QPointF> Polyline(const std::vector<QPointF>& corners)
{
    std::vector<QPointF> p;
    for (size_t i = 0; i < corners.size(); ++i) {
        const QPointF a = corners[i], b = corners[(i + 1) % corners.size()];
        for (int k = 0; k < 10; ++k)
            p.push_back(a + (b - a) * (k / 10.0));
    }
    return p;
}
// Twice the signed area: positive when driven anticlockwise (seen from
// above with x to the right and y up).
double SignedArea(const std::vector<QPointF>& p)
{
    double a = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const QPointF u = p[i], v = p[(i + 1) % p.size()];
        a += u.x() * v.y() - v.x() * u.y();
    }
    return a;
}

TEST(FitToBox, TracksKeepTheirShapeAndTurnAsDriven)
{
    const Shape shapes[] = {
        {"east-west oval, clockwise", Oval(400, 150, true)},
        {"north-south oval, anticlockwise", Oval(120, 380, false)},
        // Up the west side, along the top, down and along the step.
        {"clockwise L", Polyline({{-125, -150}, {-125, 150}, {-25, 150}, {-25, -50}, {125, -50}, {125, -150}})},
    };
    struct Place {
        const char* name;
        double latitude, longitude;
    };
    const Place places[] = {
        {"equator", 0.0025, 30.0},
        {"52 N", 52.17, 21.08},
        {"65 N", 65.0, 25.5},
        {"across 51 N 17 E", 51.0, 17.0},  // the track straddles both whole-degree lines
    };
    struct Box {
        int width, height, margin;
    };
    const Box boxes[] = {{887, 470, 10}, {400, 600, 25}, {712, 540, 10}};
    // Metres per degree of latitude on the sphere of the extent labels.
    const double perDegree = 1000 * 3.14159265358979 * 12756.274 / 360;

    MemTable t(QStringLiteral("memdane"), GpsPointFields(true));
    t.Open();
    for (const Shape& shape : shapes)
        for (const Place& place : places)
            for (const Box& box : boxes) {
                const std::string what = std::string(shape.name) + " at " + place.name + " in " +
                                         std::to_string(box.width) + " x " + std::to_string(box.height);
                t.Close();
                t.Open();
                MapExtent extent;
                double west = 1e9, east = -1e9, south = 1e9, north = -1e9;
                for (const QPointF& m : shape.metres) {
                    const double lat = place.latitude + m.y() / perDegree;
                    const double lon =
                        place.longitude + m.x() / (perDegree * std::cos(place.latitude * 3.14159265358979 / 180));
                    const int x = MapCoordinate(uint32_t(kromsim::PackCoordinate(lat)));
                    const int y = MapCoordinate(uint32_t(kromsim::PackCoordinate(lon)));
                    ASSERT_TRUE(x > 0 && y > 0) << what;
                    const int r = t.AppendRow();
                    t.SetIntAt(r, gpGpsx, x);
                    t.SetIntAt(r, gpGpsy, y);
                    extent.Add(x, y);
                    west = std::min(west, m.x());
                    east = std::max(east, m.x());
                    south = std::min(south, m.y());
                    north = std::max(north, m.y());
                }
                ProjectPoints(t, FitToBox(box.width, box.height, box.margin, extent));

                std::vector<QPointF> drawn;
                int minX = 1 << 30, maxX = -1, minH = 1 << 30, maxH = -1;
                for (int r = 0; r < t.RecordCount(); ++r) {
                    const int x = t.IntAt(r, gpXobr), h = t.IntAt(r, gpYobr);
                    drawn.emplace_back(x, h);
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                    minH = std::min(minH, h);
                    maxH = std::max(maxH, h);
                }
                // Inside the margin, filling the box one way.
                EXPECT_GE(minX, 0) << what;
                EXPECT_LE(maxX, box.width - box.margin) << what;
                EXPECT_GE(minH, 0) << what;
                EXPECT_LE(maxH, box.height - box.margin) << what;
                EXPECT_TRUE(maxX - minX == box.width - 2 * box.margin || maxH - minH == box.height - 2 * box.margin)
                    << what;
                // One scale in metres: the drawn box has the track's shape.
                const double drawnRatio = double(maxX - minX) / (maxH - minH);
                const double trueRatio = (east - west) / (north - south);
                EXPECT_NEAR(drawnRatio / trueRatio, 1.0, 0.02) << what << ": " << maxX - minX << " x " << maxH - minH;
                // North is higher, east to the right.
                for (size_t i = 0; i < drawn.size(); ++i)
                    for (size_t j = 0; j < drawn.size(); ++j) {
                        const QPointF d = shape.metres[j] - shape.metres[i];
                        if (d.y() > 5) {
                            ASSERT_GT(drawn[j].y(), drawn[i].y()) << what << ": " << j << " north of " << i;
                        }
                        if (d.x() > 5) {
                            ASSERT_GT(drawn[j].x(), drawn[i].x()) << what << ": " << j << " east of " << i;
                        }
                    }
                // Driven the same way round.
                EXPECT_EQ(SignedArea(drawn) > 0, SignedArea(shape.metres) > 0) << what;
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

    // Evenly spaced fixes 0.1 minute of latitude apart stay evenly spaced
    // up the map.
    ProjectPoints(memdane, FitToBox(887, 470, 10, extent.map));
    std::vector<int> h;
    for (int r = 0; r < 4; ++r)
        h.push_back(memdane.IntAt(r, gpYobr));
    EXPECT_EQ(h, (std::vector<int>{10, 160, 310, 460}));
    // All on one longitude: in the middle across the map.
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(memdane.IntAt(r, gpXobr), 444);
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
    EXPECT_EQ(memdane.IntAt(0, gpXobr), 444);  // 10 + 867 / 2 = 443.5 -> 444
    EXPECT_EQ(memdane.IntAt(0, gpYobr), 235);

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
    EXPECT_EQ(first->marker, QPoint(444, 10));  // the southern end of a north-south line

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
