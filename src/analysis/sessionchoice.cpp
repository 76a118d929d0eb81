#include "analysis/sessionchoice.h"

#include <QLocale>

#include <array>

#include "analysis/analysissession.h"
#include "analysis/sessiontree.h"
#include "shell/common/stale.h"
#include "shell/data/ibquery.h"
#include "shell/data/ubazy.h"

namespace {

const char* const kTemplateBase =
    "select n.BYL_GPS,t.nazwa as nazwatoru,k.imie,k.nazwisko,n.NUMER_WYSCIGU,n.ilosc_okrazen,n.Data_start "
    ",n.data_koniec ,n.id_nag  from naglowki n left join tory t on t.id_toru=n.id_toru left join kierowcy k on "
    "k.id_kierowcy= n.id_kierowcy where ";
const char* const kRangeCondition = "n.DATA_START>= :DS and n.DATA_KONIEC < :DE ";
const char* const kDayCondition = "CAST(n.Data_start as date) in (";

const char* const kLapChooserBase =
    "select t.nazwa as nazwatoru,k.imie,k.nazwisko,n.Data_start ,n.data_koniec ,n.id_nag from naglowki n left "
    "join tory t on t.id_toru=n.id_toru left join kierowcy k on k.id_kierowcy= n.id_kierowcy where "
    "n.DATA_START>= :DS and n.DATA_KONIEC < :DE ";

constexpr int kSectors = 5;
constexpr int kNoTime = 1000000000;

QVariant DateParam(TDateTime value) { return FromTDateTime(value); }

// "  and  n.<column> in (" + first id + " ", " , " + each further id, " ) ",
// each piece on a line of its own; nothing when the table is closed or holds
// no ticked row.  A chooser left with Cancel keeps the rows the user
// unticked in that visit; those are no choice and stay out of the filter.
void AppendIdFilter(TIBQuery& q, MemTable& ids, const QString& idField, const QString& column)
{
    if (!ids.Active())
        return;
    const int c = ids.FieldIndex(idField);
    const int ticked = ids.FieldIndex(QStringLiteral("wybrany"));
    bool first = true;
    for (int r = 0; r < ids.RecordCount(); ++r) {
        if (!ids.BoolAt(r, ticked))
            continue;
        const QString id = QString::number(ids.IntAt(r, c));
        if (first)
            q.AddSQL(QStringLiteral("  and  n.") + column + QStringLiteral(" in (") + id + u' ');
        else
            q.AddSQL(QStringLiteral(" , ") + id);
        first = false;
    }
    if (!first)
        q.AddSQL(QStringLiteral(" ) "));
}

void AppendChoiceFilters(TIBQuery& q)
{
    AppendIdFilter(q, DM->memwybraneTory, QStringLiteral("id_toru"), QStringLiteral("id_toru"));
    AppendIdFilter(q, DM->memWybraniKierowcy, QStringLiteral("id_kierowcy"), QStringLiteral("id_kierowcy"));
}

void Reopen(MemTable& t)
{
    t.Close();
    t.Open();
}

QString FieldText(const TIBQuery& q, const char* name) { return q.FieldByName(QString::fromLatin1(name)).AsString(); }
int FieldInt(const TIBQuery& q, const char* name) { return q.FieldByName(QString::fromLatin1(name)).AsInteger(); }

// What a fill does at each step of the walk over the sessions of qnag (in
// database order), their laps in the order they were driven and each lap's
// own sectors (StoredLapRows::Driven).
struct SessionWalk {
    std::function<void(const TIBQuery& session, int id)> session;
    std::function<void(const DrivenLap& lap)> lap;
    std::function<void(const DrivenSector& sector)> sector;  // sector numbers 1..5 only
    std::function<void()> lapEnd;
    std::function<void()> sessionEnd;
};

// Empties memdane and walks; memdane sends one reset at the end and stands
// on its first row.
void WalkSessions(TIBQuery& qnag, MemTable& memdane, const std::function<void()>& pump, const SessionWalk& walk)
{
    Reopen(memdane);
    memdane.BeginBulk();
    struct BulkEnd {
        MemTable& t;
        ~BulkEnd() { t.EndBulk(); }
    } bulkEnd{memdane};

    // The laps and sectors of every listed session in two statements,
    // whatever the number of sessions.
    const StoredLapRows stored(qnag, pump);
    qnag.Close();
    qnag.Open();
    for (; !qnag.Eof(); qnag.Next()) {
        if (pump)
            pump();
        const int id = FieldInt(qnag, "ID_NAG");
        walk.session(qnag, id);
        for (const DrivenLap& lap : stored.Driven(id)) {
            walk.lap(lap);
            for (const DrivenSector& sector : lap.sectors)
                if (sector.nr >= 1 && sector.nr <= kSectors)
                    walk.sector(sector);
            if (walk.lapEnd)
                walk.lapEnd();
        }
        if (walk.sessionEnd)
            walk.sessionEnd();
    }
    qnag.Close();
    memdane.First();
}

}  // namespace

