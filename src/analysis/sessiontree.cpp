#include "analysis/sessiontree.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

std::vector<FieldDef> TreeRowFields()
{
    return {{QStringLiteral("typ_rekordu"), FieldType::String, 1},
            {QStringLiteral("Pole1"), FieldType::String, 40},
            {QStringLiteral("Pole2"), FieldType::String, 30},
            {QStringLiteral("id_naglowka"), FieldType::Integer},
            {QStringLiteral("id_okrazenia"), FieldType::Integer},
            {QStringLiteral("id_sektora"), FieldType::Integer},
            {QStringLiteral("czas"), FieldType::Integer},
            {QStringLiteral("przes_czas"), FieldType::Integer},
            {QStringLiteral("wybrany"), FieldType::Integer, 0, 1}};
}

std::vector<FieldDef> WithFields(std::vector<FieldDef> fields, const std::vector<FieldDef>& more)
{
    fields.insert(fields.end(), more.begin(), more.end());
    return fields;
}

void MarkTreeRow(MemTable& table, int lp, int status)
{
    if (lp < 0)
        return;
    const int row = table.Find(QStringLiteral("lp"), {lp});
    if (row >= 0)
        table.SetIntAt(row, table.FieldIndex(QStringLiteral("status_naj")), status);
}

SessionHeading ReadSessionHeading(int sessionId)
{
    TIBQuery qnag(DM->TransBrowse);
    qnag.SetSQL(QStringList{
        QStringLiteral("select k.imie,k.nazwisko,n.Data_start ,n.data_koniec ,n.id_nag,n.START_PIERWSZ_OKR from naglowki n "),
        QStringLiteral("left join kierowcy k on k.id_kierowcy=n.id_kierowcy"),
        QStringLiteral("where n.id_nag = :NAG")});
    qnag.ParamByName(QStringLiteral("NAG"), sessionId);
    qnag.Open();
    SessionHeading h;
    h.start = qnag.FieldByName(QStringLiteral("START_PIERWSZ_OKR")).AsInteger();  // NULL (or no row) reads 0
    h.startTime = qnag.FieldByName(QStringLiteral("Data_start")).AsDateTime();
    h.firstName = qnag.FieldByName(QStringLiteral("imie")).AsString();
    h.surname = qnag.FieldByName(QStringLiteral("nazwisko")).AsString();
    qnag.Close();
    return h;
}

QString SessionHeading::StartText() const { return startTime.isValid() ? DateTimeToStr(startTime) : QString(); }

// Table layouts of the session tree.
SessionTree::SessionTree()
    : memdane(QStringLiteral("memdane"),
              WithFields(TreeRowFields(), {{QStringLiteral("status_naj"), FieldType::Integer},
                                           {QStringLiteral("lp"), FieldType::Integer},
                                           {QStringLiteral("diff_ss"), FieldType::Integer},
                                           {QStringLiteral("diff"), FieldType::String, 50},
                                           {QStringLiteral("czas_ss"), FieldType::Integer},
                                           {QStringLiteral("srednie_obroty"), FieldType::Integer},
                                           {QStringLiteral("avg_acc"), FieldType::Integer},
                                           {QStringLiteral("avg_dec"), FieldType::Integer}})),
      memokrazenia(QStringLiteral("memokrazenia"),
                   {{QStringLiteral("id_nag"), FieldType::Integer},
                    {QStringLiteral("czas"), FieldType::Integer},
                    {QStringLiteral("lap"), FieldType::String, 10},
                    {QStringLiteral("czas_t"), FieldType::String, 30},
                    {QStringLiteral("nr_lapa"), FieldType::Integer},
                    {QStringLiteral("status_naj"), FieldType::Integer},
                    {QStringLiteral("czas_end"), FieldType::Integer},
                    {QStringLiteral("lp"), FieldType::Integer},
                    {QStringLiteral("czas_ss"), FieldType::Integer}}),
      memSektory(QStringLiteral("memSektory"),
                 {{QStringLiteral("id_nag"), FieldType::Integer},
                  {QStringLiteral("czas"), FieldType::Integer},
                  {QStringLiteral("lap"), FieldType::String, 10},
                  {QStringLiteral("czas_t"), FieldType::String, 30},
                  {QStringLiteral("nr_okr"), FieldType::Integer},
                  {QStringLiteral("czas_ss"), FieldType::Integer},
                  {QStringLiteral("nr_sektora"), FieldType::Integer}})
{
    memdane.Open();
    memokrazenia.Open();
    memSektory.Open();
}

