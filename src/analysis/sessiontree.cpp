#include "analysis/sessiontree.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_map>

#include "shell/common/stale.h"
#include "shell/data/fbbulk.h"
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

QString SessionRowCaption(int sessionId, const QDateTime& start)
{
    QString text = QString::number(sessionId) + u':';
    if (!start.isValid())
        return text;
    if (start.time() == QTime(0, 0))
        return text + QLocale().toString(start.date(), QLocale::ShortFormat);
    return text + DateTimeToStr(start);
}

namespace {

// Every column of the lap and sector rows, as the tree has always read them,
// each looked up by name.
const char* const kAllColumns = "select r.* from ";

int Column(const FbStatement& st, const char* table, const char* name)
{
    const int c = st.ColumnIndex(QString::fromLatin1(name));
    if (c < 0)
        throw DatabaseError(std::string("Column unknown: ") + table + '.' + name);
    return c;
}

std::optional<int> OptionalInt(const FbStatement& st, int column)
{
    if (st.IsNull(column))
        return std::nullopt;
    return RoundHalfEven(st.Double(column));
}

}  // namespace

struct StoredLapRows::Impl {
    struct Lap {
        int session;
        DrivenLap lap;
    };
    struct Sector {
        int session;
        int lap;  // NR_OKRAZENIA
        DrivenSector sector;
    };
    std::vector<Lap> laps;        // in the order the database gave them
    std::vector<Sector> sectors;
    // Per session: its rows, in that order (indices into laps and sectors).
    struct Rows {
        std::vector<int> laps, sectors;
    };
    std::unordered_map<int, Rows> bySession;

    // Runs the lap and the sector statement, each table named r between
    // the two pieces of text.
    void read(const QString& before, const QString& after, const std::function<void(FbStatement&)>& bind,
              const std::function<void()>& pump)
    {
        TTransactionScope scope(DM->TransBrowse);
        auto run = [&](const char* table, const auto& columns, const auto& row) {
            FbStatement st(scope.Transaction(), QString::fromLatin1(kAllColumns) + before + QString::fromLatin1(table) +
                                                    QStringLiteral(" r") + after);
            bind(st);
            const auto c = columns(st);
            st.Open();
            for (int n = 1; st.Fetch(); ++n) {
                row(st, c);
                if (pump && n % 4096 == 0)
                    pump();
            }
        };
        static const char* const kLapTable = "OKRAZENIA_REJ";
        run(
            kLapTable,
            [](const FbStatement& st) {
                std::array<int, 7> c;
                const char* const names[] = {"ID_NAGLOWKA", "NR", "CZAS_SS", "CZAS", "AVG_OBROTY", "AVG_ACC_OBROTY",
                                             "AVG_DEC_OBROTY"};
                for (size_t i = 0; i < c.size(); ++i)
                    c[i] = Column(st, kLapTable, names[i]);
                return c;
            },
            [&](const FbStatement& st, const std::array<int, 7>& c) {
                Lap l;
                l.session = st.Int(c[0]);
                l.lap.nr = st.Int(c[1]);
                l.lap.time = st.Int(c[2]);
                l.lap.text = st.Text(c[3]);
                l.lap.averageRpm = OptionalInt(st, c[4]);
                l.lap.meanRise = OptionalInt(st, c[5]);
                l.lap.meanFall = OptionalInt(st, c[6]);
                bySession[l.session].laps.push_back(int(laps.size()));
                laps.push_back(std::move(l));
            });
        static const char* const kSectorTable = "SEKTORY";
        run(
            kSectorTable,
            [](const FbStatement& st) {
                std::array<int, 5> c;
                const char* const names[] = {"ID_NAGLOWKA", "NR_OKRAZENIA", "NR_SEKTORA", "CZAS_SS", "CZAS"};
                for (size_t i = 0; i < c.size(); ++i)
                    c[i] = Column(st, kSectorTable, names[i]);
                return c;
            },
            [&](const FbStatement& st, const std::array<int, 5>& c) {
                Sector s{st.Int(c[0]), st.Int(c[1]), {st.Int(c[2]), st.Int(c[3]), st.Text(c[4])}};
                bySession[s.session].sectors.push_back(int(sectors.size()));
                sectors.push_back(std::move(s));
            });
    }
};

StoredLapRows::StoredLapRows(int sessionId) : d(std::make_unique<Impl>())
{
    d->read(QString(), QStringLiteral(" where r.ID_NAGLOWKA = :NAG"),
            [&](FbStatement& st) { st.SetInt(st.ParamIndex(QStringLiteral("NAG")), sessionId); }, {});
}

StoredLapRows::StoredLapRows(const TIBQuery& sessions, const std::function<void()>& pump) : d(std::make_unique<Impl>())
{
    // The rows joined to the sessions the query lists.
    d->read(QStringLiteral("(") + sessions.SQL() + QStringLiteral("\n) s join "), QStringLiteral(" on r.ID_NAGLOWKA = s.ID_NAG"),
            [&](FbStatement& st) { sessions.BindParams(st); }, pump);
}

StoredLapRows::~StoredLapRows() = default;

std::vector<DrivenLap> StoredLapRows::Driven(int sessionId, int* highestSector) const
{
    std::vector<DrivenLap> laps;
    const auto found = d->bySession.find(sessionId);
    if (highestSector)
        *highestSector = 0;
    if (found == d->bySession.end())
        return laps;
    const Impl::Rows& rows = found->second;
    laps.reserve(rows.laps.size());
    for (int i : rows.laps)
        laps.push_back(d->laps[size_t(i)].lap);

    // Numbers that each come once give the order; numbers that come again
    // leave the rows as stored, which is the order they were driven in.
    std::vector<DrivenLap> byNumber = laps;
    std::stable_sort(byNumber.begin(), byNumber.end(), [](const DrivenLap& a, const DrivenLap& b) { return a.nr < b.nr; });
    const bool repeated = std::adjacent_find(byNumber.begin(), byNumber.end(), [](const DrivenLap& a, const DrivenLap& b) {
                              return a.nr == b.nr;
                          }) != byNumber.end();
    if (!repeated)
        laps = std::move(byNumber);

    // Each unbroken run of one lap number's sector rows goes to the lap it
    // belongs to.
    LapListings listings;
    for (size_t p = 0; p < laps.size(); ++p)
        listings.Add(laps[p].nr, int(p));
    std::unordered_map<int, int> runsSeen;
    std::optional<int> previousLap;
    int place = -1;
    int highest = 0;
    for (int i : rows.sectors) {
        const Impl::Sector& s = d->sectors[size_t(i)];
        highest = std::max(highest, s.sector.nr);
        if (previousLap != s.lap) {
            previousLap = s.lap;
            place = listings.PlaceOfRun(s.lap, runsSeen[s.lap]++);
        }
        if (place >= 0)
            laps[size_t(place)].sectors.push_back(s.sector);
    }
    if (highestSector)
        *highestSector = highest;

    // The database gives rows in storage order, which deletes and re-used
    // space can shuffle; a lap's sectors follow their numbers.
    for (DrivenLap& lap : laps)
        std::stable_sort(lap.sectors.begin(), lap.sectors.end(),
                         [](const DrivenSector& a, const DrivenSector& b) { return a.nr < b.nr; });
    return laps;
}

std::vector<DrivenLap> ReadDrivenLaps(int sessionId, int* highestSector)
{
    return StoredLapRows(sessionId).Driven(sessionId, highestSector);
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
