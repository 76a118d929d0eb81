#pragma once
// Sessions, laps, sectors, drivers and tracks written straight into a test
// database for the session choice tests, and a few table readers.
#include <QDateTime>
#include <QString>

#include <algorithm>
#include <vector>

#include "platform/memtable.h"
#include "shell/common/stale.h"
#include "support/testdb.h"

namespace choice_test {

inline QString Stamp(const QDateTime& dt) { return dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")); }

inline QDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

inline TDateTime Day(int y, int mo, int d) { return TDateTime(DayNumber(QDate(y, mo, d))); }

inline void AddDriver(TestDatabase& db, int id, const QString& first, const QString& surname)
{
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO, USUNIETY) values (%1, '%2', '%3', 0)")
                .arg(id)
                .arg(first, surname));
}

inline void AddTrack(TestDatabase& db, int id, const QString& name)
{
    db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (%1, '%2', 0)").arg(id).arg(name));
}

struct SessionRow {
    int id;
    QDateTime start;
    QDateTime end;
    int driver = 0;  // 0: NULL
    int track = 0;   // 0: NULL
    int laps = 0;    // ILOSC_OKRAZEN
    int race = 1;    // NUMER_WYSCIGU
    int gps = 0;     // BYL_GPS
};

inline void AddSession(TestDatabase& db, const SessionRow& s)
{
    auto idOrNull = [](int v) { return v > 0 ? QString::number(v) : QStringLiteral("NULL"); };
    db.Exec(QStringLiteral("insert into NAGLOWKI (ID_NAG, DATA_START, DATA_KONIEC, ID_KIEROWCY, ID_TORU, "
                           "ILOSC_OKRAZEN, NUMER_WYSCIGU, BYL_GPS) values (%1, '%2', '%3', %4, %5, %6, %7, %8)")
                .arg(s.id)
                .arg(Stamp(s.start), Stamp(s.end), idOrNull(s.driver), idOrNull(s.track))
                .arg(s.laps)
                .arg(s.race)
                .arg(s.gps));
}

inline void AddLap(TestDatabase& db, int session, int nr, int hundredths)
{
    db.Exec(QStringLiteral("insert into OKRAZENIA_REJ (ID_NAGLOWKA, NR, CZAS, CZAS_SS) values (%1, %2, '%3', %4)")
                .arg(session)
                .arg(nr)
                .arg(SessionTimeText(hundredths))
                .arg(hundredths));
}

// A sector with a text of its own (to tell rows of equal times apart).
inline void AddSector(TestDatabase& db, int session, int lap, int sector, int hundredths, const QString& text = {})
{
    db.Exec(QStringLiteral("insert into SEKTORY (ID_NAGLOWKA, NR_OKRAZENIA, NR_SEKTORA, CZAS, CZAS_SS) values "
                           "(%1, %2, %3, '%4', %5)")
                .arg(session)
                .arg(lap)
                .arg(sector)
                .arg(text.isEmpty() ? SessionTimeText(hundredths) : text)
                .arg(hundredths));
}

// A column of a table, row by row, as ints or texts.
inline std::vector<int> Ints(MemTable& t, const char* field)
{
    std::vector<int> out;
    const int c = t.FieldIndex(QString::fromLatin1(field));
    for (int r = 0; r < t.RecordCount(); ++r)
        out.push_back(t.IntAt(r, c));
    return out;
}

inline QStringList Texts(MemTable& t, const char* field)
{
    QStringList out;
    const int c = t.FieldIndex(QString::fromLatin1(field));
    for (int r = 0; r < t.RecordCount(); ++r)
        out << t.StringAt(r, c);
    return out;
}

// Fills one of the data module's id tables (memWybraneSesje,
// memWybraniKierowcy, memwybraneTory) as their choosers leave them: rows
// ticked, unless listed in unticked.
inline void SetIds(MemTable& t, const char* field, const std::vector<int>& ids, const std::vector<int>& unticked = {})
{
    t.Close();
    t.Open();
    const bool ticks = t.FieldIndex(QStringLiteral("wybrany")) >= 0;
    for (int id : ids) {
        t.Append();
        t.FieldByName(QString::fromLatin1(field)).SetAsInteger(id);
        if (ticks)
            t.FieldByName(QStringLiteral("wybrany"))
                .SetAsBoolean(std::find(unticked.begin(), unticked.end(), id) == unticked.end());
        t.Post();
    }
}

inline void SetDays(MemTable& t, const std::vector<TDateTime>& days)
{
    t.Close();
    t.Open();
    for (TDateTime d : days) {
        t.Append();
        t.FieldByName(QStringLiteral("dzien")).SetAsDateTime(d);
        t.Post();
    }
}

}  // namespace choice_test
