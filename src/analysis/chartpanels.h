#pragma once
// Pieces the lap time diagram, the Sessions chart and the lap comparison
// chart share: the chart in the look of the analysis charts, the control
// strips beside it, and the session tree grid of the two sessions charts.
#include <QColor>
#include <QWidget>

#include <vector>

#include "platform/dbgrid.h"

class Chart;
class MemTable;
class QHBoxLayout;
class QLabel;

// A strip of controls in the program's dark look, closed off against the
// chart by a thin racing-orange line along one edge.
class ControlStrip : public QWidget {
public:
    ControlStrip(QWidget* parent, Qt::Edge accentEdge);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Edge edge_;
};

// The single-instance rule of the chart windows: false when there is no
// main window, or when a window of the class is open (it is brought to
// the front); true when one is to be made.
bool NeedsNewChild(const QString& className);

// Shows a window as a maximised child window of the main window (the
// Sessions chart, the lap comparison chart).
void ShowMaximisedChild(QWidget* window);

// A chart with a silver-to-white background and a white back wall, flat,
// bottom-axis labels turned 90 degrees, Arial.
Chart* NewAnalysisChart(QWidget* parent);

// The strip of switches and buttons above a chart; row lays them out.
ControlStrip* NewTopStrip(QWidget* parent, QHBoxLayout*& row);

// A read-out box of a bottom strip (see ReadOutLabel): 158 x 19, bold
// Verdana 12 pixels; and the caption before it.
QLabel* ChartReadOutBox(QWidget* parent, const char* name);
QLabel* ReadOutCaption(const QString& text, QWidget* parent);

// Text colours of the session tree's rows (typ_rekordu "1" session, "2"
// lap, "3" sector; status_naj 2 fastest, 1 slowest).
QColor TreeRowColour(const QString& type, int status);

// The session tree grid of the sessions charts: read-only, black, no title
// row, the check column ticked on the rows whose type is checkType ("1"
// session rows, "2" lap rows), text coloured by TreeRowColour (status_naj
// read when the table has it; lapColour for lap rows without a mark), a
// narrow face.
void SetUpTreeGrid(DBGrid& grid, MemTable& memdane, const QString& checkType, const QColor& lapColour);
// Sizes the grid's columns to their texts, each at least as wide as
// designed, and the grid to its columns and scroll bar, at least width
// pixels (the first column takes what is left over).
void FitTreeGrid(DBGrid& grid, std::vector<GridColumn> columns, int width);

class AnalysisSession;
class Tfgpspowiazany;

// The linked GPS view of the Sessions chart and the lap comparison chart:
// a window of its own (owned by the application, not by the chart), made
// by the first "GPS" press, placed where such a view was last left
// (project record offsets 42 and 46, when both are above 0), and redrawn
// by every later press.  The chart frees it with itself.
class ChartGpsView {
public:
    // The view finds lap starts in the session's lap table.
    explicit ChartGpsView(const AnalysisSession& session) : session_(session) {}
    ~ChartGpsView();
    ChartGpsView(const ChartGpsView&) = delete;
    ChartGpsView& operator=(const ChartGpsView&) = delete;

    Tfgpspowiazany* View() const { return view_; }
    // The "GPS" button: draws a session (lap 0) or one lap, shows the view
    // and brings it to the front.
    void Show(int sessionId, int lap, const QString& caption);
    // The chart's cursor time, when the view exists.
    void CursorAt(int time);
    // The chart closes: the view's place goes to the project record and the
    // view is closed (hidden).
    void Close();

private:
    const AnalysisSession& session_;
    Tfgpspowiazany* view_ = nullptr;
};