void ProposedAnalysisRange(const AnalysisSession& session, TDateTime& from, TDateTime& to)
{
    from = session.TemplateDateFrom;
    to = session.TemplateDateTo;
    if (from == 0 && to == 0) {
        to = TDateTime(TodayDayNumber());
        from = to - 7;
    }
}

// ------------------------------------------------------ Template chooser

std::vector<FieldDef> TemplateFields()
{
    std::vector<FieldDef> f = {
        {QStringLiteral("wybrane"), FieldType::Boolean, 0, 1},
        {QStringLiteral("data"), FieldType::DateTime},
        {QStringLiteral("nr_sesji"), FieldType::Integer},
        {QStringLiteral("tor"), FieldType::String, 50},
        {QStringLiteral("Kierowca"), FieldType::String, 100},
        {QStringLiteral("ilosc_okr"), FieldType::Integer},
        {QStringLiteral("najlepszeokr"), FieldType::Integer},
        {QStringLiteral("najlepszyczas"), FieldType::String, 50},
    };
    for (int s = 1; s <= kSectors; ++s)
        f.push_back({QStringLiteral("S%1").arg(s), FieldType::String, 30});
    f.push_back({QStringLiteral("id_nag"), FieldType::Integer});
    f.push_back({QStringLiteral("jestGPS"), FieldType::Boolean, 0, 2});
    return f;
}

void BuildTemplateRangeQuery(TIBQuery& qnag, TDateTime from, TDateTime endExclusive)
{
    qnag.Close();
    qnag.SetSQL(QString::fromLatin1(kTemplateBase) + QString::fromLatin1(kRangeCondition));
    AppendChoiceFilters(qnag);
    qnag.ParamByName(QStringLiteral("DS"), DateParam(from));
    qnag.ParamByName(QStringLiteral("DE"), DateParam(endExclusive));
}

void BuildTemplateDayQuery(TIBQuery& qnag)
{
    MemTable& days = DM->memWybraneDni;
    const int c = days.FieldIndex(QStringLiteral("dzien"));
    qnag.Close();
    qnag.SetSQL(QString::fromLatin1(kTemplateBase) + QString::fromLatin1(kDayCondition));
    for (int r = 0; r < days.RecordCount(); ++r)
        qnag.AddSQL((r == 0 ? QStringLiteral(" :D%1 ") : QStringLiteral(" , :D%1 ")).arg(r + 1));
    qnag.AddSQL(QStringLiteral(" ) "));
    AppendChoiceFilters(qnag);
    for (int r = 0; r < days.RecordCount(); ++r)
        qnag.ParamByName(QStringLiteral("D%1").arg(r + 1), DateParam(days.FloatAt(r, c)));
}

