// Track transfer files against real database files: the file as written,
// the round trip export -> import into a second database, the values the
// reader gives, the two passes, and files from elsewhere that must not reach
// the database (other tables or columns, side files outside the folder,
// a row that fails half-way).
#include "profiles/trackfile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <set>
#include <vector>

#include <sys/stat.h>

#include "platform/tdatetime.h"
#include "shell/common/cp1250.h"
#include "shell/common/stale.h"
#include "support/testdb.h"

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// One TORY row as the tests write it; an invalid QVariant is NULL.
struct Row {
    int id = 0;
    QVariant name = {}, description = {}, length = {}, recordDate = {}, recordPerson = {}, record = {}, photo = {},
             skip = {}, stripes = {}, timeout = {}, www = {}, phone = {}, deleted = {};
};

const char* const kColumns[] = {"ID_TORU",      "NAZWA",   "OPIS",         "DLUGOSC",            "DATA_REKORD",
                                "OSOBA_REKORD", "REKORD",  "ZDJECIE",      "ILE_POMINAC_PASKOW", "ILOSC_PASKOW",
                                "LAP_TIMEOUT",  "STRONA_WWW", "TEL",       "USUNIETY"};

void Insert(TDM& dm, const Row& r)
{
    TIBQuery q(dm.TransEdit);
    q.SetSQL(QStringLiteral(
        "insert into TORY (ID_TORU, NAZWA, OPIS, DLUGOSC, DATA_REKORD, OSOBA_REKORD, REKORD, ZDJECIE,"
        " ILE_POMINAC_PASKOW, ILOSC_PASKOW, LAP_TIMEOUT, STRONA_WWW, TEL, USUNIETY) values (:ID, :NAZWA, :OPIS,"
        " :DLUGOSC, :DATA_REKORD, :OSOBA_REKORD, :REKORD, :ZDJECIE, :SKIP, :STRIPES, :TIMEOUT, :WWW, :TEL, :DEL)"));
    q.ParamByName(QStringLiteral("ID"), r.id);
    q.ParamByName(QStringLiteral("NAZWA"), r.name);
    q.ParamByName(QStringLiteral("OPIS"), r.description);
    q.ParamByName(QStringLiteral("DLUGOSC"), r.length);
    q.ParamByName(QStringLiteral("DATA_REKORD"), r.recordDate);
    q.ParamByName(QStringLiteral("OSOBA_REKORD"), r.recordPerson);
    q.ParamByName(QStringLiteral("REKORD"), r.record);
    q.ParamByName(QStringLiteral("ZDJECIE"), r.photo);
    q.ParamByName(QStringLiteral("SKIP"), r.skip);
    q.ParamByName(QStringLiteral("STRIPES"), r.stripes);
    q.ParamByName(QStringLiteral("TIMEOUT"), r.timeout);
    q.ParamByName(QStringLiteral("WWW"), r.www);
    q.ParamByName(QStringLiteral("TEL"), r.phone);
    q.ParamByName(QStringLiteral("DEL"), r.deleted);
    ASSERT_TRUE(dm.ExecEdit(q)) << dm.LastEditError().toStdString();
}

// Every column of every track, ordered by id, as comparable texts.
std::vector<QStringList> Tracks(TDM& dm)
{
    TIBQuery q(dm.TransBrowse);
    QStringList columns;
    for (const char* c : kColumns)
        columns << QString::fromLatin1(c);
    q.SetSQL(QStringLiteral("select %1 from TORY order by ID_TORU").arg(columns.join(u',')));
    q.Open();
    std::vector<QStringList> rows;
    for (; !q.Eof(); q.Next()) {
        QStringList row;
        for (int i = 0; i < q.FieldCount(); ++i) {
            const QVariant v = q.FieldValue(i);
            if (!v.isValid() || v.isNull())
                row << QStringLiteral("<NULL>");
            else if (v.typeId() == QMetaType::QByteArray)
                row << QString::fromLatin1(v.toByteArray().toHex());
            else if (v.typeId() == QMetaType::QDateTime)
                row << v.toDateTime().toString(Qt::ISODateWithMs);
            else
                row << v.toString();
        }
        rows.push_back(row);
    }
    return rows;
}

// Every row of every table of the database as sorted texts, per table;
// the TORY rows of the ids in except are left out.
std::map<QString, QStringList> AllTables(const std::set<int>& except = {})
{
    TIBQuery tables(DM->TransBrowse);
    tables.SetSQL(QStringLiteral("select RDB$RELATION_NAME from RDB$RELATIONS"
                                 " where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and RDB$VIEW_BLR is null"));
    tables.Open();
    QStringList names;
    for (; !tables.Eof(); tables.Next())
        names << tables.FieldValue(0).toString().trimmed();
    tables.Close();
    std::map<QString, QStringList> all;
    for (const QString& table : names) {
        TIBQuery q(DM->TransBrowse);
        q.SetSQL(QStringLiteral("select * from ") + table);
        q.Open();
        QStringList& rows = all[table];
        for (; !q.Eof(); q.Next()) {
            if (table == QLatin1String("TORY") && except.count(q.FieldByName(QStringLiteral("ID_TORU")).AsInteger()))
                continue;
            QStringList row;
            for (int i = 0; i < q.FieldCount(); ++i) {
                const QVariant v = q.FieldValue(i);
                row << (v.isNull() ? QStringLiteral("<NULL>")
                        : v.typeId() == QMetaType::QByteArray ? QString::fromLatin1(v.toByteArray().toHex())
                                                              : v.toString());
            }
            rows << row.join(u'|');
        }
        rows.sort();
    }
    return all;
}

// Bytes that a text conversion would spoil: every byte value, line ends,
// end-of-file marks and zeros.
QByteArray PictureBytes(int seed)
{
    QByteArray b("\xFF\xD8\xFF\xE0", 4);
    for (int i = 0; i < 700; ++i)
        b.append(static_cast<char>((i * 37 + seed) & 0xFF));
    b.append("\r\n\n\r\x1A", 6);
    return b;
}

