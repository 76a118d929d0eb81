#include "platform/chart/chart.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/memtable.h"

namespace {

constexpr int kTick = 4;         // tick mark length
constexpr int kLegendGap = 8;    // between the plot and the legend
constexpr int kDragSlack = 4;    // pixels a drag must cover to zoom or undo
const QColor kGrid(200, 200, 200);
const QColor kFrame(128, 128, 128);

ColumnView OwnedView(const std::vector<double>& v)
{
    ColumnView c;
    c.storage = ColumnStorage::Float64;
    c.data = v.data();
    c.rows = int(v.size());
    return c;
}

}  // namespace

// ================================================================ series

void ChartSeries::SetTitle(const QString& title)
{
    title_ = title;
    Changed();
}

void ChartSeries::SetVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    Changed();
}

void ChartSeries::SetPenWidth(int width)
{
    width = std::max(1, width);
    if (penWidth_ == width)
        return;
    penWidth_ = width;
    Changed();
}

void ChartSeries::SetColour(const QColor& colour)
{
    colour_ = colour;
    Changed();
}

void ChartSeries::SetMarksVisible(bool visible)
{
    if (marksVisible_ == visible)
        return;
    marksVisible_ = visible;
    Changed();
}

void ChartSeries::SetTableData(const MemTable* table, int xColumn, int yColumn, int first, int count, Affine xMap,
                               Affine yMap)
{
    // Non-numeric or unknown columns fail here rather than at a paint.
    std::shared_ptr<const MemTableHold> rows = table ? table->Hold() : nullptr;
    const ColumnView x = rows ? rows->View(xColumn) : ColumnView{};
    const ColumnView y = rows ? rows->View(yColumn) : ColumnView{};
    xs_.clear();
    ys_.clear();
    labels_.clear();
    pointColours_.clear();
    rows_ = std::move(rows);
    xColumn_ = x;
    yColumn_ = y;
    first_ = std::max(0, first);
    count_ = std::max(0, count);
    xMap_ = xMap;
    yMap_ = yMap;
    Changed(true);
}

void ChartSeries::AddPoint(double x, double y, const QString& label, const QColor& colour)
{
    rows_.reset();
    xs_.push_back(x);
    ys_.push_back(y);
    if (!label.isEmpty() || !labels_.empty()) {
        labels_.resize(xs_.size() - 1);
        labels_.push_back(label);
    }
    if (colour.isValid() || !pointColours_.empty()) {
        pointColours_.resize(xs_.size() - 1);
        pointColours_.push_back(colour);
    }
    Changed(true);
}

void ChartSeries::SetPoints(std::vector<double> x, std::vector<double> y)
{
    rows_.reset();
    const size_t n = std::min(x.size(), y.size());
    x.resize(n);
    y.resize(n);
    xs_ = std::move(x);
    ys_ = std::move(y);
    labels_.clear();
    pointColours_.clear();
    Changed(true);
}

void ChartSeries::Clear()
{
    rows_.reset();
    count_ = 0;
    xs_.clear();
    ys_.clear();
    labels_.clear();
    pointColours_.clear();
    Changed(true);
}

ColumnPoints ChartSeries::Points() const
{
    ColumnPoints p;
    if (rows_) {
        const int rows = rows_->RowCount();
        p.first = std::min(first_, rows);
        p.count = std::min(count_, rows - p.first);
        if (p.count > 0) {
            p.x = xColumn_;
            p.y = yColumn_;
        }
        p.xMap = xMap_;
        p.yMap = yMap_;
    } else {
        p.x = OwnedView(xs_);
        p.y = OwnedView(ys_);
        p.count = int(xs_.size());
    }
    return p;
}

int ChartSeries::Count() const { return Points().count; }
double ChartSeries::XValue(int i) const { return Points().X(i); }
double ChartSeries::YValue(int i) const { return Points().Y(i); }
double ChartSeries::StoredYValue(int i) const { return Points().StoredY(i); }

QString ChartSeries::Label(int i) const
{
    return i >= 0 && size_t(i) < labels_.size() ? labels_[size_t(i)] : QString();
}

QColor ChartSeries::PointColour(int i) const
{
    if (i >= 0 && size_t(i) < pointColours_.size() && pointColours_[size_t(i)].isValid())
        return pointColours_[size_t(i)];
    return colour_;
}

