#include "analysis/chartcore.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/analysissession.h"
#include "analysis/sessiontree.h"
#include "platform/memtable.h"
#include "shell/common/stale.h"
#include "shell/projectrecord.h"

namespace {

// A numeric cell whatever the field's storage; NULL reads 0.
double Number(const MemTable& t, int row, int column) { return t.View(column).At(row); }
int Integer(const MemTable& t, int row, int column) { return int(Number(t, row, column)); }

int Truncate(double v)
{
    if (std::isnan(v))
        return 0;
    return int(std::clamp(std::trunc(v), double(std::numeric_limits<int>::min()),
                          double(std::numeric_limits<int>::max())));
}

QString TimeText(int wholeSeconds, int hundredths)
{
    return Format("%2.2d:%2.2d:%2.2d", wholeSeconds / 60, wholeSeconds % 60, hundredths % 100);
}

}  // namespace

// ------------------------------------------------------- channel scaling

int MinMaxRow(const MemTable& memMinMax, int sessionId)
{
    if (memMinMax.RecordCount() == 0)
        return -1;
    const int row = memMinMax.Find(QStringLiteral("nr_nag"), {sessionId});
    return row >= 0 ? row : 0;
}

ChannelRange ChannelRangeAt(const MemTable& memMinMax, int row, const QString& channel)
{
    if (row < 0 || row >= memMinMax.RecordCount())
        return {};
    const int lo = memMinMax.FieldIndex(channel + QStringLiteral("_min"));
    const int hi = memMinMax.FieldIndex(channel + QStringLiteral("_max"));
    if (lo < 0 || hi < 0)
        return {};
    return {Number(memMinMax, row, lo), Number(memMinMax, row, hi)};
}

bool IsAccelerationChannel(const QString& channel)
{
    const QString upper = channel.toUpper();
    return upper == QStringLiteral("ACCX") || upper == QStringLiteral("ACCY");
}

double ChannelReading(double stored, const QString& channel)
{
    return IsAccelerationChannel(channel) ? stored / 100 : stored;
}

double ChannelHeight(double stored, const QString& channel, const ChannelRange& range)
{
    if (range.max - range.min == 0)
        return 0;
    return (ChannelReading(stored, channel) - range.min) * kChannelHeight / (range.max - range.min);
}

Affine HeightMap(const QString& channel, const ChannelRange& range)
{
    if (range.max - range.min == 0)
        return {0, 0};
    const double unit = IsAccelerationChannel(channel) ? 100 : 1;
    return {range.min * unit, kChannelHeight / ((range.max - range.min) * unit)};
}

QString FormatValue(const QString& pattern, double value)
{
    static const QRegularExpression oneFloat(QStringLiteral("^[^%]*%[-+ 0#]*[0-9]*(\\.[0-9]+)?[fFeEgG][^%]*$"));
    if (oneFloat.match(pattern).hasMatch())
        return UnsignedZero(QString::asprintf(pattern.toLatin1().constData(), value));
    return UnsignedZero(QString::asprintf("%g", value));
}

// ----------------------------------------------------------- range labels

std::vector<RangeLabel> RangeLabels(const ProjectRecord& record, const AxisRange& leftAxis)
{
    struct Spec {
        RangeChannel channel;
        int min, max;
        QColor colour;
        bool right;
        int row;
    };
    const Spec specs[] = {
        {RangeChannel::Rpm, record.RpmMin(), record.RpmMax(), QColor(0, 0, 0), false, 1},
        {RangeChannel::Temp1, record.Temp1Min(), record.Temp1Max(), QColor(255, 0, 0), false, 2},
        {RangeChannel::Temp2, record.Temp2Min(), record.Temp2Max(), QColor(0, 128, 0), true, 1},
        {RangeChannel::Acc, record.AccMin(), record.AccMax(), QColor(0, 0, 255), true, 2},
        {RangeChannel::VGps, record.VGpsMin(), record.VGpsMax(), QColor(128, 0, 128), true, 3},
    };
    std::vector<RangeLabel> labels;
    for (const Spec& s : specs) {
        auto text = [&](double axisValue) {
            const double v = double(s.max - s.min) * axisValue / kChannelHeight + s.min;
            switch (s.channel) {
            case RangeChannel::Rpm: return QString::number(RoundHalfEven(v));
            case RangeChannel::VGps: return Format("%d", RoundHalfEven(v));
            default: return Format("%1.1f", v);
            }
        };
        labels.push_back({s.channel, s.colour, s.right, s.row, text(leftAxis.max), text(leftAxis.min)});
    }
    return labels;
}

