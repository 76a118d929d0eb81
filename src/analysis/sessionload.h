#pragma once
// Loading of the chosen sessions for the analysis: every sample of every
// session into the shared table memGPS (typed columns, read through the
// Firebird client API at the engine's speed), the display ranges of the
// project into memMinMax (one row per session), and the session tree.
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class MemTable;
class ProjectRecord;
class SessionTree;
struct TreeFilters;

// Acceleration count (4096 per g) as hundredths of g: count x 24414 as a
// 32-bit product, / 1000000 in floating point, rounded half to even.
int AccToHundredthsG(int32_t count);

// Map coordinate of a packed GPS coordinate (degrees, minutes, ten-
// thousandths of a minute): (degrees x 60 + minutes) x 10000 + fraction;
// 0 (no fix) gives 0.
int32_t MapCoordinate(uint32_t packed);

// Fills the ranges of the project record that are not set (maximum 0 or
// no width) with the defaults (RPM 0..15000, Temp1 0..70, Temp2 0..70,
// Acc -3..3; V GPS none); the record keeps them.
void ApplyRangeDefaults(ProjectRecord& record);

// Appends one memMinMax row for a session from the record's ranges.
void AppendMinMaxRow(MemTable& memMinMax, int sessionId, const ProjectRecord& record);

// A block of a session's samples as read: one plain array per column, the
// POZYCJE columns the analysis uses with the accelerations already in
// hundredths of g and the map coordinates beside GPSX and GPSY.
struct SampleBlock {
    static constexpr int kRows = 2048;
    enum IntColumn {
        Typ, Obroty, Accx, Accy, Gpsx, Gpsy, Gyro1, Gyro2, Sektor, DataSs, Okrazenie, Predkosc,
        GpsxMap, GpsyMap,
        Data,  // free for times counted otherwise (see SampleLoader)
        kInts
    };
    enum FloatColumn { Temp1, Temp2, kFloats };

    int count = 0;
    int32_t* Ints(IntColumn c) { return ints_.data() + size_t(c) * kRows; }
    const int32_t* Ints(IntColumn c) const { return ints_.data() + size_t(c) * kRows; }
    double* Floats(FloatColumn c) { return floats_.data() + size_t(c) * kRows; }
    const double* Floats(FloatColumn c) const { return floats_.data() + size_t(c) * kRows; }
    // Keeps the rows whose keep[k] is set, in their order.
    void Keep(const uint8_t* keep);

private:
    std::vector<int32_t> ints_ = std::vector<int32_t>(size_t(kInts) * kRows);
    std::vector<double> floats_ = std::vector<double>(size_t(kFloats) * kRows);
};

// What memGPS.datas holds: one blank (the session panel) or the time text
// of data (the Sessions chart and the lap comparison).
enum class SampleTimeText { Blank, OfData };

// Appends sessions' samples to memGPS a block at a time, on the read
// transaction of the data module (held while the loader lives), each
// block straight into memGPS's typed columns: the values as read,
// id_nag the session, xobr and yobr 0, brakOkrazenia empty.
class SampleLoader {
public:
    explicit SampleLoader(MemTable& memGPS);
    ~SampleLoader();
    SampleLoader(const SampleLoader&) = delete;
    SampleLoader& operator=(const SampleLoader&) = delete;

    // Appends the session's samples in DATA_SS order and gives how many.
    // data is DATA_SS; edit (when given) sees each block first and may
    // drop rows (SampleBlock::Keep) and give data its own times in the
    // Data column (returning true; false keeps DATA_SS).  Database errors
    // reach the caller as DatabaseError; rows appended up to then stay.
    int Append(int sessionId, SampleTimeText text, const std::function<bool(SampleBlock&)>& edit = {});

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Appends every POZYCJE row of a session to memGPS, in DATA_SS order, as
// the session panel holds them.  Database errors reach the caller as
// DatabaseError; rows appended up to then stay.
void LoadSessionSamples(int sessionId, MemTable& memGPS);

// A load of the chosen sessions that stopped at one of them.
class SessionLoadError : public std::runtime_error {
public:
    SessionLoadError(int sessionId, const std::string& cause);
    int SessionId() const { return sessionId_; }
    const QString& Cause() const { return cause_; }
    // What the user is told: the session, that none is shown, the cause.
    QString Message() const;

private:
    int sessionId_;
    QString cause_;
};

// Runs the load of one session; an error on the way leaves it as a
// SessionLoadError naming the session.
template <class F>
void LoadOneSession(int sessionId, F&& load)
{
    try {
        load();
    } catch (const SessionLoadError&) {
        throw;
    } catch (const std::exception& e) {
        throw SessionLoadError(sessionId, e.what());
    }
}

// The whole load: empties memGPS, memMinMax and the tree, then for every
// row of memWybraneSesje (table order) applies the range defaults, appends
// the memMinMax row, the samples and the session's tree rows.  A load
// that fails on the way (a lost connection, a database error) leaves the
// three emptied again, so that no part of a session passes for the whole,
// and throws SessionLoadError.
void LoadSessions(MemTable& memWybraneSesje, MemTable& memGPS, MemTable& memMinMax, SessionTree& tree,
                  const TreeFilters& filters, ProjectRecord& record);
