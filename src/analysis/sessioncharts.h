#pragma once
// What the Sessions chart and the lap comparison chart compute, apart from
// their windows.  Both load the chosen sessions themselves: the samples into
// the shared memGPS (the last loader's samples are there; each chart's lines
// hold the rows of its own load) and a session tree of their own.
//
//   Sessions chart: every sample in session time (data = DATA_SS), one RPM
//   line per session; a tree with every lap and its sectors, the fastest
//   and slowest flagged; lap lines at the lap ends and sector lines at the
//   sector ends, both starting with the first crossing of the lap line.
//
//   Lap comparison: the samples of each recorded lap, counted from the
//   lap's start (data = DATA_SS - lap start), lap after lap in the order
//   they were driven; a line per lap; a tree of sessions and laps.  A lap
//   starts at START_PIERWSZ_OKR plus the CZAS_SS of the lap rows before it.
//
// Both take laps and their sectors from ReadDrivenLaps.
//
// Times are hundredths of a second.  Database errors reach the caller as
// DatabaseError; what was appended up to then stays.
#include <QColor>
#include <QString>

#include <vector>

#include "analysis/sessiontree.h"
#include "platform/memtable.h"

// --------------------------------------------------------------- samples

// Appends a session's samples to memGPS in DATA_SS order, in session time:
// data = DATA_SS and datas its time text, the accelerations in hundredths
// of g, the map coordinates and the GPS speed.  Returns the rows appended.
int AppendSessionSamples(MemTable& memGPS, int sessionId);

// ------------------------------------------------------------ Sessions chart

// The Sessions chart's own tree.
//   memdane: TreeRowFields, status_naj, lp
//   memokrazenia, memSektory: id_nag, czas, lap, czas_t (the lines)
class SessionsChartTree {
public:
    SessionsChartTree();
    MemTable memdane;
    MemTable memokrazenia;
    MemTable memSektory;
    int rowCounter = 0;
    // Empties the three tables and resets the row counter.
    void Reset();
};

// Appends one session's rows: the session row (ticked), every lap with its
// sectors, the start lines and a line at every lap and sector end; flags
// the fastest (2) and slowest (1) lap and, per sector number 1..10, sector.
// Returns the session's line title: driver, two blanks, start.
QString BuildSessionsChartTree(SessionsChartTree& tree, int sessionId);

// One session of the Sessions chart: its memGPS rows.
struct ChartSession {
    int sessionId = 0;
    QString title;
    int first = 0;
    int count = 0;
};
// Loads one session: its samples appended to memGPS in session time and
// its rows to the tree.
ChartSession LoadSessionsChartSession(SessionsChartTree& tree, MemTable& memGPS, int sessionId);

// "hh:mm:ss:cc" of a time in hundredths (rounded to a whole hundredth,
// halves to even); a "-" before a negative time.
QString ClockText(double hundredths);

// The read-outs of the Sessions chart at time x of a session: the time,
// the time since the last lap line before x and since the last sector line
// before x (each the time text itself when there is none).
struct SessionsReadOut {
    QString time;
    QString lap;
    QString sector;
};
SessionsReadOut SessionsChartReadOut(const SessionsChartTree& tree, int sessionId, double x);

// A lap or sector line of the selected session.
struct ChartLine {
    int time = 0;
    QString caption;  // lap + " : " + czas_t
};
std::vector<ChartLine> ChartLines(const MemTable& lines, int sessionId);

// ------------------------------------------------------------ lap comparison

// The lap comparison's own tree.
//   memdane: TreeRowFields
class LapComparisonTree {
public:
    LapComparisonTree();
    MemTable memdane;
    void Reset();
};

// One lap line of the lap comparison.
struct ComparedLap {
    int sessionId = 0;
    int lap = 0;
    int start = 0;   // session time of the lap's start line
    int colour = 0;  // LapColour number: the lap's place in its session
    QString title;
    int first = 0;   // its memGPS rows
    int count = 0;
    int Tag() const { return sessionId * 100 + lap; }
};
// Loads one session: its row and a row per lap in the tree, and the
// samples of each listed lap appended to memGPS, counted from the lap's
// start.  Samples of laps the session does not list are left out.
std::vector<ComparedLap> LoadLapComparisonSession(LapComparisonTree& tree, MemTable& memGPS, int sessionId);

// ------------------------------------------------------------ binding

// memGPS in runs of rows of the same session and lap, in table order.
struct LapSampleRun {
    int sessionId = 0;
    int lap = 0;
    int first = 0;
    int count = 0;
};
std::vector<LapSampleRun> LapSampleRuns(const MemTable& memGPS);
