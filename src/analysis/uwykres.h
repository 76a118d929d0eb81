#pragma once
// Sessions chart: the RPM of several sessions over one time axis with
// their lap and sector lines.
#include "analysis/sessionschartwindow.h"

class QCheckBox;
class QLabel;
class QPainter;

class TFWykres : public SessionsChartWindow {
    Q_OBJECT
public:
    // The session: its lap table places laps in the linked GPS view.
    explicit TFWykres(const AnalysisSession& session, QWidget* parent = nullptr);
    ~TFWykres() override;

    // Loads the sessions of memWybraneSesje: their samples into memGPS
    // (which this window then owns), the tree and one RPM line each.
    void LoadChart();

    // Handlers.
    void Chart1AfterDraw(QPainter& painter);
    void Chart1MouseMove(const QPoint& pos);
    void DataSource1DataChange() override;
    void Button2Click();

    // The session of the grid's current row; 0 when none.
    int SelectedSession() const;

    SessionsChartTree Tree;

    QCheckBox* CheckBox1 = nullptr;  // "Lap lines"
    QCheckBox* CheckBox2 = nullptr;  // "Sector lines"
    QLabel* st_czas = nullptr;      // "Time:"
    QLabel* StaticText1 = nullptr;  // "Lap time:"
    QLabel* StaticText2 = nullptr;  // "Sector time:"

protected:
    bool RowDraws(int row, int series) const override;
    // Each session's line on its rows of memGPS; none while memGPS counts
    // from lap starts.
    void BindSamples() override;

private:
    int highlighted_ = -1;
};

// The open window; null when none is open.
extern TFWykres* fwykres;

void ShowSessionChart(const AnalysisSession& session);
