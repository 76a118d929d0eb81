#pragma once
// The session panel: the left-hand column of the analysis workspace.  It
// loads the chosen sessions (samples into memGPS, ranges into memMinMax)
// and shows their session, lap and sector tree; its top strip steers the
// chart and GPS windows.
#include <QWidget>

#include "analysis/sessiontree.h"

class DBGrid;
class Tfgpspowiazany;
class TfgpsPorownaj;

class TFPanelSesji : public QWidget, public SessionTree {
    Q_OBJECT
public:
    explicit TFPanelSesji(QWidget* parent = nullptr);
    ~TFPanelSesji() override;

    // Rebuilds memGPS, memMinMax and the tree from memWybraneSesje.
    void LoadSessions();

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

    DBGrid* RxDBGrid1 = nullptr;
};

// The one panel while it is open; null otherwise.
extern TFPanelSesji* FPanelSesji;

// Opens the panel (width 405) or reloads the open one.
void ShowSessionPanel();
// Opens the panel (width 360) unless it is open; never reloads.
void EnsureSessionPanel();
// Width of the open panel; 0 when none is open.
int SessionPanelWidth();
