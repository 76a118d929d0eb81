// Catalogue lists, ticks, the choosers' results, the name search and the
// soft deletes, on a real database.
#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "profiles/catalogue.h"
#include "profiles/cataloguechoice.h"
#include "profiles/cataloguelist.h"
#include "support/testdb.h"

namespace {

using Rows = std::vector<std::pair<int, bool>>;

Rows TickRows(MemTable& t)
{
    Rows rows;
    for (int r = 0; r < t.RecordCount(); ++r)
        rows.emplace_back(t.IntAt(r, t.FieldIndex("id_kierowcy")), t.BoolAt(r, t.FieldIndex("wybrany")));
    return rows;
}

void AddDriver(TestDatabase& db, int id, const QString& surname, int deleted = 0)
{
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, KOD_KIER, IMIE, NAZWISKO, PSEUDONIM, WZROST, WAGA, "
                           "NADWAGA, USUNIETY) values (%1, '%1', 'Jan', '%2', 'jj', 180, 72.46, 0.5, %3)")
                .arg(id)
                .arg(surname)
                .arg(deleted));
}

void AddTrack(TestDatabase& db, int id, const QString& name, int deleted = 0)
{
    db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, DLUGOSC, STRONA_WWW, USUNIETY) values "
                           "(%1, '%2', 1234.56, 'www.tor%1.pl', %3)")
                .arg(id)
                .arg(name)
                .arg(deleted));
}

void AddProfile(TestDatabase& db, int id, const QString& name, int deleted = 0)
{
    db.Exec(QStringLiteral("insert into POJAZDY (ID_POJAZDU, NAZWA, RAMA_CIS_PL, USUNIETY) values (%1, '%2', 7, %3)")
                .arg(id)
                .arg(name)
                .arg(deleted));
}

void AddSerial(TestDatabase& db, int driver, const QString& serial)
{
    db.Exec(QStringLiteral("insert into KROM_KIEROWCY (ID_KIEROWCY, NR_SER_KROM) values (%1, '%2')")
                .arg(driver)
                .arg(serial));
}

int Count(TestDatabase& db, const QString& sql) { return db.Scalar(sql).toInt(); }

std::vector<int> Ids(const CatalogueList& list)
{
    std::vector<int> ids;
    for (int r = 0; r < list.RowCount(); ++r)
        ids.push_back(list.IdAt(r));
    return ids;
}

}  // namespace

// ------------------------------------------------------------------ ticks

