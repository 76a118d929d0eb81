#pragma once
// Lap time diagram: lap and sector times of the chosen sessions as bars,
// also as differences to the best.
#include <QWidget>

#include <map>

#include "analysis/lapdiagram.h"

class Chart;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;

class TfwykresCzasy : public QWidget {
    Q_OBJECT
public:
    explicit TfwykresCzasy(QWidget* parent = nullptr);
    ~TfwykresCzasy() override;
    void LoadChart();
    // Bars of the session shown when check is 1, hidden otherwise.
    void SetSessionVisible(int sessionId, int check);

    // Refills the bars: differences with "Diff" checked, times otherwise.
    void CheckBox3Click();
    // The filters and the marks switch.
    void FiltersChanged();
    void CheckBox4Click();
    // The read-out of the bar under a chart position.
    void Chart1MouseMove(const QPoint& pos);

    // The rows and series behind the bars.
    LapDiagram Diagram;

    Chart* Chart1 = nullptr;
    QCheckBox* CheckBox3 = nullptr;  // "Diff"
    QCheckBox* CheckBox2 = nullptr;  // "Sectors"
    QCheckBox* CheckBox1 = nullptr;  // "Laps"
    QCheckBox* CheckBox4 = nullptr;  // "Show marks"
    QGroupBox* RadioGroup1 = nullptr;  // " Sectors ": All, 1..5
    QButtonGroup* RadioItems = nullptr;
    QLabel* StaticText1 = nullptr;  // read-out

    DiagramFilters Filters() const;

private:
    // Shown: the session is ticked in the panel and the filters let it through.
    void ApplyVisibility();
    std::map<int, bool> sessionShown_;
};

// The open window; null when none is open.
extern TfwykresCzasy* fwykresCzasy;

void ShowLapTimeDiagram();
