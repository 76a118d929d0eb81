#pragma once
// The widget-free half of the chart: screen <-> value mapping of a plot
// rectangle, the points of a series as typed columns with affine maps (no
// copy of the samples), the visible range and the nearest-point search,
// the per-pixel-column reduction of long series for drawing, clipping of
// segments to the plot, the automatic axis ranges, axis tick steps and the
// zoom history.
//
// Everything here is plain arithmetic over ColumnView; the widget (chart.h)
// and the analysis windows share it, so drawing, markers, the cursor and
// the read-out all use the same numbers.
#include <QLine>
#include <QPointF>
#include <QRect>
#include <QString>

#include <vector>

#include "platform/columnview.h"

// value -> (value - offset) * scale.  Series use it to turn stored samples
// into chart values: a channel scaled into a common height, a time measured
// from a lap's start.
struct Affine {
    double offset = 0;
    double scale = 1;
    double operator()(double v) const { return (v - offset) * scale; }
    // The stored value of a chart value; a map of scale 0 gives offset.
    double Inverse(double y) const { return scale == 0 ? offset : y / scale + offset; }
};

struct AxisRange {
    double min = 0;
    double max = 1;
    double Span() const { return max - min; }
    bool operator==(const AxisRange&) const = default;
};

// Screen <-> value conversion for one plot rectangle and the two axis
// ranges.  The bottom axis' minimum lies on the plot's left pixel column,
// its maximum on the right one (QRect::right); the left axis' minimum on
// the bottom pixel row, its maximum on the top one.  Positions are rounded
// to the nearest pixel; far-off values are held within +-kFar pixels of the
// plot so that integer positions never overflow.
class ChartMapping {
public:
    static constexpr double kFar = 1.0e7;

    ChartMapping() = default;
    ChartMapping(const QRect& plot, const AxisRange& x, const AxisRange& y);

    const QRect& Plot() const { return plot_; }
    const AxisRange& X() const { return x_; }
    const AxisRange& Y() const { return y_; }

    // Exact (fractional) pixel positions, not rounded, held within kFar.
    double XPos(double value) const;
    double YPos(double value) const;
    // Rounded pixel positions (the screen position of a value).
    int XToScreen(double value) const;
    int YToScreen(double value) const;
    // The value under a pixel position.
    double ScreenToX(double px) const;
    double ScreenToY(double py) const;

    bool operator==(const ChartMapping&) const = default;

private:
    QRect plot_;
    AxisRange x_, y_;
    double xk_ = 0, yk_ = 0;  // pixels per unit
    double xu_ = 0, yu_ = 0;  // units per pixel (exact where the span is a whole multiple of the pixels)
};

// The points of a series: rows [first, first + count) of an x column and a
// y column, each through its affine map.  The x values must not decrease
// (a positive x scale over rows in ascending order of time).  Owned point
// vectors use Float64 views over the vectors.
struct ColumnPoints {
    ColumnView x;
    ColumnView y;
    int first = 0;
    int count = 0;
    Affine xMap;
    Affine yMap;

    double X(int i) const { return xMap(x.At(first + i)); }
    double Y(int i) const { return yMap(y.At(first + i)); }
    // The y value as stored, before its map.
    double StoredY(int i) const { return y.At(first + i); }
};

// Indices of the points with min <= x <= max; first > last when none.
struct IndexRange {
    int first = 0;
    int last = -1;
    int Count() const { return last >= first ? last - first + 1 : 0; }
};
IndexRange VisibleRange(const ColumnPoints& points, const AxisRange& x);

// The cursor's nearest-point search over the points lo..hi (the visible
// ones): the point exactly at x, otherwise the first point right of x, but
// never before lo + 1 and never after hi; -1 when fewer than two points
// are given (hi <= lo).  Bisection: mid = lo + (hi - lo) / 2; mid = lo
// gives hi; x(mid) > x moves hi, x(mid) < x moves lo, equal gives mid.
int NearestPointIndex(const ColumnPoints& points, double x, int lo, int hi);