QDateTime At(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

class TrackFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(db.Folder());
        ASSERT_TRUE(QDir().mkpath(TrackTransferFolder()));
        folder = TrackTransferFolder();
    }
    void TearDown() override { SetProgramFolder(QString()); }

    QStringList FileLines(const QString& name)
    {
        QFile f(folder + name);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        return TransferFileLines(f.readAll());
    }
    // The value lines of one column's block in a track's file.
    QStringList Block(int id, const char* column)
    {
        QStringList out;
        EXPECT_TRUE(FindTagLine(FileLines(TrackFileName(id)), QString::fromLatin1(column), QStringLiteral("<"),
                                QStringLiteral(">"), out))
            << column;
        return out;
    }
    void WriteFile(const QString& name, const QStringList& lines)
    {
        QFile f(folder + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(TransferFileBytes(lines));
    }
    void WriteBytes(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    int SideFiles() { return QDir(folder).entryList({QStringLiteral("*.bin")}, QDir::Files).size(); }
    QVariant Column(const char* column, int id)
    {
        return db.Scalar(QStringLiteral("select %1 from TORY where ID_TORU=%2").arg(column).arg(id));
    }
    // The listed rows of memToryImport as "id name file".
    QStringList Listed()
    {
        MemTable& m = DM->memToryImport;
        QStringList out;
        for (int r = 0; r < m.RecordCount(); ++r)
            out << QStringLiteral("%1 %2 %3")
                       .arg(m.IntAt(r, m.FieldIndex(QStringLiteral("id_toru"))))
                       .arg(m.StringAt(r, m.FieldIndex(QStringLiteral("nazwaToru"))),
                            m.StringAt(r, m.FieldIndex(QStringLiteral("plik"))));
        return out;
    }
    TrackImportResult ImportAll()
    {
        EXPECT_TRUE(ListTrackFiles(folder).isEmpty());
        return ImportChosenTracks(folder);
    }

    TestDatabase db;
    QString folder;
};

// A minimal track file: the given field blocks and the table-name block.
QStringList TrackLines(const QStringList& blocks, const QString& table = QStringLiteral("TORY"))
{
    return blocks + QStringList{QStringLiteral("[TABLENAME]"), table, QStringLiteral("[!TABLENAME]")};
}

QStringList Field(const QString& name, int code, const QStringList& value)
{
    return QStringList{u'<' + name + u'>', QStringLiteral("<TYP>%1<!TYP>").arg(code)} + value +
           QStringList{QStringLiteral("<!") + name + u'>'};
}

// ----------------------------------------------------------------- writer

TEST_F(TrackFileTest, FileHoldsOneBlockPerColumnInTableOrderThenTheTableName)
{
    Insert(db.dm(), {100004, QStringLiteral("Łódź Kartodrom"), {}, 1.234, At(2006, 5, 7, 9, 3, 0, 870),
                     QStringLiteral("Żaneta"), QStringLiteral("0:45.12"), {}, 2, 9, 120,
                     QStringLiteral("www.kart.pl"), QString(), 0});
    QString error;
    ASSERT_EQ(ExportTracks(folder, &error), 1) << error.toStdString();

    const QStringList expected = {
        "<ID_TORU>", "<TYP>3<!TYP>", "100004", "<!ID_TORU>",
        "<NAZWA>", "<TYP>1<!TYP>", "Łódź Kartodrom", "<!NAZWA>",
        "<OPIS>", "<TYP>16<!TYP>", "EMPTY", "<!OPIS>",
        "<DLUGOSC>", "<TYP>6<!TYP>", "1.23", "<!DLUGOSC>",
        "<DATA_REKORD>", "<TYP>11<!TYP>", "2006-05-07 09:03:00", "<!DATA_REKORD>",
        "<OSOBA_REKORD>", "<TYP>1<!TYP>", "Żaneta", "<!OSOBA_REKORD>",
        "<REKORD>", "<TYP>1<!TYP>", "0:45.12", "<!REKORD>",
        "<ZDJECIE>", "<TYP>15<!TYP>", "EMPTY", "<!ZDJECIE>",
        "<ILE_POMINAC_PASKOW>", "<TYP>3<!TYP>", "2", "<!ILE_POMINAC_PASKOW>",
        "<ILOSC_PASKOW>", "<TYP>3<!TYP>", "9", "<!ILOSC_PASKOW>",
        "<LAP_TIMEOUT>", "<TYP>3<!TYP>", "120", "<!LAP_TIMEOUT>",
        "<STRONA_WWW>", "<TYP>1<!TYP>", "www.kart.pl", "<!STRONA_WWW>",
        "<TEL>", "<TYP>1<!TYP>", "", "<!TEL>",
        "<USUNIETY>", "<TYP>3<!TYP>", "0", "<!USUNIETY>",
        "[TABLENAME]", "TORY", "[!TABLENAME]",
    };
    EXPECT_EQ(FileLines(QStringLiteral("TORY_100004.txt2")), expected);
    EXPECT_EQ(SideFiles(), 0);  // NULL picture and memo: no side file

    // Code page 1250 bytes with CR LF line ends.
    QFile f(folder + QStringLiteral("TORY_100004.txt2"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("<ID_TORU>\r\n<TYP>3<!TYP>\r\n100004\r\n"));
    EXPECT_TRUE(bytes.contains(QByteArray("\xA3\xF3\x64\x9F Kartodrom\r\n")));  // Łódź
    EXPECT_TRUE(bytes.endsWith("[TABLENAME]\r\nTORY\r\n[!TABLENAME]\r\n"));
    EXPECT_FALSE(bytes.contains("\n\n"));
}

TEST_F(TrackFileTest, ValuesAsWritten)
{
    struct Case {
        const char* what;
        Row row;
        const char* column;
        QStringList lines;
    };
    const Case cases[] = {
        {"two decimals", {1, {}, {}, 1.234}, "DLUGOSC", {"1.23"}},
        {"negative rounding to zero keeps its sign", {2, {}, {}, -0.004}, "DLUGOSC", {"-0.00"}},
        {"NULL float", {3}, "DLUGOSC", {"0.00"}},
        {"NULL date-time", {4}, "DATA_REKORD", {"1899-12-30 00:00:00"}},
        {"milliseconds dropped", {5, {}, {}, {}, At(2024, 12, 31, 23, 59, 59, 999)}, "DATA_REKORD",
         {"2024-12-31 23:59:59"}},
        {"line break inside a text", {6, QStringLiteral("Tor\r\nPoznań")}, "NAZWA", {"Tor", "Poznań"}},
        {"NULL text", {7}, "NAZWA", {""}},
        {"NULL integer", {8}, "LAP_TIMEOUT", {""}},
        {"memo of blanks", {9, {}, QStringLiteral(" \r\n\t ")}, "OPIS", {"EMPTY"}},
        {"NULL picture", {10}, "ZDJECIE", {"EMPTY"}},
    };
    for (const Case& c : cases)
        Insert(db.dm(), c.row);
    ASSERT_EQ(ExportTracks(folder), int(std::size(cases)));
    for (const Case& c : cases)
        EXPECT_EQ(Block(c.row.id, c.column), c.lines) << c.what;
    EXPECT_EQ(SideFiles(), 0);
}

TEST_F(TrackFileTest, PicturesAndMemosGoToSideFilesOfUniqueNames)
{
    const QByteArray picture = PictureBytes(1);
    Insert(db.dm(), {1, QStringLiteral("A"), QStringLiteral("Opis toru: żwir\r\nzakręt"), {}, {}, {}, {}, picture});
    ASSERT_EQ(ExportTracks(folder), 1);

    const QString pictureName = Block(1, "ZDJECIE").value(0);
    const QString memoName = Block(1, "OPIS").value(0);
    const QRegularExpression pattern(QStringLiteral("^\\d{4}(_\\d{2}){5}_\\d{2,3}_\\d{1,3}_\\d{1,3}\\.bin$"));
    EXPECT_TRUE(pattern.match(pictureName).hasMatch()) << pictureName.toStdString();
    EXPECT_TRUE(pattern.match(memoName).hasMatch()) << memoName.toStdString();
    EXPECT_NE(pictureName, memoName);

    QFile p(folder + pictureName);
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    EXPECT_EQ(p.readAll(), picture);
    QFile m(folder + memoName);
    ASSERT_TRUE(m.open(QIODevice::ReadOnly));
    EXPECT_EQ(m.readAll(), UnicodeToCp1250(QStringLiteral("Opis toru: żwir\r\nzakręt")));

    // A second export writes the main file again and new side files; the
    // old ones stay.
    ASSERT_EQ(ExportTracks(folder), 1);
    EXPECT_EQ(SideFiles(), 4);
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.txt2")}).size(), 1);
    EXPECT_NE(Block(1, "ZDJECIE").value(0), pictureName);
}

TEST_F(TrackFileTest, ExportIntoAMissingFolderSaysSoAndWritesNothing)
{
    Insert(db.dm(), {1, QStringLiteral("A")});
    const QString missing = db.Folder() + QStringLiteral("nowhere/");
    QString error;
    EXPECT_EQ(ExportTracks(missing, &error), -1);
    EXPECT_EQ(error, MissingFolderMessage(missing));
    EXPECT_FALSE(QFileInfo::exists(missing));
}

// ----------------------------------------------------------------- round trip

TEST_F(TrackFileTest, RoundTripIntoASecondDatabaseKeepsEveryColumn)
{
    const std::vector<Row> rows = {
        {100000, QStringLiteral("Bydgoszcz Łęgnowo"), QStringLiteral("Nawierzchnia: asfalt\r\nDługość 1200 m"), 1.25,
         At(2006, 5, 7, 9, 3, 0), QStringLiteral("Michał Ślązak"), QStringLiteral("0:48.31"), PictureBytes(3), 1, 4,
         90, QStringLiteral("www.tor.pl"), QStringLiteral("+48 52 123 45 67"), 0},
        {100001, QStringLiteral("Radom"), QStringLiteral("Tor wewnętrzny"), 0.85, At(2010, 1, 31, 23, 59, 58),
         QStringLiteral("Ann"), QStringLiteral("0:31.02"), PictureBytes(9), 0, 2, 45, QStringLiteral("radom.pl"),
         QStringLiteral("123"), 0},
        // Softly deleted: travels like the others.
        {100002, QStringLiteral("Stary tor"), {}, -2.5, At(1999, 12, 31, 0, 0, 0), QStringLiteral("X"),
         QStringLiteral("1:00.00"), {}, 3, 1, 30, QStringLiteral("-"), QStringLiteral("-"), 1},
    };
    for (const Row& r : rows)
        Insert(db.dm(), r);
    const std::vector<QStringList> original = Tracks(db.dm());
    ASSERT_EQ(ExportTracks(folder), 3);

    TestDatabase second;  // becomes DM
    EXPECT_TRUE(ListTrackFiles(folder).isEmpty());
    EXPECT_EQ(Listed(), (QStringList{"100000 Bydgoszcz Łęgnowo TORY_100000.txt2", "100001 Radom TORY_100001.txt2",
                                     "100002 Stary tor TORY_100002.txt2"}));
    const TrackImportResult result = ImportChosenTracks(folder);
    EXPECT_EQ(result.imported, 3);
    EXPECT_EQ(result.failed, 0);
    EXPECT_EQ(TrackImportMessage(result), QStringLiteral("Finished. 3 tracks imported"));

    const std::vector<QStringList> copy = Tracks(second.dm());
    ASSERT_EQ(copy.size(), original.size());
    const int deletedColumn = int(std::size(kColumns)) - 1;
    for (size_t r = 0; r < copy.size(); ++r) {
        for (int c = 0; c < deletedColumn; ++c)
            EXPECT_EQ(copy[r][c], original[r][c]) << kColumns[c] << " of row " << r;
        EXPECT_EQ(copy[r][deletedColumn], QStringLiteral("0")) << "every imported track is live";
    }
}

// ----------------------------------------------------------------- reader

TEST_F(TrackFileTest, ValuesAsRead)
{
    struct Case {
        const char* what;
        QStringList field;
        const char* column;
        QVariant expected;  // invalid: NULL
    };
    const QDateTime zero(DayZero(), QTime(0, 0));
    const Case cases[] = {
        {"negative zero float", Field("DLUGOSC", 6, {"-0.00"}), "DLUGOSC", 0.0},
        {"float with blanks", Field("DLUGOSC", 6, {"  3.05 "}), "DLUGOSC", 3.05},
        {"empty float", Field("DLUGOSC", 6, {""}), "DLUGOSC", 0.0},
        {"leading blanks dropped", Field("NAZWA", 1, {"   Gdańsk"}), "NAZWA", QStringLiteral("Gdańsk")},
        {"two value lines", Field("NAZWA", 1, {"Tor", "Poznań"}), "NAZWA", QStringLiteral("Tor\r\nPoznań")},
        {"integer that is not one", Field("LAP_TIMEOUT", 3, {"abc"}), "LAP_TIMEOUT", 0},
        {"date-time", Field("DATA_REKORD", 11, {"2006-05-07 09:03:00"}), "DATA_REKORD", At(2006, 5, 7, 9, 3, 0)},
        {"short date", Field("DATA_REKORD", 11, {"2006-05-07"}), "DATA_REKORD", zero},
        {"invalid date", Field("DATA_REKORD", 11, {"2006-02-30 09:03:00"}), "DATA_REKORD", zero},
        {"date with letters", Field("DATA_REKORD", 11, {"2006-0x-07 09:03:00"}), "DATA_REKORD", zero},
        {"empty picture", Field("ZDJECIE", 15, {"EMPTY"}), "ZDJECIE", {}},
        {"missing side file", Field("ZDJECIE", 15, {"2024_01_01_00_00_00_00_1_2.bin"}), "ZDJECIE", {}},
    };
    int id = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(QStringLiteral("t.txt2"), TrackLines(Field("ID_TORU", 3, {QString::number(id)}) + c.field));
        QString error;
        ASSERT_TRUE(ImportTrackFile(folder, QStringLiteral("t.txt2"), &error)) << error.toStdString();
        const QVariant got = Column(c.column, id);
        if (!c.expected.isValid())
            EXPECT_TRUE(got.isNull());
        else if (c.expected.typeId() == QMetaType::Double)
            EXPECT_NEAR(got.toDouble(), c.expected.toDouble(), 1e-6);
        else if (c.expected.typeId() == QMetaType::QDateTime)
            EXPECT_EQ(got.toDateTime(), c.expected.toDateTime());
        else
            EXPECT_EQ(got.toString(), c.expected.toString());
        EXPECT_EQ(Column("USUNIETY", id).toInt(), 0);
        ++id;
    }
}

TEST_F(TrackFileTest, ParseFieldBlockSkipsWhatIsNoBlock)
{
    const QStringList lines = {
        "<A>",  "<TYP>3<!TYP>", "1",     "<!A>",  // a block
        "<B>",  "3",            "<!B>",           // no type line
        "<C>",  "<TYP>x<!TYP>", "<!C>",           // a type that is no number
        "<D>",  "<TYP>6",       "<!D>",           // an unclosed type
        "<E>",  "<TYP>16<!TYP>", "<!E>",          // a block
    };
    int index = 0;
    int type = 0;
    EXPECT_EQ(ParseFieldBlock(lines, index, type), QStringLiteral("A"));
    EXPECT_EQ(type, 3);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(ParseFieldBlock(lines, index, type), QStringLiteral("E"));
    EXPECT_EQ(type, 16);
    EXPECT_EQ(ParseFieldBlock(lines, index, type), QString());

    // The first block of a name counts; an unclosed block is not found.
    QStringList out;
    EXPECT_TRUE(FindTagLine({"<a>", "1", "<!A>", "<A>", "2", "<!A>"}, "A", "<", ">", out));
    EXPECT_EQ(out, QStringList{"1"});
    EXPECT_FALSE(FindTagLine({"<A>", "1"}, "A", "<", ">", out));
}

TEST_F(TrackFileTest, LinesSplitAtEveryKindOfLineEnd)
{
    EXPECT_EQ(TransferFileLines("a\r\nb\nc\rd\r\n\r\ne"), (QStringList{"a", "b", "c", "d", "", "e"}));
    EXPECT_EQ(TransferFileLines(QByteArray("\xB3\xF3\x64\x9F", 4)), QStringList{QStringLiteral("łódź")});
}

// ----------------------------------------------------------------- passes

TEST_F(TrackFileTest, FirstPassListsOnlyTracksTheDatabaseLacks)
{
    Insert(db.dm(), {5, QStringLiteral("Live"), {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, 0});
    Insert(db.dm(), {6, QStringLiteral("Deleted"), {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, 1});
    auto file = [](int id, const char* name) {
        return TrackLines(Field("ID_TORU", 3, {QString::number(id)}) + Field("NAZWA", 1, {name}));
    };
    WriteFile(QStringLiteral("TORY_7.txt2"), file(7, "  Nowy  "));
    WriteFile(QStringLiteral("TORY_5.txt2"), file(5, "Live"));
    WriteFile(QStringLiteral("TORY_6.txt2"), file(6, "Deleted"));
    WriteFile(QStringLiteral("a_copy.TXT2"), file(7, "Copy"));
    WriteFile(QStringLiteral("notes.txt2"), {"just", "text"});  // not a transfer file: refused by name
    WriteFile(QStringLiteral("TORY_8.txt"), file(8, "Other extension"));

    EXPECT_EQ(ListTrackFiles(folder),
              QStringList{QStringLiteral("File notes.txt2 skipped: line 1 is not part of a field block")});
    EXPECT_EQ(Listed(), (QStringList{"7 Copy a_copy.TXT2", "7 Nowy TORY_7.txt2"}));
    MemTable& m = DM->memToryImport;
    for (int r = 0; r < m.RecordCount(); ++r) {
        EXPECT_TRUE(m.BoolAt(r, m.FieldIndex(QStringLiteral("wybrany"))));
        EXPECT_FALSE(m.BoolAt(r, m.FieldIndex(QStringLiteral("jestjuzwbazie"))));
    }

    // Both files of id 7 imported: the later one in the list stays.
    const TrackImportResult result = ImportChosenTracks(folder);
    EXPECT_EQ(result.imported, 2);
    EXPECT_EQ(Column("NAZWA", 7).toString(), QStringLiteral("Nowy"));
    EXPECT_EQ(db.Scalar("select count(*) from TORY").toInt(), 3);

    // A listed file left unticked is not imported.
    db.Exec("delete from TORY where ID_TORU=7");
    ListTrackFiles(folder);
    m.SetBoolAt(1, m.FieldIndex(QStringLiteral("wybrany")), false);
    EXPECT_EQ(ImportChosenTracks(folder).imported, 1);
    EXPECT_EQ(Column("NAZWA", 7).toString(), QStringLiteral("Copy"));
}

// ----------------------------------------------------------------- files from elsewhere

// Files naming another table or columns TORY lacks are refused by name and
// write nothing, whatever the names hold.
TEST_F(TrackFileTest, OnlyTheTracksTableAndItsColumnsAreAccepted)
{
    db.Exec("insert into KIEROWCY (ID_KIEROWCY, NAZWISKO) values (1, 'Kowalski')");
    struct Case {
        const char* file;
        QStringList lines;
        const char* message;
    };
    const QStringList id = Field("ID_TORU", 3, {"9"});
    const Case cases[] = {
        {"kierowcy.txt2", TrackLines(Field("ID_KIEROWCY", 3, {"1"}), "KIEROWCY"),
         "File kierowcy.txt2 skipped: it holds table KIEROWCY, not TORY"},
        {"injected_table.txt2", TrackLines(id, "TORY (ID_TORU) values (1); delete from KIEROWCY; --"),
         "File injected_table.txt2 skipped: it holds table TORY (ID_TORU) values (1); delete from KIEROWCY; --, "
         "not TORY"},
        {"unknown_column.txt2", TrackLines(id + Field("HASLO", 1, {"x"})),
         "File unknown_column.txt2 skipped: TORY has no column HASLO"},
        {"injected_column.txt2",
         TrackLines(id + Field("NAZWA) values (1, (select NAZWISKO from KIEROWCY)); --", 1, {"x"})),
         "File injected_column.txt2 skipped: TORY has no column NAZWA) values (1, (select NAZWISKO from "
         "KIEROWCY)); --"},
        {"twice.txt2", TrackLines(id + Field("NAZWA", 1, {"a"}) + Field("nazwa", 1, {"b"})),
         "File twice.txt2 skipped: column NAZWA appears twice"},
        {"no_id.txt2", TrackLines(Field("NAZWA", 1, {"a"})), "File no_id.txt2 skipped: ID_TORU is not a whole number"},
        {"bad_id.txt2", TrackLines(Field("ID_TORU", 3, {"12a"})),
         "File bad_id.txt2 skipped: ID_TORU is not a whole number"},
    };
    for (const Case& c : cases)
        WriteFile(QString::fromLatin1(c.file), c.lines);

    QStringList expected;
    for (const Case& c : cases)
        expected << QString::fromLatin1(c.message);
    expected.sort(Qt::CaseInsensitive);
    QStringList messages = ListTrackFiles(folder);
    messages.sort(Qt::CaseInsensitive);
    EXPECT_EQ(messages, expected);
    EXPECT_TRUE(Listed().isEmpty());

    // The second pass refuses them as well, if it is ever handed one.
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(ImportTrackFile(folder, QString::fromLatin1(c.file), &error)) << c.file;
        EXPECT_EQ(error, QString::fromLatin1(c.message));
    }
    EXPECT_EQ(db.Scalar("select count(*) from TORY").toInt(), 0);
    EXPECT_EQ(db.Scalar("select count(*) from KIEROWCY").toInt(), 1);
}

// A side-file name that is not a bare name inside the folder reads nothing.
TEST_F(TrackFileTest, SideFilesOutsideTheFolderAreNotRead)
{
    const QByteArray secret("secret bytes of another folder");
    WriteBytes(db.Folder() + QStringLiteral("secret.bin"), secret);
    // Read as the picture and as the memo: bytes that are text as well.
    const QByteArray inside("inside \xB3\xF3\x64\x9F bytes");
    WriteBytes(folder + QStringLiteral("inside.bin"), inside);
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("sub")));
    WriteBytes(folder + QStringLiteral("sub/deeper.bin"), secret);
    ASSERT_TRUE(QFile::link(db.Folder() + QStringLiteral("secret.bin"), folder + QStringLiteral("link.bin")));
    // Neither may block the import or feed it without end.
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("pipe.bin")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), folder + QStringLiteral("zero.bin")));

    struct Case {
        const char* name;
        bool read;
    };
    const Case cases[] = {
        {"inside.bin", true},
        {"../../secret.bin", false},
        {"..", false},
        {"sub/deeper.bin", false},
        {"sub\\deeper.bin", false},
        {"link.bin", false},
        {"pipe.bin", false},
        {"zero.bin", false},
        {"", false},
    };
    int id = 1;
    for (const Case& c : cases) {
        const QString absolute = QString::fromLatin1(c.name);
        WriteFile(QStringLiteral("side.txt2"),
                  TrackLines(Field("ID_TORU", 3, {QString::number(id)}) + Field("ZDJECIE", 15, {absolute}) +
                             Field("OPIS", 16, {absolute})));
        QString error;
        ASSERT_TRUE(ImportTrackFile(folder, QStringLiteral("side.txt2"), &error)) << error.toStdString();
        EXPECT_EQ(Column("ZDJECIE", id).isNull(), !c.read) << c.name;
        EXPECT_EQ(Column("OPIS", id).isNull(), !c.read) << c.name;
        if (c.read) {
            EXPECT_EQ(Column("ZDJECIE", id).toByteArray(), inside);
            EXPECT_EQ(Column("OPIS", id).toString(), QStringLiteral("inside łódź bytes"));
        }
        ++id;
    }
    // An absolute name.
    WriteFile(QStringLiteral("side.txt2"), TrackLines(Field("ID_TORU", 3, {"99"}) +
                                                      Field("ZDJECIE", 15, {db.Folder() + "secret.bin"})));
    ASSERT_TRUE(ImportTrackFile(folder, QStringLiteral("side.txt2")));
    EXPECT_TRUE(Column("ZDJECIE", 99).isNull());
}