// ------------------------------------------------------ series and extremes

std::vector<SampleRun> SessionRuns(const MemTable& memGPS)
{
    std::vector<SampleRun> runs;
    const int rows = memGPS.RecordCount();
    if (rows == 0)
        return runs;
    memGPS.View(Column(memGPS, "id_nag")).Visit([&](auto ids) {
        for (int r = 0; r < rows; ++r) {
            const int id = int(ids[r]);
            if (runs.empty() || runs.back().sessionId != id)
                runs.push_back({id, r, 0});
            ++runs.back().count;
        }
    });
    return runs;
}

int HighestLap(const MemTable& memokrazenia, int sessionId)
{
    const int idCol = Column(memokrazenia, "id_nag"), lapCol = Column(memokrazenia, "nr_lapa");
    int highest = 0;
    for (int r = 0; r < memokrazenia.RecordCount(); ++r)
        if (Integer(memokrazenia, r, idCol) == sessionId)
            highest = std::max(highest, Integer(memokrazenia, r, lapCol));
    return highest;
}

std::vector<SessionExtremes> ComputeExtremes(const MemTable& memGPS, const std::vector<SampleRun>& runs,
                                             const QString& channel, const MemTable* memokrazenia)
{
    std::vector<SessionExtremes> out;
    const int valueCol = memGPS.FieldIndex(channel);
    const ColumnView laps = memGPS.View(Column(memGPS, "okrazenie"));
    const ColumnView times = memGPS.View(Column(memGPS, "data"));
    for (const SampleRun& run : runs) {
        if (run.sessionId <= 0)
            continue;
        SessionExtremes e;
        e.sessionId = run.sessionId;
        const int highest = memokrazenia ? HighestLap(*memokrazenia, run.sessionId) : 0;
        if (valueCol >= 0 && run.count > 0) {
            const ColumnView values = memGPS.View(valueCol);
            for (int r = run.first; r < run.first + run.count; ++r) {
                const double lap = laps.At(r);
                if (!(lap > 0 && lap < highest))
                    continue;
                const double v = values.At(r);
                // Strict tests: the earliest sample of an extreme value wins.
                if (v < e.min) {
                    e.min = v;
                    e.minTime = int(times.At(r));
                }
                if (v > e.max) {
                    e.max = v;
                    e.maxTime = int(times.At(r));
                }
                e.found = true;
            }
        }
        out.push_back(e);
    }
    return out;
}

// ---------------------------------------------------------------- lap strip

std::vector<LapBox> LapStripBoxes(const MemTable& memokrazenia, int sessionId, const ChartMapping& mapping)
{
    std::vector<LapBox> boxes;
    const int idCol = Column(memokrazenia, "id_nag"), lapCol = Column(memokrazenia, "nr_lapa");
    const int startCol = Column(memokrazenia, "czas"), endCol = Column(memokrazenia, "czas_end");
    const int statusCol = Column(memokrazenia, "status_naj"), textCol = Column(memokrazenia, "czas_t");
    for (int r = 0; r < memokrazenia.RecordCount(); ++r) {
        if (Integer(memokrazenia, r, idCol) != sessionId || Integer(memokrazenia, r, lapCol) <= 0)
            continue;
        LapBox b;
        b.x1 = mapping.XToScreen(Number(memokrazenia, r, startCol));
        if (b.x1 < mapping.Plot().left())
            b.x1 = mapping.XToScreen(mapping.X().min);
        if (memokrazenia.IsNullAt(r, endCol)) {
            b.x2 = mapping.XToScreen(mapping.X().max);  // end not known: to the right edge
        } else {
            b.x2 = mapping.XToScreen(Number(memokrazenia, r, endCol));
            if (b.x2 < b.x1)
                continue;  // ended left of the view: nothing of it shows
        }
        switch (Integer(memokrazenia, r, statusCol)) {
        case 2:
            b.marked = true;
            b.brush = QColor(0, 255, 0);
            b.text = QColor(0, 0, 0);
            break;
        case 1:
            b.marked = true;
            b.brush = QColor(255, 0, 0);
            b.text = QColor(255, 255, 255);
            break;
        default:
            b.brush = QColor(0, 0, 255);
            b.text = QColor(255, 255, 255);
        }
        b.caption = memokrazenia.StringAt(r, textCol);
        boxes.push_back(b);
    }
    return boxes;
}