SessionTree::~SessionTree() = default;

void SessionTree::ResetTree()
{
    for (MemTable* t : {&memdane, &memokrazenia, &memSektory}) {
        t->Close();
        t->Open();
    }
    rowCounter = 0;
}

namespace {

std::optional<int> OptionalInt(const TQueryField& f)
{
    if (f.IsNull())
        return std::nullopt;
    return RoundHalfEven(f.AsFloat());
}

}  // namespace

QString SessionRowCaption(int sessionId, const QDateTime& start)
{
    QString text = QString::number(sessionId) + u':';
    if (!start.isValid())
        return text;
    if (start.time() == QTime(0, 0))
        return text + QLocale().toString(start.date(), QLocale::ShortFormat);
    return text + DateTimeToStr(start);
}

std::vector<DrivenLap> ReadDrivenLaps(int sessionId, int* highestSector)
{
    std::vector<DrivenLap> laps;
    TIBQuery qOkrazenia(DM->TransBrowse);
    qOkrazenia.SetSQL(QStringLiteral("select *  from OKRAZENIA_REJ where ID_NAGLOWKA =  :NAG"));
    qOkrazenia.ParamByName(QStringLiteral("NAG"), sessionId);
    for (qOkrazenia.Open(); !qOkrazenia.Eof(); qOkrazenia.Next()) {
        DrivenLap lap;
        lap.nr = qOkrazenia.FieldByName(QStringLiteral("NR")).AsInteger();
        lap.time = qOkrazenia.FieldByName(QStringLiteral("CZAS_SS")).AsInteger();
        lap.text = qOkrazenia.FieldByName(QStringLiteral("CZAS")).AsString();
        lap.averageRpm = OptionalInt(qOkrazenia.FieldByName(QStringLiteral("AVG_OBROTY")));
        lap.meanRise = OptionalInt(qOkrazenia.FieldByName(QStringLiteral("AVG_ACC_OBROTY")));
        lap.meanFall = OptionalInt(qOkrazenia.FieldByName(QStringLiteral("AVG_DEC_OBROTY")));
        laps.push_back(std::move(lap));
    }
    qOkrazenia.Close();

    // Numbers that each come once give the order; numbers that come again
    // leave the rows as stored, which is the order they were driven in.
    std::vector<DrivenLap> byNumber = laps;
    std::stable_sort(byNumber.begin(), byNumber.end(), [](const DrivenLap& a, const DrivenLap& b) { return a.nr < b.nr; });
    const bool repeated = std::adjacent_find(byNumber.begin(), byNumber.end(), [](const DrivenLap& a, const DrivenLap& b) {
                              return a.nr == b.nr;
                          }) != byNumber.end();
    if (!repeated)
        laps = std::move(byNumber);

    // The session's sectors as unbroken runs of one lap number each.
    std::map<int, std::vector<std::vector<DrivenSector>>> runsOf;
    TIBQuery qSektory(DM->TransBrowse);
    qSektory.SetSQL(QStringLiteral("select *  from SEKTORY where ID_NAGLOWKA =  :NAG"));
    qSektory.ParamByName(QStringLiteral("NAG"), sessionId);
    std::optional<int> previousLap;
    int highest = 0;
    for (qSektory.Open(); !qSektory.Eof(); qSektory.Next()) {
        const int lap = qSektory.FieldByName(QStringLiteral("NR_OKRAZENIA")).AsInteger();
        const int nr = qSektory.FieldByName(QStringLiteral("NR_SEKTORA")).AsInteger();
        highest = std::max(highest, nr);
        std::vector<std::vector<DrivenSector>>& runs = runsOf[lap];
        if (previousLap != lap || runs.empty())
            runs.emplace_back();
        previousLap = lap;
        runs.back().push_back({nr, qSektory.FieldByName(QStringLiteral("CZAS_SS")).AsInteger(),
                               qSektory.FieldByName(QStringLiteral("CZAS")).AsString()});
    }
    qSektory.Close();
    if (highestSector)
        *highestSector = highest;

    // A number listed once takes all its sectors; the n-th listing of a
    // number that comes again takes its n-th run.
    std::map<int, int> listed, taken;
    for (const DrivenLap& lap : laps)
        ++listed[lap.nr];
    for (DrivenLap& lap : laps) {
        const auto found = runsOf.find(lap.nr);
        if (found == runsOf.end())
            continue;
        std::vector<std::vector<DrivenSector>>& runs = found->second;
        if (listed[lap.nr] == 1) {
            for (std::vector<DrivenSector>& run : runs)
                lap.sectors.insert(lap.sectors.end(), run.begin(), run.end());
        } else if (const size_t n = size_t(taken[lap.nr]++); n < runs.size()) {
            lap.sectors = std::move(runs[n]);
        }
    }
    return laps;
}