IndexRange ChartSeries::VisiblePoints() const
{
    return VisibleRange(Points(), chart_ ? chart_->Mapping().X() : AxisRange{});
}

int ChartSeries::NearestPoint(double x) const
{
    const ColumnPoints p = Points();
    const IndexRange r = VisibleRange(p, chart_ ? chart_->Mapping().X() : AxisRange{});
    if (r.Count() < 2)
        return -1;
    return NearestPointIndex(p, x, r.first, r.last);
}

void ChartSeries::Changed(bool dataChanged)
{
    if (dataChanged) {
        pixelsValid_ = previousValid_ = false;
        yRangeValid_ = false;
    }
    if (chart_)
        chart_->SeriesChanged(this, dataChanged);
}

// ================================================================== axis

const AxisRange& ChartAxis::Range() const
{
    chart_->LayOut();
    return range_;
}

void ChartAxis::SetAutomatic(bool automatic)
{
    automatic_ = automatic;
    chart_->Invalidate();
}

void ChartAxis::SetMinMax(double min, double max)
{
    fixed_ = {min, max};
    automatic_ = false;
    chart_->Invalidate();
}

void ChartAxis::SetLabelsVisible(bool visible)
{
    labelsVisible_ = visible;
    chart_->Invalidate();
}

void ChartAxis::SetLabelAngle(int degrees)
{
    labelAngle_ = degrees == 90 ? 90 : 0;
    chart_->Invalidate();
}

void ChartAxis::SetLabelFont(const QFont& font)
{
    labelFont_ = font;
    chart_->Invalidate();
}

void ChartAxis::SetIncrement(double step)
{
    increment_ = std::max(0.0, step);
    chart_->Invalidate();
}

void ChartAxis::SetLabelText(std::function<QString(double)> text)
{
    labelText_ = std::move(text);
    chart_->Invalidate();
}

void ChartAxis::SetGridVisible(bool visible)
{
    gridVisible_ = visible;
    chart_->Invalidate();
}

// ================================================================= chart

Chart::Chart(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont small = font();
    small.setPointSize(8);
    left_.labelFont_ = small;
    bottom_.labelFont_ = small;
    legendFont_ = small;
}

Chart::~Chart() = default;

ChartSeries* Chart::AddSeries(SeriesKind kind)
{
    // Default colours, readable on the white back wall, in turn.
    static const QColor palette[] = {QColor(255, 0, 0),   QColor(0, 128, 0),   QColor(0, 0, 255),   QColor(128, 0, 0),
                                     QColor(128, 0, 128), QColor(0, 128, 128), QColor(128, 128, 0), QColor(0, 0, 128),
                                     QColor(255, 0, 255), QColor(128, 128, 128), QColor(0, 0, 0), QColor(255, 128, 0)};
    series_.push_back(std::unique_ptr<ChartSeries>(new ChartSeries(this, kind)));
    series_.back()->colour_ = palette[(series_.size() - 1) % std::size(palette)];
    Invalidate();
    return series_.back().get();
}

void Chart::RemoveAllSeries()
{
    series_.clear();
    Invalidate();
}

ChartSeries* Chart::SeriesByTag(int tag) const
{
    for (const auto& s : series_)
        if (s->Tag() == tag)
            return s.get();
    return nullptr;
}

void Chart::SetGradient(const QColor& top, const QColor& bottom)
{
    gradientTop_ = top;
    gradientBottom_ = bottom;
    Invalidate();
}

void Chart::SetBackWall(const QColor& colour)
{
    backWall_ = colour;
    Invalidate();
}

void Chart::SetMargins(int left, int top, int right, int bottom)
{
    marginLeft_ = left;
    marginTop_ = top;
    marginRight_ = right;
    marginBottom_ = bottom;
    Invalidate();
}

void Chart::SetLegendVisible(bool visible)
{
    legendVisible_ = visible;
    Invalidate();
}

void Chart::SetLegendFont(const QFont& font)
{
    legendFont_ = font;
    Invalidate();
}

void Chart::SetBarWidthPercent(int percent)
{
    barWidthPercent_ = std::clamp(percent, 1, 100);
    Invalidate();
}

void Chart::SetMarkAngle(int degrees)
{
    markAngle_ = degrees == 90 ? 90 : 0;
    Invalidate();
}

