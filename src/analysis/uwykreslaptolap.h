#pragma once
// Lap comparison chart: the RPM of every lap over the time since its start.
#include "analysis/sessionschartwindow.h"

class Tfwykreslaptolap : public SessionsChartWindow {
    Q_OBJECT
public:
    // The session: its lap table places laps in the linked GPS view.
    explicit Tfwykreslaptolap(const AnalysisSession& session, QWidget* parent = nullptr);
    ~Tfwykreslaptolap() override;

    // Loads every recorded lap of the sessions of memWybraneSesje: their
    // samples into memGPS (which this window then owns), counted from each
    // lap's start, the tree and one RPM line per lap.
    void LoadChart();

    // Handlers.
    void Chart1MouseMove(const QPoint& pos);
    void DataSource1DataChange() override;
    void Button2Click();

    // The lap the GPS view shows (0, 0 before "GPS" was pressed on a lap).
    int GpsSession() const { return gpsSession_; }
    int GpsLap() const { return gpsLap_; }
    // The laps drawn, in the chart's order.
    const std::vector<ComparedLap>& Laps() const { return laps_; }

    LapComparisonTree Tree;

protected:
    bool RowDraws(int row, int series) const override;
    // Each lap's line on its rows of memGPS, counted from its start.
    void BindSamples() override;

private:
    // The current row when it is a lap row; -1 otherwise.
    int CurrentLapRow() const;
    // Whether series i is the line of this lap.  A line's tag keeps the lap
    // in its last two digits only, so from lap 100 on it can meet another
    // session's tag: lines are found by the lap they were drawn for.
    bool DrawsLap(int series, int sessionId, int lap) const;

    std::vector<ComparedLap> laps_;
    int gpsSession_ = 0;
    int gpsLap_ = 0;
};

// The open window; null when none is open.
extern Tfwykreslaptolap* fwykreslaptolap;

void ShowLapComparison(const AnalysisSession& session);
