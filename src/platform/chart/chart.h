#pragma once
// The chart widget of the analysis windows: line and bar series on a left
// and a bottom axis, a legend of series titles, rubber-band zoom with a
// multi-level undo, screen <-> value conversion, a hook for drawing after
// the plot, tooltips and a one-pixel cursor line.
//
// Using it
//   Chart* c = new Chart(parent);
//   c->LeftAxis().SetMinMax(0, 1000);          // fixed; or SetAutomatic(true)
//   c->LeftAxis().SetLabelsVisible(false);
//   c->BottomAxis().SetLabelAngle(90);
//   ChartSeries* s = c->AddSeries();           // a line series
//   s->SetTitle("12 RPM"); s->SetTag(12); s->SetColour(Qt::red);
//   s->SetTableData(&memGPS, dataCol, rpmCol, first, count, {}, heightMap);
//   c->AfterDraw = [&](QPainter& p) { ... c->XToScreen(t) ... };
//
// Series data
//   A series shows either rows of an in-memory table (an x column and a y
//   column, each through an Affine map, over rows [first, first + count))
//   or points it owns (AddPoint / SetPoints).  Table data is not copied:
//   the series holds the table's rows as they stood when it was given
//   them (MemTable::Hold) and reads them through ColumnView, so it goes on
//   showing exactly those samples under its title whatever the table does
//   afterwards (emptied and refilled by another load, changed, freed).
//   Line series need their x values in ascending order (samples in time
//   order); the visible range and the nearest-point search bisect on x.
//
// Drawing
//   The plot is rendered into a cached picture and only re-rendered when
//   something it shows changes (series, their look or data, axis ranges,
//   size).  Long line series are reduced to first / lowest / highest / last
//   point per pixel column of the visible range before drawing; the line
//   is then filled into the picture as one vertical span per pixel column
//   (widened for wide pens), which draws dense telemetry far faster than a
//   stroker.  The reductions of the last two views are kept, so undoing a
//   zoom or changing a pen re-reduces nothing.  Bar series stand side by
//   side at each x, in chart order.  The cursor line, the zoom rubber band
//   and the tooltip are painted over the cached picture without
//   re-rendering it.
//
// Zoom
//   Dragging the left button down and to the right across the plot zooms
//   both axes to the dragged rectangle; dragging it to the left, or a click
//   of the right button, goes back one zoom step.  Every zoom keeps the
//   view it left, so undo steps back through all of them to the original
//   view.  Zooming sends Zoomed(); the program can zoom too (ZoomToRect,
//   ZoomToView, UndoZoom, ResetZoom).
//
// Coordinates
//   All positions are widget coordinates.  The plot rectangle is integer
//   aligned; one ChartMapping per plot rectangle and axis ranges serves
//   drawing, the windows' own markers, the cursor and the read-outs.  It is
//   recomputed whenever the plot rectangle or a range changes.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "platform/chart/chartmath.h"

class Chart;
class MemTable;
class MemTableHold;

enum class SeriesKind { Line, Bar };

class ChartSeries {
public:
    SeriesKind Kind() const { return kind_; }
    Chart* Owner() const { return chart_; }

    // Identity.  Tag: a number the window chooses (session id, lap key).
    // ValueFormat: a text kept with the series for the window's own use
    // (the analysis windows keep the channel slot in it).
    const QString& Title() const { return title_; }
    void SetTitle(const QString& title);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    const QString& ValueFormat() const { return valueFormat_; }
    void SetValueFormat(const QString& text) { valueFormat_ = text; }

    // Look.  A hidden series is neither drawn nor listed in the legend nor
    // counted by automatic axes; its points stay readable.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    int PenWidth() const { return penWidth_; }
    void SetPenWidth(int width);
    const QColor& Colour() const { return colour_; }
    void SetColour(const QColor& colour);
    // Bar series: the point labels drawn above the bars.
    bool MarksVisible() const { return marksVisible_; }
    void SetMarksVisible(bool visible);

    // Table data (see the header comment).  xColumn and yColumn are field
    // indices of numeric fields of the table.
    void SetTableData(const MemTable* table, int xColumn, int yColumn, int first, int count, Affine xMap = {},
                      Affine yMap = {});
    // Owned data: appends a point with an optional label and colour (an
    // invalid colour: the series colour).
    void AddPoint(double x, double y, const QString& label = {}, const QColor& colour = {});
    void SetPoints(std::vector<double> x, std::vector<double> y);
    // Removes every point (and the table binding).
    void Clear();