// Pixels the turned labels of the visible bar series need above a bar.
int Chart::MarkRoom() const
{
    if (markAngle_ != 90)
        return 0;
    const QFontMetrics fm(legendFont_);
    int room = 0;
    for (const auto& s : series_)
        if (s->Kind() == SeriesKind::Bar && s->Visible() && s->MarksVisible())
            for (int i = 0; i < s->Count(); ++i)
                room = std::max(room, fm.horizontalAdvance(s->Label(i)) + 6 + 8);
    return room;
}

void Chart::Invalidate()
{
    layoutValid_ = false;
    pictureValid_ = false;
    update();
}

void Chart::SeriesChanged(ChartSeries*, bool) { Invalidate(); }

// ---------------------------------------------------------------- layout

QRect Chart::PlotRect() const
{
    LayOut();
    return plot_;
}

const ChartMapping& Chart::Mapping() const
{
    LayOut();
    return mapping_;
}

double Chart::BarStep() const
{
    std::vector<double> xs;
    for (const auto& s : series_) {
        if (s->Kind() != SeriesKind::Bar || !s->Visible())
            continue;
        const ColumnPoints p = s->Points();
        for (int i = 0; i < p.count; ++i)
            xs.push_back(p.X(i));
    }
    return SmallestStep(std::move(xs));
}

AxisRange Chart::AutomaticRange(bool horizontal) const
{
    AxisRange extent = NoExtent();
    bool bars = false;
    for (const auto& s : series_) {
        if (!s->Visible())
            continue;
        const ColumnPoints p = s->Points();
        if (p.count == 0)
            continue;
        bars = bars || s->Kind() == SeriesKind::Bar;
        if (horizontal) {
            extent = UniteExtents(extent, PointsXExtent(p, s->Kind() == SeriesKind::Line));
        } else {
            if (!s->yRangeValid_) {
                s->yRange_ = PointsYExtent(p);
                s->yRangeValid_ = true;
            }
            extent = UniteExtents(extent, s->yRange_);
        }
    }
    return horizontal ? AutomaticXRange(extent, bars, bars ? BarStep() : 0) : AutomaticYRange(extent, bars);
}

std::vector<QString> Chart::TickTexts(const ChartAxis& axis, const std::vector<double>& ticks, double step) const
{
    std::vector<QString> texts;
    texts.reserve(ticks.size());
    for (double t : ticks)
        texts.push_back(axis.labelText_ ? axis.labelText_(t) : TickLabel(t, step));
    return texts;
}

