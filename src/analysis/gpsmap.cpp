#include "analysis/gpsmap.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/sessionload.h"
#include "shell/common/stale.h"
#include "shell/data/fbbulk.h"
#include "shell/data/ubazy.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Acceleration in g of a table value: raw counts (4096 per g) in the trace
// window, hundredths of g elsewhere.
double CountsToG(int counts) { return static_cast<double>(int64_t(counts) * 24414) / 1000000 / 100; }

}  // namespace

// ------------------------------------------------------------ point tables

std::vector<FieldDef> GpsPointFields(bool withDataso)
{
    std::vector<FieldDef> f = {
        {QStringLiteral("typ_probki"), FieldType::Integer},
        {QStringLiteral("obroty"), FieldType::Integer},
        {QStringLiteral("accx"), FieldType::Integer},
        {QStringLiteral("accy"), FieldType::Integer},
        {QStringLiteral("gpsx"), FieldType::Integer},
        {QStringLiteral("gpsy"), FieldType::Integer},
        {QStringLiteral("gyro1"), FieldType::Integer},
        {QStringLiteral("gyro2"), FieldType::Integer},
        {QStringLiteral("sektor"), FieldType::Integer},
        {QStringLiteral("temp1"), FieldType::Float},
        {QStringLiteral("temp2"), FieldType::Float},
        {QStringLiteral("data"), FieldType::Integer},
        {QStringLiteral("datas"), FieldType::String, 15},
        {QStringLiteral("xobr"), FieldType::Integer},
        {QStringLiteral("yobr"), FieldType::Integer},
        {QStringLiteral("okrazenie"), FieldType::Integer},
    };
    if (withDataso)
        f.push_back({QStringLiteral("dataso"), FieldType::String, 30});
    return f;
}

// ---------------------------------------------------------- map coordinates

double PackedDegrees(uint32_t packed)
{
    const double degrees = packed >> 24;
    const double minutes = (packed >> 16) & 255;
    const double fraction = packed & 65535;
    return degrees + (minutes + fraction / 10000) / 60;
}

void MapExtent::Add(int x, int y)
{
    if (empty) {
        empty = false;
        minX = maxX = x;
        minY = maxY = y;
        return;
    }
    if (x > maxX)
        maxX = x;
    if (x < minX)
        minX = x;
    if (y > maxY)
        maxY = y;
    if (y < minY)
        minY = y;
}

QPoint FitProjection::Place(int mapX, int mapY) const
{
    return QPoint(RoundHalfEven((double(mapY) - minY) * eastFactor * scale) + offX,
                  RoundHalfEven((double(mapX) - minX) * scale) + offH);
}

FitProjection FitToBox(int width, int height, int margin, const MapExtent& extent)
{
    FitProjection p;
    const int w = width - 2 * margin;
    const int h = height - 2 * margin;
    p.minX = extent.minX;
    p.minY = extent.minY;
    // Map units hold whole degrees too: 600000 to the degree.
    const double midLatitude = (double(extent.minX) + extent.maxX) / 2 / 600000;
    p.eastFactor = std::fabs(std::cos(midLatitude * kPi / 180));
    const double east = (double(extent.maxY) - extent.minY) * p.eastFactor;
    const double north = double(extent.maxX) - extent.minX;
    // The axis with room to spare: the drawn span in the middle of the room
    // inside the margins (a line or a spot has no span and lies in the middle).
    auto centred = [margin](double span, double scale, int room) {
        return margin + RoundHalfEven((room - RoundHalfEven(span * scale)) / 2.0);
    };
    if (east <= 0 && north <= 0) {
        p.offX = centred(0, 0, w);
        p.offH = centred(0, 0, h);
        return p;
    }
    // An axis without extent has no limit of its own: the other one sets
    // the scale.
    const double inf = std::numeric_limits<double>::infinity();
    const double sx = east > 0 ? w / east : inf;
    const double sh = north > 0 ? h / north : inf;
    if (sx >= sh) {
        p.scale = sh;
        p.offH = margin;
        p.offX = centred(east, p.scale, w);
    } else {
        p.scale = sx;
        p.offX = margin;
        p.offH = centred(north, p.scale, h);
    }
    return p;
}

void ProjectPoints(MemTable& points, const FitProjection& projection)
{
    const int n = points.RecordCount();
    for (int r = 0; r < n; ++r) {
        const QPoint at = projection.Place(points.IntAt(r, gpGpsx), points.IntAt(r, gpGpsy));
        points.SetIntAt(r, gpXobr, at.x());
        points.SetIntAt(r, gpYobr, at.y());
    }
}

namespace {
// First row whose data is not below time (rows in data order).
int LowerBound(const MemTable& points, int time)
{
    const ColumnView data = points.View(gpData);
    int lo = 0, hi = data.rows;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (data.At(mid) < time)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}
}  // namespace

