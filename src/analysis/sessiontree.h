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

#include "platform/memtable.h"

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
// A lap the filters leave out still counts for the start of the laps after
// it, and its time is counted for the sector ends as well, so that
// memSektory.czas stays the end of the sector in session time after it.
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