// Delete, insert and update of a track are one: a file whose row the
// database refuses leaves the track that was there, and is counted.
TEST_F(TrackFileTest, AFailedTrackLeavesTheStoredOneAndIsCounted)
{
    auto file = [](const QString& name) {
        return TrackLines(Field("ID_TORU", 3, {"100"}) + Field("NAZWA", 1, {name}) + Field("USUNIETY", 3, {"1"}));
    };
    WriteFile(QStringLiteral("TORY_100_a.txt2"), file(QStringLiteral("Good")));
    WriteFile(QStringLiteral("TORY_100_b.txt2"), file(QString(150, u'x')));  // longer than NAZWA takes
    EXPECT_TRUE(ListTrackFiles(folder).isEmpty());
    ASSERT_EQ(Listed().size(), 2);

    const TrackImportResult result = ImportChosenTracks(folder);
    EXPECT_EQ(result.imported, 1);
    EXPECT_EQ(result.failed, 1);
    ASSERT_EQ(result.failures.size(), 1);
    // The file and the column, then the database's own text.
    const QStringList lines = result.failures[0].split(u'\n');
    ASSERT_EQ(lines.size(), 2) << result.failures[0].toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("File TORY_100_b.txt2: column NAZWA was refused"));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("string truncation"))) << lines[1].toStdString();
    EXPECT_EQ(TrackImportMessage(result),
              QStringLiteral("Finished. 1 tracks imported, 1 failed\n\n") + result.failures[0]);
    EXPECT_EQ(Column("NAZWA", 100).toString(), QStringLiteral("Good"));
    EXPECT_EQ(Column("USUNIETY", 100).toInt(), 0);
    EXPECT_EQ(db.Scalar("select count(*) from TORY").toInt(), 1);
}

