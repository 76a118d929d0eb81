// The chart widget: zoom by dragging and its undo, hidden series, series
// over in-memory tables (no copy, keeping the rows they were given), the cursor
// line over the cached plot, the mapping following the plot rectangle,
// bar series, the after-draw hook, and values at the plot's edges drawn.
#include "platform/chart/chart.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include <memory>
#include <set>

#include "platform/memtable.h"

namespace {

class ChartTest : public ::testing::Test {
protected:
    Chart chart;

    void SetUp() override
    {
        chart.resize(800, 400);
        chart.SetLegendVisible(false);
        chart.show();
        QApplication::processEvents();
    }

    // A line from (0, 0) to (1000, 100) in 1001 points.
    ChartSeries* Ramp(const QColor& colour = Qt::red)
    {
        ChartSeries* s = chart.AddSeries();
        std::vector<double> x, y;
        for (int i = 0; i <= 1000; ++i) {
            x.push_back(i);
            y.push_back(i / 10.0);
        }
        s->SetPoints(std::move(x), std::move(y));
        s->SetColour(colour);
        return s;
    }

    QImage Grab()
    {
        QApplication::processEvents();
        return chart.grab().toImage();
    }

    void Drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(&chart, button, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), chart.mapToGlobal(QPointF(to)), Qt::NoButton, button, {});
        QApplication::sendEvent(&chart, &move);
        QTest::mouseRelease(&chart, button, {}, to);
    }
};

TEST_F(ChartTest, DraggingZoomsAndEveryUndoStepsBack)
{
    Ramp();
    const ChartView original = chart.View();
    EXPECT_TRUE(original.xAutomatic);
    EXPECT_DOUBLE_EQ(original.x.min, 0);
    EXPECT_DOUBLE_EQ(original.x.max, 1000);

    const QRect plot = chart.PlotRect();
    const QPoint a = plot.topLeft() + QPoint(plot.width() / 4, plot.height() / 4);
    const QPoint b = plot.topLeft() + QPoint(plot.width() / 2, plot.height() / 2);
    const double ax = chart.ScreenToX(a.x()), bx = chart.ScreenToX(b.x());
    const double ay = chart.ScreenToY(a.y()), by = chart.ScreenToY(b.y());
    Drag(a, b);
    ChartView first = chart.View();
    EXPECT_EQ(chart.ZoomDepth(), 1);
    EXPECT_DOUBLE_EQ(first.x.min, ax);
    EXPECT_DOUBLE_EQ(first.x.max, bx);
    EXPECT_DOUBLE_EQ(first.y.min, by);
    EXPECT_DOUBLE_EQ(first.y.max, ay);

    // A second zoom inside the first, then back one step at a time: a drag
    // to the left, then a right click, each undoes one zoom.
    Drag(plot.topLeft() + QPoint(10, 10), plot.center());
    EXPECT_EQ(chart.ZoomDepth(), 2);
    EXPECT_GT(chart.View().x.min, first.x.min);
    Drag(plot.center(), plot.center() - QPoint(100, 0));
    EXPECT_EQ(chart.ZoomDepth(), 1);
    EXPECT_EQ(chart.View().x, first.x);
    QTest::mouseClick(&chart, Qt::RightButton, {}, plot.center());
    EXPECT_EQ(chart.ZoomDepth(), 0);
    EXPECT_EQ(chart.View(), original);
    // Nothing left to undo.
    EXPECT_FALSE(chart.UndoZoom());
    QTest::mouseClick(&chart, Qt::RightButton, {}, plot.center());
    EXPECT_EQ(chart.View(), original);

    // A click without a drag, or a drag of a few pixels, changes nothing.
    Drag(plot.center(), plot.center() + QPoint(3, 3));
    EXPECT_EQ(chart.ZoomDepth(), 0);
}

