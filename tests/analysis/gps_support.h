#pragma once
// Simulated sessions for the GPS tests: the logger simulator writes a dump
// file, the intake imports it into the test database, and memGPS and the
// lap table of the session tree are filled from the stored rows.
#include <QString>

#include <vector>

#include "kromsim.h"
#include "platform/memtable.h"

class SessionTree;
class TestDatabase;

namespace gpstest {

// Imports the sessions into the database; returns their ID_NAG in the
// order given.
std::vector<int> ImportSessions(const std::vector<kromsim::SessionOptions>& sessions);

// A GPS-format session of the given laps, three sectors a lap, with or
// without fix.
kromsim::SessionOptions GpsSession(int laps, bool fix = true, uint32_t seed = 5);

// Width over height of the box that a point table's pixels (xobr, yobr)
// span on the map.
double DrawnAspect(const MemTable& points);

// East-west over north-south metres of the fixes of a session (lap 0) or
// lap in the database, as the trace window's extent labels give them.
double TrueAspect(int sessionId, int lap);

// Appends a session's samples to memGPS and its rows to the session tree,
// as the session panel's load leaves them.
void LoadSession(int sessionId, MemTable& memGPS, SessionTree& tree);

}  // namespace gpstest