// A file written by another installation in code page 1250.
TEST_F(TrackFileTest, TextsAreReadAsCodePage1250)
{
    QByteArray bytes;
    bytes += "<ID_TORU>\r\n<TYP>3<!TYP>\r\n42\r\n<!ID_TORU>\r\n";
    bytes += "<NAZWA>\r\n<TYP>1<!TYP>\r\n\x8C\x77i\xEAtoch\xB3owice\r\n<!NAZWA>\r\n";  // Świętochłowice
    bytes += "<OPIS>\r\n<TYP>16<!TYP>\r\nm.bin\r\n<!OPIS>\r\n";
    bytes += "[TABLENAME]\r\nTORY\r\n[!TABLENAME]\r\n";
    WriteBytes(folder + QStringLiteral("TORY_42.txt2"), bytes);
    WriteBytes(folder + QStringLiteral("m.bin"), QByteArray("Zakr\xEAt \xBF\xF3\xB3ty"));  // Zakręt żółty

    EXPECT_TRUE(ListTrackFiles(folder).isEmpty());
    EXPECT_EQ(Listed(), QStringList{QStringLiteral("42 Świętochłowice TORY_42.txt2")});
    EXPECT_EQ(ImportChosenTracks(folder).imported, 1);
    EXPECT_EQ(Column("NAZWA", 42).toString(), QStringLiteral("Świętochłowice"));
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select OPIS from TORY where ID_TORU=42"));
    q.Open();
    EXPECT_EQ(q.FieldByName(QStringLiteral("OPIS")).AsString(), QStringLiteral("Zakręt żółty"));
}

