#include "analysis/sessioncharts.h"

#include <QDateTime>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <optional>
#include <unordered_map>

#include "analysis/sessionload.h"
#include "analysis/sessiontree.h"
#include "shell/common/stale.h"
#include "shell/data/fbbulk.h"
#include "shell/data/ibquery.h"
#include "shell/data/ubazy.h"

// --------------------------------------------------------------- samples

int AppendSessionSamples(MemTable& memGPS, int sessionId)
{
    return SampleLoader(memGPS).Append(sessionId, SampleTimeText::OfData);
}

// ------------------------------------------------------------ Sessions chart

SessionsChartTree::SessionsChartTree()
    : memdane(QStringLiteral("memdane"), WithFields(TreeRowFields(), {{QStringLiteral("status_naj"), FieldType::Integer},
                                                                      {QStringLiteral("lp"), FieldType::Integer}})),
      memokrazenia(QStringLiteral("memokrazenia"),
                   {{QStringLiteral("id_nag"), FieldType::Integer},
                    {QStringLiteral("czas"), FieldType::Integer},
                    {QStringLiteral("lap"), FieldType::String, 10},
                    {QStringLiteral("czas_t"), FieldType::String, 30}}),
      memSektory(QStringLiteral("memSektory"),
                 {{QStringLiteral("id_nag"), FieldType::Integer},
                  {QStringLiteral("czas"), FieldType::Integer},
                  {QStringLiteral("lap"), FieldType::String, 10},
                  {QStringLiteral("czas_t"), FieldType::String, 30}})
{
    Reset();
}

void SessionsChartTree::Reset()
{
    for (MemTable* t : {&memdane, &memokrazenia, &memSektory}) {
        t->Close();
        t->Open();
    }
    rowCounter = 0;
}

QString BuildSessionsChartTree(SessionsChartTree& tree, int sessionId)
{
    const SessionHeading h = ReadSessionHeading(sessionId);
    const int start = h.start;
    TreeRowWriter(tree.memdane)
        .Int("lp", ++tree.rowCounter)
        .Str("Pole1", h.StartText())
        .Int("id_naglowka", sessionId)
        .Str("Pole2", h.Driver())
        .Str("typ_rekordu", QStringLiteral("1"))
        .Int("przes_czas", start)
        .Int("wybrany", 1);
    TreeRowWriter(tree.memokrazenia).Int("id_nag", sessionId).Int("czas", start).Str("lap", QStringLiteral("L0")).Str("czas_t", QStringLiteral("S"));
    TreeRowWriter(tree.memSektory).Int("id_nag", sessionId).Int("czas", start).Str("lap", QString()).Str("czas_t", QString());

    long long lapSum = 0, sectorSum = 0;  // 64 bits: out-of-range stored times must not wrap
    TreeMarks laps;
    std::array<TreeMarks, 11> sectors;  // by sector number 1..10

    for (const DrivenLap& lap : ReadDrivenLaps(sessionId)) {
        const int lp = ++tree.rowCounter;
        laps.Take(lp, lap.time);
        TreeRowWriter(tree.memdane)
            .Int("lp", lp)
            .Str("typ_rekordu", QStringLiteral("2"))
            .Str("Pole1", QStringLiteral("L") + QString::number(lap.nr))
            .Str("Pole2", lap.text)
            .Int("id_naglowka", sessionId)
            .Int("przes_czas", start);
        lapSum += lap.time;
        TreeRowWriter(tree.memokrazenia)
            .Int("id_nag", sessionId)
            .Int("czas", ClampToInt(start + lapSum))
            .Str("lap", QStringLiteral("L") + QString::number(lap.nr))
            .Str("czas_t", lap.text);

        for (const DrivenSector& sector : lap.sectors) {
            const int k = sector.nr;
            const int slp = ++tree.rowCounter;
            if (k >= 1 && k <= 10)
                sectors[size_t(k)].Take(slp, sector.time);
            TreeRowWriter(tree.memdane)
                .Int("lp", slp)
                .Str("typ_rekordu", QStringLiteral("3"))
                .Str("Pole1", QStringLiteral(" S") + QString::number(k))
                .Str("Pole2", sector.text)
                .Int("id_naglowka", sessionId)
                .Int("przes_czas", start);
            sectorSum += sector.time;  // over the whole session, across the laps
            TreeRowWriter(tree.memSektory)
                .Int("id_nag", sessionId)
                .Int("czas", ClampToInt(start + sectorSum))
                .Str("lap", QStringLiteral("S") + QString::number(k))
                .Str("czas_t", sector.text);
        }
    }

    // A row both fastest and slowest ends flagged slowest.
    MarkTreeRow(tree.memdane, laps.fastestLp, 2);
    MarkTreeRow(tree.memdane, laps.slowestLp, 1);
    for (int k = 1; k <= 10; ++k) {
        MarkTreeRow(tree.memdane, sectors[size_t(k)].fastestLp, 2);
        MarkTreeRow(tree.memdane, sectors[size_t(k)].slowestLp, 1);
    }
    return h.Driver() + QStringLiteral("  ") + h.StartText();
}