// ----------------------------------------------------------------- read-out

QString CursorTimeText(double hundredths) { return TimeText(Truncate(hundredths / 100), Truncate(hundredths)); }

QString LapCursorTimeText(double hundredths)
{
    // Rounded once: the seconds of 4599.7 are those of 4600.
    const int whole = RoundHalfEven(hundredths);
    return TimeText(whole / 100, whole);
}

SessionReadOut ReadOutTexts(const SessionTree& tree, int sessionId, double x)
{
    SessionReadOut out;
    out.time = CursorTimeText(x);

    const MemTable& laps = tree.memokrazenia;
    const int idCol = Column(laps, "id_nag"), startCol = Column(laps, "czas"), lapCol = Column(laps, "nr_lapa");
    out.lap = out.time;
    for (int r = laps.RecordCount() - 1; r >= 0; --r) {
        const double start = Number(laps, r, startCol);
        if (Integer(laps, r, idCol) == sessionId && start < x) {
            out.lap = CursorTimeText(x - start);
            out.lapNumber = Integer(laps, r, lapCol);
            break;
        }
    }

    const MemTable& sectors = tree.memSektory;
    const int sIdCol = Column(sectors, "id_nag"), sEndCol = Column(sectors, "czas"), sLapCol = Column(sectors, "nr_okr");
    out.sector = out.lap;
    for (int r = sectors.RecordCount() - 1; r >= 0; --r) {
        const double end = Number(sectors, r, sEndCol);
        if (Integer(sectors, r, sLapCol) > 0 && Integer(sectors, r, sIdCol) == sessionId && end < x) {
            out.sector = CursorTimeText(x - end);
            break;
        }
    }
    return out;
}

// ------------------------------------------------------------ lap overlay

int LapStartTime(const MemTable& memokrazenia, int sessionId, int lap, bool* found)
{
    const int row = memokrazenia.Find(QStringLiteral("id_nag;nr_lapa"), {sessionId, lap});
    if (found)
        *found = row >= 0;
    return row >= 0 ? Integer(memokrazenia, row, Column(memokrazenia, "czas")) : 0;
}

std::vector<LapRun> LapRuns(const MemTable& memGPS, int sessionId, const MemTable& memokrazenia)
{
    std::vector<LapRun> runs;
    const int rows = memGPS.RecordCount();
    if (rows == 0)
        return runs;
    const ColumnView ids = memGPS.View(Column(memGPS, "id_nag"));
    const ColumnView laps = memGPS.View(Column(memGPS, "okrazenie"));
    bool found = false, drawn = false;
    int currentLap = -1;
    for (int r = 0; r < rows; ++r) {
        if (int(ids.At(r)) != sessionId) {
            if (found)
                break;  // a session's samples lie together
            continue;
        }
        found = true;
        const int lap = int(laps.At(r));
        if (lap <= 0)
            continue;
        if (lap != currentLap) {
            currentLap = lap;
            bool known = false;
            const int start = LapStartTime(memokrazenia, sessionId, lap, &known);
            drawn = known;
            if (known)
                runs.push_back({lap, start, r, 0});
        }
        if (!drawn)
            continue;
        LapRun& run = runs.back();
        if (run.first + run.count != r)  // rows of the lap after a gap: a run of their own
            runs.push_back({lap, run.lapStart, r, 0});
        ++runs.back().count;
    }
    return runs;
}