    // Points as they read now.
    int Count() const;
    double XValue(int i) const;
    double YValue(int i) const;
    // The y value as the table or the point holds it, before the y map:
    // what a read-out shows, exactly as stored.
    double StoredYValue(int i) const;
    QString Label(int i) const;       // empty when none
    QColor PointColour(int i) const;  // the series colour when none
    // The points as columns with their maps, valid until the table changes.
    ColumnPoints Points() const;

    // Points inside the bottom axis' current range (first > last: none).
    IndexRange VisiblePoints() const;
    // The cursor's nearest-point search over the visible points (see
    // NearestPointIndex): the index, or -1.
    int NearestPoint(double x) const;

private:
    friend class Chart;
    ChartSeries(Chart* chart, SeriesKind kind) : chart_(chart), kind_(kind) {}
    void Changed(bool dataChanged = false);

    Chart* chart_;
    SeriesKind kind_;
    QString title_;
    int tag_ = 0;
    QString valueFormat_;
    bool visible_ = true;
    int penWidth_ = 1;
    QColor colour_ = Qt::red;
    bool marksVisible_ = true;

    std::shared_ptr<const MemTableHold> rows_;
    ColumnView xColumn_, yColumn_;
    int first_ = 0, count_ = 0;
    Affine xMap_, yMap_;
    std::vector<double> xs_, ys_;
    std::vector<QString> labels_;
    std::vector<QColor> pointColours_;

    // Pixel positions of the last two reductions and the mappings they
    // belong to.
    std::vector<QPointF> pixels_, previousPixels_;
    ChartMapping pixelsMapping_, previousMapping_;
    bool pixelsValid_ = false, previousValid_ = false;
    // Lowest and highest y of all points, for automatic axes.
    mutable bool yRangeValid_ = false;
    mutable AxisRange yRange_;
};

class ChartAxis {
public:
    // Automatic: the range spans the visible series' points (bar series
    // also 0 and half a bar step beyond the outer bars).  Otherwise the
    // range set by SetMinMax.  Zooming overrides either until undone.
    bool Automatic() const { return automatic_; }
    void SetAutomatic(bool automatic);
    void SetMinMax(double min, double max);  // also switches Automatic off
    // The range shown now.
    double Minimum() const { return Range().min; }
    double Maximum() const { return Range().max; }
    const AxisRange& Range() const;

    bool LabelsVisible() const { return labelsVisible_; }
    void SetLabelsVisible(bool visible);
    int LabelAngle() const { return labelAngle_; }
    void SetLabelAngle(int degrees);  // 0 or 90
    const QFont& LabelFont() const { return labelFont_; }
    void SetLabelFont(const QFont& font);
    // Smallest step between labelled ticks (0: any); lap numbers use 1.
    double Increment() const { return increment_; }
    void SetIncrement(double step);
    // Label text of a tick value; null: the value with the step's decimals.
    void SetLabelText(std::function<QString(double)> text);
    bool GridVisible() const { return gridVisible_; }
    void SetGridVisible(bool visible);

private:
    friend class Chart;
    explicit ChartAxis(Chart* chart, bool horizontal) : chart_(chart), horizontal_(horizontal) {}
    Chart* chart_;
    bool horizontal_;
    bool automatic_ = true;
    AxisRange fixed_{0, 1};
    AxisRange range_{0, 1};
    bool labelsVisible_ = true;
    int labelAngle_ = 0;
    QFont labelFont_;
    double increment_ = 0;
    std::function<QString(double)> labelText_;
    bool gridVisible_ = true;
};

class Chart : public QWidget {
    Q_OBJECT
public:
    explicit Chart(QWidget* parent = nullptr);
    ~Chart() override;

    // Series, in chart order (the order they were added).  A new series
    // takes the next of twelve default colours (red, green, blue, maroon,
    // purple, teal, olive, navy, fuchsia, grey, black, orange).
    ChartSeries* AddSeries(SeriesKind kind = SeriesKind::Line);
    void RemoveAllSeries();
    int SeriesCount() const { return int(series_.size()); }
    ChartSeries* Series(int i) const { return series_[size_t(i)].get(); }
    // The first series with this tag, or null.
    ChartSeries* SeriesByTag(int tag) const;

    ChartAxis& LeftAxis() { return left_; }
    ChartAxis& BottomAxis() { return bottom_; }
    const ChartAxis& LeftAxis() const { return left_; }
    const ChartAxis& BottomAxis() const { return bottom_; }

    // Look: background gradient from top to bottom, the plot's back wall,
    // outer margins in pixels (left, top, right, bottom).
    void SetGradient(const QColor& top, const QColor& bottom);
    void SetBackWall(const QColor& colour);
    void SetMargins(int left, int top, int right, int bottom);
    void SetLegendVisible(bool visible);
    bool LegendVisible() const { return legendVisible_; }
    void SetLegendFont(const QFont& font);
    // Bar series: part of the step between bars that a group of bars fills.
    void SetBarWidthPercent(int percent);
    // Bar series: the point labels written across (0, the default) or
    // turned 90 degrees up along the bar (90).  Turned labels that would
    // run into one already written are left out, and an automatic left
    // axis leaves room above the highest bar for its label.
    void SetMarkAngle(int degrees);
    int MarkAngle() const { return markAngle_; }