TEST(CatalogueTicks, ClickSequences)
{
    TestDatabase db;
    struct Case {
        const char* name;
        std::vector<int> clicks;
        std::vector<std::optional<bool>> states;  // returned by each click
        Rows rows;                                // afterwards
        Rows afterOk;                             // after pruning
    };
    const std::vector<Case> cases = {
        {"tick", {5}, {true}, {{5, true}}, {{5, true}}},
        {"tick untick", {5, 5}, {true, false}, {{5, false}}, {}},
        {"tick untick tick", {5, 5, 5}, {true, false, true}, {{5, true}}, {{5, true}}},
        {"two entries, first unticked", {5, 7, 5}, {true, true, false}, {{5, false}, {7, true}}, {{7, true}}},
        {"both unticked", {5, 7, 7, 5}, {true, true, false, false}, {{5, false}, {7, false}}, {}},
        {"id below 1 changes nothing", {0, -4}, {std::nullopt, std::nullopt}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TickTable ticks(DM->memWybraniKierowcy, QStringLiteral("id_kierowcy"));
        ticks.Reset();
        std::vector<std::optional<bool>> states;
        for (int id : c.clicks)
            states.push_back(ticks.Toggle(id));
        EXPECT_EQ(states, c.states);
        EXPECT_EQ(TickRows(DM->memWybraniKierowcy), c.rows);
        for (const auto& [id, ticked] : c.rows)
            EXPECT_EQ(ticks.IsTicked(id), ticked);
        ticks.PruneUnticked();
        EXPECT_EQ(TickRows(DM->memWybraniKierowcy), c.afterOk);
    }
}

// ------------------------------------------------------------ chooser results

TEST(CatalogueChooser, OkCancelAndDoubleClick)
{
    TestDatabase db;
    AddDriver(db, 3, QStringLiteral("Nowak"));
    AddDriver(db, 1, QStringLiteral("Adamski"));
    AddDriver(db, 2, QStringLiteral("Zielinski"));
    AddDriver(db, 4, QStringLiteral("Bak"), 1);  // softly deleted: not listed

    CatalogueList list(catalogue::ListSQL(CatalogueKind::Drivers), catalogue::IdField(CatalogueKind::Drivers));
    TickTable ticks(DM->memWybraniKierowcy, QStringLiteral("id_kierowcy"));
    ChooserChoice choice(list, &ticks);

    // A showing empties what an earlier one left.
    ticks.AppendTicked(99);
    choice.Open();
    EXPECT_EQ(choice.Result(), -1);
    EXPECT_TRUE(ticks.IsEmpty());
    EXPECT_EQ(Ids(list), (std::vector<int>{1, 3, 2}));  // by surname
    EXPECT_EQ(list.CurrentRow(), 0);

    // Multi: tick 1 and 3, untick 1; OK on row 2 returns its id and keeps only 3.
    choice.TickCurrent();
    list.SetCurrentRow(1);
    choice.TickCurrent();
    list.SetCurrentRow(0);
    choice.TickCurrent();
    list.SetCurrentRow(2);
    choice.Ok();
    EXPECT_EQ(choice.Result(), 2);
    EXPECT_EQ(TickRows(DM->memWybraniKierowcy), (Rows{{3, true}}));

    // Cancel returns -1 and keeps the rows of the showing, unticked ones too.
    choice.Open();
    choice.TickCurrent();
    choice.TickCurrent();
    list.SetCurrentRow(1);
    choice.TickCurrent();
    choice.Cancel();
    EXPECT_EQ(choice.Result(), -1);
    EXPECT_EQ(TickRows(DM->memWybraniKierowcy), (Rows{{1, false}, {3, true}}));

    // A double click with nothing ticked chooses and ticks the current row.
    choice.Open();
    list.SetCurrentRow(1);
    choice.DoubleClick();
    EXPECT_EQ(choice.Result(), 3);
    EXPECT_EQ(TickRows(DM->memWybraniKierowcy), (Rows{{3, true}}));

    // With ticks it only confirms them (an unticked row is pruned as by OK).
    choice.Open();
    choice.TickCurrent();  // 1
    list.SetCurrentRow(2);
    choice.TickCurrent();  // 2
    choice.TickCurrent();  // 2 unticked
    list.SetCurrentRow(1);
    choice.DoubleClick();
    EXPECT_EQ(choice.Result(), 3);
    EXPECT_EQ(TickRows(DM->memWybraniKierowcy), (Rows{{1, true}}));

    // Only unticked rows left: the double click does not tick the current row.
    choice.Open();
    choice.TickCurrent();
    choice.TickCurrent();
    choice.DoubleClick();
    EXPECT_EQ(choice.Result(), 1);
    EXPECT_TRUE(ticks.IsEmpty());
}

TEST(CatalogueChooser, EmptyListGivesZero)
{
    TestDatabase db;
    AddProfile(db, 1, QStringLiteral("gone"), 1);
    CatalogueList list(catalogue::ListSQL(CatalogueKind::VehicleProfiles),
                       catalogue::IdField(CatalogueKind::VehicleProfiles));
    ChooserChoice choice(list, nullptr);
    choice.Open();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.CurrentRow(), -1);
    choice.Ok();
    EXPECT_EQ(choice.Result(), 0);
    choice.DoubleClick();
    EXPECT_EQ(choice.Result(), 0);

    // Nothing to tick on an empty list either.
    CatalogueList drivers(catalogue::ListSQL(CatalogueKind::Drivers), catalogue::IdField(CatalogueKind::Drivers));
    TickTable ticks(DM->memWybraniKierowcy, QStringLiteral("id_kierowcy"));
    ChooserChoice driverChoice(drivers, &ticks);
    driverChoice.Open();
    EXPECT_EQ(driverChoice.TickCurrent(), std::nullopt);
    driverChoice.DoubleClick();
    EXPECT_EQ(driverChoice.Result(), 0);
    EXPECT_TRUE(ticks.IsEmpty());
}

