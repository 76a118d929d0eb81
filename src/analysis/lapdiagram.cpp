#include "analysis/lapdiagram.h"

#include <array>
#include <map>

#include "analysis/sessioncharts.h"
#include "analysis/sessiontree.h"
#include "shell/common/stale.h"

namespace {

// An integer cell; NULL (and a missing column) reads 0.
int Int(const MemTable& t, int row, int column)
{
    return column < 0 || t.IsNullAt(row, column) ? 0 : int(t.View(column).At(row));
}

// The fields copied from the panel's rows.
constexpr const char* kCopied[] = {"typ_rekordu", "Pole1",  "Pole2",   "id_naglowka", "id_okrazenia", "id_sektora",
                                   "czas",        "przes_czas", "wybrany", "lp",          "czas_ss"};

}  // namespace

LapDiagram::LapDiagram()
    : memdane(QStringLiteral("memdane"),
              WithFields(TreeRowFields(), {{QStringLiteral("czas_ss"), FieldType::Integer},
                                           {QStringLiteral("diff_ss"), FieldType::Integer},
                                           {QStringLiteral("diff"), FieldType::String, 20},
                                           {QStringLiteral("nr_kolejny"), FieldType::Integer},
                                           {QStringLiteral("lp"), FieldType::Integer}}))
{
    memdane.Open();
}

void LapDiagram::Load(const SessionTree& panel, const std::vector<int>& sessionIds)
{
    series.clear();
    memdane.Close();
    memdane.Open();

    // The panel's rows, in order, NULLs kept.
    const MemTable& from = panel.memdane;
    std::vector<std::pair<int, int>> columns;  // (panel column, own column)
    for (const char* name : kCopied) {
        const int src = Column(from, name), dst = Column(memdane, name);
        if (src >= 0 && dst >= 0)
            columns.emplace_back(src, dst);
    }
    memdane.BeginBulk();
    for (int r = 0; r < from.RecordCount(); ++r) {
        const int row = memdane.AppendRow();
        for (const auto& [src, dst] : columns) {
            if (from.IsNullAt(r, src))
                continue;
            if (memdane.Def(dst).type == FieldType::String)
                memdane.SetStringAt(row, dst, from.StringAt(r, src));
            else
                memdane.SetIntAt(row, dst, int(from.View(src).At(r)));
        }
    }

    int colour = 1;
    int n = 1;
    for (int id : sessionIds)
        BuildSession(panel, id, n++, colour);
    memdane.EndBulk();
    memdane.First();
}

