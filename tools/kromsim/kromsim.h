#pragma once
// The logger simulator: writes key dump files and key image files holding
// believable kart sessions on a closed track, and returns the truth it
// wrote (laps, sectors, sample rows, first lap line, GPS flag per session)
// so tests can compare the database against it.  Also the low-level
// builders for hand-made files (one sample record, one dump image).
#include <QDateTime>
#include <QString>
#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "intake/dumpfile.h"
#include "intake/samples.h"

namespace kromsim {

// ------------------------------------------------------ low-level builders

// One 128-byte sample record, all zeros to start with.
class SampleRecordBuilder {
public:
    explicit SampleRecordBuilder(SampleFormat format = SampleFormat::Plain);

    SampleRecordBuilder& Type(uint8_t type);
    SampleRecordBuilder& LineHundredths(uint8_t hundredths);
    SampleRecordBuilder& Race(uint8_t raceIndex);
    SampleRecordBuilder& Humidity(uint8_t humidity);
    SampleRecordBuilder& Lap(uint8_t lap);
    SampleRecordBuilder& Sector(uint8_t sector);
    SampleRecordBuilder& Temp1(int16_t tenths);
    // Plain: the record's one value.  GPS: all five samples.
    SampleRecordBuilder& Temp2(int16_t tenths);
    SampleRecordBuilder& Temp2At(int j, int16_t tenths);  // GPS layout only
    SampleRecordBuilder& Ambient(int16_t tenths);
    SampleRecordBuilder& Rpm(int k, uint16_t rpm);  // k = 0..9
    SampleRecordBuilder& Rpms(const std::array<uint16_t, kRpmSamples>& rpm);
    SampleRecordBuilder& GpsX(int j, int32_t packed);  // j = 0..4
    SampleRecordBuilder& GpsY(int j, int32_t packed);
    // Plain: stored as signed 16-bit counts.  GPS: packed.
    SampleRecordBuilder& Acc(int j, int32_t x, int32_t y);
    SampleRecordBuilder& PackedAcc(int j, uint32_t packed);  // GPS layout only
    SampleRecordBuilder& Gyro(int j, int32_t value);         // plain layout only
    SampleRecordBuilder& SpeedWord(int j, uint16_t word);    // GPS layout only
    // Fills every byte (the free 0xFF or the zero records).
    SampleRecordBuilder& Fill(uint8_t byte);

    const std::array<uint8_t, kSampleRecordSize>& Bytes() const { return bytes_; }
    const uint8_t* Data() const { return bytes_.data(); }

private:
    SampleFormat format_;
    std::array<uint8_t, kSampleRecordSize> bytes_;
};

// The bytes of a key dump file of a given number of 256-byte records, all
// 0xFF (erased memory) to start with.
class DumpImage {
public:
    explicit DumpImage(int records = kFullDumpRecords);

    int RecordCount() const { return records_; }
    void SetHeader(int entry, const SessionHeaderRecord& header);  // entry 1..48
    void SetFreeEntry(int entry);                                  // all 0xFF
    // Half 0 = bytes 0..127 of the record, half 1 = bytes 128..255.
    void SetSample(int record, int half, const uint8_t* sample);
    void SetRecord(int record, const uint8_t* bytes256);
    uint8_t* RecordData(int record);

