#pragma once
// What the GPS windows compute, apart from drawing: the point tables of the
// three windows, the fit-to-box projection that lays map coordinates on a
// picture, the replay steps and their read-outs, the extent labels, the
// start and sector pictures and the acceleration arrow of the linked view,
// and the five-slot ring of the lap comparison.
//
// Map coordinates (MapCoordinate) carry whole degrees, so a trace that
// crosses a whole-degree line stays in one piece.  Pixel heights count
// upwards from the bottom edge of the picture; the screen row is the
// picture height minus the height.  Rounding is half to even.
#include <QColor>
#include <QPoint>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/memtable.h"

// ------------------------------------------------------------ point tables

// Columns of the GPS windows' point tables (the same order in all three;
// the trace window's table stops before dataso).
enum GpsPointColumn : int {
    gpTypProbki,
    gpObroty,
    gpAccx,
    gpAccy,
    gpGpsx,  // map X
    gpGpsy,  // map Y
    gpGyro1,
    gpGyro2,
    gpSektor,
    gpTemp1,
    gpTemp2,
    gpData,
    gpDatas,
    gpXobr,  // pixel x on the picture
    gpYobr,  // pixel height from the bottom edge
    gpOkrazenie,
    gpDataso,
};

// Fields of a point table; withDataso adds the lap time text (linked view,
// comparison).
std::vector<FieldDef> GpsPointFields(bool withDataso);

// g per raw acceleration count of the trace window's table (4096 counts
// are 1 g), as a factor for chart series; single values convert with the
// exact integer product first (see the replay step).
constexpr double kGPerAccCount = 24414.0 / 1000000 / 100;

// ---------------------------------------------------------- map coordinates

// Decimal degrees of a packed GPS coordinate.
double PackedDegrees(uint32_t packed);

// Smallest and largest map X and Y of a set of points; the first point sets
// all four, later ones move them only when strictly beyond.
struct MapExtent {
    bool empty = true;
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    void Add(int x, int y);
};

// The fit-to-box projection: the points as seen from above, north up and
// east to the right, one scale in metres on both axes.  Map Y (longitude)
// grows to the right, map X (latitude) upwards; a minute of longitude
// counts the cosine of the points' mid latitude of a minute of latitude.
// The points fill a picture less a margin on every side; the axis with
// room to spare is centred between the margins.
// Points on one line or one spot lie in the middle of the picture.
struct FitProjection {
    int minX = 0, minY = 0;  // map X and Y of the lower left corner
    double scale = 0;        // pixels per map unit of latitude
    double eastFactor = 1;   // map units of latitude per unit of longitude
    int offX = 0, offH = 0;  // pixel x and height of the lower left corner

    // Pixel x and pixel height (from the bottom edge) of a map point.
    QPoint Place(int mapX, int mapY) const;
};
FitProjection FitToBox(int width, int height, int margin, const MapExtent& extent);

// Stores every row's pixel x and height (xobr, yobr) for the projection.
void ProjectPoints(MemTable& points, const FitProjection& projection);

// Rows in data order: the row whose data equals time exactly (the first of
// equals), or -1.
int FindTime(const MemTable& points, int time);
// The row at time, else the first row after it, else the last row; -1 for
// an empty table.
int FindTimeOrLater(const MemTable& points, int time);

// ----------------------------------------------------------- trace window

// Extent of the trace with the decimal degrees noted at its extremes.
struct TraceExtent {
    MapExtent map;
    double degXMax = 0, degXMin = 0, degYMax = 0, degYMin = 0;
    void Add(uint32_t packedX, uint32_t packedY);
    // Metres as "%2.2f": the upper label the extent along Y, the lower one
    // the extent along X (flat-earth, X degrees as latitude).
    QString UpperLabel() const;
    QString LowerLabel() const;
};

// Reads the samples of a session (lap 0) or of one lap from POZYCJE on the
// read transaction into memdane (emptied first): one row per sample with a
// fix, data counted from the first fix.  Sets the extent and the scroll
// range (the last fix's data div 10).  False when no sample has a fix.
// Database errors reach the caller as DatabaseError.
bool LoadTracePoints(int sessionId, int lap, MemTable& memdane, TraceExtent& extent, int& scrollMax);