TEST_F(ChartTest, FixedAxisComesBackAfterUndo)
{
    Ramp();
    chart.LeftAxis().SetMinMax(0, 1000);
    chart.ZoomToView({{100, 200}, {250, 500}, false, false});
    EXPECT_DOUBLE_EQ(chart.LeftAxis().Maximum(), 500);
    ASSERT_TRUE(chart.UndoZoom());
    EXPECT_DOUBLE_EQ(chart.LeftAxis().Minimum(), 0);
    EXPECT_DOUBLE_EQ(chart.LeftAxis().Maximum(), 1000);
    // Data added after the zoom is undone widens the automatic bottom axis.
    ChartSeries* s = chart.AddSeries();
    s->SetPoints({-500, 5000}, {0, 0});
    EXPECT_DOUBLE_EQ(chart.BottomAxis().Minimum(), -500);
    EXPECT_DOUBLE_EQ(chart.BottomAxis().Maximum(), 5000);
}

TEST_F(ChartTest, HiddenSeriesAreNotDrawnNorCountedButStayReadable)
{
    ChartSeries* ramp = Ramp(Qt::blue);
    ChartSeries* far = chart.AddSeries();
    far->SetPoints({0, 5000}, {50, 50});
    far->SetColour(Qt::green);
    EXPECT_DOUBLE_EQ(chart.BottomAxis().Maximum(), 5000);

    // The cursor's search still reads a hidden series.
    ramp->SetVisible(false);
    EXPECT_DOUBLE_EQ(chart.BottomAxis().Maximum(), 5000);
    EXPECT_EQ(ramp->NearestPoint(500.5), 501);

    far->SetVisible(false);
    ramp->SetVisible(true);
    EXPECT_DOUBLE_EQ(chart.BottomAxis().Maximum(), 1000);
    ramp->SetVisible(false);
    const QImage image = Grab();
    const QRect plot = chart.PlotRect();
    for (int x = plot.left() + 2; x < plot.right() - 1; x += 7)
        for (int y = plot.top() + 2; y < plot.bottom() - 1; y += 3) {
            const QColor c = image.pixelColor(x, y);
            ASSERT_FALSE(c == QColor(Qt::blue) || c == QColor(Qt::green)) << x << "," << y;
        }
    ramp->SetVisible(true);
    const QImage shown = Grab();
    const int x = chart.XToScreen(500), y = chart.YToScreen(50);
    bool blue = false;
    for (int dy = -1; dy <= 1; ++dy)
        blue = blue || shown.pixelColor(x, y + dy) == QColor(Qt::blue);
    EXPECT_TRUE(blue);
}

// A series over table rows keeps the rows it was given: emptied and
// refilled, changed in place or freed, the table no longer reaches it, and
// no copy is made when it is emptied.
TEST_F(ChartTest, TableSeriesKeepTheRowsTheyWereGiven)
{
    auto t = std::make_unique<MemTable>(
        QStringLiteral("samples"), std::vector<FieldDef>{{QStringLiteral("data"), FieldType::Integer},
                                                         {QStringLiteral("v"), FieldType::Float}});
    t->Open();
    for (int i = 0; i < 100; ++i) {
        const int r = t->AppendRow();
        t->SetIntAt(r, 0, i * 10);
        t->SetFloatAt(r, 1, i * 0.5);
    }
    ChartSeries* s = chart.AddSeries();
    s->SetTableData(t.get(), 0, 1, 20, 50, {100, 1}, {0, 2});
    EXPECT_EQ(s->Count(), 50);
    EXPECT_DOUBLE_EQ(s->XValue(0), 100);  // row 20: 200 - 100
    EXPECT_DOUBLE_EQ(s->YValue(0), 20);   // 10 * 2
    EXPECT_DOUBLE_EQ(s->StoredYValue(0), 10);
    const void* values = t->View(1).data;
    Grab();
    const int renders = chart.RenderCount();

    // Another load of the table: the series still shows its 50 rows, from
    // the same arrays.
    t->Close();
    EXPECT_EQ(s->Points().y.data, values);
    t->Open();
    for (int i = 0; i < 30; ++i) {
        const int r = t->AppendRow();
        t->SetIntAt(r, 0, i);
        t->SetFloatAt(r, 1, 1);
    }
    EXPECT_EQ(s->Count(), 50);
    EXPECT_DOUBLE_EQ(s->XValue(49), 590);
    EXPECT_DOUBLE_EQ(s->YValue(49), 69);  // row 69: 34.5 * 2
    Grab();
    EXPECT_EQ(chart.RenderCount(), renders);  // nothing it shows changed

    // Bound again, it shows the table as it is then; a value changed in
    // place afterwards stays out of it.
    s->SetTableData(t.get(), 0, 1, 20, 50);
    EXPECT_EQ(s->Count(), 10);  // rows 20..29 only
    t->SetFloatAt(25, 1, 7);
    EXPECT_DOUBLE_EQ(s->YValue(5), 1);
    EXPECT_DOUBLE_EQ(t->FloatAt(25, 1), 7);
    t.reset();  // freed: still readable
    EXPECT_DOUBLE_EQ(s->YValue(9), 1);
    Grab();

    // A text column cannot carry a series.
    MemTable texts(QStringLiteral("texts"), {{QStringLiteral("s"), FieldType::String, 5}});
    texts.Open();
    EXPECT_THROW(chart.AddSeries()->SetTableData(&texts, 0, 0, 0, 1), MemTableError);
}

