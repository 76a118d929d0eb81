// The "Tracks" check list and the main window's track transfer commands:
// the grid, its ticks and clicks, the buttons' results, and the whole
// import and export as the user starts them (messages, Cancel, a missing
// folder).
#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QtTest/QTest>

#include "controls/ButtonComps.h"
#include "platform/memtable.h"
#include "profiles/trackfile.h"
#include "profiles/ulistatorowimport.h"
#include "shell/shell_support.h"

namespace {

using Handler = std::function<void(TFListaTorowImport&)>;

// Pixels within r that are not black.
int Drawn(const QImage& img, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (img.pixel(x, y) & 0xFFFFFF) != 0 ? 1 : 0;
    return n;
}

class TrackTransfer : public shelltest::ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        folder = TrackTransferFolder();
    }
    void TearDown() override
    {
        platform::testing::ClearModalHandlers();
        ShellFixture::TearDown();
    }

    // A track file of the transfer folder.
    void WriteTrack(const QString& file, int id, const QString& name, const QString& table = QStringLiteral("TORY"))
    {
        ASSERT_TRUE(QDir().mkpath(folder));
        const QStringList lines = {"<ID_TORU>", "<TYP>3<!TYP>", QString::number(id), "<!ID_TORU>",
                                   "<NAZWA>",   "<TYP>1<!TYP>", name,                "<!NAZWA>",
                                   "[TABLENAME]", table,        "[!TABLENAME]"};
        QFile f(folder + file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(TransferFileBytes(lines));
    }

    // Fills the list as the first pass does and runs the check list.
    bool RunList(const Handler& handler)
    {
        platform::testing::OnModal(QStringLiteral("TFListaTorowImport"),
                                   [handler](QDialog& d) { handler(static_cast<TFListaTorowImport&>(d)); });
        return ShowTrackImportList();
    }
    void ListThree()
    {
        WriteTrack(QStringLiteral("TORY_100001.txt2"), 100001, QStringLiteral("Kartodrom Łódź"));
        WriteTrack(QStringLiteral("TORY_100002.txt2"), 100002, QStringLiteral("Tor Bydgoszcz"));
        WriteTrack(QStringLiteral("TORY_100003.txt2"), 100003, QStringLiteral("Autodrom Słomczyn"));
        ASSERT_TRUE(ListTrackFiles(folder).isEmpty());
        ASSERT_EQ(Mem().RecordCount(), 3);
    }
    static QModelIndex Cell(TFListaTorowImport& f, int row, const char* field)
    {
        return f.DBGrid1->model()->index(row, DM->memToryImport.FieldIndex(QString::fromLatin1(field)));
    }
    static void Click(TFListaTorowImport& f, int row, const char* field)
    {
        const QRect r = f.DBGrid1->visualRect(Cell(f, row, field));
        QTest::mouseClick(f.DBGrid1->viewport(), Qt::LeftButton, {}, r.center());
    }
    static MemTable& Mem() { return DM->memToryImport; }
    int Field(const char* name) const { return Mem().FieldIndex(QString::fromLatin1(name)); }
    int Tracks() { return Db().Scalar(QStringLiteral("select count(*) from TORY")).toInt(); }

    QString folder;
};

// ------------------------------------------------------------ check list

