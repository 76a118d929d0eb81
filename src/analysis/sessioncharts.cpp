#include "analysis/sessioncharts.h"

#include <QDateTime>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <unordered_map>

#include "analysis/sessionload.h"
#include "analysis/sessiontree.h"
#include "shell/common/stale.h"
#include "shell/data/fbbulk.h"
#include "shell/data/ibquery.h"
#include "shell/data/ubazy.h"

namespace {

// Samples in time order: the lines are drawn and searched along x.
const QString kSamplesSql = QStringLiteral("select * from POZYCJE where ID_NAGLOWKA = :NAG order by  data_ss");

// ------------------------------------------------------------------ samples

// One POZYCJE row, as memGPS holds it.
struct Sample {
    int32_t typ, obroty, accx, accy, gpsx, gpsy, gyro1, gyro2, sektor;
    double temp1, temp2;
    int32_t dataSs, okrazenie, predkosc;
};

void ForEachSample(int sessionId, const std::function<void(const Sample&)>& f)
{
    static const char* const names[] = {"TYP_PROBKI", "OBROTY", "ACCX",  "ACCY",    "GPSX",      "GPSY",        "GYRO1",
                                        "GYRO2",      "SEKTOR", "TEMP1", "TEMP2",   "DATA_SS",   "OKRAZENIE",  "PREDKOSC_GPS"};
    FbTransaction tr(DM->TransBrowse);
    tr.StartRead();
    FbStatement st(tr, kSamplesSql);
    st.SetInt(st.ParamIndex(QStringLiteral("NAG")), sessionId);
    std::array<int, 14> c;
    for (size_t i = 0; i < c.size(); ++i) {
        c[i] = st.ColumnIndex(QString::fromLatin1(names[i]));
        if (c[i] < 0)
            throw DatabaseError(std::string("Column unknown: POZYCJE.") + names[i]);
    }
    st.Open();
    while (st.Fetch()) {
        Sample s;
        s.typ = st.Int(c[0]);
        s.obroty = st.Int(c[1]);
        s.accx = AccToHundredthsG(st.Int(c[2]));
        s.accy = AccToHundredthsG(st.Int(c[3]));
        s.gpsx = st.Int(c[4]);
        s.gpsy = st.Int(c[5]);
        s.gyro1 = st.Int(c[6]);
        s.gyro2 = st.Int(c[7]);
        s.sektor = st.Int(c[8]);
        s.temp1 = st.Double(c[9]);
        s.temp2 = st.Double(c[10]);
        s.dataSs = st.Int(c[11]);
        s.okrazenie = st.Int(c[12]);
        s.predkosc = st.Int(c[13]);
        f(s);
    }
    tr.Commit();
}

// memGPS's fields, looked up once per load.
class GpsRows {
public:
    explicit GpsRows(MemTable& t) : t_(t)
    {
        static const char* const names[] = {"typ_probki", "obroty", "accx",     "accy",     "gpsx",         "gpsy",
                                            "gyro1",      "gyro2",  "sektor",   "temp1",    "temp2",        "data",
                                            "datas",      "xobr",   "yobr",     "okrazenie", "id_nag",      "gpsx_wyl",
                                            "gpsy_wyl",   "predkosc_gps"};
        for (size_t i = 0; i < c_.size(); ++i) {
            c_[i] = t.FieldIndex(QString::fromLatin1(names[i]));
            if (c_[i] < 0)
                throw MemTableError(std::string("memGPS has no field ") + names[i]);
        }
    }

    // One row with data = the sample's time less offset.
    void Append(const Sample& s, int sessionId, int offset)
    {
        const int data = s.dataSs - offset;
        const int r = t_.AppendRow();
        const int32_t ints[] = {s.typ,  s.obroty, s.accx, s.accy, s.gpsx, s.gpsy, s.gyro1, s.gyro2, s.sektor};
        for (size_t i = 0; i < std::size(ints); ++i)
            t_.SetIntAt(r, c_[i], ints[i]);
        t_.SetFloatAt(r, c_[9], s.temp1);
        t_.SetFloatAt(r, c_[10], s.temp2);
        t_.SetIntAt(r, c_[11], data);
        t_.SetStringAt(r, c_[12], SessionTimeText(data));
        t_.SetIntAt(r, c_[13], 0);
        t_.SetIntAt(r, c_[14], 0);
        t_.SetIntAt(r, c_[15], s.okrazenie);
        t_.SetIntAt(r, c_[16], sessionId);
        t_.SetIntAt(r, c_[17], MapCoordinate(uint32_t(s.gpsx)));
        t_.SetIntAt(r, c_[18], MapCoordinate(uint32_t(s.gpsy)));
        t_.SetIntAt(r, c_[19], s.predkosc);
    }

private:
    MemTable& t_;
    std::array<int, 20> c_;
};

}  // namespace

// --------------------------------------------------------------- samples

int AppendSessionSamples(MemTable& memGPS, int sessionId)
{
    GpsRows rows(memGPS);
    MemTableBulk bulk(memGPS);
    int count = 0;
    ForEachSample(sessionId, [&](const Sample& s) {
        rows.Append(s, sessionId, 0);
        ++count;
    });
    return count;
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

    // The session's samples once, in time order, as runs of one lap number.
    struct Run {
        int first = 0, last = 0;  // indices into samples
    };
    std::vector<Sample> samples;
    std::unordered_map<int, std::vector<Run>> runsOf;
    ForEachSample(sessionId, [&](const Sample& s) {
        const int i = int(samples.size());
        if (!samples.empty() && samples.back().okrazenie == s.okrazenie)
            runsOf[s.okrazenie].back().last = i;
        else
            runsOf[s.okrazenie].push_back({i, i});
        samples.push_back(s);
    });

    // A session stored before laps were counted on past the logger's
    // one-byte count lists lap numbers again: then the n-th row of a
    // number takes the n-th run of its samples, and no sample is shown
    // twice.  A number listed once takes every sample of it.
    const std::vector<DrivenLap> stored = ReadDrivenLaps(sessionId);
    std::unordered_map<int, int> listed, taken;
    for (const DrivenLap& t : stored)
        ++listed[t.nr];

    std::vector<ComparedLap> laps;
    GpsRows rows(memGPS);
    MemTableBulk bulk(memGPS);
    long long lapSum = 0;  // 64 bits: out-of-range stored times must not wrap
    for (const DrivenLap& t : stored) {
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
        lap.colour = int(laps.size()) + 1;
        lap.title = title + QStringLiteral(" L") + QString::number(lap.lap);
        lap.start = ClampToInt(h.start + lapSum);
        lap.first = memGPS.RecordCount();
        if (const auto found = runsOf.find(lap.lap); found != runsOf.end()) {
            const std::vector<Run>& runs = found->second;
            const int n = taken[lap.lap]++;
            for (size_t r = 0; r < runs.size(); ++r)
                if (listed[lap.lap] == 1 || int(r) == n)
                    for (int i = runs[r].first; i <= runs[r].last; ++i)
                        rows.Append(samples[size_t(i)], sessionId, lap.start);
        }
        lap.count = memGPS.RecordCount() - lap.first;
        lapSum += t.time;
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
