#pragma once
// Simulated sessions for the chart tests: the logger simulator writes a
// dump file, the intake imports it into the test database (driver 1, track
// 1), and the tests read back what was stored.
#include <QString>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "kromsim.h"
#include "support/testdb.h"

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

// A fresh database with driver 1 "Ada Nowak", texts in US English, an
// empty memGPS and a new project record.
class ChartsDatabaseTest : public ::testing::Test {
protected:
    TestDatabase db;
    MemTable& memGPS = db.dm().memGPS;

    void SetUp() override;
    void TearDown() override;

    // memWybraneSesje holds these sessions.
    void Choose(const std::vector<int>& ids);
    // DATA_START of a session as the trees write it.
    QString StartText(int id);

    static int Int(const MemTable& t, int row, const char* field);
    static bool Null(const MemTable& t, int row, const char* field);
    static QString Str(const MemTable& t, int row, const char* field);
};

}  // namespace simsessions
