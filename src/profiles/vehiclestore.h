#pragma once
// The database side of the vehicle set-up profile editor and of the session
// set-up view: one POJAZDY row (a name and the 30 set-up values), and the
// set-up stored with one session in NAGLOWKI.
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "profiles/setupcolumns.h"

struct VehicleProfile {
    QString name;          // NAZWA
    SetupValues values{};  // indexed like kSetupColumns
};

// Reads a profile; a NULL set-up column reads 0.  False when no row has the
// id; database errors reach the caller as DatabaseError.
bool LoadVehicle(int id, VehicleProfile& profile);

// Writes a profile in one transaction.  id below 1: a new profile with the
// id max + 1 (1 for the first); otherwise the row is updated.  USUNIETY
// becomes 0 either way; the name is stored as given.
// Returns the profile's id (the new one for a new profile), or -1 when
// nothing was written; error then holds the database's message.
int SaveVehicle(int id, const VehicleProfile& profile, QString* error = nullptr);

// The statements as the window holds them, line by line.
QStringList VehicleInsertSql();
QStringList VehicleUpdateSql();

// The set-up stored with one session, with what names it.
struct SessionSetup {
    int driverId = 0;      // ID_KIEROWCY
    int trackId = 0;       // ID_TORU
    QDateTime start;       // DATA_START
    QString surname;       // NAZWISKO of the driver, empty when no row
    QString trackName;     // NAZWA of the track, empty when no row
    SetupValues values{};  // indexed like kSetupColumns
};

// Reads the set-up of a session (NAGLOWKI row idNag) with its driver's
// surname and its track's name.  False when no session has the id.
bool LoadSessionSetup(int idNag, SessionSetup& setup);

// The profile name the session view proposes: the start in the system's
// short date and time format + " : " + surname + " : " + track name.
QString SessionSetupName(const SessionSetup& setup);
