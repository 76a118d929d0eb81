#pragma once
// "Select": the small dialog in which the user states what an analysis
// covers: a date range or days ticked in the calendar wizard, and
// optionally drivers and tracks picked in their choosers.  The choices are
// handed over in the data module's memWybraneDni, memWybraniKierowcy and
// memwybraneTory, which the dialog empties every time it opens.
#include <QDialog>

#include "platform/tdatetime.h"

class AnalysisSession;
class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TImageButton;

class TfWyborZakresu : public QDialog {
    Q_OBJECT
public:
    explicit TfWyborZakresu(QWidget* parent = nullptr);

    QLabel* Label1;          // heading
    QGroupBox* GroupBox1;    // " Date "
    QCheckBox* CheckBox1;    // " Range "
    QLabel* Label2;          // "Date from:"
    QDateEdit* DateEdit1;
    QLabel* Label3;          // "Date to:"
    QDateEdit* DateEdit2;
    QPushButton* Button1;    // "Wizard"
    QPushButton* Button2;    // "Select drivers"
    QPushButton* Button3;    // "Select tracks"
    QLabel* Label4;          // "Driver" (hidden)
    QLineEdit* Edit1;        // name of the chosen driver (hidden)
    QLabel* Label5;          // "Track" (hidden)
    QLineEdit* Edit2;        // name of the chosen track (hidden)
    TImageButton* SpeedButton1;  // OK
    TImageButton* SpeedButton2;  // Cancel

    // True from creation on; False only after Cancel, so the close box
    // counts as accepted.
    bool Accepted() const { return accepted_; }
    int DriverId() const { return driverId_; }
    int TrackId() const { return trackId_; }

    void SetDates(TDateTime from, TDateTime to);
    TDateTime DateFrom() const;
    TDateTime DateTo() const;

public slots:
    void CheckBox1Change(bool checked);
    void Button1Click();  // Wizard
    void Button2Click();  // Select drivers
    void Button3Click();  // Select tracks
    void SpeedButton1Click();
    void SpeedButton2Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setDateEditsEnabled(bool enabled);

    bool accepted_ = true;
    int driverId_ = 0;
    int trackId_ = 0;
};

// Shows the dialog with the two dates; empties the three selection tables
// first.  Returns whether it was accepted, the last driver and track ids
// chosen (0 when none) and the dates as the two edits hold them.
bool ChooseAnalysisRange(int& trackId, int& driverId, TDateTime& dateFrom, TDateTime& dateTo);

// What both session choosers ask first: the range dialog opened with the
// session's remembered range (or the last seven days at first use).  When
// accepted, the returned dates are remembered in the session's
// TemplateDateFrom / TemplateDateTo.
bool AskAnalysisRange(AnalysisSession& session, int& trackId, int& driverId, TDateTime& dateFrom, TDateTime& dateTo);