void FillTemplateSessions(TIBQuery& qnag, MemTable& memdane, const std::function<void()>& pump)
{
    MemTable& chosen = DM->memWybraneSesje;
    // Best lap and best time of each sector of the session walked; a tie
    // keeps the one met first.
    int bestLap = kNoTime, bestLapNr = 0;
    QString bestLapText;
    std::array<int, kSectors> bestSector;
    std::array<QString, kSectors> bestSectorText;

    SessionWalk walk;
    walk.session = [&](const TIBQuery& q, int id) {
        memdane.Append();
        memdane.FieldByName(QStringLiteral("data")).SetAsDateTime(q.FieldByName(QStringLiteral("data_start")).AsTDateTime());
        memdane.FieldByName(QStringLiteral("id_nag")).SetAsInteger(id);
        memdane.FieldByName(QStringLiteral("Kierowca")).SetAsString(FieldText(q, "imie") + u' ' + FieldText(q, "nazwisko"));
        memdane.FieldByName(QStringLiteral("tor")).SetAsString(FieldText(q, "nazwatoru"));
        memdane.FieldByName(QStringLiteral("ilosc_okr")).SetAsInteger(FieldInt(q, "ILOSC_OKRAZEN") - 1);
        memdane.FieldByName(QStringLiteral("nr_sesji")).SetAsInteger(FieldInt(q, "NUMER_WYSCIGU"));
        memdane.FieldByName(QStringLiteral("jestGPS")).SetAsBoolean(FieldInt(q, "BYL_GPS") > 0);
        if (chosen.Active() && chosen.Find(QStringLiteral("id_nag"), {id}) >= 0)
            memdane.FieldByName(QStringLiteral("wybrane")).SetAsBoolean(true);
        bestLap = kNoTime;
        bestLapNr = 0;
        bestLapText = QStringLiteral(" ");
        bestSector.fill(kNoTime);
        bestSectorText.fill(QStringLiteral(" "));
    };
    walk.lap = [&](const DrivenLap& lap) {
        if (lap.time < bestLap) {
            bestLap = lap.time;
            bestLapText = lap.text;
            bestLapNr = lap.nr;
        }
    };
    walk.sector = [&](const DrivenSector& sector) {
        const size_t s = size_t(sector.nr - 1);
        if (sector.time < bestSector[s]) {
            bestSector[s] = sector.time;
            bestSectorText[s] = sector.text;
        }
    };
    walk.sessionEnd = [&] {
        memdane.FieldByName(QStringLiteral("najlepszeokr")).SetAsInteger(bestLapNr);
        memdane.FieldByName(QStringLiteral("najlepszyczas")).SetAsString(bestLapText);
        for (int s = 0; s < kSectors; ++s)
            memdane.FieldByName(QStringLiteral("S%1").arg(s + 1)).SetAsString(bestSectorText[size_t(s)]);
        memdane.Post();
    };
    WalkSessions(qnag, memdane, pump, walk);
}

// -------------------------------------------------- session and lap chooser

std::vector<FieldDef> LapChooserFields()
{
    return {
        {QStringLiteral("typ_rekordu"), FieldType::String, 1},
        // 40, as in the session tree: a start time cut short reads as
        // another time ("22:15:3" as 22:15:03).
        {QStringLiteral("Pole1"), FieldType::String, 40},
        {QStringLiteral("Pole2"), FieldType::String, 30},
        {QStringLiteral("id_naglowka"), FieldType::Integer},
        {QStringLiteral("id_okrazenia"), FieldType::Integer},
        {QStringLiteral("id_sektora"), FieldType::Integer},
        {QStringLiteral("Kierowca"), FieldType::String, 100},
        {QStringLiteral("S1"), FieldType::String, 30},
        {QStringLiteral("S2"), FieldType::String, 30},
        {QStringLiteral("S3"), FieldType::String, 30},
        {QStringLiteral("wybrane"), FieldType::Boolean, 0, 1},
        {QStringLiteral("S4"), FieldType::String, 30},
        {QStringLiteral("S5"), FieldType::String, 30},
    };
}

void BuildLapChooserQuery(TIBQuery& qnag, int trackId, int driverId, TDateTime ds, TDateTime de)
{
    qnag.Close();
    qnag.SetSQL(QString::fromLatin1(kLapChooserBase));
    if (trackId > 0)
        qnag.AddSQL(QStringLiteral("  and  n.ID_TORU= %1 ").arg(trackId));
    if (driverId > 0)
        qnag.AddSQL(QStringLiteral("  and  n.id_kierowcy= %1 ").arg(driverId));
    qnag.ParamByName(QStringLiteral("DS"), DateParam(ds));
    qnag.ParamByName(QStringLiteral("DE"), DateParam(de));
}

