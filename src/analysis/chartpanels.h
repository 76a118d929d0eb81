#pragma once
// Pieces the lap time diagram, the Sessions chart and the lap comparison
// chart share: the chart in the look of the analysis charts, the control
// strips beside it, and the session tree grid of the two sessions charts.
#include <QColor>
#include <QWidget>

class Chart;
class DBGrid;
class MemTable;
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

// A chart with a silver-to-white background and a white back wall, flat,
// bottom-axis labels turned 90 degrees, Arial.
Chart* NewAnalysisChart(QWidget* parent);

// A read-out caption and its box (see ReadOutLabel) of a bottom strip.
QLabel* ReadOutCaption(const QString& text, QWidget* parent);

// Text colours of the session tree's rows (typ_rekordu "1" session, "2"
// lap, "3" sector; status_naj 2 fastest, 1 slowest).
QColor TreeRowColour(const QString& type, int status);

// The session tree grid of the sessions charts: read-only, black, no title
// row, the check column ticked on the rows whose type is checkType ("1"
// session rows, "2" lap rows), text coloured by TreeRowColour (status_naj
// read when the table has it; lapColour for lap rows without a mark).
void SetUpTreeGrid(DBGrid& grid, MemTable& memdane, const QString& checkType, const QColor& lapColour);