// ----------------------------------------------------------------- hostile folders

// What a folder may hold beside real transfer files.  A live track used by a
// session is there before; every case compares all tables before and after,
// so that only the tracks meant to come in may differ.
class HostileFolderTest : public TrackFileTest {
protected:
    void SetUp() override
    {
        TrackFileTest::SetUp();
        Insert(db.dm(), {100, QStringLiteral("Live track"), QStringLiteral("in use"), 1.1});
        db.Exec("insert into KIEROWCY (ID_KIEROWCY, NAZWISKO) values (1, 'Kowalski')");
        db.Exec("insert into NAGLOWKI (ID_NAG, ID_KIEROWCY, ID_TORU) values (1, 1, 100)");
        before = AllTables();
    }
    static QStringList Track(int id, const QString& name)
    {
        return TrackLines(Field("ID_TORU", 3, {QString::number(id)}) + Field("NAZWA", 1, {name}));
    }
    // The second pass refuses each file as the first did.
    void SecondPassRefuses(const QStringList& messages)
    {
        for (const QString& m : messages) {
            const QString file = m.section(u' ', 1, 1);
            QString error;
            EXPECT_FALSE(ImportTrackFile(folder, file, &error)) << file.toStdString();
            EXPECT_EQ(error, m);
        }
    }

