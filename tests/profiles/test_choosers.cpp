// The driver, track and vehicle profile choosers as the user drives them:
// ticks in the table and on the cards, OK, Cancel, double clicks, the view
// mode in the project record, the track search keys and the home page.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QStackedWidget>

#include <functional>

#include "catalogue_support.h"
#include "controls/MathCtrl.h"
#include "profiles/ukierowca.h"
#include "profiles/ulistakierowcow.h"
#include "profiles/ulistapojazdow.h"
#include "profiles/ulistatorow.h"
#include "profiles/unowycarSet.h"
#include "profiles/utor.h"
#include "controls/ButtonComps.h"

using namespace catalogue_test;
using Rows = std::vector<std::pair<int, bool>>;

namespace {

template <typename Window>
void OnChooser(const char* className, std::function<void(Window&)> script)
{
    platform::testing::OnModal(QString::fromLatin1(className), [script](QDialog& d) {
        auto* w = qobject_cast<Window*>(&d);
        ASSERT_NE(w, nullptr);
        script(*w);
    });
}

void Click(TImageButton* button) { QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center()); }

// The row of the list whose id is id.
int RowOf(CatalogueList* list, int id)
{
    for (int r = 0; r < list->RowCount(); ++r)
        if (list->IdAt(r) == id)
            return r;
    return -1;
}

class DriverChooserTest : public CatalogueGuiTest {
protected:
    void SetUp() override
    {
        CatalogueGuiTest::SetUp();
        AddDriver(1, QStringLiteral("Jan"), QStringLiteral("Kowalski"), PhotoBytes("BMP", QColor(200, 40, 40), {200, 200}));
        AddDriver(2, QStringLiteral("Anna"), QStringLiteral("Adamska"));
        AddDriver(3, QStringLiteral("Piotr"), QStringLiteral("Zielinski"));
        AddDriver(4, QStringLiteral("Olga"), QStringLiteral("Bak"), {}, 1);  // softly deleted
        Project().SetDriverListView(1);  // table
    }
};

}  // namespace

TEST_F(DriverChooserTest, TicksInTheTableAndOkPrunes)
{
    // Rows by surname: Adamska (2), Kowalski (1), Zielinski (3).
    OnChooser<Tflistakierowcow>("Tflistakierowcow", [](Tflistakierowcow& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Drivers"));
        EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
        CatalogueTableView* table = w.RxDBGrid1();
        ASSERT_TRUE(table->isVisible());
        EXPECT_FALSE(table->isColumnHidden(0));
        EXPECT_EQ(table->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("sel."));
        ASSERT_EQ(w.IBQuery1()->RowCount(), 3);
        for (int i = 0; i < 3; ++i)
            ClickCell(table, 0, 0);  // tick, untick, tick Adamska
        ClickCell(table, 2, 0);
        ClickCell(table, 2, 0);  // tick and untick Zielinski
        EXPECT_EQ(Ticks(DM->memWybraniKierowcy, "id_kierowcy"), (Rows{{2, true}, {3, false}}));
        ClickCell(table, 1, 2);  // a plain cell only moves to Kowalski
        Click(w.Browser()->OkButton());
    });
    DM->memWybraniKierowcy.Open();
    DM->memWybraniKierowcy.Append();
    DM->memWybraniKierowcy.FieldByName("id_kierowcy").SetAsInteger(77);  // left by an earlier showing
    DM->memWybraniKierowcy.Post();
    EXPECT_EQ(ChooseDriver(true), 1);
    EXPECT_EQ(Ticks(DM->memWybraniKierowcy, "id_kierowcy"), (Rows{{2, true}}));
}

TEST_F(DriverChooserTest, CancelKeepsRowsAndReturnsMinusOne)
{
    OnChooser<Tflistakierowcow>("Tflistakierowcow", [](Tflistakierowcow& w) {
        ClickCell(w.RxDBGrid1(), 0, 0);
        ClickCell(w.RxDBGrid1(), 1, 0);
        ClickCell(w.RxDBGrid1(), 1, 0);
        Click(w.Browser()->CancelButton());
    });
    EXPECT_EQ(ChooseDriver(true), -1);
    EXPECT_EQ(Ticks(DM->memWybraniKierowcy, "id_kierowcy"), (Rows{{2, true}, {1, false}}));

    // Closed without a button: also -1.
    OnChooser<Tflistakierowcow>("Tflistakierowcow", [](Tflistakierowcow& w) { w.close(); });
    EXPECT_EQ(ChooseDriver(false), -1);
}

