#pragma once
// The session panel: the left-hand column of the analysis workspace.  It
// loads the chosen sessions (samples into memGPS, ranges into memMinMax)
// and shows their session, lap and sector tree, which the analysis session
// holds; its top strip steers the chart and GPS windows through the
// session's views.
#include <QPointer>
#include <QWidget>

#include <array>

#include "analysis/analysissession.h"

class DBGrid;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class TIntEdit;
class Tfgpspowiazany;
class TfgpsPorownaj;

class TFPanelSesji : public QWidget, public SessionView {
    Q_OBJECT
public:
    explicit TFPanelSesji(AnalysisSession& session, QWidget* parent = nullptr);
    ~TFPanelSesji() override;

    // The analysis session the panel loads and steers, and its tree.
    AnalysisSession& Session() const { return session_; }
    SessionTree& Tree() const { return session_.tree; }

    // Rebuilds memGPS, memMinMax and the tree from memWybraneSesje.  A load
    // that fails leaves them empty, clears the open charts drawing them and
    // names the session in a message; false then.
    bool LoadSessions();

    // The current row of memdane (0 / "" when there is none).
    int CurrentSessionId() const;   // id_naglowka
    int CurrentLap() const;         // id_okrazenia (0 on session rows)
    int CurrentLp() const;          // lp
    QString CurrentRowType() const; // typ_rekordu
    // Moves memdane to the row with this lp (from the first row).
    bool LocateLp(int lp);

    // Suspends and resumes the grid's updates (nesting).
    void DisableControls();
    void EnableControls();

    // The panel's linked GPS view and GPS comparison window; null until
    // first used.
    Tfgpspowiazany* GpsView() const;
    TfgpsPorownaj* CompareWindow() const;
    // True when the panel holds a linked GPS view that is shown.
    bool GpsViewOpen() const;

    // The lap-time filters as the edits hold them.
    TreeFilters Filters() const;
    // The frame the panel sits in: its multi-document child window, or the
    // panel itself when it stands alone.
    QWidget* Frame() const;

    // ------------------------------------------------------------ controls
    QWidget* Panel1 = nullptr;  // the top strip, 99 high
    QLabel* Label1 = nullptr;   // "Max lap time:"
    TIntEdit* IntEdit1 = nullptr;
    QLabel* Label2 = nullptr;   // "Min lap time:"
    TIntEdit* IntEdit2 = nullptr;
    QPushButton* SpeedButton2 = nullptr;  // "GPS"
    QPushButton* SpeedButton1 = nullptr;  // "Update"
    QPushButton* SpeedButton4 = nullptr;  // "Vehicle settings"
    QPushButton* SpeedButton5 = nullptr;  // "Add lap to compare"
    QPushButton* SpeedButton3 = nullptr;  // "X"
    QGroupBox* GroupBox1 = nullptr;       // " Value ": the chosen channels
    std::array<QCheckBox*, 6> CheckBoxes{};  // CheckBox1 .. CheckBox6
    QGroupBox* RadioGroup1 = nullptr;     // " Value ": the current channel, never shown
    std::array<QRadioButton*, 4> RadioItems{};
    DBGrid* RxDBGrid1 = nullptr;

    // A chart's cursor moves the linked GPS view's while it is shown.
    void CursorMoved(int time, int lap, int sessionId) override;

public slots:
    // Handlers, by component.
    void FormCreate();
    void SpeedButton1Click();  // Update
    void CheckBox1Click();     // any channel box
    void RadioGroup1Click(int item);
    void DataSource1DataChange();
    void RxDBGrid1MouseUp(Qt::MouseButton button, const QPoint& pos);
    void SpeedButton2Click();  // GPS
    void SpeedButton4Click();  // Vehicle settings
    void SpeedButton5Click();  // Add lap to compare
    void SpeedButton3Click();  // X

private:
    void BuildPanel();
    void BuildGrid();
    void LayoutPanel();

    AnalysisSession& session_;
    MemTable& memdane;  // the session tree's grid rows, shown by the grid
    QPointer<Tfgpspowiazany> gpsView_;
    QPointer<TfgpsPorownaj> compare_;

protected:
    void resizeEvent(QResizeEvent* event) override;
};

// The one panel while it is open; null otherwise.
extern TFPanelSesji* FPanelSesji;

// Opens the panel (width 405) on the session or reloads the open one.
void ShowSessionPanel(AnalysisSession& session);
// Opens the panel (width 360) on the session unless it is open; never
// reloads.
void EnsureSessionPanel(AnalysisSession& session);
// Width of the open panel; 0 when none is open.
int SessionPanelWidth();
