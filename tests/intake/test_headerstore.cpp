// The database half of the session header form, against a real database.
#include <gtest/gtest.h>

#include "intake/headerstore.h"
#include "support/testdb.h"

namespace {

class HeaderStoreTest : public ::testing::Test {
protected:
    TestDatabase db;

    static SessionHeaderRecord Header()
    {
        SessionHeaderRecord h;
        h.SetByte(0, 4);  // race index
        h.SetByte(1, 14);
        h.SetByte(2, 3);
        h.SetByte(3, 59);
        h.SetByte(4, 18);
        h.SetByte(5, 5);
        h.SetWord(6, 2024);
        h.SetByte(9, 12);
        h.SetWord(10, 321);
        for (const SetupColumn& w : kSetupColumns)
            h.SetWord(w.headerOffset, static_cast<uint16_t>(1000 + w.headerOffset));
        h.SetWord(76, 65535);   // unsigned 16-bit
        h.SetDWord(132, 6534);  // 65.34 s
        h.SetWord(136, 13840);
        h.SetWord(138, 2150);
        h.SetDWord(140, 4321);  // 43.21 s
        h.SetDriverText(QStringLiteral("ANNA"));
        return h;
    }

    QVariant Column(int idNag, const QString& column)
    {
        return db.Scalar(QStringLiteral("select %1 from NAGLOWKI where ID_NAG = %2").arg(column).arg(idNag));
    }
    int Rows() { return db.Scalar(QStringLiteral("select count(*) from NAGLOWKI")).toInt(); }
};

TEST_F(HeaderStoreTest, ProposedDriverComesFromTheSerialsLink)
{
    db.Exec(QStringLiteral("insert into KROM_KIEROWCY (ID_KIEROWCY, NR_SER_KROM) values (7, '77')"));
    db.Exec(QStringLiteral("insert into KROM_KIEROWCY (ID_KIEROWCY, NR_SER_KROM) values (0, '90')"));
    EXPECT_EQ(ProposeDriver(QStringLiteral("77")), 7);
    EXPECT_EQ(ProposeDriver(QStringLiteral("78")), 0);  // not linked
    EXPECT_EQ(ProposeDriver(QStringLiteral("90")), 0);  // linked to no driver
    EXPECT_EQ(ProposeDriver(QStringLiteral("7' or '1'='1")), 0);
}

TEST_F(HeaderStoreTest, NamesAndVehicleSetup)
{
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO) values (3, 'Jan', 'Kowalski')"));
    db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA) values (100005, 'Boruta')"));
    EXPECT_EQ(DriverName(3), QStringLiteral("Jan Kowalski"));
    EXPECT_EQ(DriverName(4), QStringLiteral(" "));
    EXPECT_EQ(TrackName(100005), QStringLiteral("Boruta"));
    EXPECT_EQ(TrackName(1), QString());

    QStringList columns, values;
    for (size_t i = 0; i < kSetupColumns.size(); ++i) {
        columns.append(QString::fromLatin1(kSetupColumns[i].column));
        values.append(QString::number(500 + 3 * static_cast<int>(i)));
    }
    db.Exec(QStringLiteral("insert into POJAZDY (ID_POJAZDU, %1) values (9, %2)")
                .arg(columns.join(u','), values.join(u',')));
    const auto setup = VehicleSetup(9);
    ASSERT_TRUE(setup.has_value());
    for (size_t i = 0; i < kSetupColumns.size(); ++i)
        EXPECT_EQ((*setup)[i], 500 + 3 * static_cast<int>(i)) << kSetupColumns[i].column;
    EXPECT_FALSE(VehicleSetup(10).has_value());

    SessionHeaderRecord h;
    std::array<int, 30> v = *setup;
    v[0] = 0x12345;  // only the low 16 bits reach the header word
    ApplySetup(h, v);
    EXPECT_EQ(h.SetupValue(kSetupColumns[0].headerOffset), 0x2345);
    EXPECT_EQ(h.SetupValue(kSetupColumns[29].headerOffset), 500 + 3 * 29);
}

TEST_F(HeaderStoreTest, OperatingCounterText)
{
    const struct {
        int minutes;
        const char* text;
    } cases[] = {{125, "2:05"}, {0, "0:00"}, {59, "0:59"}, {600, "10:00"}, {65535, "1092:15"}};
    for (const auto& c : cases)
        EXPECT_EQ(OperatingCounterText(c.minutes), QString::fromLatin1(c.text));
}

