// The session queries of the two choosers against a real database: which
// sessions a range, a set of days and the driver and track filters list,
// the best lap and sector columns, the lap rows of the lap chooser, the
// hand-over of ticks to memWybraneSesje and the title-click sort.
#include <gtest/gtest.h>

#include <QLocale>

#include <algorithm>

#include "analysis/sessionchoice.h"
#include "choice_support.h"
#include "shell/data/ibquery.h"
#include "shell/data/ubazy.h"

using namespace choice_test;

namespace {

const QString kTemplateBase = QStringLiteral(
    "select n.BYL_GPS,t.nazwa as nazwatoru,k.imie,k.nazwisko,n.NUMER_WYSCIGU,n.ilosc_okrazen,n.Data_start ,"
    "n.data_koniec ,n.id_nag  from naglowki n left join tory t on t.id_toru=n.id_toru left join kierowcy k on "
    "k.id_kierowcy= n.id_kierowcy where ");

class SessionChoiceTest : public ::testing::Test {
protected:
    TestDatabase db;

    void SetUp() override
    {
        AddDriver(db, 1, QStringLiteral("Jan"), QStringLiteral("Kowalski"));
        AddDriver(db, 2, QStringLiteral("anna"), QStringLiteral("Nowak"));
        AddTrack(db, 10, QStringLiteral("Boruta"));
        AddTrack(db, 20, QStringLiteral("Radom"));
        // Range 10..12 June (end day included): 1, 2, 3 and 7 belong to it.
        AddSession(db, {1, At(2024, 6, 10, 10), At(2024, 6, 10, 10, 20), 1, 10, 6, 3, 1234});
        AddSession(db, {2, At(2024, 6, 11, 23, 50), At(2024, 6, 12, 0, 10), 2, 10, 3, 1, 0});   // over midnight
        AddSession(db, {3, At(2024, 6, 12), At(2024, 6, 12, 0, 30), 1, 20, 0, 2, 0});           // no laps recorded
        AddSession(db, {4, At(2024, 6, 12, 23, 55), At(2024, 6, 13, 0, 5), 2, 20, 2, 4, 0});    // ends the day after
        AddSession(db, {5, At(2024, 6, 9, 23, 59, 59), At(2024, 6, 10, 0, 10), 1, 10, 2, 1, 0}); // starts the day before
        AddSession(db, {6, At(2024, 6, 13, 8), At(2024, 6, 13, 8, 30), 1, 10, 2, 1, 0});
        AddSession(db, {7, At(2024, 6, 11, 12), At(2024, 6, 11, 12, 30), 0, 0, 1, 5, 0});       // no driver, no track
        DM->memWybraneSesje.Close();
        DM->memWybraniKierowcy.Close();
        DM->memwybraneTory.Close();
        DM->memWybraneDni.Close();
    }