// Every value inside the axis range is drawn, the range's limits and the
// first and last pixel columns included: a flat line at the minimum or the
// maximum lies on the plot's outermost rows, a spike in the first or last
// samples of a million lies in its outermost columns (in the full view and
// at the edges of a zoomed view alike).
TEST_F(ChartTest, ValuesAtTheEdgesOfThePlotAreDrawn)
{
    constexpr int n = 1000000;
    MemTable t(QStringLiteral("samples"), {{QStringLiteral("data"), FieldType::Integer},
                                           {QStringLiteral("low"), FieldType::Integer},
                                           {QStringLiteral("high"), FieldType::Integer},
                                           {QStringLiteral("spikes"), FieldType::Integer}});
    t.SetCompact(true);
    t.Open();
    t.Reserve(n);
    const std::set<int> spikes = {0, 1, 500000, 500001, 599999, 600000, n - 2, n - 1};
    for (int i = 0; i < n; ++i) {
        const MemValue row[] = {MemValue::Int(i), MemValue::Int(0), MemValue::Int(100),
                                MemValue::Int(spikes.count(i) ? 90 : 50)};
        t.AppendValues(row);
    }
    chart.LeftAxis().SetMinMax(0, 100);
    chart.LeftAxis().SetGridVisible(false);
    chart.BottomAxis().SetGridVisible(false);
    const QColor low(255, 0, 0), high(0, 0, 255), spike(0, 160, 0);
    for (auto [column, colour] : {std::pair(1, low), std::pair(2, high), std::pair(3, spike)}) {
        ChartSeries* s = chart.AddSeries();
        s->SetTableData(&t, 0, column, 0, n);
        s->SetColour(colour);
    }

    struct View {
        const char* name;
        AxisRange x;
        std::vector<int> edgeSamples;  // spikes in the view's first or last column
    };
    const View views[] = {
        {"full view", {0, double(n - 1)}, {0, 1, n - 2, n - 1}},
        {"zoomed", {500000, 600000}, {500000, 500001, 599999, 600000}},
    };
    for (const View& v : views) {
        SCOPED_TRACE(v.name);
        if (v.x.min > 0)
            chart.ZoomToView({v.x, {0, 100}, false, false});
        const QImage image = Grab();
        const QRect plot = chart.PlotRect();
        ASSERT_EQ(chart.BottomAxis().Range(), v.x);
        for (int x : {plot.left(), plot.center().x(), plot.right()}) {
            EXPECT_EQ(image.pixelColor(x, plot.bottom()), low) << "minimum at column " << x;
            EXPECT_EQ(image.pixelColor(x, plot.top()), high) << "maximum at column " << x;
        }
        for (int i : v.edgeSamples) {
            const int x = chart.XToScreen(i);
            EXPECT_TRUE(x == plot.left() || x == plot.right()) << "sample " << i << " at column " << x;
            EXPECT_EQ(image.pixelColor(x, chart.YToScreen(90)), spike) << "spike at sample " << i;
        }
        // Nor where there is none.
        EXPECT_NE(image.pixelColor(plot.left() + plot.width() / 4, chart.YToScreen(90)), spike);
    }
}