TEST_F(DriverChooserTest, DoubleClickChooses)
{
    struct Case {
        const char* name;
        bool multi;
        int viewMode;
        std::vector<int> tickRows;  // rows ticked before the double click
        int row;                    // row double clicked
        int result;
        Rows ticks;
    };
    const std::vector<Case> cases = {
        {"single, table", false, 1, {}, 1, 1, {{1, true}}},
        {"single, cards", false, 0, {}, 2, 3, {{3, true}}},
        {"multi without ticks", true, 1, {}, 2, 3, {{3, true}}},
        {"multi with ticks only confirms", true, 1, {0}, 2, 3, {{2, true}}},
        {"multi with ticks on the cards", true, 0, {1}, 0, 2, {{1, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Project().SetDriverListView(std::uint8_t(c.viewMode));
        OnChooser<Tflistakierowcow>("Tflistakierowcow", [&c](Tflistakierowcow& w) {
            EXPECT_EQ(w.RxDBGrid1()->isColumnHidden(0), !c.multi);
            EXPECT_EQ(w.DBCtrlGrid1()->Delegate()->CheckVisible(), c.multi);
            for (int r : c.tickRows) {
                if (c.viewMode == 1) {
                    ClickCell(w.RxDBGrid1(), r, 0);
                } else {
                    CatalogueCardView* cards = w.DBCtrlGrid1();
                    QTest::mouseClick(cards->viewport(), Qt::LeftButton, {},
                                      cards->Delegate()->CheckRect(cards->CardRect(r)).center());
                }
            }
            QAbstractItemView* view = c.viewMode == 1 ? static_cast<QAbstractItemView*>(w.RxDBGrid1())
                                                      : static_cast<QAbstractItemView*>(w.DBCtrlGrid1());
            ASSERT_TRUE(view->isVisible());
            DoubleClickAt(view, CellCentre(view, c.row, c.viewMode == 1 ? 2 : 0));
            EXPECT_FALSE(w.isVisible());
        });
        EXPECT_EQ(ChooseDriver(c.multi), c.result);
        EXPECT_EQ(Ticks(DM->memWybraniKierowcy, "id_kierowcy"), c.ticks);
    }
}

TEST_F(DriverChooserTest, CheckPictureOnCardsShowsTheLastClick)
{
    Project().SetDriverListView(0);
    OnChooser<Tflistakierowcow>("Tflistakierowcow", [](Tflistakierowcow& w) {
        CatalogueCardView* cards = w.DBCtrlGrid1();
        ASSERT_TRUE(cards->isVisible());
        CatalogueCardDelegate* d = cards->Delegate();
        EXPECT_FALSE(d->CheckTicked());
        auto clickCheck = [&](int row) {
            QTest::mouseClick(cards->viewport(), Qt::LeftButton, {}, d->CheckRect(cards->CardRect(row)).center());
        };
        clickCheck(0);
        EXPECT_TRUE(d->CheckTicked());
        EXPECT_EQ(w.IBQuery1()->CurrentRow(), 0);
        clickCheck(1);
        EXPECT_TRUE(d->CheckTicked());
        clickCheck(1);
        EXPECT_FALSE(d->CheckTicked());  // every card shows the state of this last click
        // A click elsewhere on a card only moves to it.
        QTest::mouseClick(cards->viewport(), Qt::LeftButton, {}, cards->CardRect(2).center());
        EXPECT_EQ(w.IBQuery1()->CurrentRow(), 2);
        EXPECT_EQ(Ticks(DM->memWybraniKierowcy, "id_kierowcy"), (Rows{{2, true}, {1, false}}));
        Click(w.Browser()->OkButton());
    });
    EXPECT_EQ(ChooseDriver(true), 3);
    EXPECT_EQ(Ticks(DM->memWybraniKierowcy, "id_kierowcy"), (Rows{{2, true}}));
}

TEST_F(DriverChooserTest, ViewModeIsKeptInTheProject)
{
    Project().SetDriverListView(0);
    OnChooser<Tflistakierowcow>("Tflistakierowcow", [](Tflistakierowcow& w) {
        EXPECT_TRUE(w.DBCtrlGrid1()->isVisible());
        EXPECT_TRUE(w.Browser()->PictureButton()->isChecked());
        QTest::mouseClick(w.Browser()->ListButton(), Qt::LeftButton);
        EXPECT_TRUE(w.RxDBGrid1()->isVisible());
        EXPECT_FALSE(w.DBCtrlGrid1()->isVisible());
        EXPECT_TRUE(w.Browser()->ListButton()->isChecked());
        EXPECT_FALSE(w.Browser()->PictureButton()->isChecked());
        EXPECT_EQ(Project().DriverListView(), 1);
        Click(w.Browser()->CancelButton());
    });
    ChooseDriver(false);
    EXPECT_EQ(Project().DriverListView(), 1);
    EXPECT_EQ(Project().TrackListView(), 0);

    OnChooser<Tflistakierowcow>("Tflistakierowcow", [](Tflistakierowcow& w) {
        EXPECT_TRUE(w.RxDBGrid1()->isVisible());
        EXPECT_TRUE(w.Browser()->ListButton()->isChecked());
        // Single mode: the first visible column is the current one.
        EXPECT_EQ(w.RxDBGrid1()->currentIndex().column(), 1);
        QTest::mouseClick(w.Browser()->PictureButton(), Qt::LeftButton);
        EXPECT_EQ(Project().DriverListView(), 0);
        Click(w.Browser()->CancelButton());
    });
    ChooseDriver(false);
    EXPECT_EQ(Project().DriverListView(), 0);
}

TEST_F(DriverChooserTest, AddReReadsEditDoesNot)
{
    int calls = 0;
    platform::testing::OnModal(QStringLiteral("Tfkierowca"), [&calls](QDialog& d) {
        // As if the editor saved a driver each time.
        if (++calls == 1)
            AddDriver(8, QStringLiteral("Zofia"), QStringLiteral("Zyla"));
        else
            AddDriver(9, QStringLiteral("Ewa"), QStringLiteral("Aaron"));
        d.reject();
    });
    OnChooser<Tflistakierowcow>("Tflistakierowcow", [](Tflistakierowcow& w) {
        CatalogueList* list = w.IBQuery1();
        list->SetCurrentRow(2);
        // Edit writes nothing the list would show until it is opened again.
        Click(w.Browser()->EditButton());
        EXPECT_EQ(list->RowCount(), 3);
        EXPECT_EQ(list->CurrentRow(), 2);
        Click(w.Browser()->AddButton());
        EXPECT_EQ(list->RowCount(), 5);  // the one added and the one saved while editing
        EXPECT_EQ(list->CurrentRow(), 0);
        EXPECT_EQ(list->CurrentId(), 9);
        Click(w.Browser()->OkButton());
    });
    EXPECT_EQ(ChooseDriver(false), 9);
    EXPECT_EQ(calls, 2);
}

// ------------------------------------------------------------------ tracks

namespace {

class TrackChooserTest : public CatalogueGuiTest {
protected:
    void SetUp() override
    {
        CatalogueGuiTest::SetUp();
        // By name: "  Two blanks", " One blank", "Alpha", "Bravo", "aBC track", "abc".
        AddTrack(100001, QStringLiteral("Alpha"), QStringLiteral("www.alpha.pl"),
                 PhotoBytes("JPG", QColor(30, 90, 160), {320, 200}));
        AddTrack(100002, QStringLiteral("aBC track"));
        AddTrack(100003, QStringLiteral("Bravo"), QStringLiteral("http://bravo.example"));
        AddTrack(100004, QStringLiteral("abc"));
        AddTrack(100005, QStringLiteral(" One blank"));
        AddTrack(100006, QStringLiteral("  Two blanks"));
        AddTrack(100007, QStringLiteral("Gone"), {}, {}, 1);
        Project().SetTrackListView(1);
    }

    static QString CurrentName(TfListaTorow& w)
    {
        return w.IBQuery1()->Text(w.IBQuery1()->CurrentRow(), QStringLiteral("NAZWA"));
    }
};

}  // namespace

TEST_F(TrackChooserTest, TypingIntoTheTableSearches)
{
    OnChooser<TfListaTorow>("TfListaTorow", [](TfListaTorow& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Tracks"));
        CatalogueTableView* table = w.RxDBGrid1();
        QLineEdit* box = w.Editszukaj();
        ASSERT_NE(box, nullptr);
        ASSERT_EQ(w.IBQuery1()->RowCount(), 6);
        ASSERT_TRUE(Activate(w));
        table->setFocus();
        const std::vector<std::pair<const char*, const char*>> steps = {
            {"a", "Alpha"}, {"b", "aBC track"}, {"c", "aBC track"}};
        QString typed;
        for (const auto& [key, name] : steps) {
            // The first letter takes the focus to the box; the others are typed there.
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(key));
            EXPECT_TRUE(box->hasFocus());
            typed += QString::fromLatin1(key);
            EXPECT_EQ(box->text(), typed);
            EXPECT_EQ(CurrentName(w), QString::fromLatin1(name));
            EXPECT_EQ(box->cursorPosition(), typed.size());
        }
        // Keys in the box that give the list the focus back.
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Left, Qt::Key_Right,
                            Qt::Key_Return, Qt::Key_Enter}) {
            box->setFocus();
            QTest::keyClick(box, key);
            EXPECT_TRUE(table->hasFocus()) << key;
            EXPECT_EQ(box->text(), QStringLiteral("abc"));
        }
        // Backspace in the list only moves the focus.
        QTest::keyClick(table, Qt::Key_Backspace);
        EXPECT_TRUE(box->hasFocus());
        EXPECT_EQ(box->text(), QStringLiteral("abc"));
        // Escape in the box empties it first; the current row stays.
        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_EQ(box->text(), QString());
        EXPECT_TRUE(table->hasFocus());
        EXPECT_EQ(CurrentName(w), QStringLiteral("aBC track"));
        EXPECT_TRUE(w.isVisible());
        // Escape in the list empties the box too; Enter stays with the list.
        box->setText(QStringLiteral("b"));
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Escape);
        EXPECT_EQ(box->text(), QString());
        QTest::keyClick(table, Qt::Key_Return);
        EXPECT_EQ(box->text(), QString());
        EXPECT_TRUE(w.isVisible());
        Click(w.Browser()->OkButton());
    });
    EXPECT_EQ(ChooseTrack(false), 100003);  // "b" found Bravo
}

