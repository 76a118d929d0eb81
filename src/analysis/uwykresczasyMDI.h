#pragma once
// Lap time diagram: lap and sector times of the chosen sessions as bars,
// also as differences to the best; a view of the analysis session.
#include <QWidget>

#include <map>

#include "analysis/analysissession.h"
#include "analysis/lapdiagram.h"

class Chart;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;

class TfwykresCzasy : public QWidget, public SessionView {
    Q_OBJECT
public:
    explicit TfwykresCzasy(AnalysisSession& session, QWidget* parent = nullptr);
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

protected:
    void SessionLoaded() override { LoadChart(); }
    void SessionShown(int sessionId, int check) override { SetSessionVisible(sessionId, check); }
    void AnalysisClosed() override;
    // A window that closes is told no more.
    void closeEvent(QCloseEvent* event) override;

private:
    AnalysisSession& session_;
    // Shown: the session is ticked in the panel and the filters let it through.
    void ApplyVisibility();
    std::map<int, bool> sessionShown_;
};

// The open window; null when none is open.
extern TfwykresCzasy* fwykresCzasy;

void ShowLapTimeDiagram(AnalysisSession& session);