void BuildSessionTree(SessionTree& tree, int sessionId, const TreeFilters& filters)
{
    TreeMarks lapMarks;
    std::array<TreeMarks, 11> sectorMarks;  // by sector number 1..10

    // The session row and the two start rows.
    const SessionHeading h = ReadSessionHeading(sessionId);
    const int p = h.start;
    TreeRowWriter(tree.memdane)
        .Int("lp", ++tree.rowCounter)
        .Str("Pole1", SessionRowCaption(sessionId, h.startTime))
        .Str("Pole2", h.Driver())
        .Str("typ_rekordu", QStringLiteral("1"))
        .Int("id_naglowka", sessionId)
        .Int("przes_czas", p)
        .Int("wybrany", 1);

    // Sums and limits in 64 bits: out-of-range stored times must not wrap
    // round into other times.
    long long lapSum = 0;
    long long sectorSum = 0;
    TreeRowWriter(tree.memokrazenia)
        .Int("id_nag", sessionId)
        .Int("czas", p)
        .Str("lap", QStringLiteral("L0"))
        .Str("czas_t", QStringLiteral("S"))
        .Int("nr_lapa", 0);
    TreeRowWriter(tree.memSektory).Int("id_nag", sessionId).Int("czas", p).Str("lap", QString()).Str("czas_t", QString());

    // Sectors are listed only when the session has more than one.
    int highestSector = 0;
    const std::vector<DrivenLap> laps = ReadDrivenLaps(sessionId, &highestSector);

    const int cLapEnd = tree.memokrazenia.FieldIndex(QStringLiteral("czas_end"));
    for (const DrivenLap& lap : laps) {
        const bool skipped = (filters.maxLapSeconds != 0 && lap.time > filters.maxLapSeconds * 100LL) ||
                             (filters.minLapSeconds != 0 && lap.time < filters.minLapSeconds * 100LL);
        int lapRow = -1;
        if (!skipped) {
            const int n = ++tree.rowCounter;
            lapMarks.Take(n, lap.time);
            TreeRowWriter(tree.memdane)
                .Int("lp", n)
                .Str("typ_rekordu", QStringLiteral("2"))
                .Str("Pole1", QStringLiteral("L") + QString::number(lap.nr))
                .Str("Pole2", lap.text)
                .Int("id_naglowka", sessionId)
                .Int("id_okrazenia", lap.nr)
                .Int("czas_ss", lap.time)
                .Int("srednie_obroty", lap.averageRpm)
                .Int("avg_acc", lap.meanRise)
                .Int("avg_dec", lap.meanFall)
                .Int("przes_czas", p)
                .Int("wybrany", 1);
            lapRow = TreeRowWriter(tree.memokrazenia)
                         .Int("id_nag", sessionId)
                         .Int("czas", ClampToInt(p + lapSum))
                         .Str("lap", QStringLiteral("L") + QString::number(lap.nr))
                         .Str("czas_t", lap.text)
                         .Int("nr_lapa", lap.nr)
                         .Int("lp", n)
                         .Int("czas_ss", lap.time)
                         .Row();

            for (const DrivenSector& sector : lap.sectors) {
                if (highestSector <= 1)
                    break;
                const int k = sector.nr;
                const int sn = ++tree.rowCounter;
                if (k >= 1 && k <= 10)
                    sectorMarks[size_t(k)].Take(sn, sector.time);
                TreeRowWriter(tree.memdane)
                    .Int("lp", sn)
                    .Str("typ_rekordu", QStringLiteral("3"))
                    .Str("Pole1", QStringLiteral(" S") + QString::number(k))
                    .Str("Pole2", sector.text)
                    .Int("id_naglowka", sessionId)
                    .Int("id_okrazenia", lap.nr)
                    .Int("id_sektora", k)
                    .Int("przes_czas", p)
                    .Int("czas_ss", sector.time);
                sectorSum += sector.time;
                TreeRowWriter(tree.memSektory)
                    .Int("id_nag", sessionId)
                    .Int("czas", ClampToInt(p + sectorSum))
                    .Str("lap", QStringLiteral("S") + QString::number(k))
                    .Str("czas_t", sector.text)
                    .Int("nr_okr", lap.nr)
                    .Int("czas_ss", sector.time)
                    .Int("nr_sektora", k);
            }
        } else {
            // The sectors of a left-out lap are not listed, but its time
            // passes all the same: the sectors after it end that much later.
            sectorSum += lap.time;
        }

        // The lap's end on its own row (a left-out lap has none).
        lapSum += lap.time;
        if (lapRow >= 0)
            tree.memokrazenia.SetIntAt(lapRow, cLapEnd, ClampToInt(p + lapSum));
    }

    // TreeMarks: a row both fastest and slowest ends marked slowest.
    for (MemTable* t : {&tree.memokrazenia, &tree.memdane}) {
        MarkTreeRow(*t, lapMarks.fastestLp, 2);
        MarkTreeRow(*t, lapMarks.slowestLp, 1);
    }
    for (int k = 1; k <= 10; ++k) {
        if (sectorMarks[size_t(k)].fastestLp == -1)
            continue;
        MarkTreeRow(tree.memdane, sectorMarks[size_t(k)].fastestLp, 2);
        MarkTreeRow(tree.memdane, sectorMarks[size_t(k)].slowestLp, 1);
    }
}