TEST_F(TrackChooserTest, SearchTextsAsTyped)
{
    OnChooser<TfListaTorow>("TfListaTorow", [](TfListaTorow& w) {
        QLineEdit* box = w.Editszukaj();
        const std::vector<std::pair<QString, QString>> cases = {
            {QStringLiteral(" o"), QStringLiteral(" One blank")},     // leading blanks are searched with
            {QStringLiteral("  t"), QStringLiteral("  Two blanks")},
            {QStringLiteral(" a"), QStringLiteral("  Two blanks")},   // no match: the first row
            {QStringLiteral("ABC "), QStringLiteral("aBC track")},
            {QStringLiteral("bravo"), QStringLiteral("Bravo")},
        };
        for (const auto& [text, name] : cases) {
            box->setText(text);
            EXPECT_EQ(CurrentName(w), name) << text.toStdString();
        }
        // A blank text leaves the current row where it is.
        box->setText(QStringLiteral("   "));
        EXPECT_EQ(CurrentName(w), QStringLiteral("Bravo"));
        Click(w.Browser()->CancelButton());
    });
    EXPECT_EQ(ChooseTrack(false), -1);
}

TEST_F(TrackChooserTest, CardsTakeCharactersToo)
{
    Project().SetTrackListView(0);
    OnChooser<TfListaTorow>("TfListaTorow", [](TfListaTorow& w) {
        CatalogueCardView* cards = w.DBCtrlGrid1();
        ASSERT_TRUE(cards->isVisible());
        ASSERT_TRUE(Activate(w));
        QTest::keyClicks(cards, QStringLiteral("br"));
        EXPECT_EQ(w.Editszukaj()->text(), QStringLiteral("br"));
        EXPECT_EQ(CurrentName(w), QStringLiteral("Bravo"));
        QTest::keyClick(w.Editszukaj(), Qt::Key_Escape);
        EXPECT_TRUE(cards->hasFocus());
        Click(w.Browser()->OkButton());
    });
    EXPECT_EQ(ChooseTrack(false), 100003);
}

