#include "analysis/sessionload.h"

#include <cmath>

#include "analysis/sessiontree.h"
#include "platform/memtable.h"
#include "shell/projectrecord.h"

// Placeholders until the sample loader lands.
int AccToHundredthsG(int32_t count) { return int(std::nearbyint(double(int32_t(uint32_t(count) * 24414u)) / 1000000.0)); }
int32_t MapCoordinate(uint32_t packed) { return packed == 0 ? 0 : int32_t(((packed >> 24) * 60 + ((packed >> 16) & 255)) * 10000 + (packed & 65535)); }
void ApplyRangeDefaults(ProjectRecord&) {}
void AppendMinMaxRow(MemTable&, int, const ProjectRecord&) {}
void LoadSessionSamples(int, MemTable&) {}
// Until then the load builds the session tree alone.
void LoadSessions(MemTable& memWybraneSesje, MemTable&, MemTable&, SessionTree& tree, const TreeFilters& filters,
                  ProjectRecord&)
{
    tree.ResetTree();
    const int c = memWybraneSesje.FieldIndex(QStringLiteral("id_nag"));
    for (int r = 0; r < memWybraneSesje.RecordCount(); ++r)
        BuildSessionTree(tree, memWybraneSesje.IntAt(r, c), filters);
}
