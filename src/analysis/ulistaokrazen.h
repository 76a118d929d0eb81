#pragma once
// Session and lap chooser: the sessions of a date range with their laps and
// sector times; OK replaces memWybraneSesje with the ticked sessions.
#include <QDialog>

#include "platform/memtable.h"
#include "platform/tdatetime.h"
#include "shell/data/ibquery.h"

class AnalysisSession;
class DBGrid;
class QPushButton;
class QWidget;
class TImageButton;

class TfListaOkrazen : public QDialog {
    Q_OBJECT
public:
    explicit TfListaOkrazen(QWidget* parent = nullptr);
    ~TfListaOkrazen() override;

    MemTable memdane;
    TIBQuery qnag;

    QWidget* Panel1;             // black top panel
    QPushButton* Button1;        // "GPS"
    DBGrid* RxDBGrid1;
    QWidget* Panel2;             // black bottom panel
    TImageButton* SpeedButton1;  // OK
    TImageButton* SpeedButton2;  // Cancel

    // After OK the session id of the current row; 0 otherwise.
    int Result() const { return result_; }

    // Fills memdane from qnag (text and parameters set).
    void FillSessions();

public slots:
    void SpeedButton1Click();
    void SpeedButton2Click();
    void Button1Click();  // GPS
    void RxDBGrid1CellClick(int row, const QString& field);

private:
    bool isSessionRow(int row) const;
    int result_ = 0;
};

// The session id of the current row after OK, 0 otherwise.
int ChooseSessionsAndLaps(AnalysisSession& session);

// The chooser over the sessions from DS up to DE (exclusive), filtered by
// one track and one driver when their ids are above 0; its result.
int ShowLapChooser(int trackId, int driverId, TDateTime DS, TDateTime DE);