ChartSession LoadSessionsChartSession(SessionsChartTree& tree, MemTable& memGPS, int sessionId)
{
    ChartSession s;
    s.sessionId = sessionId;
    s.first = memGPS.RecordCount();
    s.count = AppendSessionSamples(memGPS, sessionId);
    s.title = BuildSessionsChartTree(tree, sessionId);
    return s;
}

QString ClockText(double hundredths)
{
    if (std::isnan(hundredths))
        hundredths = 0;
    const double limit = 2147483647.0;
    const long long r = std::llround(std::nearbyint(std::clamp(hundredths, -limit, limit)));
    const long long a = r < 0 ? -r : r;
    const QString text = Format("%2.2lld:%2.2lld:%2.2lld:%2.2lld", a / 360000, (a / 6000) % 60, (a / 100) % 60, a % 100);
    return r < 0 ? QLatin1Char('-') + text : text;
}

namespace {

// The time since the last line of a session before x; the fallback when
// there is none.
QString SinceLastLine(const MemTable& lines, int sessionId, double x, const QString& none)
{
    const int cId = Column(lines, "id_nag"), cTime = Column(lines, "czas");
    for (int r = lines.RecordCount() - 1; r >= 0; --r) {
        if (lines.IntAt(r, cId) != sessionId)
            continue;
        const int t = lines.IntAt(r, cTime);
        if (t < x)
            return ClockText(x - t);
    }
    return none;
}

}  // namespace

SessionsReadOut SessionsChartReadOut(const SessionsChartTree& tree, int sessionId, double x)
{
    SessionsReadOut out;
    out.time = ClockText(x);
    out.lap = SinceLastLine(tree.memokrazenia, sessionId, x, out.time);
    out.sector = SinceLastLine(tree.memSektory, sessionId, x, out.time);
    return out;
}

std::vector<ChartLine> ChartLines(const MemTable& lines, int sessionId)
{
    std::vector<ChartLine> out;
    const int cId = Column(lines, "id_nag"), cTime = Column(lines, "czas");
    const int cLap = Column(lines, "lap"), cText = Column(lines, "czas_t");
    for (int r = 0; r < lines.RecordCount(); ++r)
        if (lines.IntAt(r, cId) == sessionId)
            out.push_back({lines.IntAt(r, cTime), lines.StringAt(r, cLap) + QStringLiteral(" : ") + lines.StringAt(r, cText)});
    return out;
}

// ------------------------------------------------------------ lap comparison

LapComparisonTree::LapComparisonTree()
    : memdane(QStringLiteral("memdane"), TreeRowFields())
{
    Reset();
}

void LapComparisonTree::Reset()
{
    memdane.Close();
    memdane.Open();
}

