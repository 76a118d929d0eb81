#pragma once
// What the lap time diagram computes, apart from its window: its own copy
// of the session panel's grid rows with each lap's and sector's difference
// to the session's best, the bar series (one per session for the laps, one
// per session and sector number 1..5 for the sectors), the bars of each
// series, and which series the filters let through.
//
// Series tags: n * 100 for the laps of the n-th chosen session, n * 100 + k
// for its sector k (1..5), so that no two series meet however many sessions
// are chosen.  A tag that is a whole hundred marks lap bars, any other
// sector bars; tag mod 100 is the sector number.
#include <QString>

#include <optional>
#include <vector>

#include "platform/memtable.h"

class SessionTree;

// Sector numbers that get a series of their own.
inline constexpr int kDiagramSectors = 5;
// Start value of a session's best lap and sector times.
inline constexpr int kNoBestTime = 30000000;

inline int LapBarsTag(int n) { return n * 100; }
inline int SectorBarsTag(int n, int sector) { return n * 100 + sector; }
inline bool IsLapBarsTag(int tag) { return tag % 100 == 0; }
inline bool IsSectorBarsTag(int tag) { return tag % 100 != 0; }

// One bar series as the window creates it.
struct DiagramSeries {
    int tag = 0;
    int sessionId = 0;  // the series' title, in decimal
    int colour = 0;     // LapColour number: the series count of the load
};

struct DiagramBar {
    int x = 0;  // lap number
    int y = 0;  // time or difference, hundredths of a second
    QString label;
};

class LapDiagram {
public:
    LapDiagram();

    // typ_rekordu, Pole1, Pole2, id_naglowka, id_okrazenia, id_sektora,
    // czas, przes_czas, wybrany (tag 1), czas_ss, diff_ss, diff, nr_kolejny,
    // lp: copies of the panel's rows, plus the difference to the session's
    // best (diff_ss, its text diff) and the session's place in the load
    // (nr_kolejny).
    MemTable memdane;
    // In creation order (the chart's order).
    std::vector<DiagramSeries> series;

    // Rebuilds the rows from the panel's tree and the series of every chosen
    // session, in the order given (a session the tree does not hold gets an
    // empty lap series and no sector series).
    void Load(const SessionTree& panel, const std::vector<int>& sessionIds);

    // The series of a tag (the first one), or -1.
    int SeriesIndex(int tag) const;
    // The bars of every series, indexed like series: with diff the
    // difference and its text, otherwise the time and the stored time text.
    // Rows whose series does not exist (sector numbers above 5, sessions not
    // chosen) give no bar.
    std::vector<std::vector<DiagramBar>> Bars(bool diff) const;

private:
    void BuildSession(const SessionTree& panel, int sessionId, int n, int& colour);
};

// The check boxes and the radio group of the diagram.
struct DiagramFilters {
    bool laps = true;
    bool sectors = true;
    int sectorItem = 0;  // 0 "All", 1..5 one sector number
};

// Whether the filters let a series through.
bool PassesFilters(int tag, const DiagramFilters& filters);