int FindTime(const MemTable& points, int time)
{
    const int r = LowerBound(points, time);
    return r < points.RecordCount() && points.IntAt(r, gpData) == time ? r : -1;
}

int FindTimeOrLater(const MemTable& points, int time)
{
    const int n = points.RecordCount();
    if (n == 0)
        return -1;
    return std::min(LowerBound(points, time), n - 1);
}

// ----------------------------------------------------------- trace window

void TraceExtent::Add(uint32_t packedX, uint32_t packedY)
{
    const int x = MapCoordinate(packedX);
    const int y = MapCoordinate(packedY);
    if (map.empty) {
        map.Add(x, y);
        degXMax = degXMin = PackedDegrees(packedX);
        degYMax = degYMin = PackedDegrees(packedY);
        return;
    }
    if (x > map.maxX)
        degXMax = PackedDegrees(packedX);
    if (x < map.minX)
        degXMin = PackedDegrees(packedX);
    if (y > map.maxY)
        degYMax = PackedDegrees(packedY);
    if (y < map.minY)
        degYMin = PackedDegrees(packedY);
    map.Add(x, y);
}

QString TraceExtent::UpperLabel() const
{
    return Format("%2.2f", 1000 * GpsDistanceKm(degXMax, degYMin, degXMax, degYMax));
}

QString TraceExtent::LowerLabel() const
{
    return Format("%2.2f", 1000 * GpsDistanceKm(degXMin, degYMin, degXMax, degYMin));
}

bool LoadTracePoints(int sessionId, int lap, MemTable& memdane, TraceExtent& extent, int& scrollMax)
{
    extent = TraceExtent();
    scrollMax = 0;
    memdane.Close();
    memdane.Open();

    // Read through the client API: the samples of a session are many.
    FbTransaction tr(DM->TransBrowse.Database());
    tr.StartRead();
    QString sql = QStringLiteral(
        "select TYP_PROBKI, OBROTY, ACCX, ACCY, GPSX, GPSY, GYRO1, GYRO2, SEKTOR, TEMP1, TEMP2, DATA_SS, OKRAZENIE "
        "from POZYCJE where ID_NAGLOWKA = :ID");
    if (lap >= 1)
        sql += QStringLiteral(" and OKRAZENIE = :LAP");
    sql += QStringLiteral(" order by DATA_SS");
    FbStatement q(tr, sql);
    q.SetInt(q.ParamIndex(QStringLiteral("ID")), sessionId);
    if (lap >= 1)
        q.SetInt(q.ParamIndex(QStringLiteral("LAP")), lap);
    enum { cTyp, cObroty, cAccx, cAccy, cGpsx, cGpsy, cGyro1, cGyro2, cSektor, cTemp1, cTemp2, cDataSs, cOkrazenie };
    q.Open();

    MemTableBulk bulk(memdane);
    int start = 0;
    while (q.Fetch()) {
        const auto px = static_cast<uint32_t>(q.Int(cGpsx));
        const auto py = static_cast<uint32_t>(q.Int(cGpsy));
        const int x = MapCoordinate(px);
        const int y = MapCoordinate(py);
        if (x == 0 || y == 0)
            continue;
        const int time = q.Int(cDataSs);
        if (extent.map.empty)
            start = time;
        extent.Add(px, py);
        const int data = time - start;
        const int r = memdane.AppendRow();
        memdane.SetIntAt(r, gpTypProbki, q.Int(cTyp));
        memdane.SetIntAt(r, gpObroty, q.Int(cObroty));
        memdane.SetIntAt(r, gpAccx, q.Int(cAccx));
        memdane.SetIntAt(r, gpAccy, q.Int(cAccy));
        memdane.SetIntAt(r, gpGpsx, x);
        memdane.SetIntAt(r, gpGpsy, y);
        memdane.SetIntAt(r, gpGyro1, q.Int(cGyro1));
        memdane.SetIntAt(r, gpGyro2, q.Int(cGyro2));
        memdane.SetIntAt(r, gpSektor, q.Int(cSektor));
        memdane.SetFloatAt(r, gpTemp1, q.Double(cTemp1));
        memdane.SetFloatAt(r, gpTemp2, q.Double(cTemp2));
        memdane.SetIntAt(r, gpData, data);
        memdane.SetStringAt(r, gpDatas, SessionTimeText(data));
        memdane.SetIntAt(r, gpXobr, 0);
        memdane.SetIntAt(r, gpYobr, 0);
        memdane.SetIntAt(r, gpOkrazenie, q.Int(cOkrazenie));
        scrollMax = data / 10;
    }
    tr.Commit();
    return !extent.map.empty;
}