std::vector<ComparedLap> LoadLapComparisonSession(LapComparisonTree& tree, MemTable& memGPS, int sessionId)
{
    const SessionHeading h = ReadSessionHeading(sessionId);
    TreeRowWriter(tree.memdane)
        .Str("Pole1", h.StartText())
        .Int("id_naglowka", sessionId)
        .Str("Pole2", h.Driver())
        .Str("typ_rekordu", QStringLiteral("1"))
        .Int("przes_czas", h.start);
    const QString title = h.StartText() + QStringLiteral("  ") + h.surname;

    // A session stored before laps were counted on past the logger's
    // one-byte count lists lap numbers again: then the n-th row of a
    // number takes the n-th run of its samples, and no sample is shown
    // twice.  A number listed once takes every sample of it.
    const std::vector<DrivenLap> stored = ReadDrivenLaps(sessionId);
    LapListings listings;
    std::vector<int> starts;
    long long lapSum = 0;  // 64 bits: out-of-range stored times must not wrap
    for (const DrivenLap& t : stored) {
        listings.Add(t.nr, int(starts.size()));
        starts.push_back(ClampToInt(h.start + lapSum));
        lapSum += t.time;
    }

    // The samples in time order, straight into memGPS, counted from their
    // lap's start; samples of laps not listed are dropped.  The runs of
    // one lap number appended, with the lap they belong to.
    struct Run {
        int place = 0, count = 0;
    };
    std::vector<Run> runs;
    std::vector<int> counts(stored.size(), 0);
    bool inOrder = true;
    MemTableBulk bulk(memGPS);
    const int base = memGPS.RecordCount();
    if (!stored.empty()) {
        std::unordered_map<int, int> runsSeen;
        std::optional<int> previous;
        int place = -1;
        std::vector<uint8_t> keep(SampleBlock::kRows);
        SampleLoader(memGPS).Append(sessionId, SampleTimeText::OfData, [&](SampleBlock& b) {
            const int32_t* lap = b.Ints(SampleBlock::Okrazenie);
            const int32_t* time = b.Ints(SampleBlock::DataSs);
            int32_t* data = b.Ints(SampleBlock::Data);
            bool all = true;
            for (int k = 0; k < b.count; ++k) {
                if (previous != lap[k]) {
                    previous = lap[k];
                    place = listings.PlaceOfRun(lap[k], runsSeen[lap[k]]++);
                    if (place >= 0) {
                        inOrder = inOrder && (runs.empty() || runs.back().place <= place);
                        runs.push_back({place, 0});
                    }
                }
                keep[size_t(k)] = place >= 0;
                if (place < 0) {
                    all = false;
                    continue;
                }
                data[k] = time[k] - starts[size_t(place)];
                ++runs.back().count;
                ++counts[size_t(place)];
            }
            if (!all)
                b.Keep(keep.data());
            return true;
        });
    }
    // Runs that came out of the laps' order move behind their lap's
    // earlier runs.
    if (!inOrder) {
        std::vector<int> order(static_cast<size_t>(base));
        std::iota(order.begin(), order.end(), 0);
        std::vector<int> runFirst;
        int first = base;
        for (const Run& r : runs) {
            runFirst.push_back(first);
            first += r.count;
        }
        std::vector<size_t> byPlace(runs.size());
        std::iota(byPlace.begin(), byPlace.end(), size_t(0));
        std::stable_sort(byPlace.begin(), byPlace.end(), [&](size_t a, size_t b) { return runs[a].place < runs[b].place; });
        for (size_t i : byPlace)
            for (int k = 0; k < runs[i].count; ++k)
                order.push_back(runFirst[i] + k);
        memGPS.Reorder(order);
    }

    std::vector<ComparedLap> laps;
    int first = base;
    for (size_t p = 0; p < stored.size(); ++p) {
        const DrivenLap& t = stored[p];
        ComparedLap lap;
        lap.sessionId = sessionId;
        lap.lap = t.nr;
        TreeRowWriter(tree.memdane)
            .Str("typ_rekordu", QStringLiteral("2"))
            .Str("Pole1", QStringLiteral("L") + QString::number(lap.lap))
            .Str("Pole2", t.text)
            .Int("id_naglowka", sessionId)
            .Int("id_okrazenia", lap.lap)
            .Int("przes_czas", h.start)
            .Int("wybrany", 1);
        lap.colour = int(p) + 1;
        lap.title = title + QStringLiteral(" L") + QString::number(lap.lap);
        lap.start = starts[p];
        lap.first = first;
        lap.count = counts[p];
        first += lap.count;
        laps.push_back(lap);
    }
    return laps;
}

// ------------------------------------------------------------ binding

std::vector<LapSampleRun> LapSampleRuns(const MemTable& memGPS)
{
    std::vector<LapSampleRun> runs;
    const int rows = memGPS.RecordCount();
    const int cId = Column(memGPS, "id_nag"), cLap = Column(memGPS, "okrazenie");
    if (rows == 0 || cId < 0 || cLap < 0)
        return runs;
    const ColumnView ids = memGPS.View(cId);
    const ColumnView laps = memGPS.View(cLap);
    for (int r = 0; r < rows; ++r) {
        const int id = int(ids.At(r)), lap = int(laps.At(r));
        if (runs.empty() || runs.back().sessionId != id || runs.back().lap != lap)
            runs.push_back({id, lap, r, 0});
        ++runs.back().count;
    }
    return runs;
}
