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

// Appends a session's samples to memGPS and its rows to the session tree,
// as the session panel's load leaves them.
void LoadSession(int sessionId, MemTable& memGPS, SessionTree& tree);

}  // namespace gpstest
