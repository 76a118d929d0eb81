// The schema upgrade on a new base-schema file and on an up-to-date one.
#include <gtest/gtest.h>

#include <QStringList>

#include "shell/data/fbbulk.h"
#include "shell/data/schemaupgrade.h"
#include "shell/data/ubazy.h"
#include "support/testdb.h"

namespace {

// "TABLE.COLUMN" for every column of the program's tables, and the indexes.
QStringList Columns(TestDatabase& db)
{
    TIBQuery q(db.dm().TransBrowse);
    q.SetSQL(QStringLiteral("select trim(RDB$RELATION_NAME) || '.' || trim(RDB$FIELD_NAME) from RDB$RELATION_FIELDS "
                            "where RDB$SYSTEM_FLAG = 0 order by 1"));
    q.Open();
    QStringList r;
    for (; !q.Eof(); q.Next())
        r << q.FieldValue(0).toString();
    return r;
}

bool HasIndexOnPositions(TestDatabase& db)
{
    return db.Scalar(QStringLiteral("select count(*) from RDB$INDEX_SEGMENTS s join RDB$INDICES i on i.RDB$INDEX_NAME = s.RDB$INDEX_NAME "
                                    "where i.RDB$INDEX_NAME = 'POZYCJE_IDX1' and i.RDB$RELATION_NAME = 'POZYCJE'"))
               .toInt() == 2;
}

const QStringList kAdded = {
    "NAGLOWKI.TEMPERATURA", "NAGLOWKI.WILGOTNOSC", "NAGLOWKI.TOR_MOKRY", "NAGLOWKI.CISNIENIE",
    "NAGLOWKI.TOR_SUCHY", "NAGLOWKI.TOR_CZYSTY", "NAGLOWKI.TOR_BRUDNY", "NAGLOWKI.BYL_GPS",
    "POZYCJE.PREDKOSC_GPS", "POJAZDY.NAZWA", "KIEROWCY.USUNIETY", "POJAZDY.USUNIETY", "TORY.USUNIETY",
    "OKRAZENIA_REJ.AVG_OBROTY", "SEKTORY.AVG_OBROTY", "OKRAZENIA_REJ.AVG_ACC_OBROTY",
    "SEKTORY.AVG_ACC_OBROTY", "OKRAZENIA_REJ.AVG_DEC_OBROTY", "SEKTORY.AVG_DEC_OBROTY"};

}  // namespace

TEST(SchemaUpgrade, AddsEveryColumnAndTheIndexAndRevivesExistingRows)
{
    TestDatabase db(/*upgraded=*/false);
    const QStringList before = Columns(db);
    for (const QString& c : kAdded)
        EXPECT_FALSE(before.contains(c)) << c.toStdString() << " is in the base schema";
    EXPECT_FALSE(HasIndexOnPositions(db));

    // Rows that exist before the soft-delete column arrives stay visible.
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, NAZWISKO) values (1, 'Kowalski')"));
    db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA) values (100000, 'Bydgoszcz')"));
    db.Exec(QStringLiteral("insert into POJAZDY (ID_POJAZDU) values (1)"));

    UpgradeSchema(db.dm());

    const QStringList after = Columns(db);
    for (const QString& c : kAdded)
        EXPECT_TRUE(after.contains(c)) << c.toStdString() << " missing after the upgrade";
    EXPECT_EQ(after.size(), before.size() + kAdded.size());
    EXPECT_TRUE(HasIndexOnPositions(db));
    for (const char* table : {"KIEROWCY", "TORY", "POJAZDY"})
        EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from %1 where USUNIETY = 0").arg(table)).toInt(), 1)
            << table;
    EXPECT_FALSE(db.dm().TransEdit.Active());
}

TEST(SchemaUpgrade, ASecondRunChangesNothing)
{
    TestDatabase db;  // upgraded once already
    db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (100001, 'Deleted', 1)"));
    const QStringList before = Columns(db);
    UpgradeSchema(db.dm());
    EXPECT_EQ(Columns(db), before);
    EXPECT_TRUE(HasIndexOnPositions(db));
    // A softly deleted track stays deleted: the revival runs only with the new column.
    EXPECT_EQ(db.Scalar(QStringLiteral("select USUNIETY from TORY where ID_TORU = 100001")).toInt(), 1);
}

// The largest-id-plus-one reads of the growing tables are answered from a
// descending index, not by reading the whole table.
TEST(SchemaUpgrade, LargestIdsAreReadFromDescendingIndexes)
{
    const struct {
        const char* statement;
        const char* plan;
    } cases[] = {
        {"select max(ID_POZYCJI) as maks from POZYCJE", "PLAN (POZYCJE ORDER POZYCJE_ID_DESC)"},
        {"select max(id_nag) as maks from naglowki ", "PLAN (NAGLOWKI ORDER NAGLOWKI_ID_DESC)"},
    };
    TestDatabase db(/*upgraded=*/false);
    auto plans = [&] {
        FbTransaction tr(db.dm().TransBrowse.Database());
        tr.StartRead();
        QStringList out;
        for (const auto& c : cases)
            out << FbStatement(tr, QString::fromLatin1(c.statement)).Plan();
        return out;
    };
    for (const QString& plan : plans())
        EXPECT_TRUE(plan.contains(QStringLiteral("NATURAL"))) << plan.toStdString();

    for (int run = 1; run <= 2; ++run) {  // the second run finds the indexes and changes nothing
        UpgradeSchema(db.dm());
        const QStringList after = plans();
        for (size_t i = 0; i < std::size(cases); ++i)
            EXPECT_EQ(after[int(i)], QString::fromLatin1(cases[i].plan)) << run;
    }
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from RDB$INDICES where RDB$INDEX_NAME in "
                                       "('POZYCJE_ID_DESC', 'NAGLOWKI_ID_DESC') and RDB$INDEX_TYPE = 1"))
                  .toInt(),
              2);
}

// The reads of a session's laps and sectors find their rows through an
// index instead of reading the whole table.
TEST(SchemaUpgrade, LapsAndSectorsOfASessionAreReadThroughIndexes)
{
    const struct {
        const char* statement;
        const char* index;
    } cases[] = {
        {"select * from OKRAZENIA_REJ where ID_NAGLOWKA = :NAG order by nr", "OKRAZENIA_REJ_IDX1"},
        {"select * from SEKTORY where ID_NAGLOWKA = :NAG and NR_OKRAZENIA = :NR_OKRAZENIA", "SEKTORY_IDX1"},
        {"select max(NR_SEKTORA) as sektor from SEKTORY where ID_NAGLOWKA = :NAG", "SEKTORY_IDX1"},
        {"select * from POZYCJE where ID_NAGLOWKA = :NAG order by data_ss", "POZYCJE_IDX1"},
    };
    TestDatabase db(/*upgraded=*/false);
    for (int run = 0; run <= 2; ++run) {  // before the upgrade, after it, and after a second one
        if (run > 0)
            UpgradeSchema(db.dm());
        FbTransaction tr(db.dm().TransBrowse.Database());
        tr.StartRead();
        for (const auto& c : cases) {
            const QString plan = FbStatement(tr, QString::fromLatin1(c.statement)).Plan();
            EXPECT_EQ(plan.contains(QLatin1String(c.index)), run > 0) << run << " " << plan.toStdString();
            EXPECT_EQ(plan.contains(QLatin1String("NATURAL")), run == 0) << run << " " << plan.toStdString();
        }
    }
}
