#pragma once
// The session tree: what the session panel's grid shows and what every
// analysis window uses to find laps and sectors in time.  Three in-memory
// tables, filled session by session from the database:
//   memdane       grid rows: typ_rekordu "1" session, "2" lap, "3" sector
//   memokrazenia  lap start and end in session time, plus an "L0" start
//                 row per session
//   memSektory    sector ends in session time, plus a start row per session
// Times are hundredths of a second.
#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/memtable.h"

class TIBQuery;

// The fields every tree's memdane begins with (the session panel's, the
// Sessions chart's, the lap comparison's, the lap time diagram's):
// typ_rekordu, Pole1 (40: wide enough for a session's whole caption, a cut
// start time would read as another time), Pole2, id_naglowka,
// id_okrazenia, id_sektora, czas, przes_czas, wybrany (tag 1, the tick).
std::vector<FieldDef> TreeRowFields();
// The fields followed by more.
std::vector<FieldDef> WithFields(std::vector<FieldDef> fields, const std::vector<FieldDef>& more);

// Writes the fields of one appended row by name; fields not written stay
// NULL.
class TreeRowWriter {
public:
    explicit TreeRowWriter(MemTable& table) : t_(table), row_(table.AppendRow()) {}
    TreeRowWriter& Int(const char* field, int v)
    {
        t_.SetIntAt(row_, col(field), v);
        return *this;
    }
    TreeRowWriter& Int(const char* field, const std::optional<int>& v)
    {
        if (v)
            t_.SetIntAt(row_, col(field), *v);
        return *this;
    }
    TreeRowWriter& Str(const char* field, const QString& v)
    {
        t_.SetStringAt(row_, col(field), v);
        return *this;
    }
    int Row() const { return row_; }

private:
    int col(const char* field) const { return t_.FieldIndex(QLatin1String(field)); }
    MemTable& t_;
    int row_;
};

// Fastest and slowest row (by lp) of a set of times; the first of equal
// times wins, so one time alone is both.
struct TreeMarks {
    int fastestLp = -1, fastestTime = -1;
    int slowestLp = -1, slowestTime = -1;

    void Take(int lp, int time)
    {
        if (fastestLp == -1 || time < fastestTime) {
            fastestLp = lp;
            fastestTime = time;
        }
        if (slowestLp == -1 || time > slowestTime) {
            slowestLp = lp;
            slowestTime = time;
        }
    }
};

// Index of a field of an analysis table, named in Latin-1 (-1 when none).
inline int Column(const MemTable& table, const char* name) { return table.FieldIndex(QString::fromLatin1(name)); }

// Sets status_naj on the row of a table whose lp is given (none for -1).
void MarkTreeRow(MemTable& table, int lp, int status);

// The header of a session as the trees show it (qnag).
struct SessionHeading {
    int start = 0;        // START_PIERWSZ_OKR; empty (or no such session) counts as 0
    QDateTime startTime;  // DATA_START; invalid when empty
    QString firstName;
    QString surname;
    QString Driver() const { return firstName + QLatin1Char(' ') + surname; }
    // The start as the user's short date and long time; empty when unknown.
    QString StartText() const;
};
SessionHeading ReadSessionHeading(int sessionId);

// A lap of a session as stored, with the sectors that belong to it.
struct DrivenSector {
    int nr = 0;    // NR_SEKTORA
    int time = 0;  // CZAS_SS
    QString text;  // CZAS
};
struct DrivenLap {
    int nr = 0;    // NR
    int time = 0;  // CZAS_SS
    QString text;  // CZAS
    // AVG_OBROTY, AVG_ACC_OBROTY, AVG_DEC_OBROTY rounded; empty when NULL.
    std::optional<int> averageRpm, meanRise, meanFall;
    std::vector<DrivenSector> sectors;  // in the order of their numbers
};
// The laps of a session in the order they were driven, each with its own
// sectors, read on the read transaction of the data module.  Laps are
// numbered on through the logger's one-byte count, so the lap number
// gives the order; a session stored with numbers that come again (from an
// import that did not count on) keeps the order its rows were stored in,
// and the n-th lap of a number takes the n-th unbroken run of that number's
// sector rows.  highestSector (when given) takes the highest NR_SEKTORA of
// the session's sector rows, 0 when none.  Database errors reach the caller
// as DatabaseError.
std::vector<DrivenLap> ReadDrivenLaps(int sessionId, int* highestSector = nullptr);