    std::map<QString, QStringList> before;
};

TEST_F(HostileFolderTest, EntriesThatAreNoPlainFilesAreRefusedByNameWithoutWaiting)
{
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.path() + u'/';
    ASSERT_EQ(::mkfifo(QFile::encodeName(outside + "fifo").constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "pipe.txt2").constData(), 0600), 0);
    WriteBytes(outside + "track.txt2", TransferFileBytes(Track(8, "Elsewhere")));
    ASSERT_TRUE(QFile::link(outside + "fifo", folder + "fifo_link.txt2"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), folder + "zero.txt2"));
    ASSERT_TRUE(QFile::link(outside + "track.txt2", folder + "track_link.txt2"));
    ASSERT_TRUE(QFile::link(outside + "gone", folder + "dangling.txt2"));
    ASSERT_TRUE(QDir().mkpath(folder + "dir.txt2"));
    QFile big(folder + "big.txt2");  // sparse: one byte over the cap costs no disk
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(kMaxTrackFileBytes + 1));
    big.close();
    WriteFile("real.txt2", Track(7, "Real"));

    const QStringList expected = {
        "File big.txt2 skipped: it is larger than 4 MB",
        "File dangling.txt2 skipped: it is a link, not a plain file",
        "File dir.txt2 skipped: it is not a plain file",
        "File fifo_link.txt2 skipped: it is a link, not a plain file",
        "File pipe.txt2 skipped: it is not a plain file",
        "File track_link.txt2 skipped: it is a link, not a plain file",
        "File zero.txt2 skipped: it is a link, not a plain file",
    };
    EXPECT_EQ(ListTrackFiles(folder), expected);
    EXPECT_EQ(Listed(), QStringList{"7 Real real.txt2"});
    SecondPassRefuses(expected);
    EXPECT_EQ(AllTables(), before);

    EXPECT_EQ(ImportChosenTracks(folder).imported, 1);
    EXPECT_EQ(AllTables({7}), before);
}

