#pragma once
// The session tree: what the session panel's grid shows and what every
// analysis window uses to find laps and sectors in time.  Three in-memory
// tables, filled session by session from the database:
//   memdane       grid rows: typ_rekordu "1" session, "2" lap, "3" sector
//   memokrazenia  lap start and end in session time, plus an "L0" start
//                 row per session
//   memSektory    sector ends in session time, plus a start row per session
// Times are hundredths of a second.
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
void BuildSessionTree(SessionTree& tree, int sessionId, const TreeFilters& filters);