void Chart::LayOut() const
{
    if (layoutValid_)
        return;
    layoutValid_ = true;
    auto& self = const_cast<Chart&>(*this);

    // Ranges: a zoomed view, else automatic or fixed.
    AxisRange xr, yr;
    if (zoomed_) {
        xr = zoomView_.x;
        yr = zoomView_.y;
    } else {
        xr = bottom_.automatic_ ? AutomaticRange(true) : bottom_.fixed_;
        yr = left_.automatic_ ? AutomaticRange(false) : left_.fixed_;
    }
    self.bottom_.range_ = xr;
    self.left_.range_ = yr;

    const int w = width(), h = height();

    // Legend at the right, top aligned with the plot.
    legend_ = {};
    if (legendVisible_) {
        const QFontMetrics fm(legendFont_);
        int textWidth = 0, rows = 0;
        for (const auto& s : series_)
            if (s->Visible()) {
                textWidth = std::max(textWidth, fm.horizontalAdvance(s->Title()));
                ++rows;
            }
        if (rows > 0) {
            const int lw = std::min(w / 3, 6 + 18 + 4 + textWidth + 6);
            const int lh = std::min(h - marginTop_ - marginBottom_, 4 + rows * (fm.height() + 1) + 4);
            legend_ = QRect(w - marginRight_ - lw, marginTop_, lw, std::max(0, lh));
        }
    }

    // Left labels: their width needs the y step, which needs the plot
    // height; a first guess of the height is close enough for the width.
    const QFontMetrics lfm(left_.labelFont_);
    const int minYStepPx = std::max(20, 2 * lfm.height());
    int leftLabels = 0;
    if (left_.labelsVisible_) {
        const double guessPx = std::max(20, h - marginTop_ - marginBottom_ - 40);
        const double step = NiceStep(std::max(left_.increment_, yr.Span() * minYStepPx / guessPx));
        const std::vector<double> ticks = TickValues(yr, step);
        for (const QString& t : TickTexts(left_, ticks, step))
            leftLabels = std::max(leftLabels, lfm.horizontalAdvance(t));
        leftLabels += kTick + 4;
    }
    const int plotLeft = marginLeft_ + leftLabels;
    const int plotRight = legend_.isValid() ? legend_.left() - kLegendGap : w - marginRight_ - 1;

    // Bottom ticks from the plot width, then the room their labels take.
    const QFontMetrics bfm(bottom_.labelFont_);
    const int plotWidth = std::max(2, plotRight - plotLeft + 1);
    int minXStepPx;
    if (bottom_.labelAngle_ == 90) {
        minXStepPx = std::max(24, 2 * bfm.height());
    } else {
        const double rough = NiceStep(xr.Span() / 10);
        minXStepPx = 12 + std::max(bfm.horizontalAdvance(TickLabel(xr.min, rough)),
                                   bfm.horizontalAdvance(TickLabel(xr.max, rough)));
    }
    xStep_ = NiceStep(std::max(bottom_.increment_, xr.Span() * minXStepPx / plotWidth));
    xTicks_ = TickValues(xr, xStep_);
    int bottomLabels = 0;
    if (bottom_.labelsVisible_) {
        int extent = 0;
        if (bottom_.labelAngle_ == 90) {
            for (const QString& t : TickTexts(bottom_, xTicks_, xStep_))
                extent = std::max(extent, bfm.horizontalAdvance(t));
        } else {
            extent = bfm.height();
        }
        bottomLabels = kTick + 3 + extent;
    }
    const int plotBottom = h - marginBottom_ - bottomLabels - 1;
    const int plotTop = marginTop_;
    plot_ = QRect(QPoint(plotLeft, plotTop), QPoint(std::max(plotLeft + 1, plotRight), std::max(plotTop + 1, plotBottom)));

    // Room for turned bar labels above the highest bar.
    if (!zoomed_ && left_.automatic_) {
        yr = WithLabelRoom(yr, MarkRoom(), plot_.height());
        self.left_.range_ = yr;
    }
    yStep_ = NiceStep(std::max(left_.increment_, yr.Span() * minYStepPx / std::max(2, plot_.height())));
    yTicks_ = TickValues(yr, yStep_);
    mapping_ = ChartMapping(plot_, xr, yr);
}

// ------------------------------------------------------------------ zoom

ChartView Chart::View() const
{
    LayOut();
    ChartView v;
    v.x = bottom_.range_;
    v.y = left_.range_;
    v.xAutomatic = !zoomed_ && bottom_.automatic_;
    v.yAutomatic = !zoomed_ && left_.automatic_;
    return v;
}

void Chart::ZoomToView(const ChartView& view)
{
    history_.Push(View());
    zoomView_ = view;
    zoomView_.x = WidenRange(view.x);
    zoomView_.y = WidenRange(view.y);
    zoomView_.xAutomatic = zoomView_.yAutomatic = false;
    zoomed_ = true;
    Invalidate();
    ViewChanged();
}

void Chart::ZoomToRect(const QRect& pixels)
{
    const QRect r = pixels.normalized().intersected(PlotRect());
    if (r.width() < 2 || r.height() < 2)
        return;
    const ChartMapping& m = Mapping();
    ChartView v;
    v.x = {m.ScreenToX(r.left()), m.ScreenToX(r.right())};
    v.y = {m.ScreenToY(r.bottom()), m.ScreenToY(r.top())};
    ZoomToView(v);
}

bool Chart::UndoZoom()
{
    ChartView previous;
    if (!history_.Pop(previous))
        return false;
    if (history_.Depth() == 0) {
        zoomed_ = false;  // back to the axes' own (automatic or fixed) ranges
    } else {
        zoomView_ = previous;
    }
    Invalidate();
    ViewChanged();
    return true;
}

void Chart::ResetZoom()
{
    const bool was = zoomed_;
    history_.Clear();
    zoomed_ = false;
    Invalidate();
    if (was)
        ViewChanged();
}

void Chart::ViewChanged()
{
    emit Zoomed();
    if (mouseOver_)
        emit MouseMoved(mouse_);
}

