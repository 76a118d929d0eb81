#pragma once
// The names that stand for a driver or a track id wherever a window shows
// the chosen one (the session header form, the analysis range, the
// session set-up view).  Reads run on TransBrowse; database errors reach
// the caller as DatabaseError.
#include <QString>

// IMIE and NAZWISKO of a driver; both empty when no driver has the id.
struct DriverNames {
    QString firstName;
    QString surname;
};
DriverNames LookUpDriverNames(int driverId);

// "imie nazwisko" of a driver; a single blank when no driver has the id.
QString DriverName(int driverId);
// The name (NAZWA) of a track; empty when no track has the id.
QString TrackName(int trackId);