TEST_F(ChartTest, CursorLineIsDrawnOverTheCachedPlotAndRemovedAgain)
{
    Ramp();
    chart.LeftAxis().SetMinMax(0, 1000);  // the ramp stays low, the middle is empty
    chart.LeftAxis().SetGridVisible(false);
    chart.BottomAxis().SetGridVisible(false);
    const QImage before = Grab();
    const int renders = chart.RenderCount();
    const QRect plot = chart.PlotRect();
    const int x = plot.center().x(), y = plot.top() + 20;
    EXPECT_EQ(before.pixelColor(x, y), QColor(Qt::white));

    chart.SetCursorLine(x);
    QImage with = Grab();
    EXPECT_EQ(with.pixelColor(x, y), QColor(0, 0, 255));  // white xor yellow
    EXPECT_EQ(with.pixelColor(x + 1, y), QColor(Qt::white));
    EXPECT_EQ(chart.RenderCount(), renders);  // the plot was not rendered again

    // A new rendering of the plot keeps the line.
    chart.Invalidate();
    with = Grab();
    EXPECT_EQ(with.pixelColor(x, y), QColor(0, 0, 255));

    chart.SetCursorLine(-1);
    EXPECT_EQ(Grab().pixelColor(x, y), QColor(Qt::white));
}

TEST_F(ChartTest, MappingFollowsThePlotRectangle)
{
    Ramp();
    chart.LeftAxis().SetMinMax(0, 100);
    const QRect plot = chart.PlotRect();
    EXPECT_EQ(chart.XToScreen(1000), plot.right());
    EXPECT_EQ(chart.YToScreen(0), plot.bottom());

    chart.resize(1200, 300);
    const QRect wider = chart.PlotRect();
    EXPECT_GT(wider.width(), plot.width());
    EXPECT_EQ(chart.XToScreen(1000), wider.right());
    EXPECT_EQ(chart.YToScreen(100), wider.top());

    // Hidden left labels give their room to the plot.
    chart.LeftAxis().SetLabelsVisible(false);
    chart.SetMargins(0, 10, 10, 10);
    EXPECT_EQ(chart.PlotRect().left(), 0);
    // The legend takes room at the right.
    chart.SetLegendVisible(true);
    EXPECT_LT(chart.PlotRect().right(), wider.right());
}

TEST_F(ChartTest, BarsAreFoundUnderTheMouseAndHookRunsAfterEachRendering)
{
    ChartSeries* laps = chart.AddSeries(SeriesKind::Bar);
    laps->AddPoint(1, 6000, QStringLiteral("01:00:00"));
    laps->AddPoint(2, 5900, QStringLiteral("00:59:00"));
    laps->AddPoint(3, 6100, QStringLiteral("01:01:00"), Qt::green);
    ChartSeries* sectors = chart.AddSeries(SeriesKind::Bar);
    sectors->AddPoint(1, 2000);
    sectors->AddPoint(2, 1900);

    int hooks = 0;
    chart.AfterDraw = [&](QPainter&) { ++hooks; };
    Grab();
    EXPECT_EQ(hooks, 1);
    EXPECT_EQ(laps->Label(1), QStringLiteral("00:59:00"));
    EXPECT_EQ(laps->PointColour(2), QColor(Qt::green));
    EXPECT_EQ(laps->PointColour(0), laps->Colour());
    // Bars start at 0 and half a step beyond the outer bars.
    EXPECT_DOUBLE_EQ(chart.LeftAxis().Minimum(), 0);
    EXPECT_DOUBLE_EQ(chart.BottomAxis().Minimum(), 0.5);
    EXPECT_DOUBLE_EQ(chart.BottomAxis().Maximum(), 3.5);

    // Side by side: lap bars left of the x position, sector bars right.
    const int y = chart.YToScreen(1000);
    EXPECT_EQ(chart.PointAt(laps, QPoint(chart.XToScreen(2) - 5, y)), 1);
    EXPECT_EQ(chart.PointAt(sectors, QPoint(chart.XToScreen(2) + 5, y)), 1);
    EXPECT_EQ(chart.PointAt(sectors, QPoint(chart.XToScreen(2) - 5, y)), -1);
    EXPECT_EQ(chart.PointAt(laps, QPoint(chart.XToScreen(2) - 5, chart.YToScreen(5950))), -1);  // above the bar
    sectors->SetVisible(false);
    EXPECT_EQ(chart.PointAt(sectors, QPoint(chart.XToScreen(2), y)), -1);
    Grab();
    EXPECT_EQ(hooks, 2);
}

}  // namespace
