#pragma once
// What the multi-channel charts (whole session, lap overlay) compute,
// apart from their windows: the channel scaling to a common 0..1000
// height and back, the range labels of the left axis, the runs of samples
// that become series, the extremes of the current channel, the lap strip,
// the cursor read-out texts and the lap overlay's lap origins.
//
// Tables read: memGPS and memMinMax of the data module, the session tree
// (memdane, memokrazenia, memSektory).  Times are hundredths of a second.
#include <QColor>
#include <QString>

#include <vector>

#include "platform/chart/chartmath.h"

class MemTable;
class ProjectRecord;
class SessionTree;

// ------------------------------------------------------- channel scaling

// Full height of the fixed left axis the channels are scaled into.
inline constexpr double kChannelHeight = 1000;

struct ChannelRange {
    double min = 0;
    double max = 0;
};

// The memMinMax row of a session: the row whose nr_nag is the id, else the
// first row; -1 when the table has no row.
int MinMaxRow(const MemTable& memMinMax, int sessionId);
// The range pair channel + "_min" / "_max" of a memMinMax row; 0..0 for
// row -1 or a channel the table has no range of.
ChannelRange ChannelRangeAt(const MemTable& memMinMax, int row, const QString& channel);
// accx and accy (any case): stored in hundredths of g, ranged in g.
bool IsAccelerationChannel(const QString& channel);
// A stored value in the unit its range and read-out use: g for the
// acceleration channels, the value itself for the others.
double ChannelReading(double stored, const QString& channel);
// Height of a stored value: (v - min) * 1000 / (max - min), v its reading;
// not clamped; 0 when max = min.
double ChannelHeight(double stored, const QString& channel, const ChannelRange& range);
// The height as a series' y map of stored values.
Affine HeightMap(const QString& channel, const ChannelRange& range);

// A value as a printf-style pattern with one floating conversion
// ("%1.1f", "%0.0f"); any other pattern shows the value with "%g".  A value
// that shows as zero has no minus sign ("0", never "-0").
QString FormatValue(const QString& pattern, double value);

// ----------------------------------------------------------- range labels

enum class RangeChannel { Rpm, Temp1, Temp2, Acc, VGps };

// The texts at the top and the bottom of the left axis for one channel,
// from the project record's range (not memMinMax) and the left axis'
// current limits; where they go beside the plot (column, row 1..3).
struct RangeLabel {
    RangeChannel channel;
    QColor colour;
    bool rightColumn = false;
    int row = 1;
    QString top;
    QString bottom;
};
// RPM, Temp1, Temp2, Acc, V GPS, in this order.
std::vector<RangeLabel> RangeLabels(const ProjectRecord& record, const AxisRange& leftAxis);

// ------------------------------------------------------ series and extremes

// Rows [first, first + count) of memGPS that belong together.
struct SampleRun {
    int sessionId = 0;
    int first = 0;
    int count = 0;
};
// memGPS in runs of the same id_nag, in table order (a session whose rows
// lie in two places gives two runs).
std::vector<SampleRun> SessionRuns(const MemTable& memGPS);

// The largest nr_lapa of the session's memokrazenia rows; 0 when none.
int HighestLap(const MemTable& memokrazenia, int sessionId);

// Minimum and maximum of a channel over one session's samples, as stored
// (no scaling), leaving out the samples before the first lap line and the
// session's last lap (0 < okrazenie < highest lap); the earliest sample of
// an extreme value wins.  found is false when no sample qualifies (the
// values are then kNoMinimum and kNoMaximum).
inline constexpr double kNoMinimum = 1000000;
inline constexpr double kNoMaximum = -1000000;
struct SessionExtremes {
    int sessionId = 0;
    int minTime = 0;
    double min = kNoMinimum;
    int maxTime = 0;
    double max = kNoMaximum;
    bool found = false;
};
// One entry per run whose session id is above 0; without a lap table no
// sample qualifies.
std::vector<SessionExtremes> ComputeExtremes(const MemTable& memGPS, const std::vector<SampleRun>& runs,
                                             const QString& channel, const MemTable* memokrazenia);

// ---------------------------------------------------------------- lap strip

// One lap's box on the strip above the whole-session chart, in chart x
// pixels: from x1 to x2 - 1; the text is the lap time.
struct LapBox {
    int x1 = 0;
    int x2 = 0;
    QColor brush;
    QColor text;
    QString caption;
    bool marked = false;  // the fastest or the slowest lap
};
// The laps (nr_lapa > 0) of a session in memokrazenia order.  A lap that
// starts left of the plot starts at the axis minimum; one without a known
// end runs to the axis maximum; one that ended left of the plot has no box.
// Fastest lap lime with black text, slowest red, the others blue, both with
// white text.
std::vector<LapBox> LapStripBoxes(const MemTable& memokrazenia, int sessionId, const ChartMapping& mapping);