// Which of the laps listed with one number an unbroken run of that
// number's rows (sectors, samples) belongs to: a number listed once takes
// every run; a number listed again gives its n-th run to its n-th listing
// and runs beyond the listings to none.
class LapListings {
public:
    // Lists a lap of number nr at place (its index in driven order).
    void Add(int nr, int place) { places_[nr].push_back(place); }
    // The place of the n-th run (from 0) of number nr; -1 when none.
    int PlaceOfRun(int nr, int n) const
    {
        const auto found = places_.find(nr);
        if (found == places_.end())
            return -1;
        const std::vector<int>& p = found->second;
        if (p.size() == 1)
            return p.front();
        return size_t(n) < p.size() ? p[size_t(n)] : -1;
    }

private:
    std::unordered_map<int, std::vector<int>> places_;
};

// The lap and sector rows of sessions as stored, read with one statement
// for the laps and one for the sectors however many sessions they belong
// to, on the read transaction of the data module; Driven puts a session's
// rows in the order of ReadDrivenLaps.  Database errors reach the caller
// as DatabaseError.
class StoredLapRows {
public:
    // The rows of one session.
    explicit StoredLapRows(int sessionId);
    // The rows of every session that a query of sessions lists by ID_NAG
    // (its text and parameter values are used; the query is not run).
    // pump (when given) runs every few thousand rows.
    StoredLapRows(const TIBQuery& sessions, const std::function<void()>& pump);
    ~StoredLapRows();
    StoredLapRows(const StoredLapRows&) = delete;
    StoredLapRows& operator=(const StoredLapRows&) = delete;

    // As ReadDrivenLaps; nothing for a session of no rows.
    std::vector<DrivenLap> Driven(int sessionId, int* highestSector = nullptr) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Lap-time filters in whole seconds; 0 switches a filter off.
struct TreeFilters {
    int maxLapSeconds = 0;
    int minLapSeconds = 0;
};

class SessionTree {
public:
    SessionTree();
    virtual ~SessionTree();

    MemTable memdane;
    MemTable memokrazenia;
    MemTable memSektory;
    // Numbers the rows of memdane (lp); runs on across the sessions of a load.
    int rowCounter = 0;

    // Empties the three tables (close and reopen) and resets the counter.
    void ResetTree();
};

// Appends the rows of one session to the tree, reading the session's
// header, laps and sectors on the read transaction of the data module.
// Database errors reach the caller as DatabaseError.
//
// Laps come in the order they were driven (ReadDrivenLaps).  A lap the
// filters leave out still counts for the start of the laps after it, and
// its time is counted for the sector ends as well, so that memSektory.czas
// stays the end of the sector in session time after it.
void BuildSessionTree(SessionTree& tree, int sessionId, const TreeFilters& filters);

// Pole1 of a session row: the session id, ":" and the start as the user's
// short date and long time, the time left out at exactly midnight (an
// unknown start leaves the date out).
QString SessionRowCaption(int sessionId, const QDateTime& start);

// What a click on the check column changes besides the tree itself: the
// charts show or hide a session's series (check 1 shown, else hidden) or
// one lap's.  Empty calls are skipped.
struct TreeCheckCalls {
    std::function<void(int sessionId, int check)> sessionShown;
    std::function<void(int sessionId, int lap, int check)> lapShown;
};

// The check column clicked on the current row of memdane.  A session row
// gives the session and all its laps the session's new state; a lap row
// toggles the lap, and ticking a lap of an unticked session ticks the
// session too; sector rows (and no current row) change nothing.  The
// current row stays where it was.  Returns false when nothing changed.
bool ClickTreeCheck(SessionTree& tree, const TreeCheckCalls& calls);
