#include "analysis/gps_support.h"

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

void LoadSession(int sessionId, MemTable& memGPS, SessionTree& tree)
{
    AppendSessionSamples(memGPS, sessionId);
    BuildSessionTree(tree, sessionId, TreeFilters{});
}

}  // namespace gpstest