TEST_F(HeaderStoreTest, InsertWritesTheFortyTwoColumns)
{
    QString error;
    const SessionHeaderRecord h = Header();
    ASSERT_EQ(InsertHeader(QStringLiteral("77"), h, 3, 100005, &error), 1) << error.toStdString();

    EXPECT_EQ(Column(1, QStringLiteral("NR_SERYJNY_KROM")).toString(), QStringLiteral("77"));
    const QDateTime end = Column(1, QStringLiteral("DATA_KONIEC")).toDateTime();
    EXPECT_EQ(end.date(), QDate(2024, 5, 18));
    EXPECT_EQ(end.time(), QTime(14, 3, 59, 0));
    // 65.34 seconds before the end, the hundredths kept.
    const QDateTime start = Column(1, QStringLiteral("DATA_START")).toDateTime();
    EXPECT_EQ(start.date(), QDate(2024, 5, 18));
    EXPECT_EQ(start.time(), QTime(14, 2, 53, 660));
    EXPECT_EQ(Column(1, QStringLiteral("ID_KIEROWCY")).toInt(), 3);
    EXPECT_EQ(Column(1, QStringLiteral("ID_TORU")).toInt(), 100005);
    EXPECT_EQ(Column(1, QStringLiteral("ILOSC_OKRAZEN")).toInt(), 12);
    EXPECT_EQ(Column(1, QStringLiteral("MAKS_OBROTY")).toInt(), 13840);
    EXPECT_EQ(Column(1, QStringLiteral("MIN_OBROTY")).toInt(), 2150);
    EXPECT_EQ(Column(1, QStringLiteral("NUMER_WYSCIGU")).toInt(), 4);  // the byte, not the listed + 1
    for (const SetupColumn& w : kSetupColumns) {
        const int expected = w.headerOffset == 76 ? 65535 : 1000 + w.headerOffset;
        EXPECT_EQ(Column(1, QString::fromLatin1(w.column)).toInt(), expected) << w.column;
    }
    const QDateTime best = Column(1, QStringLiteral("TEORETYCZNIA_NAJ_DT")).toDateTime();
    EXPECT_EQ(best.date(), QDate(1899, 12, 30));
    EXPECT_EQ(best.time(), QTime(0, 0, 43, 210));
    EXPECT_EQ(Column(1, QStringLiteral("TEORETYCZNIE_NAJLEPSZE")).toInt(), 4321);
    // Written later by the import, or never.
    EXPECT_TRUE(Column(1, QStringLiteral("START_PIERWSZ_OKR")).isNull());
    EXPECT_TRUE(Column(1, QStringLiteral("BYL_GPS")).isNull());
    EXPECT_TRUE(Column(1, QStringLiteral("TEMPERATURA")).isNull());

    // The next id is the largest plus one; a signed best stays signed.
    db.Exec(QStringLiteral("insert into NAGLOWKI (ID_NAG) values (40)"));
    SessionHeaderRecord other = h;
    other.SetByte(3, 58);
    other.SetDWord(140, static_cast<uint32_t>(-250));
    EXPECT_EQ(InsertHeader(QStringLiteral("77"), other, 3, 100005, &error), 41);
    EXPECT_EQ(Column(41, QStringLiteral("TEORETYCZNIE_NAJLEPSZE")).toInt(), -250);

    // A file name without serial stores an empty serial, not NULL, so the
    // stored-session tests find it again.
    other.SetByte(3, 57);
    EXPECT_EQ(InsertHeader(QString(), other, 3, 100005, &error), 42);
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from NAGLOWKI where NR_SERYJNY_KROM = ''")).toInt(), 1);
}

// A duplicate is the same logger's session with the same end, driver and
// track; another logger's session ending at the same second under the same
// driver and track is a session of its own.
TEST_F(HeaderStoreTest, EqualEndDriverAndTrackIsADuplicateOnlyFromTheSameLogger)
{
    const SessionHeaderRecord h = Header();
    ASSERT_EQ(InsertHeader(QStringLiteral("77"), h, 3, 5), 1);
    EXPECT_EQ(InsertHeader(QStringLiteral("77"), h, 3, 5), 0);
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(InsertHeader(QStringLiteral("78"), h, 3, 5), 2);
    EXPECT_EQ(InsertHeader(QStringLiteral("78"), h, 3, 5), 0);
    // Another driver or track is another session.
    EXPECT_EQ(InsertHeader(QStringLiteral("78"), h, 4, 5), 3);
    EXPECT_EQ(InsertHeader(QStringLiteral("78"), h, 3, 6), 4);
    EXPECT_EQ(Rows(), 4);
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from NAGLOWKI where NR_SERYJNY_KROM = '78'")).toInt(), 3);
}

TEST_F(HeaderStoreTest, AFailedInsertIsReportedWithTheDatabasesText)
{
    db.Exec(QStringLiteral("alter table NAGLOWKI add constraint CHK_TEST_LAPS check (ILOSC_OKRAZEN < 10)"));
    QString error;
    EXPECT_EQ(InsertHeader(QStringLiteral("77"), Header(), 3, 5, &error), -1);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Rows(), 0);
    EXPECT_FALSE(DM->TransEdit.Active());

    SessionHeaderRecord invalid = Header();
    invalid.SetByte(5, 13);
    EXPECT_EQ(InsertHeader(QStringLiteral("77"), invalid, 3, 5, &error), -1);
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