    static std::vector<int> SortedIds(MemTable& t, const char* field)
    {
        std::vector<int> ids = Ints(t, field);
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    std::vector<int> RangeIds(TDateTime from, TDateTime endExclusive)
    {
        TIBQuery q(DM->TransBrowse);
        BuildTemplateRangeQuery(q, from, endExclusive);
        MemTable t(QStringLiteral("memdane"), TemplateFields());
        FillTemplateSessions(q, t);
        return SortedIds(t, "id_nag");
    }

    std::vector<int> DayIds()
    {
        TIBQuery q(DM->TransBrowse);
        BuildTemplateDayQuery(q);
        MemTable t(QStringLiteral("memdane"), TemplateFields());
        FillTemplateSessions(q, t);
        return SortedIds(t, "id_nag");
    }

    // The Template row of a session.
    int RowOf(MemTable& t, int id) { return t.Find(QStringLiteral("id_nag"), {id}); }
};

TEST_F(SessionChoiceTest, QueryTextsAreBuiltPieceByPiece)
{
    TIBQuery q(DM->TransBrowse);
    BuildTemplateRangeQuery(q, Day(2024, 6, 10), Day(2024, 6, 13));
    EXPECT_EQ(q.SQL(), kTemplateBase + QStringLiteral("n.DATA_START>= :DS and n.DATA_KONIEC < :DE "));

    SetIds(DM->memwybraneTory, "id_toru", {10, 20});
    SetIds(DM->memWybraniKierowcy, "id_kierowcy", {1});
    BuildTemplateRangeQuery(q, Day(2024, 6, 10), Day(2024, 6, 13));
    EXPECT_EQ(q.SQL().split(u'\n'),
              QStringList({kTemplateBase + QStringLiteral("n.DATA_START>= :DS and n.DATA_KONIEC < :DE "),
                           QStringLiteral("  and  n.id_toru in (10 "), QStringLiteral(" , 20"), QStringLiteral(" ) "),
                           QStringLiteral("  and  n.id_kierowcy in (1 "), QStringLiteral(" ) ")}));

    DM->memwybraneTory.Close();
    DM->memWybraniKierowcy.Close();
    SetDays(DM->memWybraneDni, {Day(2024, 6, 12), Day(2024, 6, 9), Day(2024, 6, 1)});
    BuildTemplateDayQuery(q);
    EXPECT_EQ(q.SQL().split(u'\n'),
              QStringList({kTemplateBase + QStringLiteral("CAST(n.Data_start as date) in ("), QStringLiteral(" :D1 "),
                           QStringLiteral(" , :D2 "), QStringLiteral(" , :D3 "), QStringLiteral(" ) ")}));

    BuildLapChooserQuery(q, 10, 2, Day(2024, 6, 10), Day(2024, 6, 13));
    EXPECT_EQ(q.SQL().split(u'\n'),
              QStringList({QStringLiteral("select t.nazwa as nazwatoru,k.imie,k.nazwisko,n.Data_start ,n.data_koniec "
                                          ",n.id_nag from naglowki n left join tory t on t.id_toru=n.id_toru left join "
                                          "kierowcy k on k.id_kierowcy= n.id_kierowcy where n.DATA_START>= :DS and "
                                          "n.DATA_KONIEC < :DE "),
                           QStringLiteral("  and  n.ID_TORU= 10 "), QStringLiteral("  and  n.id_kierowcy= 2 ")}));
    BuildLapChooserQuery(q, 0, -1, Day(2024, 6, 10), Day(2024, 6, 13));
    EXPECT_EQ(q.SQL().count(u'\n'), 0);  // no filter pieces
}

// Sessions belong to a range when they start on or after From and end
// before the day after To; the filters take every id of their tables.
TEST_F(SessionChoiceTest, RangeModeListsWithAndWithoutFilters)
{
    struct Case {
        const char* what;
        std::vector<int> tracks;  // empty: table closed
        std::vector<int> drivers;
        std::vector<int> expected;
        std::vector<int> unticked = {};  // rows left unticked by a cancelled chooser
    };
    const Case cases[] = {
        {"no filter", {}, {}, {1, 2, 3, 7}},
        {"one track", {10}, {}, {1, 2}},
        {"one driver", {}, {1}, {1, 3}},
        {"two tracks and a driver", {10, 20}, {1}, {1, 3}},
        {"track and driver without a common session", {20}, {2}, {}},
        {"two drivers", {}, {1, 2}, {1, 2, 3}},
        {"an unticked driver row is no choice", {}, {1, 2}, {1, 3}, {2}},
        {"only unticked rows: no condition", {}, {2}, {1, 2, 3, 7}, {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DM->memwybraneTory.Close();
        DM->memWybraniKierowcy.Close();
        if (!c.tracks.empty())
            SetIds(DM->memwybraneTory, "id_toru", c.tracks);
        if (!c.drivers.empty())
            SetIds(DM->memWybraniKierowcy, "id_kierowcy", c.drivers, c.unticked);
        EXPECT_EQ(RangeIds(Day(2024, 6, 10), Day(2024, 6, 13)), c.expected);
    }
    // Open but empty tables add no condition either.
    SetIds(DM->memwybraneTory, "id_toru", {});
    SetIds(DM->memWybraniKierowcy, "id_kierowcy", {});
    EXPECT_EQ(RangeIds(Day(2024, 6, 10), Day(2024, 6, 13)), (std::vector<int>{1, 2, 3, 7}));
    // One day more and the session that ran past midnight is in.
    EXPECT_EQ(RangeIds(Day(2024, 6, 10), Day(2024, 6, 14)), (std::vector<int>{1, 2, 3, 4, 6, 7}));
}

// Day mode lists the sessions whose start falls on a ticked day, whatever
// the range and wherever they end.
TEST_F(SessionChoiceTest, DayModeIgnoresTheRange)
{
    SetDays(DM->memWybraneDni, {Day(2024, 6, 12), Day(2024, 6, 9)});
    EXPECT_EQ(DayIds(), (std::vector<int>{3, 4, 5}));
    SetIds(DM->memWybraniKierowcy, "id_kierowcy", {1});
    EXPECT_EQ(DayIds(), (std::vector<int>{3, 5}));
    SetIds(DM->memwybraneTory, "id_toru", {10});
    EXPECT_EQ(DayIds(), (std::vector<int>{5}));
    SetDays(DM->memWybraneDni, {Day(2024, 5, 1)});
    EXPECT_EQ(DayIds(), (std::vector<int>{}));
}

TEST_F(SessionChoiceTest, TemplateRowsCarryBestLapAndSectors)
{
    // Session 1: laps 2 and 3 tie on the best time (lap 2 met first); the
    // sectors tie too and keep the row met first; sector numbers outside
    // 1..5 are ignored.
    AddLap(db, 1, 1, 6000);
    AddLap(db, 1, 2, 5800);
    AddLap(db, 1, 3, 5800);
    AddLap(db, 1, 4, 6100);
    AddSector(db, 1, 1, 1, 2000, QStringLiteral("L1S1"));
    AddSector(db, 1, 1, 2, 2100, QStringLiteral("L1S2"));
    AddSector(db, 1, 1, 3, 1900, QStringLiteral("L1S3"));
    AddSector(db, 1, 2, 1, 1950, QStringLiteral("L2S1"));
    AddSector(db, 1, 2, 2, 2100, QStringLiteral("L2S2"));
    AddSector(db, 1, 2, 3, 1750, QStringLiteral("L2S3"));
    AddSector(db, 1, 3, 1, 1950, QStringLiteral("L3S1"));
    AddSector(db, 1, 3, 0, 10, QStringLiteral("L3S0"));
    AddSector(db, 1, 3, 6, 10, QStringLiteral("L3S6"));
    AddSector(db, 1, 4, 4, 3000, QStringLiteral("L4S4"));
    AddSector(db, 1, 4, 5, 2900, QStringLiteral("L4S5"));
    // Session 2: laps without sector rows (one numbered 0).
    AddLap(db, 2, 0, 9000);
    AddLap(db, 2, 1, 7000);

    TIBQuery q(DM->TransBrowse);
    BuildTemplateRangeQuery(q, Day(2024, 6, 10), Day(2024, 6, 13));
    MemTable t(QStringLiteral("memdane"), TemplateFields());
    FillTemplateSessions(q, t);
    ASSERT_EQ(t.RecordCount(), 4);
    EXPECT_EQ(t.RecNo(), 0);
    EXPECT_FALSE(q.Active());

    struct Expect {
        int id;
        int bestLap;
        QString bestTime;
        QStringList sectors;
        int laps;
        QString driver, track;
        bool gps;
        int race;
    };
    const QString blank = QStringLiteral(" ");
    const Expect expected[] = {
        {1, 2, QStringLiteral("00:58:00"),
         {QStringLiteral("L2S1"), QStringLiteral("L1S2"), QStringLiteral("L2S3"), QStringLiteral("L4S4"),
          QStringLiteral("L4S5")},
         5, QStringLiteral("Jan Kowalski"), QStringLiteral("Boruta"), true, 3},
        {2, 1, QStringLiteral("01:10:00"), {blank, blank, blank, blank, blank}, 2, QStringLiteral("anna Nowak"),
         QStringLiteral("Boruta"), false, 1},
        {3, 0, blank, {blank, blank, blank, blank, blank}, -1, QStringLiteral("Jan Kowalski"), QStringLiteral("Radom"),
         false, 2},
        {7, 0, blank, {blank, blank, blank, blank, blank}, 0, blank, QString(), false, 5},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.id);
        const int r = RowOf(t, e.id);
        ASSERT_GE(r, 0);
        t.SetRecNo(r);
        EXPECT_EQ(t.FieldByName(QStringLiteral("najlepszeokr")).AsInteger(), e.bestLap);
        EXPECT_EQ(t.FieldByName(QStringLiteral("najlepszyczas")).AsString(), e.bestTime);
        for (int s = 0; s < 5; ++s)
            EXPECT_EQ(t.FieldByName(QStringLiteral("S%1").arg(s + 1)).AsString(), e.sectors[s]) << "S" << s + 1;
        EXPECT_EQ(t.FieldByName(QStringLiteral("ilosc_okr")).AsInteger(), e.laps);
        EXPECT_EQ(t.FieldByName(QStringLiteral("Kierowca")).AsString(), e.driver);
        EXPECT_EQ(t.FieldByName(QStringLiteral("tor")).AsString(), e.track);
        EXPECT_EQ(t.FieldByName(QStringLiteral("jestGPS")).AsBoolean(), e.gps);
        EXPECT_EQ(t.FieldByName(QStringLiteral("nr_sesji")).AsInteger(), e.race);
        EXPECT_FALSE(t.FieldByName(QStringLiteral("wybrane")).AsBoolean());
    }
    t.SetRecNo(RowOf(t, 2));
    EXPECT_EQ(FromTDateTime(t.FieldByName(QStringLiteral("data")).AsDateTime()), At(2024, 6, 11, 23, 50));
}

// Sessions of the previous choice come up ticked; OK hands over exactly the
// ticked rows, in grid order, and nothing ticked leaves an open, empty table.
TEST_F(SessionChoiceTest, PreviousChoiceIsTickedAndTicksAreHandedOver)
{
    SetIds(DM->memWybraneSesje, "id_nag", {3, 99, 6});
    TIBQuery q(DM->TransBrowse);
    BuildTemplateRangeQuery(q, Day(2024, 6, 10), Day(2024, 6, 13));
    MemTable t(QStringLiteral("memdane"), TemplateFields());
    FillTemplateSessions(q, t);
    const int ticked = t.FieldIndex(QStringLiteral("wybrane"));
    for (int r = 0; r < t.RecordCount(); ++r)
        EXPECT_EQ(t.BoolAt(r, ticked), t.IntAt(r, t.FieldIndex(QStringLiteral("id_nag"))) == 3) << "row " << r;

    // Ticks by clicks: the tick column toggles, other columns do not.
    EXPECT_TRUE(ToggleTick(t, RowOf(t, 7), QStringLiteral("wybrane")));
    EXPECT_FALSE(ToggleTick(t, RowOf(t, 1), QStringLiteral("jestGPS")));
    EXPECT_FALSE(ToggleTick(t, RowOf(t, 1), QStringLiteral("tor")));
    EXPECT_FALSE(ToggleTick(t, t.RecordCount(), QStringLiteral("wybrane")));
    t.SortOn(QStringLiteral("id_nag"), MemTable::soDescending);
    StoreTickedSessions(t, QStringLiteral("id_nag"));
    EXPECT_EQ(Ints(DM->memWybraneSesje, "id_nag"), (std::vector<int>{7, 3}));

    for (int r = 0; r < t.RecordCount(); ++r)
        t.SetBoolAt(r, ticked, false);
    StoreTickedSessions(t, QStringLiteral("id_nag"));
    EXPECT_TRUE(DM->memWybraneSesje.Active());
    EXPECT_TRUE(DM->memWybraneSesje.IsEmpty());
}

TEST_F(SessionChoiceTest, TitleClicksSortWithoutCaseAndToggleDirection)
{
    TIBQuery q(DM->TransBrowse);
    BuildTemplateRangeQuery(q, Day(2024, 6, 10), Day(2024, 6, 13));
    MemTable t(QStringLiteral("memdane"), TemplateFields());
    FillTemplateSessions(q, t);
    TitleSort sort;
    struct Step {
        const char* field;
        bool ascending;
        QStringList drivers;
    };
    const QString none = QStringLiteral(" ");
    const QString jan = QStringLiteral("Jan Kowalski"), anna = QStringLiteral("anna Nowak");
    const Step steps[] = {
        {"Kierowca", true, {none, anna, jan, jan}},
        {"Kierowca", false, {jan, jan, anna, none}},
        {"Kierowca", true, {none, anna, jan, jan}},
    };
    for (const Step& s : steps) {
        sort.Click(t, QString::fromLatin1(s.field));
        EXPECT_EQ(sort.Field(), QString::fromLatin1(s.field));
        EXPECT_EQ(sort.Ascending(), s.ascending);
        EXPECT_EQ(Texts(t, "Kierowca"), s.drivers);
    }
    sort.Click(t, QStringLiteral("nr_sesji"));  // another column starts ascending
    EXPECT_TRUE(sort.Ascending());
    EXPECT_EQ(Ints(t, "nr_sesji"), (std::vector<int>{1, 2, 3, 5}));
    sort.Click(t, QStringLiteral("nr_sesji"));
    EXPECT_EQ(Ints(t, "nr_sesji"), (std::vector<int>{5, 3, 2, 1}));
}

TEST_F(SessionChoiceTest, LapChooserListsSessionsWithTheirLaps)
{
    AddLap(db, 1, 1, 6000);
    AddLap(db, 1, 2, 5800);
    AddSector(db, 1, 1, 1, 2000, QStringLiteral("first"));
    AddSector(db, 1, 1, 1, 2010, QStringLiteral("again"));  // a later row of the sector wins
    AddSector(db, 1, 1, 2, 2100);
    AddSector(db, 1, 1, 5, 1900);
    AddSector(db, 1, 1, 7, 50);  // ignored
    AddLap(db, 3, 1, 7000);     // a lap without sectors

    TIBQuery q(DM->TransBrowse);
    BuildLapChooserQuery(q, 0, 1, Day(2024, 6, 10), Day(2024, 6, 13));
    MemTable t(QStringLiteral("memdane"), LapChooserFields());
    FillLapChooser(q, t);
    ASSERT_EQ(t.RecordCount(), 5);  // sessions 1 and 3 of driver 1, with their laps

    // Session rows come first, each followed by its laps.
    const int first = Ints(t, "id_naglowka")[0] == 1 ? 0 : 2;
    const int second = first == 0 ? 3 : 0;
    EXPECT_EQ(Texts(t, "typ_rekordu").mid(first, 3), QStringList({"1", "2", "2"}));
    EXPECT_EQ(Texts(t, "typ_rekordu").mid(second, 2), QStringList({"1", "2"}));

    t.SetRecNo(first);
    EXPECT_EQ(t.FieldByName(QStringLiteral("Kierowca")).AsString(), QStringLiteral("Jan Kowalski Track: Boruta"));
    EXPECT_TRUE(t.FieldByName(QStringLiteral("Pole1")).AsString().contains(QStringLiteral("10:00:00")));
    EXPECT_TRUE(t.FieldByName(QStringLiteral("Pole2")).AsString().contains(QStringLiteral("10:20:00")));
    EXPECT_TRUE(t.FieldByName(QStringLiteral("id_okrazenia")).IsNull());
    t.SetRecNo(first + 1);
    EXPECT_EQ(t.FieldByName(QStringLiteral("Kierowca")).AsString(), QStringLiteral("Lap 1"));
    EXPECT_EQ(t.FieldByName(QStringLiteral("Pole1")).AsString(), QStringLiteral("01:00:00"));
    EXPECT_EQ(t.FieldByName(QStringLiteral("id_okrazenia")).AsInteger(), 1);
    EXPECT_EQ(t.FieldByName(QStringLiteral("id_naglowka")).AsInteger(), 1);
    const QStringList sectors = {t.FieldByName(QStringLiteral("S1")).AsString(),
                                 t.FieldByName(QStringLiteral("S2")).AsString(),
                                 t.FieldByName(QStringLiteral("S3")).AsString(),
                                 t.FieldByName(QStringLiteral("S4")).AsString(),
                                 t.FieldByName(QStringLiteral("S5")).AsString()};
    EXPECT_EQ(sectors, QStringList({"again", "00:21:00", "", "", "00:19:00"}));
    t.SetRecNo(first + 2);
    EXPECT_EQ(t.FieldByName(QStringLiteral("Kierowca")).AsString(), QStringLiteral("Lap 2"));
    EXPECT_TRUE(t.FieldByName(QStringLiteral("S1")).IsNull());

    // Session 3 starts at midnight: its date stands alone.
    t.SetRecNo(second);
    EXPECT_EQ(t.FieldByName(QStringLiteral("Pole1")).AsString(),
              QLocale().toString(QDate(2024, 6, 12), QLocale::ShortFormat));

    // One track id filters as well; together with the driver it narrows.
    BuildLapChooserQuery(q, 20, 1, Day(2024, 6, 10), Day(2024, 6, 13));
    FillLapChooser(q, t);
    EXPECT_EQ(Ints(t, "id_naglowka"), (std::vector<int>{3, 3}));
    BuildLapChooserQuery(q, 10, 0, Day(2024, 6, 10), Day(2024, 6, 13));
    FillLapChooser(q, t);
    EXPECT_EQ(SortedIds(t, "id_naglowka"), (std::vector<int>{1, 1, 1, 2}));
}

}  // namespace
