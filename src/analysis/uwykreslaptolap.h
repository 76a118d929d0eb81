#pragma once
// Lap comparison chart: the RPM of every lap over the time since its start.
#include <QWidget>

#include <vector>

#include "analysis/chartpanels.h"
#include "analysis/sessioncharts.h"

class Chart;
class DBGrid;
class QPushButton;

class Tfwykreslaptolap : public QWidget {
    Q_OBJECT
public:
    explicit Tfwykreslaptolap(QWidget* parent = nullptr);
    ~Tfwykreslaptolap() override;

    // Loads every recorded lap of the sessions of memWybraneSesje: their
    // samples into memGPS (which this window then owns), counted from each
    // lap's start, the tree and one RPM line per lap.
    void LoadChart();

    // Handlers.
    void Chart1MouseMove(const QPoint& pos);
    void RxDBGrid1CellClick(int row, const QString& field);
    void DataSource1DataChange();
    void Button2Click();

    // The lap the GPS view shows (0, 0 before "GPS" was pressed on a lap).
    int GpsSession() const { return gpsSession_; }
    int GpsLap() const { return gpsLap_; }
    int CursorTime() const { return cursorTime_; }
    ChartGpsView& GpsView() { return gps_; }
    // The laps drawn, in the chart's order.
    const std::vector<ComparedLap>& Laps() const { return laps_; }

    LapComparisonTree Tree;

    QPushButton* Button2 = nullptr;  // "GPS"
    DBGrid* RxDBGrid1 = nullptr;
    Chart* Chart1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Points each lap's line at its rows in memGPS, counted from its start.
    void BindSamples();

    std::vector<ComparedLap> laps_;
    int gpsSession_ = 0;
    int gpsLap_ = 0;
    int cursorTime_ = 0;
    ChartGpsView gps_;
};

// The open window; null when none is open.
extern Tfwykreslaptolap* fwykreslaptolap;

void ShowLapComparison();
