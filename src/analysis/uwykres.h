#pragma once
// Sessions chart: the RPM of several sessions over one time axis with
// their lap and sector lines.
#include <QWidget>

#include "analysis/chartpanels.h"
#include "analysis/sessioncharts.h"

class Chart;
class ChartSeries;
class DBGrid;
class QCheckBox;
class QLabel;
class QPainter;
class QPushButton;

class TFWykres : public QWidget {
    Q_OBJECT
public:
    explicit TFWykres(QWidget* parent = nullptr);
    ~TFWykres() override;

    // Loads the sessions of memWybraneSesje: their samples into memGPS
    // (which this window then owns), the tree and one RPM line each.
    void LoadChart();

    // Handlers.
    void Chart1AfterDraw(QPainter& painter);
    void Chart1MouseMove(const QPoint& pos);
    void RxDBGrid1CellClick(int row, const QString& field);
    void DataSource1DataChange();
    void Button2Click();

    // The session of the grid's current row; 0 when none.
    int SelectedSession() const;
    int CursorTime() const { return cursorTime_; }
    ChartGpsView& GpsView() { return gps_; }

    SessionsChartTree Tree;

    QCheckBox* CheckBox1 = nullptr;  // "Lap lines"
    QCheckBox* CheckBox2 = nullptr;  // "Sector lines"
    QPushButton* Button2 = nullptr;  // "GPS"
    DBGrid* RxDBGrid1 = nullptr;
    Chart* Chart1 = nullptr;
    QLabel* st_czas = nullptr;      // "Time:"
    QLabel* StaticText1 = nullptr;  // "Lap time:"
    QLabel* StaticText2 = nullptr;  // "Sector time:"

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Points the lines at the rows of their sessions in memGPS (none while
    // memGPS counts from lap starts).
    void BindSamples();

    bool building_ = false;
    int highlighted_ = -1;
    int cursorTime_ = 0;
    ChartGpsView gps_;
};

// The open window; null when none is open.
extern TFWykres* fwykres;

void ShowSessionChart();