int OverlayGpsTime(int cursorTime, int lapStart) { return ((cursorTime + lapStart) / 10) * 10; }

// ----------------------------------------------------------- channel lines

namespace {

// A block of rows drawn as a line per channel: a whole session (lap 0) or
// one lap of the overlay.
struct LineRun {
    int sessionId = 0;
    int lap = 0;
    int lapStart = 0;
    int first = 0;
    int count = 0;
};

std::vector<ChannelLine> BuildChannelLines(const MemTable& memGPS, const MemTable& memMinMax,
                                           const std::vector<LineRun>& runs, const std::vector<QString>& channels,
                                           bool overlay)
{
    std::vector<ChannelLine> lines;
    const int dataCol = memGPS.FieldIndex(QStringLiteral("data"));
    const size_t shown = std::min(channels.size(), size_t(MaxSelectedChannels));
    int colour = 1;
    for (const LineRun& run : runs) {
        const int row = MinMaxRow(memMinMax, run.sessionId);
        for (size_t i = 0; i < shown; ++i) {
            const QString& channel = channels[i];
            QString caption;
            ChannelCaption(channel, caption);
            ChannelLine line;
            line.title = overlay ? QStringLiteral("%1 L%2 %3").arg(run.sessionId).arg(run.lap).arg(caption)
                                 : QString::number(run.sessionId) + QLatin1Char(' ') + caption;
            line.tag = overlay ? LapKey(run.sessionId, run.lap) : run.sessionId;
            line.sessionId = run.sessionId;
            line.lap = run.lap;
            line.colour = colour++;
            line.slot = int(i) + 1;
            line.xColumn = dataCol;
            line.yColumn = memGPS.FieldIndex(channel);
            line.first = run.first;
            line.count = run.count;
            line.xMap = overlay ? Affine{double(run.lapStart), 1} : Affine{};
            line.yMap = HeightMap(channel, ChannelRangeAt(memMinMax, row, channel));
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

}  // namespace

std::vector<ChannelLine> ChannelLines(const MemTable& memGPS, const MemTable& memMinMax,
                                      const std::vector<SampleRun>& runs, const std::vector<QString>& channels)
{
    std::vector<LineRun> blocks;
    for (const SampleRun& r : runs)
        blocks.push_back({r.sessionId, 0, 0, r.first, r.count});
    return BuildChannelLines(memGPS, memMinMax, blocks, channels, false);
}

std::vector<ChannelLine> ChannelLines(const MemTable& memGPS, const MemTable& memMinMax, int sessionId,
                                      const std::vector<LapRun>& laps, const std::vector<QString>& channels)
{
    std::vector<LineRun> blocks;
    for (const LapRun& r : laps)
        blocks.push_back({sessionId, r.lap, r.lapStart, r.first, r.count});
    return BuildChannelLines(memGPS, memMinMax, blocks, channels, true);
}

// ------------------------------------------------------------ session tree

TreeRow CurrentTreeRow(const SessionTree& tree)
{
    const MemTable& t = tree.memdane;
    const int row = t.RecNo();
    if (row < 0 || row >= t.RecordCount())
        return {};
    TreeRow r;
    r.sessionId = Integer(t, row, Column(t, "id_naglowka"));
    r.lap = Integer(t, row, Column(t, "id_okrazenia"));
    r.type = t.StringAt(row, Column(t, "typ_rekordu"));
    return r;
}

std::vector<TreeCheck> TreeChecks(const SessionTree& tree, const QString& type)
{
    std::vector<TreeCheck> checks;
    const MemTable& t = tree.memdane;
    const int typeCol = Column(t, "typ_rekordu"), idCol = Column(t, "id_naglowka");
    const int lapCol = Column(t, "id_okrazenia"), checkCol = Column(t, "wybrany");
    for (int r = 0; r < t.RecordCount(); ++r)
        if (t.StringAt(r, typeCol) == type)
            checks.push_back({Integer(t, r, idCol), Integer(t, r, lapCol), Integer(t, r, checkCol)});
    return checks;
}
