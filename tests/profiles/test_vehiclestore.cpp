// The vehicle profile store and the session set-up read against a real
// database file: every set-up value in its own column, ids, soft delete,
// the failed write and the proposed profile name.
#include "profiles/vehiclestore.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <ostream>
#include <set>

#include "support/testdb.h"

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class VehicleStoreTest : public ::testing::Test {
protected:
    TestDatabase db;
};

// Distinct values per edit, so that two columns swapped show.
SetupValues DistinctValues(int seed)
{
    SetupValues v{};
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = seed + static_cast<int>(i) * 11 + 1;
    return v;
}

QString Col(size_t i) { return QString::fromLatin1(kSetupColumns[i].column); }

TEST(SetupColumnsTable, NamesThirtyDistinctColumnsAndFillsBothGroups)
{
    std::set<std::string> columns, offsets, cells;
    for (const SetupColumn& c : kSetupColumns) {
        columns.insert(c.column);
        offsets.insert(std::to_string(c.headerOffset));
        cells.insert(std::to_string(int(c.group)) + ":" + std::to_string(c.row) + ":" + std::to_string(c.col));
    }
    EXPECT_EQ(columns.size(), 30u);
    EXPECT_EQ(offsets.size(), 30u);
    EXPECT_EQ(cells.size(), 30u);  // no two edits on one place
    // The two that are easy to mix up.
    EXPECT_STREQ(kSetupColumns[17].caption, "Additional stiff.front");
    EXPECT_STREQ(kSetupColumns[17].column, "RAMA_DOD_SZTYW_PRZOD");
    EXPECT_STREQ(kSetupColumns[18].caption, "Front rack");
    EXPECT_STREQ(kSetupColumns[18].column, "RAMA_ZEBATKA_PRZOD");
}

TEST_F(VehicleStoreTest, EverySetupValueGoesIntoItsOwnColumnAndBack)
{
    VehicleProfile p;
    p.name = QStringLiteral("Tony Kart, dry");
    p.values = DistinctValues(100);
    const int id = SaveVehicle(-1, p);
    ASSERT_EQ(id, 1);
    for (size_t i = 0; i < kSetupColumns.size(); ++i) {
        SCOPED_TRACE(kSetupColumns[i].caption);
        EXPECT_EQ(db.Scalar("select " + Col(i) + " from POJAZDY where ID_POJAZDU=1").toInt(), p.values[i]);
    }
    VehicleProfile back;
    ASSERT_TRUE(LoadVehicle(id, back));
    EXPECT_EQ(back.name, p.name);
    EXPECT_EQ(back.values, p.values);

    // And through the update.
    p.values = DistinctValues(5000);
    ASSERT_EQ(SaveVehicle(id, p), id);
    ASSERT_TRUE(LoadVehicle(id, back));
    EXPECT_EQ(back.values, p.values);
    EXPECT_NE(back.values[17], back.values[18]);
}

TEST_F(VehicleStoreTest, IdsNamesAndSoftDelete)
{
    VehicleProfile p;
    p.name = QStringLiteral("  blanks kept  ");
    EXPECT_EQ(SaveVehicle(-1, p), 1);
    EXPECT_EQ(SaveVehicle(0, p), 2);
    EXPECT_EQ(db.Scalar("select NAZWA from POJAZDY where ID_POJAZDU=1").toString(), "  blanks kept  ");

    db.Exec("update POJAZDY set USUNIETY=1 where ID_POJAZDU=2");
    p.name = QStringLiteral("revived");
    ASSERT_EQ(SaveVehicle(2, p), 2);
    EXPECT_EQ(db.Scalar("select USUNIETY from POJAZDY where ID_POJAZDU=2").toInt(), 0);
    EXPECT_EQ(db.Scalar("select NAZWA from POJAZDY where ID_POJAZDU=2").toString(), "revived");
    EXPECT_EQ(db.Scalar("select count(*) from POJAZDY").toInt(), 2);

    // A row with NULL set-up columns reads zeros.
    db.Exec("insert into POJAZDY (ID_POJAZDU, NAZWA, USUNIETY) values (9, 'bare', 0)");
    VehicleProfile bare;
    bare.values = DistinctValues(1);
    ASSERT_TRUE(LoadVehicle(9, bare));
    EXPECT_EQ(bare.values, SetupValues{});
    EXPECT_EQ(SaveVehicle(-1, p), 10);
    EXPECT_FALSE(LoadVehicle(77, bare));
}

TEST_F(VehicleStoreTest, AFailedWriteStoresNothing)
{
    db.Exec("insert into POJAZDY (ID_POJAZDU, NAZWA, USUNIETY) values (1, 'kept', 0)");
    VehicleProfile p;
    p.name = QString(101, u'n');  // NAZWA holds 100 characters
    for (int id : {-1, 1}) {
        SCOPED_TRACE(id);
        QString error;
        EXPECT_EQ(SaveVehicle(id, p, &error), -1);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(db.Scalar("select count(*) from POJAZDY").toInt(), 1);
        EXPECT_EQ(db.Scalar("select NAZWA from POJAZDY where ID_POJAZDU=1").toString(), "kept");
    }
}

TEST_F(VehicleStoreTest, SessionSetupWithItsDriverAndTrack)
{
    QString insert = QStringLiteral("insert into NAGLOWKI (ID_NAG, ID_KIEROWCY, ID_TORU, DATA_START");
    QString values = QStringLiteral(" values (%1, %2, %3, '2023-06-17 14:05:09'");
    const SetupValues setup = DistinctValues(300);
    for (size_t i = 0; i < kSetupColumns.size(); ++i) {
        insert += ", " + Col(i);
        values += ", " + QString::number(setup[i]);
    }
    db.Exec("insert into KIEROWCY (ID_KIEROWCY, NAZWISKO, USUNIETY) values (4, 'Verstappen', 0)");
    db.Exec("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (100000, 'Genk', 0)");
    db.Exec(insert + ")" + values.arg(12).arg(4).arg(100000) + ")");
    db.Exec(insert + ")" + values.arg(13).arg(99).arg(100099) + ")");

    SessionSetup s;
    ASSERT_TRUE(LoadSessionSetup(12, s));
    EXPECT_EQ(s.values, setup);
    EXPECT_EQ(s.surname, "Verstappen");
    EXPECT_EQ(s.trackName, "Genk");
    const QDateTime start(QDate(2023, 6, 17), QTime(14, 5, 9));
    EXPECT_EQ(s.start, start);
    const QString name = SessionSetupName(s);
    EXPECT_TRUE(name.startsWith(QLocale().toString(start.date(), QLocale::ShortFormat))) << name.toStdString();
    EXPECT_TRUE(name.contains("14")) << name.toStdString();
    EXPECT_TRUE(name.contains("05")) << name.toStdString();
    EXPECT_TRUE(name.endsWith(" : Verstappen : Genk")) << name.toStdString();

    // Driver and track rows gone: empty parts.
    SessionSetup orphan;
    ASSERT_TRUE(LoadSessionSetup(13, orphan));
    EXPECT_TRUE(SessionSetupName(orphan).endsWith(" :  : ")) << SessionSetupName(orphan).toStdString();
    EXPECT_FALSE(LoadSessionSetup(14, orphan));
}

}  // namespace