// ----------------------------------------------------------------- read-out

// "%2.2d:%2.2d:%2.2d" of a cursor time: minutes, seconds and hundredths of
// the whole-session chart (hundredths cut off) ...
QString CursorTimeText(double hundredths);
// ... and of the lap overlay (rounded to a whole hundredth, halves to even,
// before the minutes and seconds are taken from it: 4599.7 is 00:46:00).
QString LapCursorTimeText(double hundredths);

// The time texts of the whole-session read-out at session time x: the
// time itself, the time since the lap started (the last lap row of the
// session starting before x, from the end of memokrazenia; the time text
// when none) and since the last sector line (the last sector row with a
// lap number starting before x; the lap text when none).  lapNumber is the
// lap found, 0 when none.
struct SessionReadOut {
    QString time;
    QString lap;
    QString sector;
    int lapNumber = 0;
};
SessionReadOut ReadOutTexts(const SessionTree& tree, int sessionId, double x);

// ------------------------------------------------------------ lap overlay

// Series tag of a lap: the lap in the last two decimal digits.
inline int LapKey(int sessionId, int lap) { return sessionId * 100 + lap; }

// Start (czas) of a session's lap in memokrazenia; found false when the
// tree has no such lap (for example one the lap-time filters left out).
int LapStartTime(const MemTable& memokrazenia, int sessionId, int lap, bool* found = nullptr);

// The samples of one session's laps: the session's first block of rows in
// memGPS, split where the lap changes; samples before the first lap line
// and laps the tree does not hold are left out.  x of a sample in the
// overlay is data - lapStart.
struct LapRun {
    int lap = 0;
    int lapStart = 0;
    int first = 0;
    int count = 0;
};
std::vector<LapRun> LapRuns(const MemTable& memGPS, int sessionId, const MemTable& memokrazenia);

// Session time handed to the linked GPS view from a lap-overlay cursor
// time: (cursor time + lap start), cut down to a multiple of 10.
int OverlayGpsTime(int cursorTime, int lapStart);

// ----------------------------------------------------------- channel lines

// One line of the multi-channel charts: a block of memGPS rows of one
// chosen channel, x through xMap (the lap overlay counts from the lap's
// start), y scaled to the session's memMinMax range.
struct ChannelLine {
    QString title;      // "12 RPM"; overlay "12 L3 RPM"
    int tag = 0;        // the session id; overlay LapKey
    int sessionId = 0;
    int lap = 0;        // 0 in the whole-session chart
    int colour = 0;     // LapColour number: 1, 2, ... in the order of the lines
    int slot = 0;       // the channel's slot 1..6: its value box and format
    int xColumn = -1;   // memGPS "data"
    int yColumn = -1;   // the channel; -1 when memGPS has no such field (no points)
    int first = 0;
    int count = 0;
    Affine xMap;
    Affine yMap;
    bool HasData() const { return xColumn >= 0 && yColumn >= 0; }
};
// The whole-session chart: per run of memGPS, a line per channel (channels
// in slot order, at most MaxSelectedChannels of them), colours counted on
// across the sessions.
std::vector<ChannelLine> ChannelLines(const MemTable& memGPS, const MemTable& memMinMax,
                                      const std::vector<SampleRun>& runs, const std::vector<QString>& channels);
// The lap overlay: per lap run of one session, a line per channel, colours
// counted from 1 for the session.
std::vector<ChannelLine> ChannelLines(const MemTable& memGPS, const MemTable& memMinMax, int sessionId,
                                      const std::vector<LapRun>& laps, const std::vector<QString>& channels);

// ------------------------------------------------------------ session tree

// The tree's current row (memdane's current row); zeros when none.
struct TreeRow {
    int sessionId = 0;  // id_naglowka
    int lap = 0;        // id_okrazenia, 0 on session rows
    QString type;       // typ_rekordu
};
TreeRow CurrentTreeRow(const SessionTree& tree);

// The check column: (session id, lap, wybrany) of every row of a type
// ("1" sessions, lap 0; "2" laps), in memdane order.
struct TreeCheck {
    int sessionId = 0;
    int lap = 0;
    int checked = 0;
};
std::vector<TreeCheck> TreeChecks(const SessionTree& tree, const QString& type);