// Read once through: a file of 20,000 blocks is refused at its first name
// TORY lacks or repeats, at once.
TEST_F(HostileFolderTest, AFileOfTwentyThousandBlocksIsRefusedAtItsFirstBadName)
{
    QStringList unknown = Field("ID_TORU", 3, {"9"});
    QStringList repeated = unknown;
    for (int i = 0; i < 20000; ++i) {
        unknown += Field(QStringLiteral("POLE_%1").arg(i), 1, {"x"});
        repeated += Field("NAZWA", 1, {"x"});
    }
    WriteFile("many_unknown.txt2", TrackLines(unknown));
    WriteFile("many_repeated.txt2", TrackLines(repeated));

    const QStringList expected = {"File many_repeated.txt2 skipped: column NAZWA appears twice",
                                  "File many_unknown.txt2 skipped: TORY has no column POLE_0"};
    EXPECT_EQ(ListTrackFiles(folder), expected);
    EXPECT_TRUE(Listed().isEmpty());
    SecondPassRefuses(expected);
    EXPECT_EQ(AllTables(), before);
}

// Between the two passes the check list is open for as long as the user
// likes; a file that no longer holds what was listed writes nothing.
TEST_F(HostileFolderTest, AFileChangedAfterItWasListedFailsAndWritesNothing)
{
    struct Case {
        const char* what;
        std::function<void(const QString& path)> change;
        const char* reason;
    };
    const Case cases[] = {
        {"now the id of the live track",
         [](const QString& path) {
             QFile f(path);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(TransferFileBytes(Track(100, "Impostor")));
         },
         "it was changed after it was listed"},
        {"same id, one byte more",
         [](const QString& path) {
             QFile f(path);
             ASSERT_TRUE(f.open(QIODevice::Append));
             f.write("\r\n");
         },
         "it was changed after it was listed"},
        {"replaced by a link to an endless device",
         [](const QString& path) {
             ASSERT_TRUE(QFile::remove(path));
             ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path));
         },
         "it is a link, not a plain file"},
        {"removed", [](const QString& path) { ASSERT_TRUE(QFile::remove(path)); },
         "it cannot be read: No such file or directory"},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        WriteFile(QStringLiteral("changed_%1.txt2").arg(i), Track(200 + int(i), "Listed"));
    WriteFile("unchanged.txt2", Track(300, "Stays as listed"));
    EXPECT_TRUE(ListTrackFiles(folder).isEmpty());
    ASSERT_EQ(Listed().size(), int(std::size(cases)) + 1);

    QStringList expected;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const QString file = QStringLiteral("changed_%1.txt2").arg(i);
        cases[i].change(folder + file);
        expected << QStringLiteral("File %1 skipped: %2").arg(file, cases[i].reason);
    }
    const TrackImportResult result = ImportChosenTracks(folder);
    EXPECT_EQ(result.imported, 1);
    EXPECT_EQ(result.failed, int(std::size(cases)));
    EXPECT_EQ(result.failures, expected);
    EXPECT_EQ(Column("NAZWA", 100).toString(), QStringLiteral("Live track"));
    EXPECT_EQ(AllTables({300}), before);
}

// A memo longer than a text parameter takes goes as blob data, whole.
TEST_F(HostileFolderTest, AMemoOfFortyKilobytesArrivesWhole)
{
    QString memo;
    while (memo.size() < 40 * 1024)
        memo += QStringLiteral("Zakręt żółty, prosta 300 m.\r\n");
    WriteBytes(folder + "memo.bin", UnicodeToCp1250(memo));
    WriteFile("TORY_5.txt2", TrackLines(Field("ID_TORU", 3, {"5"}) + Field("OPIS", 16, {"memo.bin"})));

    EXPECT_TRUE(ListTrackFiles(folder).isEmpty());
    const TrackImportResult result = ImportChosenTracks(folder);
    EXPECT_EQ(result.imported, 1) << result.failures.join(u'\n').toStdString();
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select OPIS from TORY where ID_TORU=5"));
    q.Open();
    EXPECT_EQ(q.FieldByName(QStringLiteral("OPIS")).AsString(), memo);
    q.Close();
    EXPECT_EQ(AllTables({5}), before);
}