void FillLapChooser(TIBQuery& qnag, MemTable& memdane, const std::function<void()>& pump)
{
    int session = 0;
    SessionWalk walk;
    walk.session = [&](const TIBQuery& q, int id) {
        session = id;
        memdane.Append();
        memdane.FieldByName(QStringLiteral("Pole1")).SetAsString(ListDateTimeText(q.FieldByName(QStringLiteral("data_start")).AsTDateTime()));
        memdane.FieldByName(QStringLiteral("id_naglowka")).SetAsInteger(id);
        memdane.FieldByName(QStringLiteral("Pole2")).SetAsString(ListDateTimeText(q.FieldByName(QStringLiteral("data_koniec")).AsTDateTime()));
        memdane.FieldByName(QStringLiteral("Kierowca"))
            .SetAsString(FieldText(q, "imie") + u' ' + FieldText(q, "nazwisko") + QStringLiteral(" Track: ") +
                         FieldText(q, "nazwatoru"));
        memdane.FieldByName(QStringLiteral("typ_rekordu")).SetAsString(QStringLiteral("1"));
        memdane.Post();
    };
    walk.lap = [&](const DrivenLap& lap) {
        memdane.Append();
        memdane.FieldByName(QStringLiteral("typ_rekordu")).SetAsString(QStringLiteral("2"));
        memdane.FieldByName(QStringLiteral("Kierowca")).SetAsString(QStringLiteral("Lap ") + QString::number(lap.nr));
        memdane.FieldByName(QStringLiteral("id_okrazenia")).SetAsInteger(lap.nr);
        memdane.FieldByName(QStringLiteral("Pole1")).SetAsString(lap.text);
        memdane.FieldByName(QStringLiteral("id_naglowka")).SetAsInteger(session);
    };
    // A later row of the same sector overwrites an earlier one.
    walk.sector = [&](const DrivenSector& sector) {
        memdane.FieldByName(QStringLiteral("S%1").arg(sector.nr)).SetAsString(sector.text);
    };
    walk.lapEnd = [&] { memdane.Post(); };
    WalkSessions(qnag, memdane, pump, walk);
}

QString ListDateTimeText(TDateTime value)
{
    const QDateTime dt = FromTDateTime(value);
    if (dt.time() == QTime(0, 0))
        return QLocale().toString(dt.date(), QLocale::ShortFormat);
    return DateTimeToStr(dt);
}

// ------------------------------------------------------------- shared

bool ToggleTick(MemTable& table, int row, const QString& field)
{
    const int column = table.FieldIndex(field);
    if (column < 0 || table.Def(column).tag != 1 || row < 0 || row >= table.RecordCount())
        return false;
    table.SetRecNo(row);
    table.Edit();
    MemField f = table.FieldAt(column);
    f.SetAsBoolean(!f.AsBoolean());
    table.Post();
    return true;
}

void StoreTickedSessions(MemTable& source, const QString& idField)
{
    MemTable& chosen = DM->memWybraneSesje;
    Reopen(chosen);
    const int ticked = source.FieldIndex(QStringLiteral("wybrane"));
    const int id = source.FieldIndex(idField);
    for (int r = 0; r < source.RecordCount(); ++r) {
        if (!source.BoolAt(r, ticked))
            continue;
        chosen.Append();
        chosen.FieldByName(QStringLiteral("id_nag")).SetAsInteger(source.IntAt(r, id));
        chosen.Post();
    }
    chosen.First();
}

void TitleSort::Click(MemTable& table, const QString& field)
{
    if (field.compare(field_, Qt::CaseInsensitive) == 0) {
        ascending_ = !ascending_;
    } else {
        field_ = field;
        ascending_ = true;
    }
    table.SortOn(field_, MemTable::soCaseInsensitive | (ascending_ ? 0 : MemTable::soDescending));
}