// Read-outs of one replay position of the trace window.
struct TraceReadout {
    int row = -1;
    QString rpm, lapTime, temp1, temp2, gForceX, gForceY;
    double gx = 0, gy = 0;  // g
    QPoint marker;          // pixel x and height of the point
    QPoint dot;             // Left and Top of the g-dot on the 160 x 160 cross
};
// The row at position x 10 hundredths; nothing when there is none.  accx and
// accy of the table are raw counts (4096 per g).
std::optional<TraceReadout> TraceReplayStep(const MemTable& memdane, int position, QSize dotSize = QSize(12, 12));

// --------------------------------------------------------- memGPS walkers

// Lap start in session time: czas of the memokrazenia row of (id_nag,
// nr_lapa); 0 for lap 0, without a table or without the row.
int LapStart(const MemTable* memokrazenia, int sessionId, int lap);

// Appends the points of a session to a point table (with dataso) from
// memGPS: the rows of sessionId whose map X and Y are both non-zero and
// whose lap is lap (any lap when wholeSession and lap is 0).  data is the
// session time, or the time since the first taken point when fromFirst;
// datas the time text of the session time; dataso the time text of the
// session time less lapStart, empty for lap 0 or less (or the whole
// session).  Extends the extent; returns the number of rows taken and the
// largest (session time - lapStart) seen.
struct PointFill {
    int rows = 0;
    int lastSinceLapStart = 0;  // of the last row taken
    int maxSinceLapStart = 0;   // largest of all rows taken
};
PointFill FillPointsFromMemGps(const MemTable& memGPS, int sessionId, int lap, bool wholeSession, bool fromFirst,
                               int lapStart, MemTable& points, MapExtent& extent);

// -------------------------------------------------------------- pictures

// Rows that get a start or sector picture.  The first row never gets one.
// One lap: the start picture at the second row, a sector picture where the
// sector number rises above 0 (not at the start picture's row).  Whole
// session: a start picture where the lap is 1 or more and differs from the
// lap of the last start picture (none counts as lap 0).
enum class MapMarkerKind { Start, Sector };
struct MapMarker {
    MapMarkerKind kind;
    int row;
};
std::vector<MapMarker> MapMarkers(const MemTable& points, bool oneLap, bool sectors);

// Top-left corner of a picture standing with its bottom edge on a point,
// centred on it: (x - width div 2, row - height).
QPoint PictureTopLeft(int x, int height, int imageHeight, QSize picture);

// ------------------------------------------------------------ linked view

// Read-outs of the linked view for a row (accx and accy in hundredths of g).
struct LinkedReadout {
    QString rpm, time, temp1, temp2, gfX, gfY;
    QPoint marker;  // pixel x and height
};
LinkedReadout LinkedViewReadout(const MemTable& points, int row, bool oneLap);

// The acceleration arrow at a row: three lines in screen coordinates
// (x, row), all from one start: red the whole acceleration, aqua the accy
// part along the direction of travel (forward for positive values), lime
// the accx part across it (right of travel for positive values); L / 3
// pixels per g.  The direction of travel is towards the next row drawn at
// another pixel; nothing at the last row or when no later row moves.
struct ArrowLine {
    QPoint from, to;
};
struct AccelArrow {
    ArrowLine total, along, across;
};
std::optional<AccelArrow> AccelerationArrow(const MemTable& points, int row, int arrowScale, int imageHeight);

// ------------------------------------------------------------- comparison

// Five slots filled in a ring: while fewer than five are in use the next
// one is taken, then the one after the slot last filled (5 followed by 1).
// Clearing empties the ring's count only.
class CompareRing {
public:
    static constexpr int kSlots = 5;
    int Take(int lap);  // the slot 1..5 for a new lap
    void Clear();
    int Count() const { return count_; }
    int LastFilled() const { return last_; }
    int LapOf(int slot) const { return laps_[slot - 1]; }

private:
    int count_ = 0;
    int last_ = 0;
    int laps_[kSlots] = {};
};

// Colour of a lap on the black map: the lap colour palette, with silver in
// place of black, which would not show.
QColor MapLapColour(int lap);

// Colour of a comparison slot 1..5: yellow, lime, red, blue, white.
QColor CompareSlotColour(int slot);

// Extends an extent by the rows of a point table whose map X and Y are
// both above 0.
void ExtendExtent(const MemTable& points, MapExtent& extent);
