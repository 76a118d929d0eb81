#pragma once
// "Rejestracje": the session header form.  For each session the import is
// about to store, the user confirms the driver, the track and the 30 chassis
// and engine set-up values of the logger's header record (or takes them from
// a vehicle profile); saving inserts the session's NAGLOWKI row.  "Accept
// all" saves this and every following session without waiting for the user.
#include <QDialog>
#include <QString>

#include <array>

#include "intake/dumpfile.h"

class FbTransaction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class TImageButton;
class TIntEdit;

class TfNaglowekRejestracji : public QDialog {
    Q_OBJECT
public:
    // Results of the form.
    static constexpr int kSkipped = -1;
    static constexpr int kCancelAll = -2;
    static constexpr int kFailed = -3;  // the row could not be stored (the user was told)
    static constexpr int kSetupCount = 30;

    TfNaglowekRejestracji(const QString& serial, const SessionHeaderRecord& header, int driverId, int trackId,
                          QWidget* parent = nullptr);
    ~TfNaglowekRejestracji() override;

    QLabel* Label33;  // "KROM serial no"
    QLabel* Label34;  // the serial
    QLabel* Label35;  // "Date:"
    QLabel* Label36;  // the session end
    QLabel* Label38;  // the header's driver text
    QLabel* Label37;  // the header's track text
    QLabel* Label1;   // "Driver:"
    QLineEdit* Edit1;
    QPushButton* Button1;  // "Change"
    QLabel* Label2;        // "Track:"
    QLineEdit* Edit2;
    QPushButton* Button2;  // "Change"
    QGroupBox* GroupBox1;  // " Chassis": IntEdit1 .. IntEdit21
    QGroupBox* GroupBox2;  // " Engine ": IntEdit22 .. IntEdit30, Label39
    QLabel* Label39;       // operating counter as hours:minutes
    QGroupBox* GroupBox3;  // " Weather ": "Wet" or "Dry"
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QGroupBox* GroupBox4;  // " Track status ": "Dirty" or "Clean"
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox4;
    QPushButton* SpeedButton1;   // "Select from car profile"
    TImageButton* SpeedButton3;  // save
    TImageButton* SpeedButton4;  // skip
    QPushButton* SpeedButton2;   // "Cancel all"
    QPushButton* SpeedButton5;   // "Accept all" (hidden)
    QTimer* Timer1;              // drives "Accept all"

    // IntEdit1 .. IntEdit30 (n = 1..30).
    TIntEdit* IntEdit(int n) const { return intEdits_.at(n - 1); }

    int Result() const { return result_; }
    int DriverId() const { return driverId_; }
    int TrackId() const { return trackId_; }
    int NewId() const { return newId_; }
    const QString& Serial() const { return serial_; }
    const SessionHeaderRecord& Header() const { return header_; }
    // The import's transaction of this session: the row is inserted into it
    // and committed with the samples.  Without one the row is committed at once.
    void SetSessionTransaction(FbTransaction* session) { session_ = session; }

    // Session end, proposed driver, driver and track names, set-up values
    // and the operating counter from the header record.
    void FillFromHeader();
    void ShowDriverName();
    void ShowTrackName();
    // Checks driver and track, copies the set-up into the header record and
    // inserts it; the new id, 0 for a duplicate, -1 when the form stays open
    // or the row could not be stored.
    int Save();
    // The NAGLOWKI insert; closes the form for a duplicate (result 0) and
    // for a row the database refused (result kFailed, after a message).
    int InsertHeader();

public slots:
    void Button1Click();
    void Button2Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void Timer1Timer();
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();

    QString serial_;
    SessionHeaderRecord header_;
    int driverId_;
    int trackId_;
    int result_ = kSkipped;
    int newId_ = 0;
    FbTransaction* session_ = nullptr;
    std::array<TIntEdit*, kSetupCount> intEdits_{};
};

// The header form for one session.  driverId and trackId carry in the
// proposal (-1 = none) and carry out the choice.  Returns the new ID_NAG
// (> 0), 0 when an equal header exists already, -1 when the session is
// skipped, -2 for "Cancel all", -3 when its row could not be stored.
// session: the import's transaction of the session (see SetSessionTransaction).
int ConfirmSessionHeader(const QString& serial, const SessionHeaderRecord& header, int& driverId, int& trackId,
                         FbTransaction* session = nullptr);
