#pragma once
// What the Sessions chart and the lap comparison chart share: the strip
// with the GPS button above, their own session tree at the left with its
// tick column, the chart of RPM lines drawn from memGPS rows, the cursor
// line, the load that takes memGPS over, and the linked GPS view.
#include <QWidget>

#include <functional>
#include <vector>

#include "analysis/chartpanels.h"
#include "analysis/sessioncharts.h"

class Chart;
class QHBoxLayout;
class QPushButton;
class QVBoxLayout;

class SessionsChartWindow : public QWidget {
    Q_OBJECT
public:
    ~SessionsChartWindow() override;

    QPushButton* Button2 = nullptr;  // "GPS"
    DBGrid* RxDBGrid1 = nullptr;
    Chart* Chart1 = nullptr;

    // The time last handed to the linked GPS view's cursor.
    int CursorTime() const { return cursorTime_; }
    ChartGpsView& GpsView() { return gps_; }

    // A click on the tree: on the tick column of a row that has a tick,
    // the tick flips and the row's line shows or hides with it.
    void RxDBGrid1CellClick(int row, const QString& field);

protected:
    SessionsChartWindow(const AnalysisSession& session, QWidget* parent);
    // The tree shown: memdane its rows; tickedType the row type with a tick
    // ("1" sessions, "2" laps); lapColour the text of lap rows without a
    // mark; columns and gridWidth the grid as designed.
    void ShowTree(MemTable& memdane, const QString& tickedType, const QColor& lapColour,
                  std::vector<GridColumn> columns, int gridWidth);

    // The switches before the GPS button.
    QHBoxLayout* TopRow = nullptr;
    QVBoxLayout* Outer = nullptr;

    // Whether series i is a line the tree row ticks.
    virtual bool RowDraws(int row, int series) const = 0;
    // Points the lines at their rows in memGPS as this window's load left
    // them.
    virtual void BindSamples() = 0;
    // The grid's current row changed.
    virtual void DataSource1DataChange() = 0;

    // Empties the chart, the tree and memGPS, runs fill (which loads the
    // chosen sessions into memGPS and resetTree's tree), then binds the
    // lines to the rows loaded, fits the grid and goes to its first row.
    // The lines keep those rows whoever reloads memGPS afterwards.  A fill
    // that fails leaves memGPS, the tree and the chart empty, so that no
    // part of a session passes for the whole, and names the session in a
    // message.
    void Load(const std::function<void()>& fill, const std::function<void()>& resetTree);
    bool Loading() const { return loading_; }

    // The cursor line at the mouse; false when the mouse is outside the
    // plot (the line is then gone).
    bool MoveCursorLine(const QPoint& pos);

    void closeEvent(QCloseEvent* event) override;

    int cursorTime_ = 0;
    ChartGpsView gps_;

private:
    MemTable* memdane_ = nullptr;
    QString tickedType_;
    std::vector<GridColumn> columns_;
    int gridWidth_ = 0;
    bool loading_ = false;
};

// Opens a window of this class maximised in the main window and loads it,
// or brings an open one to the front without reloading it.
template <class Window>
void ShowMaximisedChart(const AnalysisSession& session)
{
    if (!NeedsNewChild(QString::fromLatin1(Window::staticMetaObject.className())))
        return;
    auto* window = new Window(session);
    ShowMaximisedChild(window);
    window->LoadChart();
}
