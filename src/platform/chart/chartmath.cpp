#include "platform/chart/chartmath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

double Clamp(double v, double centre)
{
    return std::clamp(v, centre - ChartMapping::kFar, centre + ChartMapping::kFar);
}

int RoundPixel(double v) { return int(std::floor(v + 0.5)); }

}  // namespace

// ---------------------------------------------------------------- mapping

ChartMapping::ChartMapping(const QRect& plot, const AxisRange& x, const AxisRange& y) : plot_(plot), x_(x), y_(y)
{
    xk_ = x.Span() > 0 ? (plot.width() - 1) / x.Span() : 0;
    yk_ = y.Span() > 0 ? (plot.height() - 1) / y.Span() : 0;
    xu_ = plot.width() > 1 ? x.Span() / (plot.width() - 1) : 0;
    yu_ = plot.height() > 1 ? y.Span() / (plot.height() - 1) : 0;
}

double ChartMapping::XPos(double value) const
{
    if (std::isnan(value))
        return plot_.left();
    return Clamp(plot_.left() + (value - x_.min) * xk_, plot_.left());
}

double ChartMapping::YPos(double value) const
{
    if (std::isnan(value))
        return plot_.bottom();
    return Clamp(plot_.bottom() - (value - y_.min) * yk_, plot_.bottom());
}

int ChartMapping::XToScreen(double value) const { return RoundPixel(XPos(value)); }
int ChartMapping::YToScreen(double value) const { return RoundPixel(YPos(value)); }

double ChartMapping::ScreenToX(double px) const { return x_.min + (px - plot_.left()) * xu_; }

double ChartMapping::ScreenToY(double py) const { return y_.min + (plot_.bottom() - py) * yu_; }

// ------------------------------------------------------- visible points

