#include "analysis/sessiontree.h"

#include <QLocale>

#include <array>
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

void BuildSessionTree(SessionTree& tree, int sessionId, const TreeFilters& filters)
{
    TreeMarks laps;
    std::array<TreeMarks, 11> sectors;  // by sector number 1..10

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

    TIBQuery qmaksSektor(DM->TransBrowse);
    qmaksSektor.SetSQL(QStringLiteral("select max(NR_SEKTORA) as sektor  from SEKTORY where ID_NAGLOWKA =  :NAG "));
    qmaksSektor.ParamByName(QStringLiteral("NAG"), sessionId);
    qmaksSektor.Open();
    const int highestSector = qmaksSektor.FieldByName(QStringLiteral("sektor")).AsInteger();
    qmaksSektor.Close();

    TIBQuery qOkrazenia(DM->TransBrowse);
    qOkrazenia.SetSQL(QStringList{QStringLiteral("select *  from OKRAZENIA_REJ where ID_NAGLOWKA =  :NAG"),
                                  QStringLiteral("order by nr")});
    TIBQuery qSektory(DM->TransBrowse);
    qSektory.SetSQL(QStringLiteral(
        "select *  from SEKTORY where ID_NAGLOWKA =  :NAG and NR_OKRAZENIA = :NR_OKRAZENIA"));

    const int cLapEnd = tree.memokrazenia.FieldIndex(QStringLiteral("czas_end"));

    qOkrazenia.ParamByName(QStringLiteral("NAG"), sessionId);
    qOkrazenia.Open();
    while (!qOkrazenia.Eof()) {
        const int nr = qOkrazenia.FieldByName(QStringLiteral("NR")).AsInteger();
        const int lapTime = qOkrazenia.FieldByName(QStringLiteral("CZAS_SS")).AsInteger();
        const QString lapText = qOkrazenia.FieldByName(QStringLiteral("CZAS")).AsString();
        const bool skipped = (filters.maxLapSeconds != 0 && lapTime > filters.maxLapSeconds * 100LL) ||
                             (filters.minLapSeconds != 0 && lapTime < filters.minLapSeconds * 100LL);
        if (!skipped) {
            const int n = ++tree.rowCounter;
            laps.Take(n, lapTime);
            TreeRowWriter(tree.memdane)
                .Int("lp", n)
                .Str("typ_rekordu", QStringLiteral("2"))
                .Str("Pole1", QStringLiteral("L") + QString::number(nr))
                .Str("Pole2", lapText)
                .Int("id_naglowka", sessionId)
                .Int("id_okrazenia", nr)
                .Int("czas_ss", lapTime)
                .Int("srednie_obroty", OptionalInt(qOkrazenia.FieldByName(QStringLiteral("AVG_OBROTY"))))
                .Int("avg_acc", OptionalInt(qOkrazenia.FieldByName(QStringLiteral("AVG_ACC_OBROTY"))))
                .Int("avg_dec", OptionalInt(qOkrazenia.FieldByName(QStringLiteral("AVG_DEC_OBROTY"))))
                .Int("przes_czas", p)
                .Int("wybrany", 1);
            TreeRowWriter(tree.memokrazenia)
                .Int("id_nag", sessionId)
                .Int("czas", ClampToInt(p + lapSum))
                .Str("lap", QStringLiteral("L") + QString::number(nr))
                .Str("czas_t", lapText)
                .Int("nr_lapa", nr)
                .Int("lp", n)
                .Int("czas_ss", lapTime);

            if (highestSector > 1) {
                qSektory.ParamByName(QStringLiteral("NAG"), sessionId);
                qSektory.ParamByName(QStringLiteral("NR_OKRAZENIA"), nr);
                qSektory.Open();
                while (!qSektory.Eof()) {
                    const int k = qSektory.FieldByName(QStringLiteral("NR_SEKTORA")).AsInteger();
                    const int sectorTime = qSektory.FieldByName(QStringLiteral("CZAS_SS")).AsInteger();
                    const QString sectorText = qSektory.FieldByName(QStringLiteral("CZAS")).AsString();
                    const int sn = ++tree.rowCounter;
                    if (k >= 1 && k <= 10)
                        sectors[size_t(k)].Take(sn, sectorTime);
                    TreeRowWriter(tree.memdane)
                        .Int("lp", sn)
                        .Str("typ_rekordu", QStringLiteral("3"))
                        .Str("Pole1", QStringLiteral(" S") + QString::number(k))
                        .Str("Pole2", sectorText)
                        .Int("id_naglowka", sessionId)
                        .Int("id_okrazenia", nr)
                        .Int("id_sektora", k)
                        .Int("przes_czas", p)
                        .Int("czas_ss", sectorTime);
                    sectorSum += sectorTime;
                    TreeRowWriter(tree.memSektory)
                        .Int("id_nag", sessionId)
                        .Int("czas", ClampToInt(p + sectorSum))
                        .Str("lap", QStringLiteral("S") + QString::number(k))
                        .Str("czas_t", sectorText)
                        .Int("nr_okr", nr)
                        .Int("czas_ss", sectorTime)
                        .Int("nr_sektora", k);
                    qSektory.Next();
                }
                qSektory.Close();
            }
        } else {
            // The sectors of a left-out lap are not listed, but its time
            // passes all the same: the sectors after it end that much later.
            sectorSum += lapTime;
        }

        lapSum += lapTime;
        const int lapRow = tree.memokrazenia.Find(QStringLiteral("id_nag;nr_lapa"), {sessionId, nr});
        if (lapRow >= 0)
            tree.memokrazenia.SetIntAt(lapRow, cLapEnd, ClampToInt(p + lapSum));
        qOkrazenia.Next();
    }
    qOkrazenia.Close();

    // TreeMarks: a row both fastest and slowest ends marked slowest.
    for (MemTable* t : {&tree.memokrazenia, &tree.memdane}) {
        MarkTreeRow(*t, laps.fastestLp, 2);
        MarkTreeRow(*t, laps.slowestLp, 1);
    }
    for (int k = 1; k <= 10; ++k) {
        if (sectors[size_t(k)].fastestLp == -1)
            continue;
        MarkTreeRow(tree.memdane, sectors[size_t(k)].fastestLp, 2);
        MarkTreeRow(tree.memdane, sectors[size_t(k)].slowestLp, 1);
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