    // The plot rectangle and its mapping (laid out on demand).
    QRect PlotRect() const;
    const ChartMapping& Mapping() const;
    int XToScreen(double x) const { return Mapping().XToScreen(x); }
    int YToScreen(double y) const { return Mapping().YToScreen(y); }
    double ScreenToX(double px) const { return Mapping().ScreenToX(px); }
    double ScreenToY(double py) const { return Mapping().ScreenToY(py); }

    // Zoom.
    void ZoomToRect(const QRect& pixels);  // a rectangle of widget pixels
    void ZoomToView(const ChartView& view);
    bool UndoZoom();  // false when nothing was zoomed
    void ResetZoom();
    int ZoomDepth() const { return history_.Depth(); }
    ChartView View() const;

    // Cursor line: one pixel wide, yellow, exclusive-or over the plot from
    // its top to its bottom row at x; -1 removes it.  It survives
    // re-rendering of the plot.
    void SetCursorLine(int x);
    int CursorLine() const { return cursorX_; }

    // Tooltips: shown at a widget position while the mouse is over the chart.
    void ShowToolTip(const QString& text, const QPoint& pos);
    void HideToolTip();
    const QString& ToolTipText() const { return toolTip_; }

    // The point of a series under a widget position: the bar containing it
    // (bar series) or a point within 4 pixels (line series); -1 when none.
    int PointAt(const ChartSeries* series, const QPoint& pos) const;

    // Called after every rendering of the plot, on the cached picture, in
    // widget coordinates (the windows draw their markers and labels here).
    std::function<void(QPainter&)> AfterDraw;

    // Re-renders the plot at the next paint.
    void Invalidate();
    // Number of renderings so far (tests, benchmarks).
    int RenderCount() const { return renders_; }

signals:
    // Every mouse move over the chart, buttons held or not; and once more
    // at the mouse's place after a zoom or an undo while it is over the
    // chart, so that what follows the mouse (the cursor line, read-outs)
    // reads the new scale at once.
    void MouseMoved(const QPoint& pos);
    // The mouse left the chart.
    void MouseLeft();
    // The view changed by a zoom or an undo.
    void Zoomed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class ChartSeries;
    friend class ChartAxis;
    void SeriesChanged(ChartSeries* series, bool dataChanged);
    void LayOut() const;
    AxisRange AutomaticRange(bool horizontal) const;
    double BarStep() const;
    void Render();
    void DrawAxes(QPainter& p) const;
    void DrawLineSeries(QPainter& p, ChartSeries& s);
    void DrawBarSeries(QPainter& p);
    void DrawLegend(QPainter& p) const;
    QRect BarRect(const ChartSeries& s, int i, int slot, int slotCount, double stepPx) const;
    int MarkRoom() const;
    std::vector<QString> TickTexts(const ChartAxis& axis, const std::vector<double>& ticks, double step) const;
    void UpdateColumn(int x);
    void UpdateBand();
    void ViewChanged();

    std::vector<std::unique_ptr<ChartSeries>> series_;
    ChartAxis left_{this, false};
    ChartAxis bottom_{this, true};
    QColor gradientTop_{192, 192, 192};
    QColor gradientBottom_{255, 255, 255};
    QColor backWall_{255, 255, 255};
    int marginLeft_ = 10, marginTop_ = 10, marginRight_ = 10, marginBottom_ = 10;
    bool legendVisible_ = true;
    QFont legendFont_;
    int barWidthPercent_ = 70;
    int markAngle_ = 0;

    // Layout, computed lazily.
    mutable bool layoutValid_ = false;
    mutable QRect plot_;
    mutable QRect legend_;
    mutable ChartMapping mapping_;
    mutable std::vector<double> xTicks_, yTicks_;
    mutable double xStep_ = 1, yStep_ = 1;

    ZoomHistory history_;
    bool zoomed_ = false;
    ChartView zoomView_;

    QImage picture_;
    std::vector<int> spanTop_, spanBottom_;  // scratch of DrawLineSeries
    bool pictureValid_ = false;
    int renders_ = 0;

    int cursorX_ = -1;
    bool mouseOver_ = false;  // since a move over the chart, until it leaves
    QPoint mouse_;            // the last place the mouse moved to
    bool dragging_ = false;
    QPoint dragFrom_, dragTo_;
    QString toolTip_;
};
