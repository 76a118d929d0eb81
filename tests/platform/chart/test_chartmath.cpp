// Chart arithmetic: mapping round trips, the per-column reduction, the
// cursor's bisection, segment clipping, automatic axis ranges, ticks and the
// zoom history.
#include "platform/chart/chartmath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <ostream>
#include <set>
#include <vector>

// Readable failure messages for ranges.
static void PrintTo(const AxisRange& r, std::ostream* os)
{
    *os << "{" << r.min << ", " << r.max << "}";
}

namespace {

ColumnView Doubles(const std::vector<double>& v)
{
    return {ColumnStorage::Float64, v.data(), 0, int(v.size())};
}

ColumnPoints Owned(const std::vector<double>& x, const std::vector<double>& y)
{
    ColumnPoints p;
    p.x = Doubles(x);
    p.y = Doubles(y);
    p.count = int(x.size());
    return p;
}

// ----------------------------------------------------------------- mapping

TEST(ChartMapping, RoundTripsAndEdges)
{
    struct Case {
        QRect plot;
        AxisRange x, y;
    };
    const Case cases[] = {
        {QRect(0, 0, 1600, 900), {0, 300000}, {0, 1000}},
        {QRect(96, 24, 701, 333), {-50, 50}, {-3, 3}},
        {QRect(10, 10, 50, 40), {1e6, 1e6 + 7}, {100, 101}},
    };
    for (const Case& c : cases) {
        const ChartMapping m(c.plot, c.x, c.y);
        EXPECT_EQ(m.XToScreen(c.x.min), c.plot.left());
        EXPECT_EQ(m.XToScreen(c.x.max), c.plot.right());
        EXPECT_EQ(m.YToScreen(c.y.min), c.plot.bottom());
        EXPECT_EQ(m.YToScreen(c.y.max), c.plot.top());
        for (int px = c.plot.left(); px <= c.plot.right(); ++px)
            ASSERT_EQ(m.XToScreen(m.ScreenToX(px)), px);
        for (int py = c.plot.top(); py <= c.plot.bottom(); ++py)
            ASSERT_EQ(m.YToScreen(m.ScreenToY(py)), py);
        // Values between pixels: the pixel found is the nearest one.
        const double v = c.x.min + c.x.Span() * 0.37;
        EXPECT_LE(std::abs(m.XPos(v) - m.XToScreen(v)), 0.5);
    }
}

TEST(ChartMapping, FarValuesAndEmptyRangesStayFinite)
{
    const ChartMapping m(QRect(0, 0, 100, 100), {0, 1}, {0, 1});
    EXPECT_LE(m.XToScreen(1e300), int(ChartMapping::kFar) + 1);
    EXPECT_GE(m.YToScreen(1e300), -int(ChartMapping::kFar) - 1);
    EXPECT_EQ(m.XToScreen(std::nan("")), 0);
    const ChartMapping flat(QRect(5, 5, 100, 100), {3, 3}, {7, 7});
    EXPECT_EQ(flat.XToScreen(3), 5);
    EXPECT_EQ(flat.ScreenToX(80), 3);
    EXPECT_EQ(flat.ScreenToY(80), 7);
}

// --------------------------------------------------------- visible points

TEST(ChartPoints, VisibleRangeAndAffineMaps)
{
    const std::vector<double> x{10, 20, 20, 30, 40}, y{1, 2, 3, 4, 5};
    const ColumnPoints p = Owned(x, y);
    struct Case {
        AxisRange range;
        int first, last;
    };
    const Case cases[] = {
        {{0, 100}, 0, 4}, {{20, 30}, 1, 3}, {{21, 29}, 3, 2}, {{41, 50}, 5, 4}, {{0, 9}, 0, -1}, {{40, 40}, 4, 4},
    };
    for (const Case& c : cases) {
        const IndexRange r = VisibleRange(p, c.range);
        EXPECT_EQ(r.first, c.first) << c.range.min << ".." << c.range.max;
        EXPECT_EQ(r.last, c.last) << c.range.min << ".." << c.range.max;
    }

    // A lap drawn from its start: x = data - 1500; a channel in g scaled
    // to 0..1000 over -3..3: (v / 100 + 3) * 1000 / 6.
    const std::vector<int32_t> data{1400, 1500, 1600, 9000};
    const std::vector<int16_t> acc{0, 150, -300, 300};
    ColumnPoints lap;
    lap.x = {ColumnStorage::Int32, data.data(), 0, 4};
    lap.y = {ColumnStorage::Int16, acc.data(), 0, 4};
    lap.first = 1;
    lap.count = 3;
    lap.xMap = {1500, 1};
    lap.yMap = {-300, 1000.0 / 600.0};
    EXPECT_EQ(lap.X(0), 0);
    EXPECT_EQ(lap.X(2), 7500);
    EXPECT_NEAR(lap.Y(0), 750, 1e-9);
    EXPECT_NEAR(lap.Y(1), 0, 1e-9);
    EXPECT_NEAR(lap.yMap.Inverse(lap.Y(0)), 150, 1e-9);
    EXPECT_EQ(VisibleRange(lap, {0, 100}).first, 0);
}

// The cursor's search: the exact point, else the next one right of x,
// never before the second visible point nor after the last.
TEST(ChartPoints, NearestPointBisection)
{
    const std::vector<double> x{10, 20, 30, 40, 50}, y(5, 0);
    const ColumnPoints p = Owned(x, y);
    struct Case {
        double x;
        int lo, hi, expected;
    };
    const Case cases[] = {
        {5, 0, 4, 1},    // left of everything: the second point
        {10, 0, 4, 1},   // exactly the first point: still the second
        {15, 0, 4, 1},   // left of the second point
        {20, 0, 4, 1},   // exact match
        {25, 0, 4, 2},   // between: the right neighbour
        {30, 0, 4, 2},   // exact match in the middle
        {40, 0, 4, 3},   // exact match found on the way
        {49.9, 0, 4, 4}, // just left of the last
        {50, 0, 4, 4},   // the last
        {99, 0, 4, 4},   // right of the last
        {5, 1, 3, 2},    // a visible part: never before its second point
        {45, 1, 3, 3},   // nor after its last
        {30, 2, 2, -1},  // one visible point: no result
        {30, 0, -1, -1}, // none visible
        {15, 0, 1, 1},   // two points
    };
    for (const Case& c : cases)
        EXPECT_EQ(NearestPointIndex(p, c.x, c.lo, c.hi), c.expected) << c.x << " in " << c.lo << ".." << c.hi;
}

// ------------------------------------------------------------- reduction

// Every pixel column of the reduced series keeps the first, last, lowest
// and highest point of the samples in that column, in series order.
TEST(ChartReduction, KeepsExtremesAndEndsOfEveryColumn)
{
    const int n = 200000;
    std::vector<int32_t> time(n);
    std::vector<int16_t> rpm(n);
    std::vector<int8_t> small(n);
    uint32_t seed = 12345;
    for (int i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        time[size_t(i)] = i * 10 + int(seed % 7);  // ascending, uneven
        rpm[size_t(i)] = int16_t(8000 + int(seed >> 20) % 6000 - 3000);
        small[size_t(i)] = int8_t(int(seed >> 24) - 128);
    }
    struct Case {
        ColumnView y;
        AxisRange xr;
        int width;
    };
    const Case cases[] = {
        {{ColumnStorage::Int16, rpm.data(), 0, n}, {0, 2000000}, 400},
        {{ColumnStorage::Int8, small.data(), 0, n}, {0, 2000000}, 157},
        {{ColumnStorage::Int16, rpm.data(), 0, n}, {300000, 700000}, 300},     // zoomed: a part of the rows
        {{ColumnStorage::Uniform, nullptr, 42, n}, {0, 2000000}, 200},          // one value everywhere
    };
    for (const Case& c : cases) {
        ColumnPoints p;
        p.x = {ColumnStorage::Int32, time.data(), 0, n};
        p.y = c.y;
        p.count = n;
        p.yMap = {5000, 0.1};
        const ChartMapping m(QRect(20, 10, c.width, 300), c.xr, {-400, 400});
        std::vector<QPointF> out;
        DecimateToPixels(p, m, out);
        ASSERT_LE(out.size(), size_t(4 * (c.width + 2)));

        // Expected per column, over the visible points plus one each side.
        const IndexRange vis = VisibleRange(p, c.xr);
        const int lo = std::max(0, vis.first - 1), hi = std::min(n - 1, vis.last + 1);
        std::map<int, std::vector<int>> columns;
        for (int i = lo; i <= hi; ++i)
            columns[m.XToScreen(p.X(i))].push_back(i);
        std::multiset<std::pair<double, double>> got;
        for (const QPointF& q : out)
            got.insert({q.x(), q.y()});
        for (const auto& [column, rows] : columns) {
            auto pos = [&](int i) { return std::pair(m.XPos(p.X(i)), m.YPos(p.Y(i))); };
            double yLow = -1e300, yHigh = 1e300;
            for (int i : rows) {
                yLow = std::max(yLow, m.YPos(p.Y(i)));
                yHigh = std::min(yHigh, m.YPos(p.Y(i)));
            }
            ASSERT_TRUE(got.count(pos(rows.front()))) << "first of column " << column;
            ASSERT_TRUE(got.count(pos(rows.back()))) << "last of column " << column;
            bool low = false, high = false;
            for (const QPointF& q : out)
                if (m.XToScreen(p.X(rows.front())) == int(std::floor(q.x() + 0.5))) {
                    low = low || q.y() == yLow;
                    high = high || q.y() == yHigh;
                }
            ASSERT_TRUE(low && high) << "extremes of column " << column;
        }
        // Series order: x never goes back.
        for (size_t i = 1; i < out.size(); ++i)
            ASSERT_LE(out[i - 1].x(), out[i].x());
    }
}

TEST(ChartReduction, FewPointsAreTakenUnchangedWithOneEachSide)
{
    std::vector<double> x, y;
    for (int i = 0; i < 1000; ++i) {
        x.push_back(i);
        y.push_back(i % 17);
    }
    const ColumnPoints p = Owned(x, y);
    // 101 visible points plus one each side on a plot 100 wide (<= 400).
    const ChartMapping m(QRect(0, 0, 100, 100), {200, 300}, {0, 20});
    std::vector<QPointF> out;
    DecimateToPixels(p, m, out);
    ASSERT_EQ(out.size(), 103u);
    EXPECT_EQ(out.front(), QPointF(m.XPos(199), m.YPos(199 % 17)));
    EXPECT_EQ(out.back(), QPointF(m.XPos(301), m.YPos(301 % 17)));

    out.clear();
    DecimateToPixels(Owned({}, {}), m, out);
    EXPECT_TRUE(out.empty());
    // All points left of the range: only the last one, the line's stub.
    DecimateToPixels(p, ChartMapping(QRect(0, 0, 100, 100), {5000, 6000}, {0, 20}), out);
    EXPECT_EQ(out.size(), 1u);
}

TEST(ChartReduction, SegmentsAreClippedToThePlot)
{
    const QRectF clip(0, 0, 100, 100);
    std::vector<QLine> lines;
    ClipSegments({{-50, 50}, {50, 50}, {50, 150}, {200, 150}, {80, 20}}, clip, lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], QLine(0, 50, 50, 50));    // cut at the left edge
    EXPECT_EQ(lines[1], QLine(50, 50, 50, 100));  // cut at the bottom
    // (50,150)-(200,150) lies wholly outside; (200,150)-(80,20) is cut twice.
    EXPECT_EQ(lines[2].p2(), QPoint(80, 20));
    EXPECT_EQ(lines[2].p1().x(), 100);
    // Far-off pixel positions do not overflow.
    lines.clear();
    ClipSegments({{-1e7, 50}, {1e7, 60}}, clip, lines);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].p1().x(), 0);
    EXPECT_EQ(lines[0].p2().x(), 100);
}

