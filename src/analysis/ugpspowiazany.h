#pragma once
// GPS view linked to the chart cursors: a stay-on-top window owned by the
// application, hidden (not freed) when closed.
#include <QWidget>

class Tfgpspowiazany : public QWidget {
    Q_OBJECT
public:
    explicit Tfgpspowiazany(QWidget* parent = nullptr);
    ~Tfgpspowiazany() override;
    // Draws the line of a session (lap 0) or of one lap from memGPS; false
    // while another draw runs or when no point has a fix.
    bool GpsDraw(int sessionId, int lap, const QString& caption);
    // Moves the marker to the sample at a session time, switching the lap
    // shown when needed, and draws the acceleration arrow.
    void GpsCursor(int time, int lap, int sessionId);
    // Moves the marker to the sample at a time, without arrow.
    void GpsCursorAt(int time);
    // Redraw after a resize only while allowed.
    void SetResizeAllowed(bool allowed);
};

// The open window; null when none is open.
extern Tfgpspowiazany* fgpspowiazany;