TEST_F(TrackChooserTest, HomePageCells)
{
    OnChooser<TfListaTorow>("TfListaTorow", [](TfListaTorow& w) {
        CatalogueTableView* table = w.RxDBGrid1();
        const int www = static_cast<CatalogueModel*>(table->model())->ColumnOfTag(2);
        ASSERT_EQ(table->model()->headerData(www, Qt::Horizontal).toString(), QStringLiteral("WWW"));
        ClickCell(table, RowOf(w.IBQuery1(), 100002), www);  // empty: nothing opens
        EXPECT_TRUE(platform::testing::OpenedDocuments().isEmpty());
        ClickCell(table, RowOf(w.IBQuery1(), 100001), www);
        ClickCell(table, RowOf(w.IBQuery1(), 100003), 1);  // not the WWW column
        EXPECT_EQ(platform::testing::OpenedDocuments(), QStringList{QStringLiteral("www.alpha.pl")});
        Click(w.Browser()->CancelButton());
    });
    ChooseTrack(false);
}

TEST_F(TrackChooserTest, TickUntickLeavesNoRowAfterOk)
{
    OnChooser<TfListaTorow>("TfListaTorow", [](TfListaTorow& w) {
        const int alpha = RowOf(w.IBQuery1(), 100001), bravo = RowOf(w.IBQuery1(), 100003);
        ClickCell(w.RxDBGrid1(), alpha, 0);
        ClickCell(w.RxDBGrid1(), bravo, 0);
        ClickCell(w.RxDBGrid1(), alpha, 0);
        Click(w.Browser()->OkButton());
    });
    EXPECT_EQ(ChooseTrack(true), 100001);
    EXPECT_EQ(Ticks(DM->memwybraneTory, "id_toru"), (Rows{{100003, true}}));
    EXPECT_TRUE(DM->memWybraniKierowcy.IsEmpty());
}