void LapDiagram::BuildSession(const SessionTree& panel, int sessionId, int n, int& colour)
{
    int bestLap = kNoBestTime;
    std::array<int, kDiagramSectors + 1> bestSector;
    bestSector.fill(kNoBestTime);

    series.push_back({LapBarsTag(n), sessionId, colour++});

    // The session's sectors by lap, in table order.
    const MemTable& sectors = panel.memSektory;
    const int sId = Column(sectors, "id_nag"), sLap = Column(sectors, "nr_okr");
    const int sNr = Column(sectors, "nr_sektora"), sTime = Column(sectors, "czas_ss");
    std::map<int, std::vector<int>> sectorRows;
    for (int r = 0; r < sectors.RecordCount(); ++r)
        if (Int(sectors, r, sId) == sessionId)
            sectorRows[Int(sectors, r, sLap)].push_back(r);

    const MemTable& laps = panel.memokrazenia;
    const int lId = Column(laps, "id_nag"), lNr = Column(laps, "nr_lapa"), lTime = Column(laps, "czas_ss");
    for (int r = 0; r < laps.RecordCount(); ++r) {
        const int lap = Int(laps, r, lNr);
        if (Int(laps, r, lId) != sessionId || lap <= 0)
            continue;  // another session, or the session's start row
        bestLap = std::min(bestLap, Int(laps, r, lTime));
        const auto found = sectorRows.find(lap);
        if (found == sectorRows.end())
            continue;
        for (int s : found->second) {
            const int k = Int(sectors, s, sNr);
            if (k < 1 || k > kDiagramSectors)
                continue;
            if (SeriesIndex(SectorBarsTag(n, k)) < 0)
                series.push_back({SectorBarsTag(n, k), sessionId, colour++});
            bestSector[size_t(k)] = std::min(bestSector[size_t(k)], Int(sectors, s, sTime));
        }
    }

    // Each row's difference to its best: 0 for the best, above 0 otherwise.
    const int cId = Column(memdane, "id_naglowka"), cType = Column(memdane, "typ_rekordu");
    const int cSector = Column(memdane, "id_sektora"), cTime = Column(memdane, "czas_ss");
    const int cDiffSs = Column(memdane, "diff_ss"), cDiff = Column(memdane, "diff");
    const int cOrdinal = Column(memdane, "nr_kolejny");
    for (int r = 0; r < memdane.RecordCount(); ++r) {
        if (Int(memdane, r, cId) != sessionId)
            continue;
        memdane.SetIntAt(r, cOrdinal, n);
        const QString& type = memdane.StringAt(r, cType);
        int best = kNoBestTime;
        if (type == QLatin1String("2")) {
            best = bestLap;
        } else if (type == QLatin1String("3")) {
            const int k = Int(memdane, r, cSector);
            if (k >= 1 && k <= kDiagramSectors)
                best = bestSector[size_t(k)];
        }
        if (best == kNoBestTime)
            continue;  // no best to measure against (a session row, sector 6 and above)
        const int diff = ClampToInt(static_cast<long long>(Int(memdane, r, cTime)) - best);  // no wrap round
        memdane.SetIntAt(r, cDiffSs, diff);
        memdane.SetStringAt(r, cDiff, SessionTimeText(diff));
    }
}

int LapDiagram::SeriesIndex(int tag) const
{
    for (size_t i = 0; i < series.size(); ++i)
        if (series[i].tag == tag)
            return int(i);
    return -1;
}

std::vector<std::vector<DiagramBar>> LapDiagram::Bars(bool diff) const
{
    std::vector<std::vector<DiagramBar>> bars(series.size());
    const int cType = Column(memdane, "typ_rekordu"), cOrdinal = Column(memdane, "nr_kolejny");
    const int cLap = Column(memdane, "id_okrazenia"), cSector = Column(memdane, "id_sektora");
    const int cTime = Column(memdane, "czas_ss"), cText = Column(memdane, "Pole2");
    const int cDiffSs = Column(memdane, "diff_ss"), cDiff = Column(memdane, "diff");
    for (int r = 0; r < memdane.RecordCount(); ++r) {
        const QString& type = memdane.StringAt(r, cType);
        const int n = Int(memdane, r, cOrdinal);
        int tag = 0;
        if (type == QLatin1String("2"))
            tag = LapBarsTag(n);
        else if (const int k = Int(memdane, r, cSector); type == QLatin1String("3") && k >= 1 && k <= kDiagramSectors)
            tag = SectorBarsTag(n, k);  // other sector numbers have no series
        const int s = n > 0 && tag > 0 ? SeriesIndex(tag) : -1;
        if (s < 0)
            continue;
        DiagramBar bar;
        bar.x = Int(memdane, r, cLap);
        if (diff) {
            bar.y = Int(memdane, r, cDiffSs);
            bar.label = memdane.StringAt(r, cDiff);
        } else {
            bar.y = Int(memdane, r, cTime);
            bar.label = memdane.StringAt(r, cText);
        }
        bars[size_t(s)].push_back(bar);
    }
    return bars;
}

bool PassesFilters(int tag, const DiagramFilters& filters)
{
    if (IsLapBarsTag(tag))
        return filters.laps;
    if (IsSectorBarsTag(tag))
        return filters.sectors && (filters.sectorItem == 0 || tag % 100 == filters.sectorItem);
    return true;
}