namespace {

// First index whose x is >= v (count when none); x does not decrease.
int LowerBound(const ColumnPoints& p, double v)
{
    int lo = 0, hi = p.count;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (p.X(mid) < v)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// First index whose x is > v.
int UpperBound(const ColumnPoints& p, double v)
{
    int lo = 0, hi = p.count;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (p.X(mid) <= v)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

}  // namespace

IndexRange VisibleRange(const ColumnPoints& points, const AxisRange& x)
{
    if (points.count <= 0)
        return {};
    return {LowerBound(points, x.min), UpperBound(points, x.max) - 1};
}

int NearestPointIndex(const ColumnPoints& points, double x, int lo, int hi)
{
    while (hi > lo) {
        const int mid = lo + (hi - lo) / 2;
        if (mid == lo)
            return hi;
        const double xm = points.X(mid);
        if (xm > x)
            hi = mid;
        else if (xm < x)
            lo = mid;
        else
            return mid;
    }
    return -1;
}

// ------------------------------------------------------------ reduction

namespace {

template <class XA, class YA>
void Reduce(XA xs, YA ys, const ColumnPoints& p, int lo, int hi, const ChartMapping& m, std::vector<QPointF>& out)
{
    const int base = p.first;
    auto at = [&](int i) { return QPointF(m.XPos(p.xMap(xs[base + i])), m.YPos(p.yMap(ys[base + i]))); };

    if (hi - lo + 1 <= 4 * std::max(1, m.Plot().width())) {
        out.reserve(out.size() + size_t(hi - lo + 1));
        for (int i = lo; i <= hi; ++i)
            out.push_back(at(i));
        return;
    }
    out.reserve(out.size() + size_t(4 * m.Plot().width() + 8));

    // Per pixel column: first, lowest, highest and last point.  The scan
    // works on the stored values: the column from the same arithmetic as
    // XPos, the extremes from the values themselves (the y map is affine,
    // so the extremes of the values are the extremes on screen).
    const double left = m.Plot().left(), xmin = m.X().min;
    const double xk = m.X().Span() > 0 ? (m.Plot().width() - 1) / m.X().Span() : 0;
    const double xoff = p.xMap.offset, xscale = p.xMap.scale;
    auto column = [&](int i) { return left + ((double(xs[base + i]) - xoff) * xscale - xmin) * xk; };

    // Columns are found by bisection on x (sorted); within a column only
    // the y values are scanned.
    for (int cur = lo; cur <= hi;) {
        const double edge = std::floor(column(cur) + 0.5) + 0.5;  // where the next column begins
        int a = cur + 1, b = hi + 1;
        while (a < b) {
            const int mid = a + (b - a) / 2;
            if (column(mid) < edge)
                a = mid + 1;
            else
                b = mid;
        }
        const int end = a;
        // Compared in the column's own type, without branches.
        int low = cur, high = cur;
        auto lowValue = ys[base + cur], highValue = lowValue;
        for (int i = cur + 1; i < end; ++i) {
            const auto v = ys[base + i];
            const bool below = v < lowValue, above = v > highValue;
            lowValue = below ? v : lowValue;
            low = below ? i : low;
            highValue = above ? v : highValue;
            high = above ? i : high;
        }
        int order[4] = {cur, std::min(low, high), std::max(low, high), end - 1};
        int previous = -1;
        for (int i : order)
            if (i != previous) {
                out.push_back(at(i));
                previous = i;
            }
        cur = end;
    }
}

}  // namespace

void DecimateToPixels(const ColumnPoints& points, const ChartMapping& mapping, std::vector<QPointF>& out)
{
    if (points.count <= 0)
        return;
    const IndexRange visible = VisibleRange(points, mapping.X());
    // One point each side of the visible ones: the lines run on to the edges.
    const int lo = std::max(0, std::min(visible.first, points.count) - 1);
    const int hi = std::min(points.count - 1, std::max(visible.last, -1) + 1);
    if (hi < lo)
        return;
    points.x.Visit([&](auto xs) {
        points.y.Visit([&](auto ys) { Reduce(xs, ys, points, lo, hi, mapping, out); });
    });
}

void ClipSegments(const std::vector<QPointF>& pixels, const QRectF& clip, std::vector<QLine>& out)
{
    const double xmin = clip.left(), xmax = clip.right(), ymin = clip.top(), ymax = clip.bottom();
    out.reserve(out.size() + pixels.size());
    for (size_t i = 1; i < pixels.size(); ++i) {
        const QPointF a = pixels[i - 1], b = pixels[i];
        const double dx = b.x() - a.x(), dy = b.y() - a.y();
        double t0 = 0, t1 = 1;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {a.x() - xmin, xmax - a.x(), a.y() - ymin, ymax - a.y()};
        bool inside = true;
        for (int k = 0; k < 4 && inside; ++k) {
            if (p[k] == 0) {
                if (q[k] < 0)
                    inside = false;
            } else {
                const double t = q[k] / p[k];
                if (p[k] < 0)
                    t0 = std::max(t0, t);
                else
                    t1 = std::min(t1, t);
                if (t0 > t1)
                    inside = false;
            }
        }
        if (!inside)
            continue;
        out.emplace_back(RoundPixel(a.x() + t0 * dx), RoundPixel(a.y() + t0 * dy), RoundPixel(a.x() + t1 * dx),
                         RoundPixel(a.y() + t1 * dy));
    }
}

bool PolylineSpans(const std::vector<QPointF>& pixels, int x0, int columns, std::vector<int>& top,
                   std::vector<int>& bottom)
{
    top.assign(size_t(std::max(0, columns)), std::numeric_limits<int>::max());
    bottom.assign(size_t(std::max(0, columns)), std::numeric_limits<int>::min());
    auto mark = [&](int c, double y1, double y2) {
        const size_t k = size_t(c - x0);
        top[k] = std::min(top[k], RoundPixel(std::min(y1, y2)));
        bottom[k] = std::max(bottom[k], RoundPixel(std::max(y1, y2)));
    };
    for (size_t i = 1; i < pixels.size(); ++i) {
        const QPointF a = pixels[i - 1], b = pixels[i];
        if (b.x() < a.x())
            return false;
        const int ca = RoundPixel(a.x()), cb = RoundPixel(b.x());
        const int from = std::max(ca, x0), to = std::min(cb, x0 + columns - 1);
        if (from > to)
            continue;
        if (ca == cb) {
            mark(ca, a.y(), b.y());
            continue;
        }
        // The part of the segment inside each column it crosses.
        const double slope = (b.y() - a.y()) / (b.x() - a.x());
        for (int c = from; c <= to; ++c) {
            const double xl = std::max(a.x(), c - 0.5), xr = std::min(b.x(), c + 0.5);
            mark(c, a.y() + (xl - a.x()) * slope, a.y() + (xr - a.x()) * slope);
        }
    }
    return true;
}

// ----------------------------------------------------------------- ticks

double NiceStep(double minStep)
{
    if (!(minStep > 0) || !std::isfinite(minStep))
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(minStep)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= minStep * (1 - 1e-9))
            return m * power;
    return 10 * power;
}

std::vector<double> TickValues(const AxisRange& range, double step)
{
    std::vector<double> ticks;
    if (!(step > 0) || !(range.max >= range.min))
        return ticks;
    const double start = std::ceil(range.min / step - 1e-9);
    for (double k = start;; k += 1) {
        const double v = k * step;
        if (v > range.max + step * 1e-9 || ticks.size() >= 1000)
            break;
        ticks.push_back(std::abs(v) < step * 1e-9 ? 0.0 : v);
    }
    return ticks;
}

QString TickLabel(double value, double step)
{
    int decimals = 0;
    if (step > 0 && step < 1)
        decimals = std::min(12, int(std::ceil(-std::log10(step) - 1e-9)));
    return UnsignedZero(QString::number(value, 'f', decimals));
}

QString UnsignedZero(QString text)
{
    bool number = false;
    if (text.startsWith(u'-') && text.mid(1).toDouble(&number) == 0 && number)
        text.remove(0, 1);
    return text;
}

// ------------------------------------------------------ automatic ranges

AxisRange NoExtent()
{
    return {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
}

AxisRange PointsXExtent(const ColumnPoints& points, bool ordered)
{
    AxisRange r = NoExtent();
    if (points.count == 0)
        return r;
    if (ordered) {
        r.min = std::min(r.min, points.X(0));
        r.max = std::max(r.max, points.X(points.count - 1));
    } else {
        for (int i = 0; i < points.count; ++i) {
            r.min = std::min(r.min, points.X(i));
            r.max = std::max(r.max, points.X(i));
        }
    }
    return r;
}

AxisRange PointsYExtent(const ColumnPoints& points)
{
    AxisRange r = NoExtent();
    points.y.Visit([&](auto ys) {
        for (int i = points.first; i < points.first + points.count; ++i) {
            const double v = double(ys[i]);
            r.min = std::min(r.min, v);
            r.max = std::max(r.max, v);
        }
    });
    // No number among the values (none, or all NaN): no extent, rather
    // than the infinities the map would make of the empty one.
    if (!(r.min <= r.max))
        return NoExtent();
    const double a = points.yMap(r.min), b = points.yMap(r.max);
    return {std::min(a, b), std::max(a, b)};
}

AxisRange UniteExtents(const AxisRange& a, const AxisRange& b)
{
    return {std::min(a.min, b.min), std::max(a.max, b.max)};
}

double SmallestStep(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    double step = std::numeric_limits<double>::infinity();
    for (size_t i = 1; i < values.size(); ++i)
        if (values[i] > values[i - 1])
            step = std::min(step, values[i] - values[i - 1]);
    return std::isfinite(step) ? step : 1.0;
}

AxisRange WidenRange(AxisRange r)
{
    if (!(r.max > r.min)) {
        const double v = std::isfinite(r.min) ? r.min : 0;
        r = {v - 1, v + 1};
    }
    return r;
}

AxisRange AutomaticXRange(const AxisRange& extent, bool bars, double barStep)
{
    if (!(extent.min <= extent.max))
        return {0, 1};
    AxisRange r = extent;
    if (bars) {
        const double half = barStep / 2;
        r.min -= half;
        r.max += half;
    }
    return WidenRange(r);
}

AxisRange AutomaticYRange(const AxisRange& extent, bool bars)
{
    if (!(extent.min <= extent.max))
        return {0, 1};
    AxisRange r = extent;
    if (bars) {
        r.min = std::min(r.min, 0.0);
        r.max = std::max(r.max, 0.0);
    }
    return WidenRange(r);
}

AxisRange WithLabelRoom(AxisRange y, int room, int plotHeight)
{
    if (room > 0 && plotHeight > 2 * room && y.max > 0)
        y.max += y.Span() * room / (plotHeight - room);
    return y;
}

// ----------------------------------------------------------------- zoom

bool ZoomHistory::Pop(ChartView& view)
{
    if (views_.empty())
        return false;
    view = views_.back();
    views_.pop_back();
    return true;
}