std::optional<TraceReadout> TraceReplayStep(const MemTable& memdane, int position, QSize dotSize)
{
    const int r = FindTime(memdane, position * 10);
    if (r < 0)
        return std::nullopt;
    TraceReadout o;
    o.row = r;
    o.rpm = QString::number(memdane.IntAt(r, gpObroty));
    o.lapTime = memdane.StringAt(r, gpDatas);
    o.temp1 = Format("%1.1f", memdane.FloatAt(r, gpTemp1));
    o.temp2 = Format("%1.1f", memdane.FloatAt(r, gpTemp2));
    o.gx = CountsToG(memdane.IntAt(r, gpAccx));
    o.gy = CountsToG(memdane.IntAt(r, gpAccy));
    o.gForceX = Format("%2.2f", o.gx);
    o.gForceY = Format("%2.2f", o.gy);
    o.marker = QPoint(memdane.IntAt(r, gpXobr), memdane.IntAt(r, gpYobr));
    o.dot = QPoint(RoundHalfEven(80 + 40 * o.gx - dotSize.width() / 2),
                   RoundHalfEven(80 - 40 * o.gy - dotSize.height() / 2));
    return o;
}

// --------------------------------------------------------- memGPS walkers

int LapStart(const MemTable* memokrazenia, int sessionId, int lap)
{
    if (lap <= 0 || !memokrazenia || !memokrazenia->Active())
        return 0;
    const int r = memokrazenia->Find(QStringLiteral("id_nag;nr_lapa"), {sessionId, lap});
    return r < 0 ? 0 : memokrazenia->IntAt(r, memokrazenia->FieldIndex(QStringLiteral("czas")));
}

PointFill FillPointsFromMemGps(const MemTable& memGPS, int sessionId, int lap, bool wholeSession, bool fromFirst,
                               int lapStart, MemTable& points, MapExtent& extent)
{
    PointFill fill;
    if (!memGPS.Active())
        return fill;
    int row = memGPS.Find(QStringLiteral("id_nag"), {sessionId});
    if (row < 0)
        return fill;
    auto view = [&memGPS](const char* name) { return memGPS.View(memGPS.FieldIndex(QLatin1String(name))); };
    const ColumnView idNag = view("id_nag"), typ = view("typ_probki"), obroty = view("obroty"),
                     accx = view("accx"), accy = view("accy"), gx = view("gpsx_wyl"), gy = view("gpsy_wyl"),
                     gyro1 = view("gyro1"), gyro2 = view("gyro2"), sektor = view("sektor"),
                     temp1 = view("temp1"), temp2 = view("temp2"), data = view("data"),
                     okrazenie = view("okrazenie");
    const bool anyLap = wholeSession && lap == 0;
    const int n = idNag.rows;
    MemTableBulk bulk(points);
    int first = 0;
    for (; row < n && int(idNag.At(row)) == sessionId; ++row) {
        const int lapOf = int(okrazenie.At(row));
        if (!anyLap && lapOf != lap)
            continue;
        const int x = int(gx.At(row));
        const int y = int(gy.At(row));
        if (x == 0 || y == 0)
            continue;
        const int time = int(data.At(row));
        if (fill.rows == 0)
            first = time;
        extent.Add(x, y);
        const int r = points.AppendRow();
        points.SetIntAt(r, gpTypProbki, int(typ.At(row)));
        points.SetIntAt(r, gpObroty, int(obroty.At(row)));
        points.SetIntAt(r, gpAccx, int(accx.At(row)));
        points.SetIntAt(r, gpAccy, int(accy.At(row)));
        points.SetIntAt(r, gpGpsx, x);
        points.SetIntAt(r, gpGpsy, y);
        points.SetIntAt(r, gpGyro1, int(gyro1.At(row)));
        points.SetIntAt(r, gpGyro2, int(gyro2.At(row)));
        points.SetIntAt(r, gpSektor, int(sektor.At(row)));
        points.SetFloatAt(r, gpTemp1, temp1.At(row));
        points.SetFloatAt(r, gpTemp2, temp2.At(row));
        points.SetIntAt(r, gpData, fromFirst ? time - first : time);
        points.SetStringAt(r, gpDatas, SessionTimeText(time));
        points.SetIntAt(r, gpXobr, 0);
        points.SetIntAt(r, gpYobr, 0);
        points.SetIntAt(r, gpOkrazenie, lapOf);
        points.SetStringAt(r, gpDataso, lap > 0 && !anyLap ? SessionTimeText(time - lapStart) : QString());
        const int since = time - lapStart;
        fill.lastSinceLapStart = since;
        if (fill.rows == 0 || since > fill.maxSinceLapStart)
            fill.maxSinceLapStart = since;
        ++fill.rows;
    }
    return fill;
}

