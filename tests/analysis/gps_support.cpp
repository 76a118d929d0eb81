#include "analysis/gps_support.h"

#include <algorithm>

#include "analysis/gpsmap.h"

#include "analysis/sessioncharts.h"
#include "analysis/sessiontree.h"
#include "analysis/sim_sessions.h"

namespace gpstest {

std::vector<int> ImportSessions(const std::vector<kromsim::SessionOptions>& sessions)
{
    return simsessions::ImportSessions(sessions);
}

kromsim::SessionOptions GpsSession(int laps, bool fix, uint32_t seed)
{
    kromsim::SessionOptions s = simsessions::Session(laps, 3, seed);
    s.gpsFix = fix;
    return s;
}

double DrawnAspect(const MemTable& points)
{
    int minX = 1 << 30, maxX = -(1 << 30), minH = 1 << 30, maxH = -(1 << 30);
    for (int r = 0; r < points.RecordCount(); ++r) {
        minX = std::min(minX, points.IntAt(r, gpXobr));
        maxX = std::max(maxX, points.IntAt(r, gpXobr));
        minH = std::min(minH, points.IntAt(r, gpYobr));
        maxH = std::max(maxH, points.IntAt(r, gpYobr));
    }
    return double(maxX - minX) / (maxH - minH);
}

double TrueAspect(int sessionId, int lap)
{
    MemTable memdane(QStringLiteral("memdane"), GpsPointFields(false));
    TraceExtent extent;
    int scrollMax = 0;
    if (!LoadTracePoints(sessionId, lap, memdane, extent, scrollMax))
        return 0;
    return extent.UpperLabel().toDouble() / extent.LowerLabel().toDouble();
}

void LoadSession(int sessionId, MemTable& memGPS, SessionTree& tree)
{
    AppendSessionSamples(memGPS, sessionId);
    BuildSessionTree(tree, sessionId, TreeFilters{});
}

}  // namespace gpstest
