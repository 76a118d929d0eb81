#pragma once
// GPS lap comparison: up to five laps replayed side by side on one map; a
// stay-on-top window owned by the application, hidden when closed.
#include <QWidget>

class TfgpsPorownaj : public QWidget {
    Q_OBJECT
public:
    explicit TfgpsPorownaj(QWidget* parent = nullptr);
    ~TfgpsPorownaj() override;
    // Puts a lap into the next of five slots and redraws; false while an
    // add runs.
    bool CompareAddLap(int sessionId, int lap, const QString& caption);
};

// The open window; null when none is open.
extern TfgpsPorownaj* fgpsPorownaj;