// Thousands of refused files or failed tracks make one short message.
TEST_F(HostileFolderTest, TwoThousandRefusedFilesGiveOneShortMessage)
{
    for (int i = 0; i < 2000; ++i)
        WriteFile(QStringLiteral("bad_%1.txt2").arg(i, 4, 10, QChar(u'0')), TrackLines(Field("HASLO", 1, {"x"})));
    WriteFile("good.txt2", Track(11, "Good"));
    const QStringList refusals = ListTrackFiles(folder);
    ASSERT_EQ(refusals.size(), 2000);
    EXPECT_EQ(Listed(), QStringList{"11 Good good.txt2"});

    const QStringList lines = TrackRefusalMessage(refusals).split(u'\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_LE(lines.size(), 12);
    EXPECT_EQ(lines.first(), QStringLiteral("2000 files were skipped:"));
    EXPECT_EQ(lines[1], QStringLiteral("File bad_0000.txt2 skipped: TORY has no column HASLO"));
    EXPECT_EQ(lines.last(), QStringLiteral("and %1 more").arg(2000 - (lines.size() - 2)));
    EXPECT_EQ(TrackRefusalMessage({refusals[0]}), QStringLiteral("1 file was skipped:\n") + refusals[0]);

    EXPECT_EQ(ImportChosenTracks(folder).imported, 1);
    EXPECT_EQ(AllTables({11}), before);

    // Failures of two lines each (the file and the column, the database's text).
    TrackImportResult failed;
    failed.imported = 3;
    for (int i = 0; i < 2000; ++i) {
        ++failed.failed;
        failed.failures << QStringLiteral("File t%1.txt2: column NAZWA was refused\nstring right truncation").arg(i);
    }
    const QStringList final = TrackImportMessage(failed).split(u'\n');
    EXPECT_EQ(final.first(), QStringLiteral("Finished. 3 tracks imported, 2000 failed"));
    EXPECT_LE(final.size(), 24);
    EXPECT_TRUE(final.last().startsWith(QStringLiteral("and "))) << final.last().toStdString();

    // A name longer than a message line is broken, not cut off by the box.
    const QString longName = QString(250, u'k') + QStringLiteral(".txt2");
    const QString refusal = QStringLiteral("File %1 skipped: it is not a plain file").arg(longName);
    const QString message = TrackRefusalMessage({refusal});
    EXPECT_EQ(QString(message).remove(u'\n'), QStringLiteral("1 file was skipped:") + refusal);
    for (const QString& word : message.split(QRegularExpression(QStringLiteral("\\s+"))))
        EXPECT_LE(word.size(), 80);
}

TEST_F(HostileFolderTest, ALongFileNameIsKeptWhole)
{
    const QString name = QStringLiteral("Tor_Łódź_") + QString(136, u'x') + QStringLiteral(".txt2");
    ASSERT_EQ(name.size(), 150);
    WriteFile(name, Track(6, "Long name"));

    EXPECT_TRUE(ListTrackFiles(folder).isEmpty());
    EXPECT_EQ(Listed(), QStringList{QStringLiteral("6 Long name ") + name});
    const TrackImportResult result = ImportChosenTracks(folder);
    EXPECT_EQ(result.imported, 1) << result.failures.join(u'\n').toStdString();
    EXPECT_EQ(Column("NAZWA", 6).toString(), QStringLiteral("Long name"));
    EXPECT_EQ(AllTables({6}), before);
}

// A block never closed, a file cut short or one of garbage is refused with
// its fault, never taken with an empty value or passed over in silence.
TEST_F(HostileFolderTest, MalformedFilesAreRefusedWithTheirFault)
{
    const QByteArray whole = TransferFileBytes(TrackLines(Field("ID_TORU", 3, {"9"}) + Field("NAZWA", 1, {"Cut"}) +
                                                          Field("DLUGOSC", 6, {"1.25"})));
    struct Case {
        const char* file;
        QByteArray bytes;
        const char* fault;
    };
    const Case cases[] = {
        {"unclosed.txt2",
         TransferFileBytes(TrackLines(Field("ID_TORU", 3, {"9"}) + QStringList{"<NAZWA>", "<TYP>1<!TYP>", "x"} +
                                      Field("DLUGOSC", 6, {"1.25"}))),
         "block NAZWA is not closed"},
        {"cut_in_a_block.txt2", whole.left(whole.indexOf("<!NAZWA>")), "block NAZWA is not closed"},
        {"cut_between_blocks.txt2", whole.left(whole.indexOf("[TABLENAME]")), "it ends before its table-name block"},
        {"cut_in_the_table_name.txt2", whole.left(whole.indexOf("[!TABLENAME]")),
         "its table-name block is not closed"},
        {"empty.txt2", QByteArray(), "it ends before its table-name block"},
        {"garbage.txt2", PictureBytes(5), "line 1 is not part of a field block"},
        {"stray_line.txt2",
         TransferFileBytes(TrackLines(Field("ID_TORU", 3, {"9"}) + QStringList{"stray text"} + Field("NAZWA", 1, {"x"}))),
         "line 5 is not part of a field block"},
        {"bad_type.txt2", TransferFileBytes(TrackLines(QStringList{"<ID_TORU>", "<TYP>int<!TYP>", "9", "<!ID_TORU>"})),
         "the type of block <ID_TORU> is not a number"},
        {"no_blocks.txt2", TransferFileBytes(TrackLines({})), "it holds no field blocks"},
    };
    QStringList expected;
    for (const Case& c : cases) {
        WriteBytes(folder + c.file, c.bytes);
        expected << QStringLiteral("File %1 skipped: %2").arg(c.file, c.fault);
    }
    expected.sort(Qt::CaseInsensitive);
    EXPECT_EQ(ListTrackFiles(folder), expected);
    EXPECT_TRUE(Listed().isEmpty());
    SecondPassRefuses(expected);
    EXPECT_EQ(AllTables(), before);
}

// A track the database refuses names its file and the column to blame,
// with the database's own text on the second line; nothing is written.
TEST_F(HostileFolderTest, FailuresNameTheFileAndTheColumnThenTheDatabasesText)
{
    QFile big(folder + "big.bin");  // sparse
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(kMaxSideFileBytes + 1));
    big.close();
    struct Case {
        const char* file;
        QStringList field;
        const char* first;
        const char* database;  // in the second line; null: there is none
    };
    const Case cases[] = {
        {"a_long_name.txt2", Field("NAZWA", 1, {QString(150, u'x')}), "File a_long_name.txt2: column NAZWA was refused",
         "string truncation"},
        {"b_text_for_a_number.txt2", Field("DLUGOSC", 1, {"abc"}),
         "File b_text_for_a_number.txt2: column DLUGOSC was refused", "conversion error"},
        {"c_big_picture.txt2", Field("ZDJECIE", 15, {"big.bin"}),
         "File c_big_picture.txt2: column ZDJECIE: side file big.bin: it is larger than 64 MB", nullptr},
    };
    int id = 400;
    for (const Case& c : cases)
        WriteFile(c.file, TrackLines(Field("ID_TORU", 3, {QString::number(id++)}) + Field("TEL", 1, {"1"}) + c.field));
    EXPECT_TRUE(ListTrackFiles(folder).isEmpty());
    const TrackImportResult result = ImportChosenTracks(folder);
    EXPECT_EQ(result.imported, 0);
    ASSERT_EQ(result.failures.size(), int(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const QStringList lines = result.failures[int(i)].split(u'\n');
        EXPECT_EQ(lines[0], QString::fromUtf8(cases[i].first));
        if (cases[i].database) {
            ASSERT_EQ(lines.size(), 2);
            EXPECT_TRUE(lines[1].contains(QString::fromLatin1(cases[i].database))) << lines[1].toStdString();
        } else {
            EXPECT_EQ(lines.size(), 1);
        }
    }
    EXPECT_EQ(AllTables(), before);
}

}  // namespace