// ---------------------------------------------------------------- cursor

void Chart::UpdateColumn(int x)
{
    if (x >= 0)
        update(QRect(x, 0, 1, height()));
}

void Chart::SetCursorLine(int x)
{
    if (x == cursorX_)
        return;
    UpdateColumn(cursorX_);
    cursorX_ = x;
    UpdateColumn(cursorX_);
}

void Chart::ShowToolTip(const QString& text, const QPoint& pos)
{
    toolTip_ = text;
    QToolTip::showText(mapToGlobal(pos), text, this);
}

void Chart::HideToolTip()
{
    toolTip_.clear();
    QToolTip::hideText();
}

QRect Chart::BarRect(const ChartSeries& s, int i, int slot, int slotCount, double stepPx) const
{
    const ChartMapping& m = mapping_;
    // The bars of one x share its group, however many there are: narrower
    // than a pixel they overlap there rather than run into the next group.
    const double group = stepPx * barWidthPercent_ / 100.0;
    const double bar = group / slotCount;
    const double left = m.XPos(s.XValue(i)) - group / 2 + slot * bar;
    const double base = std::clamp(m.YPos(0), double(plot_.top()), double(plot_.bottom()));
    const double top = m.YPos(s.YValue(i));
    return QRectF(QPointF(left, std::min(base, top)), QPointF(left + bar, std::max(base, top))).toAlignedRect();
}