TEST_F(TrackChooserTest, ViewModeByte41)
{
    Project().SetTrackListView(0);
    Project().SetDriverListView(0);
    OnChooser<TfListaTorow>("TfListaTorow", [](TfListaTorow& w) {
        QTest::mouseClick(w.Browser()->ListButton(), Qt::LeftButton);
        Click(w.Browser()->OkButton());
    });
    ChooseTrack(false);
    EXPECT_EQ(Project().TrackListView(), 1);
    EXPECT_EQ(Project().DriverListView(), 0);
}

TEST(TrackChooserEmpty, OkReturnsZero)
{
    platform::testing::SetScripted(true);
    TestDatabase db;
    OnChooser<TfListaTorow>("TfListaTorow", [](TfListaTorow& w) {
        EXPECT_TRUE(w.IBQuery1()->IsEmpty());
        ClickCell(w.RxDBGrid1(), 0, 0);  // nowhere to click
        QTest::keyClicks(w.RxDBGrid1(), QStringLiteral("x"));
        Click(w.Browser()->OkButton());
    });
    EXPECT_EQ(ChooseTrack(true), 0);
    EXPECT_TRUE(DM->memwybraneTory.IsEmpty());
    platform::testing::ClearModalHandlers();
}

// ------------------------------------------------------- shared behaviour

// The three choosers, each with the call that shows it.
struct ChooserCall {
    const char* className;
    std::function<int()> choose;
};
const ChooserCall kChoosers[] = {
    {"Tflistakierowcow", [] { return ChooseDriver(false); }},
    {"TfListaTorow", [] { return ChooseTrack(false); }},
    {"TflistaPojazdow", [] { return ChooseVehicle(); }},
};

// Two entries in each catalogue; the one added first sorts last.
void AddTwoOfEach()
{
    AddDriver(1, QStringLiteral("Jan"), QStringLiteral("Kowalski"));
    AddDriver(2, QStringLiteral("Anna"), QStringLiteral("Adamska"));
    AddTrack(100001, QStringLiteral("Alpha"));
    AddTrack(100002, QStringLiteral("Bravo"));
    AddProfile(1, QStringLiteral("Dry"));
    AddProfile(2, QStringLiteral("Autumn"));
}

// Runs a chooser with script acting on its browser.
int RunChooser(const ChooserCall& chooser, const std::function<void(QDialog&, CatalogueBrowser&)>& script)
{
    platform::testing::OnModal(QString::fromLatin1(chooser.className), [&script](QDialog& d) {
        auto* browser = d.findChild<CatalogueBrowser*>();
        ASSERT_NE(browser, nullptr);
        script(d, *browser);
    });
    return chooser.choose();
}

