#pragma once
// The vehicle set-up profile window: edits one POJAZDY profile, or shows the
// set-up stored with a session, from which a new profile can be made.
#include <QDialog>

#include <array>
#include <vector>

#include "controls/fieldcheck.h"

#include "profiles/setupcolumns.h"
#include "profiles/ukierowca.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TIntEdit;

class TfnowycarSet : public QDialog {
    Q_OBJECT
public:
    explicit TfnowycarSet(QWidget* parent = nullptr);

    // The profile (below 1: not yet stored); after a save of a new profile
    // its new id.
    int Id() const { return id_; }
    void SetId(int id) { id_ = id; }
    // The session the set-up view shows.
    int SessionId() const { return sessionId_; }

    // Fills the controls from the profile with the id.
    void LoadProfile();
    // Turns the window into the view of a session's set-up: fills it from
    // the session (when idNag is above 0), hides the name and OK, shows
    // "Save as car profile".
    void ShowSession(int idNag);

    // The 30 set-up values as the edits hold them, indexed like kSetupColumns.
    SetupValues Values() const;
    void SetValues(const SetupValues& values);

    QLabel* Label1;          // "Profil name:"
    QLineEdit* Edit1;        // the profile name
    QGroupBox* GroupBox1;    // " Chassis"
    QGroupBox* GroupBox2;    // " Engine "
    std::array<TIntEdit*, kSetupColumnCount> IntEdits{};  // IntEdit1 .. IntEdit30
    TGlyphButton* SpeedButton1;  // OK
    TGlyphButton* SpeedButton2;  // Cancel
    QPushButton* Button1;        // "Save as car profile"

public slots:
    void SpeedButton1Click();
    void SpeedButton2Click();
    void Button1Click();

private:
    // Stores the name box and the edits under the window's profile id;
    // false (message shown, window left open) when it could not be written.
    bool Save();

    // The 30 set-up edits as checks before a save, in tab order.
    std::vector<fieldcheck::Field> setupChecks_;
    int id_ = -1;
    int sessionId_ = -1;
};

// The check of the edit of set-up value i (kSetupColumns[i]) before it is
// written: every set-up value is a 16-bit word of the logger's session
// header record, so each window that writes one takes 0 to 65535.
fieldcheck::Field SetupValueCheck(TIntEdit* edit, std::size_t i);

// The profile editor (id below 1: a new profile); returns the profile's id,
// the new one after OK on a new profile.
int EditVehicle(int id);

// The set-up stored with a session, with "Save as car profile"; the session
// row itself is never changed.  Returns idNag.
int ShowSessionSetup(int idNag);