// Reduces the points of the visible x range (plus one point each side, so
// lines run on to the plot's edges) to what one pixel column can show:
// per column the first, the lowest, the highest and the last point, in
// their order in the series.  When at most 4 x plot width points are
// visible they are taken unchanged.  Output: exact pixel positions
// (ChartMapping::XPos / YPos), in series order.
void DecimateToPixels(const ColumnPoints& points, const ChartMapping& mapping, std::vector<QPointF>& out);

// Segments between consecutive pixel positions, each clipped to the
// rectangle (Liang-Barsky) and rounded; segments wholly outside are left
// out.  Drawn with QPainter::drawLines: wide pens stroke each segment on
// its own, far faster than one long polyline.
void ClipSegments(const std::vector<QPointF>& pixels, const QRectF& clip, std::vector<QLine>& out);

// The pixels a one-pixel polyline covers, as one vertical span per pixel
// column x0 .. x0 + columns - 1: top[k] .. bottom[k] (rounded rows) for
// column x0 + k; columns it does not reach keep top > bottom.  The x of the
// points must not decrease (false, and the spans unusable, when one does):
// then each column's pixels form one span, and filling the spans draws the
// line far faster than stroking it when dense data covers whole columns.
bool PolylineSpans(const std::vector<QPointF>& pixels, int x0, int columns, std::vector<int>& top,
                   std::vector<int>& bottom);

// A step of 1, 2 or 5 times a power of ten that is at least minStep.
double NiceStep(double minStep);
// Tick values of a range at that step (multiples of step within the range).
std::vector<double> TickValues(const AxisRange& range, double step);
// Tick label text: as many decimals as the step needs.
QString TickLabel(double value, double step);
// A number's text without the minus of a value that shows as zero: "-0"
// and "-0.0" become "0" and "0.0"; other texts stay as they are.
QString UnsignedZero(QString text);

// Automatic axis ranges.  An extent is the lowest and highest chart value
// of the visible series on one axis; {+inf, -inf} when there is none.
AxisRange NoExtent();
// The x extent of points: of a line (x not decreasing) its first and last
// point, of other kinds every point.
AxisRange PointsXExtent(const ColumnPoints& points, bool ordered);
// The y extent of points: the extremes of the stored values through the y
// map (an affine map takes the extremes to the extremes); NaN values are
// passed over, and points without a number give no extent.
AxisRange PointsYExtent(const ColumnPoints& points);
// The smaller minimum and the larger maximum of the two.
AxisRange UniteExtents(const AxisRange& a, const AxisRange& b);
// The smallest positive distance between any two of the values (in any
// order); 1 when there is none.  Bars are drawn this wide.
double SmallestStep(std::vector<double> values);
// A range of zero width, inverted or not finite becomes value +-1 around its
// minimum (0 when that is not finite); a range with max > min stays.
AxisRange WidenRange(AxisRange r);
// An automatic bottom axis: the x extent, half a bar step wider each side
// when bars are shown, then widened; {0, 1} without data.
AxisRange AutomaticXRange(const AxisRange& extent, bool bars, double barStep);
// An automatic left axis: the y extent, reaching to zero when bars are
// shown, then widened; {0, 1} without data.
AxisRange AutomaticYRange(const AxisRange& extent, bool bars);
// Room above the highest bar for labels turned upright, `room` pixels of a
// plot `plotHeight` high: the maximum rises so that the old maximum lies
// `room` pixels below the top.  Only for ranges above zero and plots more
// than twice the room high; otherwise the range stays.
AxisRange WithLabelRoom(AxisRange y, int room, int plotHeight);

// The history of zoomed views: every zoom pushes the view it leaves; undo
// pops the last one.  A view records whether each axis was automatic.
struct ChartView {
    AxisRange x, y;
    bool xAutomatic = true;
    bool yAutomatic = true;
    bool operator==(const ChartView&) const = default;
};

class ZoomHistory {
public:
    void Push(const ChartView& left) { views_.push_back(left); }
    // The view to return to; false when nothing is zoomed.
    bool Pop(ChartView& view);
    int Depth() const { return int(views_.size()); }
    void Clear() { views_.clear(); }

private:
    std::vector<ChartView> views_;
};
