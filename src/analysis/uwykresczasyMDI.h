#pragma once
// Lap time diagram: lap and sector times of the chosen sessions as bars,
// also as differences to the best.
#include <QWidget>

class TfwykresCzasy : public QWidget {
    Q_OBJECT
public:
    explicit TfwykresCzasy(QWidget* parent = nullptr);
    ~TfwykresCzasy() override;
    void LoadChart();
    // Bars of the session shown when check is 1, hidden otherwise.
    void SetSessionVisible(int sessionId, int check);
};

// The open window; null when none is open.
extern TfwykresCzasy* fwykresCzasy;

void ShowLapTimeDiagram();