bool ClickTreeCheck(SessionTree& tree, const TreeCheckCalls& calls)
{
    MemTable& t = tree.memdane;
    const int row = t.RecNo();
    if (!t.Active() || row < 0)
        return false;
    t.Post();
    const int cType = t.FieldIndex(QStringLiteral("typ_rekordu"));
    const int cId = t.FieldIndex(QStringLiteral("id_naglowka"));
    const int cLap = t.FieldIndex(QStringLiteral("id_okrazenia"));
    const int cCheck = t.FieldIndex(QStringLiteral("wybrany"));
    const QString type = t.StringAt(row, cType);
    const bool sessionRow = type == QLatin1String("1");
    const bool lapRow = type == QLatin1String("2");
    if (!sessionRow && !lapRow)
        return false;
    const int id = t.IntAt(row, cId);

    // A lap ticked while its session is not: the session is ticked too.
    if (lapRow && !t.IsNullAt(row, cCheck) && t.IntAt(row, cCheck) == 0) {
        for (int r = 0; r < t.RecordCount(); ++r) {
            if (t.StringAt(r, cType) != QLatin1String("1") || t.IntAt(r, cId) != id)
                continue;
            if (t.IntAt(r, cCheck) == 0) {
                t.SetIntAt(r, cCheck, 1);
                if (calls.sessionShown)
                    calls.sessionShown(id, 1);
            }
            break;
        }
    }

    // A session: all its laps take the session's new state.
    if (sessionRow) {
        const int lapCheck = t.IntAt(row, cCheck) == 1 ? 0 : 1;
        for (int r = 0; r < t.RecordCount(); ++r) {
            if (t.StringAt(r, cType) != QLatin1String("2") || t.IntAt(r, cId) != id)
                continue;
            t.SetIntAt(r, cCheck, lapCheck);
            if (calls.lapShown)
                calls.lapShown(id, t.IntAt(r, cLap), lapCheck);
        }
    }

    const int check = t.IntAt(row, cCheck) == 0 ? 1 : 0;
    t.SetIntAt(row, cCheck, check);
    if (lapRow) {
        if (calls.lapShown)
            calls.lapShown(id, t.IntAt(row, cLap), check);
    } else if (calls.sessionShown) {
        calls.sessionShown(id, check);
    }
    return true;
}