// The pixels of a one-pixel line as one span per column: a shallow line
// takes one pixel per column, a steep one runs from row to row, vertical
// parts fill between their ends; columns outside are not touched.
TEST(ChartReduction, SpansOfAPolyline)
{
    std::vector<int> top, bottom;
    ASSERT_TRUE(PolylineSpans({{0, 10}, {10, 10}, {10, 30}, {12, 0}, {100, 0}}, 2, 12, top, bottom));
    ASSERT_EQ(top.size(), 12u);
    for (int c = 2; c <= 9; ++c) {  // the flat part
        EXPECT_EQ(top[size_t(c - 2)], 10) << c;
        EXPECT_EQ(bottom[size_t(c - 2)], 10) << c;
    }
    EXPECT_EQ(top[8], 10);       // column 10: the vertical part and the start of the steep one
    EXPECT_EQ(bottom[8], 30);
    EXPECT_EQ(top[9], 8);        // column 11: from 22.5 down to 7.5
    EXPECT_EQ(bottom[9], 23);
    EXPECT_EQ(top[10], 0);       // column 12
    EXPECT_EQ(bottom[10], 8);
    EXPECT_EQ(top[11], 0);       // column 13: flat again
    EXPECT_EQ(bottom[11], 0);

    // A line that starts far left crosses every column once; one that
    // lies wholly outside leaves them untouched.
    ASSERT_TRUE(PolylineSpans({{-1e7, 50}, {1e7, 50}}, 0, 5, top, bottom));
    EXPECT_EQ(top, (std::vector<int>(5, 50)));
    ASSERT_TRUE(PolylineSpans({{200, 5}, {300, 5}}, 0, 5, top, bottom));
    EXPECT_GT(top[0], bottom[0]);
    // x going back: not a series the spans can draw.
    EXPECT_FALSE(PolylineSpans({{5, 5}, {3, 5}}, 0, 10, top, bottom));
}

