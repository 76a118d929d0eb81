#pragma once
// Simulated sessions for the chart tests: the logger simulator writes a
// dump file, the intake imports it into the test database (driver 1, track
// 1), and the tests read back what was stored.
#include <QString>

#include <vector>

#include "kromsim.h"

namespace simsessions {

// Imports the sessions into the database; returns their ID_NAG in the
// order given.
std::vector<int> ImportSessions(const std::vector<kromsim::SessionOptions>& sessions);

// A session of the given laps and sectors per lap.
kromsim::SessionOptions Session(int laps, int sectorsPerLap, uint32_t seed, SampleFormat format = SampleFormat::Gps);

// Stored rows, read back for comparison.
struct StoredLap {
    int nr = 0;
    int time = 0;  // CZAS_SS
    QString text;  // CZAS
};
struct StoredSector {
    int lap = 0;
    int nr = 0;
    int time = 0;
    QString text;
};
std::vector<StoredLap> Laps(int sessionId);                // in NR order
std::vector<StoredSector> Sectors(int sessionId, int lap);  // as the database returns them
int FirstLapStart(int sessionId);                          // START_PIERWSZ_OKR, NULL as 0

}  // namespace simsessions
