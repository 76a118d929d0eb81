#pragma once
// Session choice: the range dialog, then the Template chooser listing the
// sessions of the range (or of the ticked days), drivers and tracks with
// their best lap and sector times.
#include <QDialog>

#include "analysis/sessionchoice.h"
#include "platform/memtable.h"
#include "platform/tdatetime.h"
#include "shell/data/ibquery.h"

class AnalysisSession;
class DBGrid;
class QLabel;
class QPushButton;
class QWidget;
class TImageButton;

class TfTemplate : public QDialog {
    Q_OBJECT
public:
    explicit TfTemplate(QWidget* parent = nullptr);
    ~TfTemplate() override;

    MemTable memdane;
    TIBQuery qnag;

    QWidget* Panel1;             // black top panel
    QPushButton* Button1;        // "GPS"
    QPushButton* Button2;        // "Vehicle settings"
    QLabel* Label1;
    DBGrid* RxDBGrid1;
    QWidget* Panel2;             // black bottom panel
    TImageButton* SpeedButton1;  // OK
    TImageButton* SpeedButton2;  // Cancel

    // 1 after OK, 0 otherwise.
    int Result() const { return result_; }
    const TitleSort& Sort() const { return sort_; }

    // Fills memdane from qnag (text and parameters set).
    void FillSessions();

public slots:
    void SpeedButton1Click();
    void SpeedButton2Click();
    void Button1Click();  // GPS
    void Button2Click();  // Vehicle settings
    void RxDBGrid1CellClick(int row, const QString& field);
    void RxDBGrid1TitleClick(const QString& field);

private:
    int result_ = 0;
    TitleSort sort_;
};

// 1 when the user confirmed the Template chooser (memWybraneSesje then
// holds the ticked sessions), 0 otherwise.  The range asked first is the
// session's.
int ChooseSessions(AnalysisSession& session);

// The chooser over the sessions from DS up to DE (exclusive); its result.
int ShowTemplateByRange(TDateTime DS, TDateTime DE);
// The chooser over the sessions of the days in DM->memWybraneDni.
int ShowTemplateByDays();