// An entry added from a chooser and saved is the current one, so OK right
// after takes it, wherever it sorts.
TEST(ChooserAdd, TheSavedNewEntryIsTheOneChosen)
{
    platform::testing::SetScripted(true);
    TestDatabase db;
    AddTwoOfEach();
    platform::testing::OnModal(QStringLiteral("Tfkierowca"), [](QDialog& d) {
        auto& f = static_cast<Tfkierowca&>(d);
        f.Edit1->setText(QStringLiteral("Zyla"));
        f.SpeedButton1->click();
    });
    platform::testing::OnModal(QStringLiteral("TfTor"), [](QDialog& d) {
        auto& f = static_cast<TfTor&>(d);
        f.Edit1->setText(QStringLiteral("Zakopane"));
        f.SpeedButton1->click();
    });
    platform::testing::OnModal(QStringLiteral("TfnowycarSet"), [](QDialog& d) {
        auto& f = static_cast<TfnowycarSet&>(d);
        f.Edit1->setText(QStringLiteral("Wet"));
        f.SpeedButton1->click();
    });
    const int added[] = {3, 100003, 3};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(kChoosers[i].className);
        const int chosen = RunChooser(kChoosers[i], [&](QDialog&, CatalogueBrowser& browser) {
            Click(browser.AddButton());
            EXPECT_EQ(browser.List()->RowCount(), 3);
            EXPECT_EQ(browser.List()->CurrentId(), added[i]);
            EXPECT_EQ(browser.List()->CurrentRow(), 2);  // sorted last
            Click(browser.OkButton());
        });
        EXPECT_EQ(chosen, added[i]);
    }
    platform::testing::ClearModalHandlers();
}

// A double click in the table below its rows counts as one on the table:
// the current row is chosen, 0 on an empty list.
TEST(ChooserTableDoubleClick, BelowTheRowsChoosesTheCurrentRow)
{
    platform::testing::SetScripted(true);
    TestDatabase db;
    Project().SetDriverListView(1);
    Project().SetTrackListView(1);
    auto belowTheRows = [](CatalogueTableView* table) {
        const int rows = table->model()->rowCount();
        const int y = rows > 0 ? table->visualRect(table->model()->index(rows - 1, 0)).bottom() + 30 : 30;
        return QPoint(table->viewport()->width() / 2, y);
    };
    auto run = [&](const ChooserCall& chooser, int expected) {
        SCOPED_TRACE(chooser.className);
        bool closed = false;
        const int chosen = RunChooser(chooser, [&](QDialog& d, CatalogueBrowser& browser) {
            if (browser.List()->RowCount() > 1)
                browser.List()->SetCurrentRow(1);
            DoubleClickAt(browser.Table(), belowTheRows(browser.Table()));
            closed = !d.isVisible();
        });
        EXPECT_EQ(chosen, expected);
        EXPECT_TRUE(closed);
    };
    for (const ChooserCall& chooser : kChoosers)
        run(chooser, 0);
    AddTwoOfEach();
    const int second[] = {1, 100002, 1};  // the second row of each list
    for (int i = 0; i < 3; ++i)
        run(kChoosers[i], second[i]);
    platform::testing::ClearModalHandlers();
}

