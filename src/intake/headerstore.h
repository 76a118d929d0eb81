#pragma once
// The database half of the session header form: the driver proposed for a
// logger serial number, the names shown for the chosen driver and track,
// the set-up of a vehicle profile, and the insert of the session's NAGLOWKI
// row.  Reads run on TransBrowse, the insert through DM->ExecEdit.
#include <QString>

#include <array>
#include <exception>
#include <optional>

#include "intake/dumpfile.h"
#include "shell/data/cataloguenames.h"  // DriverName, TrackName

class FbTransaction;

// The driver linked to a logger serial in KROM_KIEROWCY (its first row), or
// 0 when none is linked; the form takes it only when it is greater than 0.
int ProposeDriver(const QString& serial);

// The 30 set-up values of a vehicle profile in the order of kSetupColumns;
// nothing when no profile has the id.
std::optional<std::array<int, 30>> VehicleSetup(int vehicleId);

// The engine operating counter (minutes) as hours:minutes, "%d:%2.2d".
QString OperatingCounterText(int minutes);

// Copies set-up values (in the order of kSetupColumns) into the header's
// words, low 16 bits each.
void ApplySetup(SessionHeaderRecord& header, const std::array<int, 30>& values);

// The weather and the track status the user ticked for a session.
struct TrackConditions {
    bool wet = false;    // TOR_MOKRY
    bool dry = false;    // TOR_SUCHY
    bool dirty = false;  // TOR_BRUDNY
    bool clean = false;  // TOR_CZYSTY
};

// Why a session could not be stored, to follow "... not stored: ": for a
// row another connection holds or took, that the database is busy (with
// the database's message below); otherwise the error's own text.
QString StoreFailureReason(const std::exception& error);

// Inserts the NAGLOWKI row of a session from its (edited) header record,
// with the conditions (1 ticked, 0 not).  Returns the new ID_NAG (> 0); 0
// when a row of the same logger serial with the same end time, driver and
// track exists already (nothing inserted); -1 when the row could not be
// stored, with StoreFailureReason in error.  With a session transaction the row goes
// into it uncommitted (the import commits it with the session's samples);
// without one it is committed at once.
int InsertHeader(const QString& serial, const SessionHeaderRecord& header, int driverId, int trackId,
                 QString* error = nullptr, FbTransaction* session = nullptr, const TrackConditions& conditions = {});
