#pragma once
// Import of the sessions ticked in DM->memPrzejazdy: for each, the header
// confirmation (the header form), then one POZYCJE row per RPM sample, an
// OKRAZENIA_REJ row per completed lap and a SEKTORY row per completed
// sector, with RPM averages and mean rises and falls computed on the fly,
// in one transaction per session that also holds its NAGLOWKI row.  Laps
// are counted on where the logger's lap byte wraps from 255 to 0.
#include <QString>

#include <cstdint>
#include <functional>

#include "intake/dumpfile.h"
#include "intake/samples.h"

class FbTransaction;

// One POZYCJE row.
struct PositionRow {
    int idPozycji = 0;
    int idNaglowka = 0;
    int dataSs = 0;  // session time in hundredths
    QString data;    // the same as "%2.2d:%2.2d:%2.2d" minutes, seconds, hundredths
    int obroty = 0;
    double temp1 = 0;
    double temp2 = 0;
    double tempOtoczenia = 0;
    int wilgotnosc = 0;
    int typProbki = 0;
    int accx = 0;
    int accy = 0;
    int gpsx = 0;
    int gpsy = 0;
    int gyro1 = 0;
    int gyro2 = 0;
    int okrazenie = 0;
    int sektor = 0;
    int predkoscGps = 0;
};

// One OKRAZENIA_REJ row (the columns not listed are stored NULL).
struct LapRow {
    int idNaglowka = 0;
    int nr = 0;
    int czasSs = 0;
    QString czas;
    int avgObroty = 0;
    double avgAccObroty = 0;
    double avgDecObroty = 0;
};

// One SEKTORY row (the columns not listed are stored NULL).
struct SectorRow {
    int idNaglowka = 0;
    int nrOkrazenia = 0;
    int nrSektora = 0;
    int czasSs = 0;
    QString czas;
    int avgObroty = 0;
    double avgAccObroty = 0;
    double avgDecObroty = 0;
};

// Where the sample writer's rows go (the database during the import).
class SessionRowSink {
public:
    virtual ~SessionRowSink() = default;
    virtual void WritePosition(const PositionRow& row) = 0;
    virtual void WriteLap(const LapRow& row) = 0;
    virtual void WriteSector(const SectorRow& row) = 0;
    // START_PIERWSZ_OKR: hundredths from the first sample record to the
    // session's first lap line.
    virtual void WriteFirstLapStart(int idNaglowka, int hundredths) = 0;
};

// The sample writer with its import state.  What BeginSession resets is the
// state of one session; the RPM rise and fall sums and counts, the previous
// RPM, the last averages and the two closing flags carry on from session to
// session, as the logger's data expects (a session's first lap line restarts
// the sums before any lap or sector row is written).
class SessionSampleWriter {
public:
    void BeginSession(int idNag, int firstPositionId, int raceIndex);

    // One 128-byte sample record; true when the session has ended (no row
    // is written for the record then).
    bool WritePlainSample(const uint8_t* record, SessionRowSink& sink);
    bool WriteGpsSample(const uint8_t* record, SessionRowSink& sink);

    int32_t HighestGpsX() const { return highestGpsX_; }
    // Lap line records of the session that closed or started a lap.
    int LapLines() const { return lapLines_; }
    int NextPositionId() const { return nextPositionId_; }
    int Seconds() const { return seconds_; }

private:
    bool WriteSample(const uint8_t* record, SampleFormat format, SessionRowSink& sink);
    void ComputeLapAverages();
    void ComputeSectorAverages();
    void RestartLapSums(int rpm);
    void RestartSectorSums(int rpm);
    // A SEKTORY row of the sector closed now, with its averages.
    void WriteSector(SessionRowSink& sink, int lap, int nr, int time) const;

    // Per session.
    int idNag_ = 0;
    int raceIndex_ = 0;
    int seconds_ = 0;
    int prevLapCrossing_ = 0;
    int prevSectorCrossing_ = 0;
    bool firstLine_ = true;
    int32_t highestGpsX_ = 0;
    int nextPositionId_ = 1;
    // Lap counting over the lap byte's wrap: what the wraps so far add,
    // the byte of the last lap line (-1 before the first).
    int lapBase_ = 0;
    int previousLapByte_ = -1;
    int lapLines_ = 0;
    int64_t lapSum_ = 0, lapCount_ = 0;
    int64_t sectorSum_ = 0, sectorCount_ = 0;

    // Carried from session to session.
    int64_t lapRiseSum_ = 0, lapRiseCount_ = 0, lapFallSum_ = 0, lapFallCount_ = 0;
    int64_t sectorRiseSum_ = 0, sectorRiseCount_ = 0, sectorFallSum_ = 0, sectorFallCount_ = 0;
    int prevRpm_ = 0;
    int lapAverage_ = 0;
    double lapMeanRise_ = 0, lapMeanFall_ = 0;
    int sectorAverage_ = 0;
    double sectorMeanRise_ = 0, sectorMeanFall_ = 0;
    bool lapClosing_ = false;
    bool sectorClosing_ = false;

    SampleValues values_;
    PositionRow row_;
};

// RPM average: sum / count rounded half to even, 0 for no samples.
int RpmAverage(int64_t sum, int64_t count);
// Mean rise or fall: sum / (count / 10) in floating point, 0 for count 0.
double MeanRpmChange(int64_t sum, int64_t count);

struct ImportCallbacks {
    // The header confirmation (the header form): the new ID_NAG (> 0) after
    // the NAGLOWKI row was inserted, 0 when an equal header exists, -1 to
    // skip the session, -2 to stop the whole import, -3 when the row could
    // not be stored (counted as failed).  driverId and trackId
    // carry from session to session (-1 = none).
    // The row goes into session, the transaction in which the session's
    // samples follow (InsertHeader with the session).
    std::function<int(const QString& serial, const SessionHeaderRecord& header, int& driverId,
                      int& trackId, FbTransaction& session)>
        confirmHeader;
    // Messages to the user: a session that was not stored, named by its
    // entry, file and start, with the reason; "Finished" at the end.  When
    // the database file is gone the import stops after the session that
    // found it so.
    std::function<void(const QString& text)> message;
    // After every 256-byte record of a session: records read so far and the
    // number the header's duration leads to expect (an estimate).  The
    // window lets pending events be processed here.
    std::function<void(int done, int expected)> progress;
    // Busy (hourglass) while a session is being written.
    std::function<void(bool busy)> busy;
};

struct ImportSummary {
    int imported = 0;   // sessions stored
    int skipped = 0;    // ticked but already stored (same end and serial, or also the same driver and track)
    int failed = 0;     // sessions not stored because of an error
    bool cancelled = false;
};

// A session in the import's messages: "Entry e of <file> (started <start>)".
QString SessionInFileText(const QString& fileName, int entry, const SessionHeaderRecord& header);

// The closing message: "Finished" with the counts on the lines below it.
QString FinishedText(const ImportSummary& summary);

// Imports the ticked sessions of DM->memPrzejazdy from the dump files of
// folder, each found by its row's file name and entry number.
ImportSummary ImportSessions(const QString& folder, const ImportCallbacks& callbacks);