TEST_F(TrackTransfer, CheckListShowsTheFiveFieldsUnderTheirOwnNames)
{
    ListThree();
    RunList([&](TFListaTorowImport& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Tracks"));
        EXPECT_EQ(f.size(), QSize(926, 534));
        QHeaderView* header = f.DBGrid1->horizontalHeader();
        const char* fields[] = {"id_toru", "nazwaToru", "plik", "wybrany", "jestjuzwbazie"};
        for (int v = 0; v < 5; ++v) {
            const int logical = header->logicalIndex(v);
            EXPECT_EQ(logical, Field(fields[v]));
            EXPECT_FALSE(header->isSectionHidden(logical));
            EXPECT_EQ(f.DBGrid1->model()->headerData(logical, Qt::Horizontal).toString(),
                      QString::fromLatin1(fields[v]));
        }
        EXPECT_EQ(f.DBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
        // OK left of Cancel in the bottom bar.
        EXPECT_LT(f.BitBtn1->x(), f.BitBtn2->x());
        EXPECT_EQ(f.BitBtn1->size(), QSize(40, 40));
        f.BitBtn2Click();
    });
}

// Only a click on the wybrany column changes the tick; a second click takes
// it back; the table is left in browse state.
TEST_F(TrackTransfer, ClickTogglesTheTickOnlyInItsColumn)
{
    ListThree();
    struct Case {
        int row;
        const char* field;
        bool toggles;
    };
    const Case cases[] = {
        {0, "wybrany", true}, {1, "nazwaToru", false}, {1, "id_toru", false},
        {2, "plik", false},   {2, "jestjuzwbazie", false}, {2, "wybrany", true},
    };
    RunList([&](TFListaTorowImport& f) {
        const int ticked = Field("wybrany");
        for (const Case& c : cases) {
            const bool before = Mem().BoolAt(c.row, ticked);
            Click(f, c.row, c.field);
            EXPECT_EQ(Mem().BoolAt(c.row, ticked), c.toggles ? !before : before) << c.row << " " << c.field;
            EXPECT_EQ(Mem().GetState(), MemTable::State::Browse);
        }
        Click(f, 2, "wybrany");
        Click(f, 1, "wybrany");
        f.BitBtn1Click();
    });
    EXPECT_FALSE(Mem().BoolAt(0, Field("wybrany")));
    EXPECT_FALSE(Mem().BoolAt(1, Field("wybrany")));
    EXPECT_TRUE(Mem().BoolAt(2, Field("wybrany")));
}

// The tick stands in wybrany where it is true and in jestjuzwbazie where it
// is false, centred in the cell.
TEST_F(TrackTransfer, TicksWhereTheFieldsSaySo)
{
    ListThree();
    Mem().SetBoolAt(1, Field("wybrany"), false);
    Mem().SetBoolAt(2, Field("jestjuzwbazie"), true);
    RunList([&](TFListaTorowImport& f) {
        f.show();
        f.DBGrid1->clearSelection();
        f.DBGrid1->setCurrentIndex({});
        const QImage img = f.DBGrid1->viewport()->grab().toImage();
        auto tickIn = [&](int row, const char* field) {
            return Drawn(img, f.DBGrid1->visualRect(Cell(f, row, field)).adjusted(1, 1, -2, -2)) > 20;
        };
        EXPECT_TRUE(tickIn(0, "wybrany"));
        EXPECT_FALSE(tickIn(1, "wybrany"));
        EXPECT_TRUE(tickIn(2, "wybrany"));
        EXPECT_TRUE(tickIn(0, "jestjuzwbazie"));
        EXPECT_TRUE(tickIn(1, "jestjuzwbazie"));
        EXPECT_FALSE(tickIn(2, "jestjuzwbazie"));
        // Centred: as much drawn left as right of the cell's middle.
        const QRect cell = f.DBGrid1->visualRect(Cell(f, 0, "wybrany")).adjusted(1, 1, -2, -2);
        const int middle = cell.center().x();
        const int left = Drawn(img, QRect(cell.left(), cell.top(), middle - cell.left(), cell.height()));
        const int right = Drawn(img, QRect(middle, cell.top(), cell.right() - middle + 1, cell.height()));
        EXPECT_GT(left, 0);
        EXPECT_GT(right, 0);
        f.BitBtn2Click();
    });
}

TEST_F(TrackTransfer, OkGivesTrueEverythingElseFalse)
{
    struct Case {
        const char* name;
        Handler act;
        bool expected;
    };
    const Case cases[] = {
        {"OK", [](TFListaTorowImport& f) { QTest::mouseClick(f.BitBtn1, Qt::LeftButton); }, true},
        {"Cancel", [](TFListaTorowImport& f) { QTest::mouseClick(f.BitBtn2, Qt::LeftButton); }, false},
        {"title bar", [](TFListaTorowImport& f) { f.close(); }, false},
        {"escape", [](TFListaTorowImport& f) { QTest::keyClick(&f, Qt::Key_Escape); }, false},
    };
    Mem().Close();
    Mem().Open();
    for (const Case& c : cases)
        EXPECT_EQ(RunList(c.act), c.expected) << c.name;
    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty());
}

// ------------------------------------------------------------ commands

TEST_F(TrackTransfer, ImportMenuWithoutTheFolderSaysSoAndEnds)
{
    TForm1& form = MakeForm();
    form.Importtracks1->trigger();
    EXPECT_EQ(platform::testing::Messages(), QStringList{MissingFolderMessage(folder)});
    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty());  // no check list
    EXPECT_EQ(Mem().RecordCount(), 0);
}

TEST_F(TrackTransfer, CancelWritesNothingAndSaysNothing)
{
    ListThree();
    TForm1& form = MakeForm();
    bool shown = false;
    platform::testing::OnModal(QStringLiteral("TFListaTorowImport"), [&](QDialog& d) {
        shown = true;
        static_cast<TFListaTorowImport&>(d).BitBtn2Click();
    });
    form.Importtracks1->trigger();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(platform::testing::Messages().isEmpty());
    EXPECT_EQ(Tracks(), 0);
}

TEST_F(TrackTransfer, ImportWritesTheTickedTracksAndCountsThem)
{
    ListThree();
    WriteTrack(QStringLiteral("TORY_9.txt2"), 9, QStringLiteral("x"), QStringLiteral("KIEROWCY"));
    TForm1& form = MakeForm();
    platform::testing::OnModal(QStringLiteral("TFListaTorowImport"), [&](QDialog& d) {
        auto& f = static_cast<TFListaTorowImport&>(d);
        EXPECT_EQ(f.DBGrid1->model()->rowCount(), 3);
        Click(f, 1, "wybrany");  // Tor Bydgoszcz stays out
        f.BitBtn1Click();
    });
    form.Importtracks1->trigger();
    EXPECT_EQ(platform::testing::Messages(),
              (QStringList{QStringLiteral("1 file was skipped:\n"
                                          "File TORY_9.txt2 skipped: it holds table KIEROWCY, not TORY"),
                           QStringLiteral("Finished. 2 tracks imported")}));
    EXPECT_EQ(Tracks(), 2);
    EXPECT_EQ(Db().Scalar(QStringLiteral("select NAZWA from TORY where ID_TORU=100003")).toString(),
              QStringLiteral("Autodrom Słomczyn"));
    EXPECT_TRUE(Db().Scalar(QStringLiteral("select NAZWA from TORY where ID_TORU=100002")).isNull());
}

TEST_F(TrackTransfer, ExportWritesEveryTrackOrShowsTheFileError)
{
    Db().Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (100000, 'A', 0)"));
    Db().Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (100001, 'B', 1)"));
    TForm1& form = MakeForm();

    form.ButtoneystawClick();  // the folder is not there: the program does not make it
    EXPECT_EQ(platform::testing::Messages(), QStringList{MissingFolderMessage(folder)});

    platform::testing::ClearMessages();
    ASSERT_TRUE(QDir().mkpath(folder));
    form.ButtoneystawClick();
    EXPECT_EQ(platform::testing::Messages(), QStringList{QStringLiteral("OK")});
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.txt2")}, QDir::Files, QDir::Name),
              (QStringList{"TORY_100000.txt2", "TORY_100001.txt2"}));
}

}  // namespace