int Chart::PointAt(const ChartSeries* series, const QPoint& pos) const
{
    if (!series || !series->Visible())
        return -1;
    LayOut();
    if (series->Kind() == SeriesKind::Bar) {
        int slot = 0, slotCount = 0;
        for (const auto& s : series_)
            if (s->Kind() == SeriesKind::Bar && s->Visible()) {
                if (s.get() == series)
                    slot = slotCount;
                ++slotCount;
            }
        const double stepPx = BarStep() * (mapping_.XPos(1) - mapping_.XPos(0));
        for (int i = 0; i < series->Count(); ++i)
            if (BarRect(*series, i, slot, slotCount, stepPx).adjusted(0, 0, 1, 1).contains(pos))
                return i;
        return -1;
    }
    const ColumnPoints p = series->Points();
    const IndexRange r = VisibleRange(p, mapping_.X());
    if (r.Count() == 0)
        return -1;
    const double x = mapping_.ScreenToX(pos.x());
    int best = -1;
    double bestDistance = 4.5;
    const int around = std::clamp(NearestPointIndex(p, x, r.first, r.last), r.first, r.last);
    for (int i = std::max(r.first, around - 1); i <= std::min(r.last, around + 1); ++i) {
        const double d = std::hypot(mapping_.XPos(p.X(i)) - pos.x(), mapping_.YPos(p.Y(i)) - pos.y());
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// -------------------------------------------------------------- painting

void Chart::DrawAxes(QPainter& p) const
{
    // Grid.
    QPen grid(kGrid, 1, Qt::DotLine);
    p.setPen(grid);
    if (bottom_.gridVisible_)
        for (double t : xTicks_) {
            const int x = mapping_.XToScreen(t);
            if (x > plot_.left() && x < plot_.right())
                p.drawLine(x, plot_.top() + 1, x, plot_.bottom() - 1);
        }
    if (left_.gridVisible_)
        for (double t : yTicks_) {
            const int y = mapping_.YToScreen(t);
            if (y > plot_.top() && y < plot_.bottom())
                p.drawLine(plot_.left() + 1, y, plot_.right() - 1, y);
        }

    // Frame and axis lines.
    p.setPen(kFrame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot_.adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    p.drawLine(plot_.left(), plot_.top(), plot_.left(), plot_.bottom());
    p.drawLine(plot_.left(), plot_.bottom(), plot_.right(), plot_.bottom());

    // Ticks and labels.
    if (bottom_.labelsVisible_) {
        p.setFont(bottom_.labelFont_);
        const QFontMetrics fm(bottom_.labelFont_);
        const std::vector<QString> texts = TickTexts(bottom_, xTicks_, xStep_);
        for (size_t i = 0; i < xTicks_.size(); ++i) {
            const int x = mapping_.XToScreen(xTicks_[i]);
            p.drawLine(x, plot_.bottom(), x, plot_.bottom() + kTick);
            const int y = plot_.bottom() + kTick + 2;
            if (bottom_.labelAngle_ == 90) {
                // Text reads upwards, its right end under the tick.
                p.save();
                // Kept inside the widget at its left edge.
                p.translate(std::max(fm.ascent(), x + fm.ascent() / 2 - fm.descent() / 2),
                            y + fm.horizontalAdvance(texts[i]));
                p.rotate(-90);
                p.drawText(0, 0, texts[i]);
                p.restore();
            } else {
                const int tw = fm.horizontalAdvance(texts[i]);
                p.drawText(x - tw / 2, y + fm.ascent(), texts[i]);
            }
        }
    }
    if (left_.labelsVisible_) {
        p.setFont(left_.labelFont_);
        const QFontMetrics fm(left_.labelFont_);
        const std::vector<QString> texts = TickTexts(left_, yTicks_, yStep_);
        for (size_t i = 0; i < yTicks_.size(); ++i) {
            const int y = mapping_.YToScreen(yTicks_[i]);
            p.drawLine(plot_.left() - kTick, y, plot_.left(), y);
            const int tw = fm.horizontalAdvance(texts[i]);
            p.drawText(plot_.left() - kTick - 2 - tw, y + fm.ascent() / 2 - 1, texts[i]);
        }
    }
}

void Chart::DrawLineSeries(QPainter& p, ChartSeries& s)
{
    // The reduction of the last two views is kept, so undoing a zoom, and
    // any repaint that changes no range, reuses it.
    if (!s.pixelsValid_ || !(s.pixelsMapping_ == mapping_)) {
        std::swap(s.pixels_, s.previousPixels_);
        std::swap(s.pixelsMapping_, s.previousMapping_);
        std::swap(s.pixelsValid_, s.previousValid_);
        if (!s.pixelsValid_ || !(s.pixelsMapping_ == mapping_)) {
            s.pixels_.clear();
            DecimateToPixels(s.Points(), mapping_, s.pixels_);
            s.pixelsMapping_ = mapping_;
            s.pixelsValid_ = true;
        }
    }
    if (s.pixels_.size() < 2)
        return;

    // Straight into the picture: one vertical span per pixel column,
    // widened for wide pens.  Dense telemetry covers whole columns, which
    // a stroker would draw pixel by pixel.  The spans cover the whole plot,
    // its outermost rows and columns too: the range's limits map onto them
    // (a flat line at the minimum, a spike in the first or last column), so
    // the line is drawn over the frame there rather than hidden by it.
    const QRect& area = plot_;
    if (picture_.devicePixelRatio() == 1 && area.width() > 0 && area.height() > 0 &&
        PolylineSpans(s.pixels_, area.left(), area.width(), spanTop_, spanBottom_)) {
        const int half = s.PenWidth() / 2;
        const QRgb colour = s.Colour().rgb() | 0xFF000000u;
        uchar* bits = picture_.bits();
        const qsizetype stride = picture_.bytesPerLine() / qsizetype(sizeof(QRgb));
        const int columns = area.width();
        for (int k = 0; k < columns; ++k) {
            int top = spanTop_[size_t(k)], bottom = spanBottom_[size_t(k)];
            for (int j = std::max(0, k - half); j <= std::min(columns - 1, k + half); ++j) {
                top = std::min(top, spanTop_[size_t(j)]);
                bottom = std::max(bottom, spanBottom_[size_t(j)]);
            }
            if (top > bottom)
                continue;
            top = std::max(top - half, area.top());
            bottom = std::min(bottom + half, area.bottom());
            QRgb* px = reinterpret_cast<QRgb*>(bits) + qsizetype(top) * stride + area.left() + k;
            for (int y = top; y <= bottom; ++y, px += stride)
                *px = colour;
        }
        return;
    }

    const int grow = s.PenWidth();
    std::vector<QLine> lines;
    ClipSegments(s.pixels_, QRectF(plot_).adjusted(-grow, -grow, grow, grow), lines);
    if (lines.empty())
        return;
    QPen pen(s.Colour(), s.PenWidth());
    pen.setCapStyle(Qt::SquareCap);
    pen.setCosmetic(s.PenWidth() == 1);
    p.setPen(pen);
    p.drawLines(lines.data(), int(lines.size()));
}

void Chart::DrawBarSeries(QPainter& p)
{
    std::vector<ChartSeries*> bars;
    for (const auto& s : series_)
        if (s->Kind() == SeriesKind::Bar && s->Visible())
            bars.push_back(s.get());
    if (bars.empty())
        return;
    const double stepPx = BarStep() * (mapping_.XPos(1) - mapping_.XPos(0));
    const int slotCount = int(bars.size());
    // Bars too narrow for an outline are filled only: outlines would turn
    // a crowd of them black.
    const bool outlined = stepPx * barWidthPercent_ / 100.0 / slotCount >= 3;
    for (int k = 0; k < slotCount; ++k) {
        const ChartSeries& s = *bars[size_t(k)];
        for (int i = 0; i < s.Count(); ++i) {
            const QRect r = BarRect(s, i, k, slotCount, stepPx);
            if (outlined) {
                p.setPen(Qt::black);
                p.setBrush(s.PointColour(i));
                p.drawRect(r);
            } else {
                p.fillRect(r.adjusted(0, 0, 1, 1), s.PointColour(i));
            }
        }
    }
    // Point labels above the bars (below for negative bars), over all bars.
    p.setClipping(false);
    p.setFont(legendFont_);
    const QFontMetrics fm(legendFont_);
    std::vector<QRect> written;
    for (int k = 0; k < slotCount; ++k) {
        const ChartSeries& s = *bars[size_t(k)];
        if (!s.MarksVisible())
            continue;
        for (int i = 0; i < s.Count(); ++i) {
            const QString text = s.Label(i);
            if (text.isEmpty())
                continue;
            const QRect bar = BarRect(s, i, k, slotCount, stepPx);
            const int tw = fm.horizontalAdvance(text) + 6, th = fm.height() + 2;
            const bool below = s.YValue(i) < 0;
            if (markAngle_ == 90) {
                // Turned up along the bar, reading from the bottom.
                const QRect box(bar.center().x() - th / 2, below ? bar.bottom() + 3 : bar.top() - tw - 3, th, tw);
                if (!box.intersects(plot_) ||
                    std::any_of(written.begin(), written.end(), [&box](const QRect& r) { return r.intersects(box); }))
                    continue;
                written.push_back(box);
                p.setPen(kFrame);
                p.setBrush(QColor(255, 255, 225));
                p.drawRect(box);
                p.save();
                p.translate(box.left(), box.bottom() + 1);
                p.rotate(-90);
                p.setPen(Qt::black);
                p.drawText(QRect(0, 0, box.height(), box.width()), Qt::AlignCenter, text);
                p.restore();
                continue;
            }
            QRect box(bar.center().x() - tw / 2, below ? bar.bottom() + 3 : bar.top() - th - 3, tw, th);
            if (!box.intersects(plot_))
                continue;
            p.setPen(kFrame);
            p.setBrush(QColor(255, 255, 225));
            p.drawRect(box);
            p.setPen(Qt::black);
            p.drawText(box, Qt::AlignCenter, text);
        }
    }
    p.setClipRect(plot_);
}

void Chart::DrawLegend(QPainter& p) const
{
    if (!legend_.isValid())
        return;
    p.setPen(kFrame);
    p.setBrush(Qt::white);
    p.drawRect(legend_.adjusted(0, 0, -1, -1));
    p.setFont(legendFont_);
    const QFontMetrics fm(legendFont_);
    const int rowHeight = fm.height() + 1;
    const int rows = std::max(0, (legend_.bottom() - 2 - (legend_.top() + 4)) / rowHeight);
    int visible = 0;
    for (const auto& s : series_)
        visible += s->Visible() ? 1 : 0;
    // When not every title fits, the last row says how many are left out.
    const int shown = visible <= rows ? visible : std::max(0, rows - 1);
    const int textLeft = legend_.left() + 6 + 18 + 4;
    const int textWidth = legend_.right() - textLeft - 4;
    int y = legend_.top() + 4, n = 0;
    for (const auto& s : series_) {
        if (!s->Visible())
            continue;
        if (n++ == shown)
            break;
        const int mid = y + rowHeight / 2;
        p.setPen(QPen(s->Colour(), std::min(3, s->PenWidth() + 1)));
        p.drawLine(legend_.left() + 6, mid, legend_.left() + 6 + 18, mid);
        p.setPen(Qt::black);
        const QRect text(textLeft, y, textWidth, rowHeight);
        p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, fm.elidedText(s->Title(), Qt::ElideRight, text.width()));
        y += rowHeight;
    }
    if (shown < visible && rows > 0) {
        p.setPen(Qt::black);
        // No line sample on this row: the text takes the whole width.
        const QRect text(legend_.left() + 6, y, legend_.right() - legend_.left() - 10, rowHeight);
        p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(QStringLiteral("+ %1 more").arg(visible - shown), Qt::ElideRight, text.width()));
    }
}

void Chart::Render()
{
    LayOut();
    const qreal dpr = devicePixelRatioF();
    const QSize size(std::max(1, int(width() * dpr)), std::max(1, int(height() * dpr)));
    if (picture_.size() != size)
        picture_ = QImage(size, QImage::Format_RGB32);
    picture_.setDevicePixelRatio(dpr);

    QPainter p(&picture_);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, gradientTop_);
    g.setColorAt(1, gradientBottom_);
    p.fillRect(rect(), g);
    p.fillRect(plot_, backWall_);
    DrawAxes(p);

    p.setClipRect(plot_);
    DrawBarSeries(p);
    for (const auto& s : series_)
        if (s->Kind() == SeriesKind::Line && s->Visible())
            DrawLineSeries(p, *s);
    p.setClipping(false);

    DrawLegend(p);
    if (AfterDraw) {
        p.save();
        AfterDraw(p);
        p.restore();
    }
    pictureValid_ = true;
    ++renders_;
}