void ExtendExtent(const MemTable& points, MapExtent& extent)
{
    const int n = points.RecordCount();
    for (int r = 0; r < n; ++r) {
        const int x = points.IntAt(r, gpGpsx);
        const int y = points.IntAt(r, gpGpsy);
        if (x > 0 && y > 0)
            extent.Add(x, y);
    }
}

// -------------------------------------------------------------- pictures

std::vector<MapMarker> MapMarkers(const MemTable& points, bool oneLap, bool sectors)
{
    std::vector<MapMarker> out;
    const int n = points.RecordCount();
    int lastStartLap = 0;
    bool started = false;
    for (int r = 1; r < n; ++r) {
        bool start = false;
        if (oneLap) {
            start = !started;
        } else {
            const int lap = points.IntAt(r, gpOkrazenie);
            start = lap >= 1 && lap != lastStartLap;
            if (start)
                lastStartLap = lap;
        }
        if (start) {
            started = true;
            out.push_back({MapMarkerKind::Start, r});
        } else if (sectors && oneLap) {
            const int s = points.IntAt(r, gpSektor);
            if (s > 0 && s > points.IntAt(r - 1, gpSektor))
                out.push_back({MapMarkerKind::Sector, r});
        }
    }
    return out;
}

QPoint PictureTopLeft(int x, int height, int imageHeight, QSize picture)
{
    return QPoint(x - picture.width() / 2, (imageHeight - height) - picture.height());
}

// ------------------------------------------------------------ linked view

LinkedReadout LinkedViewReadout(const MemTable& points, int row, bool oneLap)
{
    LinkedReadout o;
    o.rpm = QString::number(points.IntAt(row, gpObroty));
    o.time = points.StringAt(row, oneLap ? gpDataso : gpDatas);
    o.temp1 = Format("%1.1f", points.FloatAt(row, gpTemp1));
    o.temp2 = Format("%1.1f", points.FloatAt(row, gpTemp2));
    o.gfX = Format("%2.2f", points.IntAt(row, gpAccx) / 100.0);
    o.gfY = Format("%2.2f", points.IntAt(row, gpAccy) / 100.0);
    o.marker = QPoint(points.IntAt(row, gpXobr), points.IntAt(row, gpYobr));
    return o;
}

std::optional<AccelArrow> AccelerationArrow(const MemTable& points, int row, int arrowScale, int imageHeight)
{
    const int n = points.RecordCount();
    if (row < 0 || row >= n)
        return std::nullopt;
    const int x0 = points.IntAt(row, gpXobr);
    const int y0 = points.IntAt(row, gpYobr);
    int next = row + 1;
    while (next < n && points.IntAt(next, gpXobr) == x0 && points.IntAt(next, gpYobr) == y0)
        ++next;
    if (next >= n)
        return std::nullopt;
    const int x1 = points.IntAt(next, gpXobr);
    const int y1 = points.IntAt(next, gpYobr);
    const double d = std::sqrt(double(x1 - x0) * (x1 - x0) + double(y1 - y0) * (y1 - y0));
    if (d == 0)
        return std::nullopt;
    const double c = (x0 - x1) / d;
    const double s = (y1 - y0) / d;
    const double ax = RoundHalfEven(double(int64_t(points.IntAt(row, gpAccx)) * arrowScale) / 100 / 3);
    const double ay = RoundHalfEven(double(int64_t(points.IntAt(row, gpAccy)) * arrowScale) / 100 / 3);
    const QPoint from(x0 - 1, imageHeight - (y0 - 1));
    auto line = [&](double dx, double dh) {
        return ArrowLine{from, QPoint(x0 - 1 + RoundHalfEven(dx), imageHeight - (y0 - 1 + RoundHalfEven(dh)))};
    };
    AccelArrow a;
    a.total = line(ax * s - ay * c, ax * c + ay * s);
    a.along = line(-ay * c, ay * s);
    a.across = line(ax * s, ax * c);
    return a;
}

// ------------------------------------------------------------- comparison

int CompareRing::Take(int lap)
{
    const int slot = count_ < kSlots ? ++count_ : last_ % kSlots + 1;
    last_ = slot;
    laps_[slot - 1] = lap;
    return slot;
}

void CompareRing::Clear() { count_ = 0; }

QColor MapLapColour(int lap)
{
    const QColor c = LapColour(lap);
    return c == QColor(0, 0, 0) ? QColor(192, 192, 192) : c;
}

QColor CompareSlotColour(int slot)
{
    switch (slot) {
    case 1: return QColor(255, 255, 0);
    case 2: return QColor(0, 255, 0);
    case 3: return QColor(255, 0, 0);
    case 4: return QColor(0, 0, 255);
    default: return QColor(255, 255, 255);
    }
}
