#pragma once
// Simulated sessions for the chart tests: the logger simulator writes a
// dump file, the intake imports it into the test database (driver 1, track
// 1), and the tests read back what was stored.
#include <QString>

#include <optional>
#include <vector>

#include "kromsim.h"

class SessionTree;

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

// Sessions written by hand into NAGLOWKI (start 2024-06-20 10:15:30),
// OKRAZENIA_REJ, SEKTORY and POZYCJE (ACCX 4096, ACCY -2048, a fixed GPSX,
// GPS speed 77).
struct HandLap {
    int nr, time;
};
struct HandSector {
    int lap, nr, time;
};
struct HandSample {
    int dataSs, lap, rpm;
};
struct HandSession {
    int id;
    std::optional<int> start;  // START_PIERWSZ_OKR
    std::vector<HandLap> laps;
    std::vector<HandSector> sectors;
    std::vector<HandSample> samples;
    int driver = 1;
};
void InsertHandSession(const HandSession& s);
inline constexpr uint32_t kHandGpsx = 0x32121A0B;

// Appends a stored session to a session tree the way the session panel
// lays it out (every lap kept, sectors as stored).
void AddToTree(SessionTree& tree, int sessionId);

}  // namespace simsessions