void Chart::paintEvent(QPaintEvent* event)
{
    if (!pictureValid_ || picture_.isNull())
        Render();
    QPainter p(this);
    const QRect r = event->rect();
    const qreal dpr = picture_.devicePixelRatio();
    p.drawImage(r, picture_, QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr));

    if (dragging_) {
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(dragFrom_, dragTo_).normalized());
    }

    // The cursor line: the picture's own pixels exclusive-or yellow, so it
    // shows on any background and needs no re-rendering of the plot.
    if (cursorX_ >= 0 && cursorX_ < width() && r.left() <= cursorX_ && cursorX_ <= r.right()) {
        const QRect column(cursorX_, plot_.top(), 1, plot_.height());
        QImage line = picture_.copy(QRectF(column.x() * dpr, column.y() * dpr, dpr, column.height() * dpr).toRect());
        line = line.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < line.height(); ++y) {
            auto* px = reinterpret_cast<QRgb*>(line.scanLine(y));
            for (int x = 0; x < line.width(); ++x)
                px[x] ^= 0x00FFFF00u;  // yellow: red and green bits
        }
        line.setDevicePixelRatio(dpr);
        p.drawImage(column.topLeft(), line);
    }
}

void Chart::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Invalidate();
}

// ----------------------------------------------------------------- mouse

