#pragma once
// Lap-overlay chart: the laps of each session laid over each other from
// their start lines.
#include "analysis/channelchartwindow.h"

class Tfwykresmdilapy : public ChannelChartWindow {
    Q_OBJECT
public:
    explicit Tfwykresmdilapy(QWidget* parent = nullptr);
    ~Tfwykresmdilapy() override;
    void LoadChart();
    // Series of the lap shown when check is 1, hidden otherwise.
    void SetLapVisible(int sessionId, int lap, int check);
    // Series of the lap drawn with HighlightPenWidth, the others with 1.
    void HighlightLap(int sessionId, int lap);

protected:
    void ReadOut(const QPoint& pos) override;

private:
    // The series of one session's laps.
    void BuildSessionSeries(int sessionId);
};

// The open window; null when none is open.
extern Tfwykresmdilapy* fwykresmdilapy;

void ShowLapsChart();