// ------------------------------------------------------------------- list

TEST(CatalogueListLoad, ColumnsAndDisplayTexts)
{
    TestDatabase db;
    AddDriver(db, 1, QStringLiteral("Kowalski"));
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, NAZWISKO, USUNIETY) values (2, 'Zeta', 0)"));
    {
        TIBQuery q(DM->TransEdit);
        q.SetSQL(QStringLiteral("update KIEROWCY set ZDJECIE = :Z, OPIS = :O where ID_KIEROWCY = 1"));
        q.ParamByName(QStringLiteral("Z"), QByteArray("BM\x00\x01\xff", 5));
        q.ParamByName(QStringLiteral("O"), QStringLiteral("fast in the wet"));
        ASSERT_TRUE(DM->ExecEdit(q)) << DM->LastEditError().toStdString();
    }

    std::unique_ptr<CatalogueList> list(catalogue::NewList(CatalogueKind::Drivers, nullptr));
    list->Reload();
    ASSERT_EQ(list->RowCount(), 2);
    EXPECT_EQ(list->Text(0, QStringLiteral("nazwisko")), QStringLiteral("Kowalski"));
    EXPECT_EQ(list->Bytes(0, QStringLiteral("ZDJECIE")), QByteArray("BM\x00\x01\xff", 5));
    EXPECT_EQ(list->Text(0, QStringLiteral("OPIS")), QStringLiteral("fast in the wet"));
    EXPECT_EQ(list->DisplayText(0, QStringLiteral("WAGA")), QStringLiteral("72.5"));
    EXPECT_EQ(list->DisplayText(0, QStringLiteral("NADWAGA")), QStringLiteral(".5"));
    EXPECT_EQ(list->DisplayText(0, QStringLiteral("WZROST")), QStringLiteral("180"));
    // NULL cells show nothing and read as zero.
    EXPECT_TRUE(list->IsNull(1, list->Column(QStringLiteral("WAGA"))));
    EXPECT_EQ(list->DisplayText(1, QStringLiteral("WAGA")), QString());
    EXPECT_EQ(list->Int(1, QStringLiteral("WZROST")), 0);
    EXPECT_TRUE(list->Bytes(1, QStringLiteral("ZDJECIE")).isEmpty());
    // Unknown fields and rows read as NULL.
    EXPECT_EQ(list->Text(0, QStringLiteral("NO_SUCH")), QString());
    EXPECT_EQ(list->IdAt(7), 0);

    // A statement the database refuses leaves the list empty and reaches the caller.
    CatalogueList bad(QStringLiteral("select * from NO_SUCH_TABLE"), QStringLiteral("ID"));
    EXPECT_THROW(bad.Reload(), DatabaseError);
    EXPECT_TRUE(bad.IsEmpty());
    EXPECT_EQ(bad.CurrentId(), 0);
}