void Chart::UpdateBand()
{
    update(QRect(dragFrom_, dragTo_).normalized().adjusted(-1, -1, 2, 2));
}

void Chart::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && PlotRect().contains(pos)) {
        dragging_ = true;
        dragFrom_ = dragTo_ = pos;
    }
    QWidget::mousePressEvent(event);
}

void Chart::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (dragging_) {
        UpdateBand();
        const QRect plot = PlotRect();
        dragTo_ = QPoint(std::clamp(pos.x(), plot.left(), plot.right()), std::clamp(pos.y(), plot.top(), plot.bottom()));
        UpdateBand();
    }
    mouseOver_ = true;
    mouse_ = pos;
    emit MouseMoved(pos);
}

void Chart::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && dragging_) {
        UpdateBand();
        dragging_ = false;
        const int dx = dragTo_.x() - dragFrom_.x(), dy = dragTo_.y() - dragFrom_.y();
        if (dx > kDragSlack && dy > kDragSlack)
            ZoomToRect(QRect(dragFrom_, dragTo_));
        else if (dx < -kDragSlack || dy < -kDragSlack)
            UndoZoom();
    } else if (event->button() == Qt::RightButton) {
        UndoZoom();
    }
    QWidget::mouseReleaseEvent(event);
}

void Chart::leaveEvent(QEvent* event)
{
    mouseOver_ = false;
    emit MouseLeft();
    QWidget::leaveEvent(event);
}
