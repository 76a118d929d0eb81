#pragma once
// Lap-overlay chart: the laps of each session laid over each other from
// their start lines.
#include <utility>
#include <vector>

#include "analysis/channelchartwindow.h"

class Tfwykresmdilapy : public ChannelChartWindow {
    Q_OBJECT
public:
    explicit Tfwykresmdilapy(AnalysisSession& session, QWidget* parent = nullptr);
    ~Tfwykresmdilapy() override;
    void LoadChart() override;
    // Series of the lap shown when check is 1, hidden otherwise.
    void SetLapVisible(int sessionId, int lap, int check);
    // Series of the lap drawn with HighlightPenWidth, the others with 1.
    void HighlightLap(int sessionId, int lap);

protected:
    void ReadOut(const QPoint& pos) override;
    void CurrentRowChanged(int sessionId, int lap) override;
    void LapShown(int sessionId, int lap, int check) override;

private:
    // The series of one session's laps.
    void BuildSessionSeries(int sessionId);
    // Whether series i draws this lap of this session.  The series' tag
    // keeps the lap in its last two digits only, so laps from 100 on would
    // meet other sessions' tags: the window finds a lap's series by the
    // session and lap it drew them for.
    bool DrawsLap(int i, int sessionId, int lap) const;

    std::vector<std::pair<int, int>> seriesLaps_;  // (session, lap) of every series, in chart order
};

// The open window; null when none is open.
extern Tfwykresmdilapy* fwykresmdilapy;

void ShowLapsChart(AnalysisSession& session);