    const QByteArray& Bytes() const { return bytes_; }
    bool Save(const QString& path, QString* error = nullptr) const;

private:
    int records_;
    QByteArray bytes_;
};

// Packed GPS coordinate of decimal degrees: degrees byte, minutes byte,
// ten-thousandths of a minute in the low 16 bits.
int32_t PackCoordinate(double degrees);

// ----------------------------------------------------------- sessions

// How the ring shows where a session ends.
enum class SessionEnd {
    Type5,       // a record of type 5
    Zero,        // a record of zeros (type 0)
    Erased,      // a record of 0xFF (type 255)
    RaceChange,  // a record of another race index
    None,        // no end: the session fills the whole ring
};

struct SessionOptions {
    int entry = 0;  // header entry 1..48; 0 = the next entry not yet used
    uint8_t raceIndex = 0;
    SampleFormat format = SampleFormat::Plain;
    bool gpsFix = true;
    int32_t noFixValue = 0;  // GPS X and Y without fix
    int laps = 5;            // timed laps: laps + 1 lap lines are crossed
    // When above 0: the session lasts exactly this many seconds (sample
    // records), lapping on as long as needed, without an in-lap.
    int seconds = 0;
    int sectorsPerLap = 3;
    // The loop's size against the standard track of about 850 m (a lap of
    // about 35 s); smaller loops make short laps for long sessions.
    double trackScale = 1.0;
    double outLap = 0.6;  // part of a lap driven before the first lap line
    double inLap = 0.4;   // part of a lap driven after the last lap line
    QDateTime end;        // session end (wall-clock fields); invalid = automatic
    bool impossibleDate = false;  // the header's end says 31 February
    QString driverText = QStringLiteral("KOWALSKI");
    QString trackText = QStringLiteral("BORUTA");
    SessionEnd endMarker = SessionEnd::Type5;
    int ringStart = -1;  // record of the first sample record; -1 = next free record
    uint32_t seed = 1;
};

// The smallest loop trackScale gives: about 40 m.
inline constexpr double kSmallestTrack = 0.05;

struct SimLap {
    int nr = 0;
    int czasSs = 0;
};
struct SimSector {
    int nrOkrazenia = 0;
    int nrSektora = 0;
    int czasSs = 0;
};

// What the import is to find for one session.
struct SessionTruth {
    int entry = 0;
    SessionOptions options;
    SessionHeaderRecord header;
    QDateTime end;
    bool validDate = true;
    bool hasEndRecord = true;
    int startRecord = 0;    // 160 + the header's start offset
    int records = 0;        // 256-byte records the session's samples span
    bool wraps = false;     // its samples run over the ring's end
    int dataSeconds = 0;    // sample records before the end record
    int positionRows = 0;   // POZYCJE rows: 10 per sample record
    std::vector<SimLap> laps;
    std::vector<SimSector> sectors;  // in the order they are completed
    int lapLines = 0;                  // lap line records: the timed laps + 1
    std::optional<int> startFirstLap;  // START_PIERWSZ_OKR
    int bylGps = 0;                    // highest GPS X, at least 0
    int maxRpm = 0;
    int minRpm = 0;
};

struct DumpOptions {
    int slot = 1;
    QString serial = QStringLiteral("77");
    int records = kFullDumpRecords;
    std::vector<SessionOptions> sessions;
};

struct DumpTruth {
    QString fileName;  // "dane" + slot + "_" + serial + ".bin"
    QString serial;
    int records = 0;
    std::vector<SessionTruth> sessions;  // in the order given
    std::vector<int> freeEntries;
};

// Lays the sessions into a dump image; throws std::invalid_argument when
// sessions overlap in the ring or do not fit.
DumpTruth BuildDump(const DumpOptions& opts, DumpImage& image);
// Builds and writes folder + "dane" + slot + "_" + serial + ".bin".
DumpTruth WriteDumpFile(const QString& folder, const DumpOptions& opts, QString* error = nullptr);

// The sample records of one simulated session without placing it: the
// records before the end (the end record itself is not included).
std::vector<std::array<uint8_t, kSampleRecordSize>> SimulateSamples(const SessionOptions& opts, int seconds,
                                                                    SessionTruth* truth = nullptr);

// A believable set: both formats, one with and one without GPS fix, a
// session that wraps around the ring, a free entry and an entry with an
// impossible date in the first file; ordinarySessions sessions per file.
std::vector<DumpOptions> StandardDumps(int ordinarySessions, uint32_t firstSerial);
// A small file with one session that has no end record.
DumpOptions BrokenDump(int slot, uint32_t serial);
// One session filling a whole slot's ring (the benchmark's load).
DumpOptions FullSlotDump(int slot, uint32_t serial);
// One session of any length (its laps, not seconds); the file is a slot's
// size or, when the session needs more room, as large as it needs.
DumpOptions LongSessionDump(int slot, uint32_t serial, const SessionOptions& session);

// -------------------------------------------------------------- key image

struct KeySlot {
    int slot = 1;  // 1..16
    uint32_t serial = 0;
    const DumpImage* image = nullptr;  // its first 7168 blocks are the slot's read blocks
};

// Writes a key image file: the directory block with the slots' serials and
// each slot's blocks (k-1)*8192+2049 .. k*8192+1024 from its image.
bool WriteKeyImage(const QString& path, const std::vector<KeySlot>& keySlots, QString* error = nullptr);

}  // namespace kromsim