// -------------------------------------------------------- automatic ranges

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

TEST(ChartAutomaticRange, ZeroWidthInvertedAndEndlessRangesAreWidened)
{
    struct Case {
        AxisRange in, want;
    };
    const Case cases[] = {
        {{1, 3}, {1, 3}},          // a proper range stays
        {{2, 2}, {1, 3}},          // zero width: +-1 around the value
        {{3, 1}, {2, 4}},          // inverted: +-1 around its minimum
        {{kNaN, 5}, {-1, 1}},      // minimum not a number: around 0
        {{kInf, -kInf}, {-1, 1}},  // the empty extent
        {{-kInf, -kInf}, {-1, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WidenRange(c.in), c.want) << c.in.min << " .. " << c.in.max;
}

TEST(ChartAutomaticRange, BottomAndLeftAxesFromTheExtent)
{
    struct Case {
        const char* what;
        AxisRange extent;
        bool bars;
        double barStep;
        AxisRange wantX, wantY;
    };
    const Case cases[] = {
        {"no data", NoExtent(), false, 0, {0, 1}, {0, 1}},
        {"no data, bars", NoExtent(), true, 2, {0, 1}, {0, 1}},
        {"lines", {2, 8}, false, 0, {2, 8}, {2, 8}},
        {"one value", {5, 5}, false, 0, {4, 6}, {4, 6}},
        {"bars", {2, 8}, true, 2, {1, 9}, {0, 8}},
        {"bars below zero", {-5, -1}, true, 1, {-5.5, -0.5}, {-5, 0}},
        {"one bar", {5, 5}, true, 1, {4.5, 5.5}, {0, 5}},
        {"bars of height zero", {0, 0}, true, 1, {-0.5, 0.5}, {-1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(AutomaticXRange(c.extent, c.bars, c.barStep), c.wantX);
        EXPECT_EQ(AutomaticYRange(c.extent, c.bars), c.wantY);
    }
}

TEST(ChartAutomaticRange, ExtentsOfPoints)
{
    const std::vector<double> x{0, 2, 4, 9}, y{1, 5, 3, -2};
    ColumnPoints p = Owned(x, y);
    // A line's x extent is its first and last point; other kinds look at
    // every point, in any order.
    p.first = 1;
    p.count = 2;
    EXPECT_EQ(PointsXExtent(p, true), (AxisRange{2, 4}));
    const std::vector<double> shuffled{4, 1, 9, 3};
    const ColumnPoints bars = Owned(shuffled, y);
    EXPECT_EQ(PointsXExtent(bars, false), (AxisRange{1, 9}));
    EXPECT_EQ(PointsXExtent(ColumnPoints{}, true), NoExtent());

    // y through its map: a negative scale swaps the extremes.
    EXPECT_EQ(PointsYExtent(p), (AxisRange{3, 5}));
    p.yMap = {1, -2};
    EXPECT_EQ(PointsYExtent(p), (AxisRange{-8, -4}));

    // NaN samples are passed over; a series of nothing but NaN adds no
    // extent and leaves the other series' range finite.
    const std::vector<double> gaps{kNaN, 7, kNaN, 2}, none{kNaN, kNaN, kNaN, kNaN};
    EXPECT_EQ(PointsYExtent(Owned(x, gaps)), (AxisRange{2, 7}));
    const AxisRange empty = PointsYExtent(Owned(x, none));
    EXPECT_EQ(empty, NoExtent());
    EXPECT_EQ(AutomaticYRange(UniteExtents(empty, {2, 7}), false), (AxisRange{2, 7}));
    EXPECT_EQ(AutomaticYRange(empty, false), (AxisRange{0, 1}));
}

TEST(ChartAutomaticRange, BarStepIsTheSmallestDistance)
{
    struct Case {
        std::vector<double> values;
        double step;
    };
    const Case cases[] = {
        {{}, 1}, {{3}, 1}, {{2, 2, 2}, 1}, {{5, 1, 3}, 2}, {{1, 1, 4, 4.5}, 0.5}, {{10, -2, 0}, 2},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(SmallestStep(c.values), c.step) << c.values.size();
}

TEST(ChartAutomaticRange, RoomForUprightLabelsAboveTheBars)
{
    struct Case {
        AxisRange y;
        int room, plotHeight;
        AxisRange want;
    };
    const Case cases[] = {
        {{0, 8}, 20, 100, {0, 10}},   // the old top now 20 px below the top
        {{0, 8}, 0, 100, {0, 8}},     // no labels turned upright
        {{0, 8}, 20, 40, {0, 8}},     // plot not more than twice the room
        {{0, 11}, 10, 21, {0, 21}},
        {{-8, 0}, 20, 100, {-8, 0}},  // nothing above zero
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithLabelRoom(c.y, c.room, c.plotHeight), c.want) << c.room << " px of " << c.plotHeight;
}

// ---------------------------------------------------------- ticks, zoom

TEST(ChartTicks, StepsValuesAndLabels)
{
    struct Case {
        double minStep, step;
    };
    for (const Case& c : {Case{0.7, 1}, {1, 1}, {1.2, 2}, {3, 5}, {7, 10}, {1800, 2000}, {0.013, 0.02}, {0, 1}})
        EXPECT_DOUBLE_EQ(NiceStep(c.minStep), c.step) << c.minStep;
    EXPECT_EQ(TickValues({-3, 3}, 2), (std::vector<double>{-2, 0, 2}));
    EXPECT_EQ(TickValues({0, 1000}, 250), (std::vector<double>{0, 250, 500, 750, 1000}));
    EXPECT_TRUE(TickValues({5, 1}, 1).empty());
    EXPECT_EQ(TickLabel(20000, 5000), QStringLiteral("20000"));
    EXPECT_EQ(TickLabel(0.25, 0.05), QStringLiteral("0.25"));
    EXPECT_EQ(TickLabel(-0.0000001, 0.1), QStringLiteral("0.0"));
}

TEST(ChartZoomHistory, UndoStepsBackThroughEveryZoom)
{
    ZoomHistory h;
    ChartView v;
    EXPECT_FALSE(h.Pop(v));
    const ChartView a{{0, 100}, {0, 1000}, true, false};
    const ChartView b{{10, 50}, {100, 900}, false, false};
    const ChartView c{{20, 30}, {200, 300}, false, false};
    h.Push(a);
    h.Push(b);
    h.Push(c);
    EXPECT_EQ(h.Depth(), 3);
    ASSERT_TRUE(h.Pop(v));
    EXPECT_EQ(v, c);
    ASSERT_TRUE(h.Pop(v));
    EXPECT_EQ(v, b);
    ASSERT_TRUE(h.Pop(v));
    EXPECT_EQ(v, a);
    EXPECT_FALSE(h.Pop(v));
    EXPECT_EQ(v, a);
}

}  // namespace
