#pragma once
// Whole-session chart: the chosen channels of every loaded session over the
// whole session, with the lap strip, extremes and the cursor read-out.
#include "analysis/channelchartwindow.h"
#include "platform/chart/chartmath.h"
#include "platform/memtable.h"

#include <optional>

class Tfwykrescale : public ChannelChartWindow {
    Q_OBJECT
public:
    explicit Tfwykrescale(AnalysisSession& session, QWidget* parent = nullptr);
    ~Tfwykrescale() override;
    // Rebuilds every series from memGPS, memMinMax and the session tree.
    void LoadChart() override;
    // Series of the session shown when check is 1, hidden otherwise.
    void SetSessionVisible(int sessionId, int check);
    // Series of the session drawn with HighlightPenWidth, the others with 1.
    void HighlightSession(int sessionId);

    // The lap strip above the chart (it starts at the chart's left edge, so
    // a position on the chart is the same position on the strip).
    QWidget* Image1 = nullptr;
    QLabel* StaticText1 = nullptr;  // "Lap time:"
    QLabel* StaticText2 = nullptr;  // "Sector time:"

    // Extremes of the current channel per session (id_nag, data_ss,
    // wartosc), rebuilt at every load.
    MemTable memMin;
    MemTable memMaks;

protected:
    void ReadOut(const QPoint& pos) override;
    void CurrentRowChanged(int sessionId, int lap) override;
    void SessionShown(int sessionId, int check) override;
    void AfterDraw(QPainter& painter) override;

private:
    friend class LapStrip;
    void PaintLapStrip(QPainter& painter);
    void DrawMarkers(QPainter& painter);
    void UpdateTimeAxis();
    // From the first to the last sample of the load (empty: no samples).
    std::optional<AxisRange> samplesSpan_;
    int highlighted_ = 0;
    bool highlightValid_ = false;
};

// The open window; null when none is open.
extern Tfwykrescale* fwykrescale;

// Opens the window right of the session panel, or brings the open one to
// the front without reloading it.
void ShowWholeSessionChart(AnalysisSession& session);