// The lists keep each photo only at the size its card shows it, and the
// cards still show it.
TEST(ChooserPhotos, KeptAtTheSizeTheCardsShow)
{
    platform::testing::SetScripted(true);
    TestDatabase db;
    Project().SetDriverListView(0);
    Project().SetTrackListView(0);
    const QColor red(200, 40, 40), blue(30, 90, 160);
    AddDriver(1, QStringLiteral("Jan"), QStringLiteral("Kowalski"), PhotoBytes("BMP", red, {2400, 1800}));
    AddDriver(2, QStringLiteral("Anna"), QStringLiteral("Adamska"), PhotoBytes("BMP", red, {40, 30}));
    AddTrack(100001, QStringLiteral("Alpha"), {}, PhotoBytes("JPG", blue, {2400, 1800}));
    AddTrack(100002, QStringLiteral("Bravo"), {}, PhotoBytes("JPG", blue, {100, 60}));
    struct Case {
        const ChooserCall& chooser;
        QSize big, small;  // what is kept of the large and the small photo
        QColor colour;
    } cases[] = {
        {kChoosers[0], {160, 139}, {160, 139}, red},
        {kChoosers[1], {245, 184}, {100, 60}, blue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chooser.className);
        const int chosen = RunChooser(c.chooser, [&c](QDialog&, CatalogueBrowser& browser) {
            CatalogueList* list = browser.List();
            ASSERT_EQ(list->RowCount(), 2);
            const int big = list->IdAt(0) == 1 || list->IdAt(0) == 100001 ? 0 : 1;
            for (int row = 0; row < 2; ++row) {
                EXPECT_TRUE(list->Bytes(row, QStringLiteral("ZDJECIE")).isEmpty()) << row;
                EXPECT_EQ(list->Picture(row, QStringLiteral("ZDJECIE")).size(), row == big ? c.big : c.small) << row;
            }
            // The card draws what was kept.
            CatalogueCardView* cards = browser.Cards();
            ASSERT_TRUE(cards->isVisible());
            const QRect photo = cards->Delegate()->PhotoRect(cards->CardRect(big));
            const QImage shot = cards->viewport()->grab().toImage();
            const QColor shown = shot.pixelColor(photo.left() + photo.width() / 10, photo.center().y());
            EXPECT_LE(std::abs(shown.red() - c.colour.red()) + std::abs(shown.green() - c.colour.green()) +
                          std::abs(shown.blue() - c.colour.blue()),
                      30)
                << shown.name().toStdString();
            Click(browser.CancelButton());
        });
        EXPECT_EQ(chosen, -1);
    }
    platform::testing::ClearModalHandlers();
}

// ----------------------------------------------------------------- vehicles

TEST(VehicleChooser, ChooseAddAndEdit)
{
    platform::testing::SetScripted(true);
    TestDatabase db;
    AddProfile(1, QStringLiteral("Wet"));
    AddProfile(2, QStringLiteral("Dry"));
    AddProfile(3, QStringLiteral("Old"), 1);

    OnChooser<TflistaPojazdow>("TflistaPojazdow", [](TflistaPojazdow& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Vehicle profiles"));
        EXPECT_EQ(w.size(), QSize(1124, 675));
        EXPECT_EQ(w.DBCtrlGrid1(), nullptr);
        EXPECT_EQ(w.Browser()->SearchBox(), nullptr);
        CatalogueTableView* table = w.RxDBGrid1();
        ASSERT_EQ(table->model()->columnCount(), 1);
        EXPECT_EQ(table->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Profil name"));
        EXPECT_EQ(w.IBQuery1()->RowCount(), 2);  // Dry, Wet
        DoubleClickAt(table, CellCentre(table, 1, 0));
    });
    EXPECT_EQ(ChooseVehicle(), 1);

    // Add and edit re-read the list; the new profile shows at once, first row current.
    int editorCalls = 0;
    platform::testing::OnModal(QStringLiteral("TfnowycarSet"), [&editorCalls](QDialog& d) {
        ++editorCalls;
        if (editorCalls == 1)
            AddProfile(4, QStringLiteral("Autumn"));
        else
            Write(QStringLiteral("update POJAZDY set NAZWA = 'Zzz' where ID_POJAZDU = 4"));
        d.reject();
    });
    OnChooser<TflistaPojazdow>("TflistaPojazdow", [](TflistaPojazdow& w) {
        Click(w.Browser()->AddButton());
        EXPECT_EQ(w.IBQuery1()->RowCount(), 3);
        EXPECT_EQ(w.IBQuery1()->CurrentId(), 4);
        Click(w.Browser()->EditButton());
        EXPECT_EQ(w.IBQuery1()->IdAt(2), 4);  // renamed, now last
        Click(w.Browser()->OkButton());
    });
    EXPECT_EQ(ChooseVehicle(), 2);
    EXPECT_EQ(editorCalls, 2);

    OnChooser<TflistaPojazdow>("TflistaPojazdow", [](TflistaPojazdow& w) { Click(w.Browser()->CancelButton()); });
    EXPECT_EQ(ChooseVehicle(), -1);

    Write(QStringLiteral("update POJAZDY set USUNIETY = 1"));
    OnChooser<TflistaPojazdow>("TflistaPojazdow", [](TflistaPojazdow& w) {
        Click(w.Browser()->EditButton());  // nothing to edit
        Click(w.Browser()->OkButton());
    });
    EXPECT_EQ(ChooseVehicle(), 0);
    EXPECT_EQ(editorCalls, 2);
    platform::testing::ClearModalHandlers();
}
