// The "Data to read" check list over the session list of simulated dump
// files, one of whose sessions is already in the database.
#include "intake/ulistazodczytu.h"

#include <QFont>
#include <QHeaderView>
#include <QImage>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>

#include "controls/ButtonComps.h"
#include "controls/artwork.h"
#include "intake/sessionlist.h"
#include "kromsim.h"
#include "platform/dialogs.h"
#include "support/testdb.h"

namespace {

using Handler = std::function<void(TfListaZOdczytu&)>;

// The bounding box of the pixels within r that are not black.
QRect Drawn(const QImage& img, const QRect& r)
{
    QRect box;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != 0)
                box |= QRect(x, y, 1, 1);
    return box;
}

class CheckListTest : public ::testing::Test {
protected:
    TestDatabase db;
    QTemporaryDir folder;
    MemTable& mem = DM->memPrzejazdy;

    void SetUp() override
    {
        platform::testing::SetScripted(true);
        kromsim::DumpOptions dump;
        dump.slot = 1;
        dump.serial = QStringLiteral("77");
        for (int i = 0; i < 4; ++i) {
            kromsim::SessionOptions s;
            s.raceIndex = static_cast<uint8_t>(i);
            s.laps = 2;
            s.seed = static_cast<uint32_t>(i + 1);
            s.driverText = i % 2 ? QStringLiteral("NOWAK") : QStringLiteral("KOWALSKI");
            dump.sessions.push_back(s);
        }
        const kromsim::DumpTruth truth = kromsim::WriteDumpFile(folder.path(), dump);
        ASSERT_EQ(truth.sessions.size(), 4u);
        // The second session is stored already.
        db.Exec(QStringLiteral("insert into NAGLOWKI (ID_NAG, NR_SERYJNY_KROM, DATA_KONIEC) values (1, '77', '%1')")
                    .arg(truth.sessions[1].end.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
        BuildSessionList(folder.path(), [](const QString&) { FAIL() << "no message expected"; });
        ASSERT_EQ(mem.RecordCount(), 4);
        ASSERT_TRUE(mem.BoolAt(1, Field("jestwbazie")));
        ASSERT_FALSE(mem.BoolAt(0, Field("jestwbazie")));
    }
    void TearDown() override
    {
        platform::testing::ClearModalHandlers();
        platform::testing::SetScripted(false);
    }

    int Field(const char* name) const { return mem.FieldIndex(QString::fromLatin1(name)); }

    bool Run(const Handler& handler)
    {
        platform::testing::OnModal(QStringLiteral("TfListaZOdczytu"),
                                   [handler](QDialog& d) { handler(static_cast<TfListaZOdczytu&>(d)); });
        return ChooseSessionsToRead();
    }

    static QModelIndex Cell(TfListaZOdczytu& f, int row, const char* field)
    {
        return f.RxDBGrid1->model()->index(row, DM->memPrzejazdy.FieldIndex(QString::fromLatin1(field)));
    }
    static void Click(TfListaZOdczytu& f, int row, const char* field)
    {
        const QRect r = f.RxDBGrid1->visualRect(Cell(f, row, field));
        QTest::mouseClick(f.RxDBGrid1->viewport(), Qt::LeftButton, {}, r.center());
    }
};

TEST_F(CheckListTest, ColumnsInOrderWithTheirTitlesAndWidths)
{
    struct Column {
        const char* field;
        const char* title;
        int width;  // 0: the last column takes the rest
        bool bold;
    };
    const Column expected[] = {
        {"wybrany", "Select", 42, true},     {"nr_seryjny", "Serial no", 109, true}, {"data", "Date", 184, true},
        {"nr_wyscigu", "No", 50, true},      {"kierowca", "Driver", 168, true},      {"tor", "Track", 153, true},
        {"ile_okrazen", "Laps", 116, false}, {"nr_pliku", "", 124, true},            {"numer_wpisu", "", 0, true},
    };
    Run([&](TfListaZOdczytu& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Data to read"));
        EXPECT_EQ(f.RxDBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
        QHeaderView* header = f.RxDBGrid1->horizontalHeader();
        QAbstractItemModel* model = f.RxDBGrid1->model();
        int visible = 0;
        for (int v = 0; v < header->count(); ++v)
            visible += header->isSectionHidden(header->logicalIndex(v)) ? 0 : 1;
        EXPECT_EQ(visible, 9);
        for (int v = 0; v < 9; ++v) {
            const Column& c = expected[v];
            const int logical = header->logicalIndex(v);
            EXPECT_EQ(logical, Field(c.field)) << c.field;
            EXPECT_FALSE(header->isSectionHidden(logical)) << c.field;
            EXPECT_EQ(model->headerData(logical, Qt::Horizontal).toString(), QString::fromLatin1(c.title)) << c.field;
            EXPECT_EQ(model->headerData(logical, Qt::Horizontal, Qt::FontRole).value<QFont>().bold(), c.bold)
                << c.field;
            if (c.width > 0) {
                EXPECT_EQ(header->sectionSize(logical), c.width) << c.field;
            }
        }
        // The row's texts as listed.
        EXPECT_EQ(model->data(Cell(f, 0, "kierowca")).toString(), QStringLiteral("KOWALSKI    "));
        EXPECT_EQ(model->data(Cell(f, 1, "nr_wyscigu")).toInt(), 2);  // race index + 1
        EXPECT_FALSE(model->data(Cell(f, 0, "data")).toString().isEmpty());
        f.SpeedButton4Click();
    });
}

// Only a click on the Select column changes the tick, and a second click
// takes it back; the table is left in browse state.
TEST_F(CheckListTest, ClickTogglesTheTickOnlyInTheSelectColumn)
{
    struct Case {
        int row;
        const char* field;
        bool toggles;
    };
    const Case cases[] = {
        {0, "wybrany", true}, {1, "wybrany", true},     {2, "kierowca", false}, {2, "nr_seryjny", false},
        {3, "data", false},   {3, "numer_wpisu", false}, {3, "wybrany", true},
    };
    Run([&](TfListaZOdczytu& f) {
        const int ticked = Field("wybrany");
        for (const Case& c : cases) {
            const bool before = mem.BoolAt(c.row, ticked);
            Click(f, c.row, c.field);
            EXPECT_EQ(mem.BoolAt(c.row, ticked), c.toggles ? !before : before) << c.row << " " << c.field;
            EXPECT_EQ(mem.GetState(), MemTable::State::Browse);
            if (c.toggles) {
                Click(f, c.row, c.field);
                EXPECT_EQ(mem.BoolAt(c.row, ticked), before) << c.row << " " << c.field;
            }
        }
        // The stored session can be ticked (the import tests it again).
        Click(f, 1, "wybrany");
        f.SpeedButton3Click();
    });
    EXPECT_TRUE(mem.BoolAt(1, Field("wybrany")));
}

TEST_F(CheckListTest, AcceptGivesTrueEverythingElseFalse)
{
    struct Case {
        const char* name;
        Handler act;
        bool expected;
    };
    const Case cases[] = {
        {"accept button", [](TfListaZOdczytu& f) { QTest::mouseClick(f.SpeedButton3, Qt::LeftButton); }, true},
        {"cancel button", [](TfListaZOdczytu& f) { QTest::mouseClick(f.SpeedButton4, Qt::LeftButton); }, false},
        {"title bar", [](TfListaZOdczytu& f) { f.close(); }, false},
        {"escape", [](TfListaZOdczytu& f) { QTest::keyClick(&f, Qt::Key_Escape); }, false},
        {"accept, then title bar", [](TfListaZOdczytu& f) {
             f.SetResult(true);
             f.close();
         }, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Run(c.act), c.expected) << c.name;
    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty());
}

// What the grid paints: red text for the stored session, lime for the
// others, white on the highlighted cell; the tick centred in ticked Select
// cells only, the background alone in unticked ones.
TEST_F(CheckListTest, StoredSessionsInRedTicksCentred)
{
    auto isRed = [](QRgb p) { return qRed(p) > 120 && qGreen(p) < 60 && qBlue(p) < 60; };
    auto isLime = [](QRgb p) { return qGreen(p) > 120 && qRed(p) < 60 && qBlue(p) < 60; };
    auto isWhite = [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200; };
    auto count = [](const QImage& img, const QRect& r, const std::function<bool(QRgb)>& test) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += test(img.pixel(x, y)) ? 1 : 0;
        return n;
    };
    // Where the tick picture itself has colour.
    const QImage tickArt = artwork::Art(artwork::ArtId::Tick).toImage();
    QRect tickBox;
    for (int y = 0; y < tickArt.height(); ++y)
        for (int x = 0; x < tickArt.width(); ++x)
            if (qAlpha(tickArt.pixel(x, y)) > 0)
                tickBox |= QRect(x, y, 1, 1);
    ASSERT_FALSE(tickBox.isEmpty());
    Run([&](TfListaZOdczytu& f) {
        QTableView* grid = f.RxDBGrid1;
        grid->setCurrentIndex({});
        grid->clearSelection();
        QImage img = grid->viewport()->grab().toImage();
        const qreal dpr = img.devicePixelRatio();
        ASSERT_EQ(dpr, 1.0);
        for (int row = 0; row < 4; ++row) {
            const bool stored = mem.BoolAt(row, Field("jestwbazie"));
            const QRect text = grid->visualRect(Cell(f, row, "kierowca"));
            EXPECT_GT(count(img, text, stored ? isRed : isLime), 5) << row;
            EXPECT_EQ(count(img, text, stored ? isLime : isRed), 0) << row;

            // Ticked: exactly the tick picture at ((cell width - 29) / 2, 1).
            const QRect cell = grid->visualRect(Cell(f, row, "wybrany"));
            const QPoint at(cell.left() + (cell.width() - TfListaZOdczytu::kTickWidth) / 2, cell.top() + 1);
            EXPECT_EQ(mem.BoolAt(row, Field("wybrany")), !stored) << row;
            EXPECT_EQ(Drawn(img, cell), stored ? QRect() : tickBox.translated(at)) << row;
        }
        // Highlighted, the stored row is no longer red.
        grid->setFocus();
        grid->setCurrentIndex(Cell(f, 1, "kierowca"));
        img = grid->viewport()->grab().toImage();
        const QRect text = grid->visualRect(Cell(f, 1, "kierowca")).adjusted(2, 2, -2, -2);
        EXPECT_EQ(count(img, text, isRed), 0);
        EXPECT_GT(count(img, text, isWhite), 5);
        f.SpeedButton4Click();
    });
}

}  // namespace
