// The session list of the dump files of a folder, against a real database.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "intake/sessionlist.h"
#include "kromsim.h"
#include "support/testdb.h"

namespace {

SessionHeaderRecord Entry(int race, int day, int hour, int laps, const QString& driver, const QString& track)
{
    SessionHeaderRecord h;
    h.SetByte(0, static_cast<uint8_t>(race));
    h.SetByte(1, static_cast<uint8_t>(hour));
    h.SetByte(2, 15);
    h.SetByte(3, 30);
    h.SetByte(4, static_cast<uint8_t>(day));
    h.SetByte(5, 6);
    h.SetWord(6, 2024);
    h.SetByte(9, static_cast<uint8_t>(laps));
    h.SetDriverText(driver);
    h.SetTrackText(track);
    return h;
}

class SessionListTest : public ::testing::Test {
protected:
    TestDatabase db;
    QTemporaryDir folder;
    QStringList messages;

    void Save(const QString& name, const kromsim::DumpImage& image)
    {
        ASSERT_TRUE(image.Save(folder.filePath(name)));
    }
    void Build()
    {
        BuildSessionList(folder.path(), [this](const QString& m) { messages.append(m); });
    }
    MemTable& Mem() { return db.dm().memPrzejazdy; }
    QVariant At(int row, const char* field) { return Mem().ValueAt(row, Mem().FieldIndex(QString::fromLatin1(field))); }
};

TEST_F(SessionListTest, DumpFileNamesFollowTheMaskInSortedOrder)
{
    for (const char* name : {"dane2_2.bin", "DANE3_1.BIN", "dane10_1.bin", "dane1_1.bin", "other.bin", "dane4.txt",
                             "xdane5_1.bin", "dane.bin"}) {
        QFile f(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(DumpFileNames(folder.path()),
              (QStringList{"dane.bin", "dane10_1.bin", "dane1_1.bin", "dane2_2.bin", "DANE3_1.BIN"}));
}

TEST_F(SessionListTest, ListsValidEntriesInFileAndEntryOrder)
{
    kromsim::DumpImage a(kMinDumpRecords);
    a.SetHeader(1, Entry(0, 20, 16, 5, QStringLiteral("ANNA"), QStringLiteral("BORUTA")));
    // Entry 2 stays free (0xFF).
    SessionHeaderRecord impossible = Entry(2, 31, 10, 3, {}, {});
    impossible.SetByte(5, 2);  // 31 February
    a.SetHeader(3, impossible);
    a.SetHeader(4, Entry(3, 10, 9, 7, QStringLiteral("Łukasz"), QStringLiteral("Radom")));  // earlier end
    a.SetHeader(48, Entry(47, 1, 8, 0, QStringLiteral("ZOE"), QStringLiteral("X")));
    Save(QStringLiteral("dane2_77.bin"), a);

    kromsim::DumpImage b(kFullDumpRecords);
    b.SetHeader(2, Entry(1, 5, 12, 9, QStringLiteral("BEN"), QStringLiteral("Y")));
    Save(QStringLiteral("dane1_78.bin"), b);

    Build();
    EXPECT_TRUE(messages.isEmpty());
    ASSERT_EQ(Mem().RecordCount(), 4);
    const struct {
        const char* file;
        int fileNo, entry, race, laps;
        const char* serial;
        const char* driver;
    } expected[] = {
        {"dane1_78.bin", 0, 2, 2, 9, "78", "BEN         "},
        {"dane2_77.bin", 1, 1, 1, 5, "77", "ANNA        "},
        {"dane2_77.bin", 1, 4, 4, 7, "77", "Łukasz      "},
        {"dane2_77.bin", 1, 48, 48, 0, "77", "ZOE         "},
    };
    for (int r = 0; r < 4; ++r) {
        const auto& e = expected[r];
        EXPECT_EQ(At(r, "plik").toString(), QString::fromUtf8(e.file)) << r;
        EXPECT_EQ(At(r, "nr_pliku").toInt(), e.fileNo) << r;
        EXPECT_EQ(At(r, "numer_wpisu").toInt(), e.entry) << r;
        EXPECT_EQ(At(r, "nr_wyscigu").toInt(), e.race) << r;
        EXPECT_EQ(At(r, "ile_okrazen").toInt(), e.laps) << r;
        EXPECT_EQ(At(r, "nr_seryjny").toString(), QString::fromUtf8(e.serial)) << r;
        EXPECT_EQ(At(r, "kierowca").toString(), QString::fromUtf8(e.driver)) << r;
        EXPECT_TRUE(At(r, "wybrany").toBool()) << r;
        EXPECT_FALSE(At(r, "jestwbazie").toBool()) << r;
    }
    EXPECT_EQ(At(1, "tor").toString(), QStringLiteral("BORUTA      "));
    const QDateTime end = FromTDateTime(Mem().FloatAt(1, Mem().FieldIndex(QStringLiteral("data"))));
    EXPECT_EQ(end, QDateTime(QDate(2024, 6, 20), QTime(16, 15, 30)));
}

TEST_F(SessionListTest, StoredSessionIsListedUntickedAndEmptySerialIsCompared)
{
    kromsim::DumpImage a(kMinDumpRecords);
    a.SetHeader(1, Entry(0, 20, 16, 5, {}, {}));
    a.SetHeader(2, Entry(1, 20, 17, 5, {}, {}));
    Save(QStringLiteral("dane1_77.bin"), a);
    Save(QStringLiteral("dane9.bin"), a);  // no "_": empty serial

    db.Exec(QStringLiteral("insert into NAGLOWKI (ID_NAG, NR_SERYJNY_KROM, DATA_KONIEC) "
                           "values (1, '77', '2024-06-20 17:15:30')"));
    db.Exec(QStringLiteral("insert into NAGLOWKI (ID_NAG, NR_SERYJNY_KROM, DATA_KONIEC) "
                           "values (2, '', '2024-06-20 16:15:30')"));
    Build();
    ASSERT_EQ(Mem().RecordCount(), 4);
    const struct {
        const char* serial;
        int entry;
        bool stored;
    } expected[] = {{"77", 1, false}, {"77", 2, true}, {"", 1, true}, {"", 2, false}};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(At(r, "nr_seryjny").toString(), QString::fromLatin1(expected[r].serial)) << r;
        EXPECT_EQ(At(r, "numer_wpisu").toInt(), expected[r].entry) << r;
        EXPECT_EQ(At(r, "jestwbazie").toBool(), expected[r].stored) << r;
        EXPECT_EQ(At(r, "wybrany").toBool(), !expected[r].stored) << r;
    }
}

TEST_F(SessionListTest, ShortFileIsSkippedWithAMessageAndTheOthersListed)
{
    kromsim::DumpImage a(kMinDumpRecords);
    a.SetHeader(1, Entry(0, 20, 16, 5, {}, {}));
    Save(QStringLiteral("dane1_77.bin"), a);
    {
        QFile f(folder.filePath(QStringLiteral("dane2_78.bin")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(a.Bytes().left(127 * kDumpRecordSize + 255));  // one byte short of 128 records
    }
    Save(QStringLiteral("dane3_79.bin"), a);

    // The list is rebuilt from scratch every time.
    Build();
    Build();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("dane2_78.bin")));
    ASSERT_EQ(Mem().RecordCount(), 2);
    EXPECT_EQ(At(0, "nr_pliku").toInt(), 0);
    EXPECT_EQ(At(1, "nr_pliku").toInt(), 2);  // still its place in the file list
    EXPECT_EQ(At(1, "plik").toString(), QStringLiteral("dane3_79.bin"));
}

// A serial in a file name that the database cannot take is refused with a
// message naming the file; the files beside it are listed, a serial of 30
// characters among them, and no bulk update of the list table stays open.
TEST_F(SessionListTest, FileWhoseSerialCannotBeStoredIsRefusedAndTheOthersListed)
{
    kromsim::DumpImage a(kMinDumpRecords);
    a.SetHeader(1, Entry(0, 20, 16, 5, {}, {}));
    const QString longest(30, u'7');
    const QString tooLong = longest + u'8';
    Save(QStringLiteral("dane1_77.bin"), a);
    Save(QStringLiteral("dane2_%1.bin").arg(tooLong), a);
    Save(QStringLiteral("dane3_%1.bin").arg(longest), a);
    Save(QStringLiteral("dane4_7\u4E2D7.bin"), a);

    Build();
    EXPECT_EQ(messages,
              (QStringList{QStringLiteral("File dane2_%1.bin was skipped: its logger serial \"%1\" has 31 characters; "
                                          "at most 30 can be stored.")
                               .arg(tooLong),
                           QStringLiteral("File dane4_7\u4E2D7.bin was skipped: its logger serial \"7\u4E2D7\" holds "
                                          "the character \"\u4E2D\", which the database cannot store.")}));
    ASSERT_EQ(Mem().RecordCount(), 2);
    EXPECT_EQ(At(0, "plik").toString(), QStringLiteral("dane1_77.bin"));
    EXPECT_EQ(At(1, "nr_seryjny").toString(), longest);
    EXPECT_EQ(At(1, "nr_pliku").toInt(), 2);
    EXPECT_THROW(Mem().EndBulk(), MemTableError);

    // A database error part way ends the bulk update too.
    db.Exec(QStringLiteral("drop table NAGLOWKI"));
    EXPECT_THROW(Build(), DatabaseError);
    EXPECT_THROW(Mem().EndBulk(), MemTableError);
}

}  // namespace