TEST(CatalogueListLoad, HashDot0Format)
{
    const std::vector<std::pair<double, QString>> cases = {
        {72.46, "72.5"}, {0.5, ".5"}, {0.0, ".0"}, {1234.56, "1234.6"}, {-3.26, "-3.3"}, {-0.04, ".0"}, {10, "10.0"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FormatHashDot0(value), text) << value;
}

// ----------------------------------------------------------------- search

TEST(CatalogueSearch, PrefixWithoutCase)
{
    TestDatabase db;
    const QStringList names = {QStringLiteral("Bydgoszcz"), QStringLiteral("bielsko"), QStringLiteral("Abc Kart"),
                               QStringLiteral(" Autodrom"), QStringLiteral("Autodrom Poznan"),
                               QStringLiteral("abcdef")};
    for (int i = 0; i < names.size(); ++i)
        AddTrack(db, 100000 + i, names[i]);
    CatalogueList list(catalogue::ListSQL(CatalogueKind::Tracks), catalogue::IdField(CatalogueKind::Tracks));
    list.Reload();
    ASSERT_EQ(list.RowCount(), 6);
    const QString first = list.Text(0, QStringLiteral("NAZWA"));
    ASSERT_EQ(first, QStringLiteral(" Autodrom"));  // the blank sorts first

    struct Case {
        QString text;
        bool found;
        QString current;  // name of the current row afterwards
    };
    const QString untouched = list.Text(3, QStringLiteral("NAZWA"));
    const std::vector<Case> cases = {
        {QStringLiteral("a"), true, QStringLiteral("Abc Kart")},
        {QStringLiteral("ABC"), true, QStringLiteral("Abc Kart")},
        {QStringLiteral("abcd"), true, QStringLiteral("abcdef")},
        {QStringLiteral("b"), true, QStringLiteral("Bydgoszcz")},
        {QStringLiteral("BIE"), true, QStringLiteral("bielsko")},
        {QStringLiteral("Autodrom "), true, QStringLiteral("Autodrom Poznan")},
        {QStringLiteral(" a"), true, QStringLiteral(" Autodrom")},   // leading blanks are searched with
        {QStringLiteral(" b"), false, first},                        // no match: the first row
        {QStringLiteral("zzz"), false, first},
        {QString(), false, untouched},                               // blank: nothing happens
        {QStringLiteral("   "), false, untouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        list.SetCurrentRow(3);
        EXPECT_EQ(SearchList(list, QStringLiteral("NAZWA"), c.text), c.found);
        EXPECT_EQ(list.Text(list.CurrentRow(), QStringLiteral("NAZWA")), c.current);
    }
}

// ------------------------------------------------------------ soft delete

namespace {

struct DeleteProbe {
    QStringList questions;
    QStringList messages;
    bool answer = true;
    catalogue::DeleteCallbacks Callbacks()
    {
        return {[this](const QString& q) {
                    questions << q;
                    return answer;
                },
                [this](const QString& m) { messages << m; }};
    }
};

}  // namespace

TEST(CatalogueDelete, SoftDeletesEachKind)
{
    struct Case {
        CatalogueKind kind;
        const char* question;
        const char* deletedSql;
    };
    const std::vector<Case> cases = {
        {CatalogueKind::Drivers, "Do you want to delete selected driver?",
         "select USUNIETY from KIEROWCY where ID_KIEROWCY = 2"},
        {CatalogueKind::Tracks, "Do you want to delete selected track?",
         "select USUNIETY from TORY where ID_TORU = 2"},
        {CatalogueKind::VehicleProfiles, "Do you want to delete selected car profile?",
         "select USUNIETY from POJAZDY where ID_POJAZDU = 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.question);
        TestDatabase db;
        for (int id : {1, 2}) {
            AddDriver(db, id, QStringLiteral("D%1").arg(id));
            AddTrack(db, id, QStringLiteral("T%1").arg(id));
            AddProfile(db, id, QStringLiteral("P%1").arg(id));
            AddSerial(db, id, QStringLiteral("S%1a").arg(id));
            AddSerial(db, id, QStringLiteral("S%1b").arg(id));
        }
        std::unique_ptr<CatalogueList> list(catalogue::NewList(c.kind, nullptr));

        // No: nothing is written.
        DeleteProbe no;
        no.answer = false;
        EXPECT_EQ(catalogue::DeleteRow(c.kind, 2, no.Callbacks()), catalogue::DeleteResult::Declined);
        EXPECT_EQ(no.questions, QStringList{QString::fromLatin1(c.question)});
        EXPECT_EQ(Count(db, QString::fromLatin1(c.deletedSql)), 0);
        EXPECT_EQ(Count(db, QStringLiteral("select count(*) from KROM_KIEROWCY")), 4);

        // Yes: the row stays in its table with USUNIETY 1 and leaves the list.
        DeleteProbe yes;
        EXPECT_EQ(catalogue::DeleteRow(c.kind, 2, yes.Callbacks()), catalogue::DeleteResult::Deleted);
        EXPECT_TRUE(yes.messages.isEmpty());
        EXPECT_EQ(Count(db, QString::fromLatin1(c.deletedSql)), 1);
        list->Reload();
        EXPECT_EQ(Ids(*list), (std::vector<int>{1}));
        // Only a driver's delete removes serial links, and only its own.
        const int serials = Count(db, QStringLiteral("select count(*) from KROM_KIEROWCY"));
        EXPECT_EQ(serials, c.kind == CatalogueKind::Drivers ? 2 : 4);
        EXPECT_EQ(Count(db, QStringLiteral("select count(*) from KROM_KIEROWCY where ID_KIEROWCY = 1")), 2);

        // No current row (an empty list): nothing is asked.
        DeleteProbe none;
        EXPECT_EQ(catalogue::DeleteRow(c.kind, 0, none.Callbacks()), catalogue::DeleteResult::NoRow);
        EXPECT_TRUE(none.questions.isEmpty());
    }
}

TEST(CatalogueDelete, StatementTexts)
{
    EXPECT_EQ(catalogue::DeleteStatements(CatalogueKind::Drivers, 17),
              (QStringList{QStringLiteral(" delete from KROM_KIEROWCY where ID_KIEROWCY = 17"),
                           QStringLiteral("update KIEROWCY set usuniety=1 where ID_KIEROWCY= :ID")}));
    EXPECT_EQ(catalogue::DeleteStatements(CatalogueKind::Tracks, 17),
              QStringList{QStringLiteral("update TORY set usuniety=1 where ID_TORU= :ID")});
    EXPECT_EQ(catalogue::DeleteStatements(CatalogueKind::VehicleProfiles, 17),
              QStringList{QStringLiteral("update POJAZDY  set usuniety=1 where ID_POJAZDU= :ID")});
}

TEST(CatalogueDelete, FailureIsShownAndChangesNothing)
{
    struct Case {
        CatalogueKind kind;
        const char* table;
        const char* liveSql;
    };
    const std::vector<Case> cases = {
        {CatalogueKind::Drivers, "KIEROWCY", "select USUNIETY from KIEROWCY where ID_KIEROWCY = 1"},
        {CatalogueKind::Tracks, "TORY", "select USUNIETY from TORY where ID_TORU = 1"},
        {CatalogueKind::VehicleProfiles, "POJAZDY", "select USUNIETY from POJAZDY where ID_POJAZDU = 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        TestDatabase db;
        AddDriver(db, 1, QStringLiteral("Kowalski"));
        AddTrack(db, 1, QStringLiteral("Lublin"));
        AddProfile(db, 1, QStringLiteral("Rain"));
        AddSerial(db, 1, QStringLiteral("1001"));
        AddSerial(db, 1, QStringLiteral("1002"));
        // The soft delete itself is refused by the database.
        db.Exec(QStringLiteral("create exception E_KEEP 'Rows of this table are locked'"));
        db.Exec(QStringLiteral("create trigger T_KEEP for %1 before update as begin "
                               "if (new.USUNIETY = 1) then exception E_KEEP; end")
                    .arg(QString::fromLatin1(c.table)));

        DeleteProbe probe;
        EXPECT_EQ(catalogue::DeleteRow(c.kind, 1, probe.Callbacks()), catalogue::DeleteResult::Failed);
        ASSERT_EQ(probe.messages.size(), 1);
        EXPECT_TRUE(probe.messages[0].startsWith(QStringLiteral("Error deleting record\n")))
            << probe.messages[0].toStdString();
        EXPECT_TRUE(probe.messages[0].contains(QStringLiteral("Rows of this table are locked")))
            << probe.messages[0].toStdString();
        EXPECT_EQ(Count(db, QString::fromLatin1(c.liveSql)), 0);
        // A driver keeps the serial numbers whose removal shared the transaction.
        EXPECT_EQ(Count(db, QStringLiteral("select count(*) from KROM_KIEROWCY where ID_KIEROWCY = 1")), 2);
    }
}
