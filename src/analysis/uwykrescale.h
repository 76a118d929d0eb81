#pragma once
// Whole-session chart: the chosen channels of every loaded session over the
// whole session, with the lap strip, extremes and the cursor read-out.
#include <QWidget>

class Tfwykrescale : public QWidget {
    Q_OBJECT
public:
    explicit Tfwykrescale(QWidget* parent = nullptr);
    ~Tfwykrescale() override;
    // Rebuilds every series from memGPS, memMinMax and the session tree.
    void LoadChart();
    // Series of the session shown when check is 1, hidden otherwise.
    void SetSessionVisible(int sessionId, int check);
    // Series of the session drawn with HighlightPenWidth, the others with 1.
    void HighlightSession(int sessionId);
};

// The open window; null when none is open.
extern Tfwykrescale* fwykrescale;

// Opens the window right of the session panel, or brings the open one to
// the front without reloading it.
void ShowWholeSessionChart();
