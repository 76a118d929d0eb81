// The drivers, tracks and vehicle profiles list windows inside an MDI area:
// one window per class, the view mode shared with the choosers, soft delete
// with its question, home pages, double clicks, the tracks search.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include <functional>

#include "catalogue_support.h"
#include "controls/ButtonComps.h"
#include "profiles/ukierowca.h"
#include "profiles/ulistaPojazdowMDI.h"
#include "profiles/ulistakierMDI.h"
#include "profiles/ulistakierowcow.h"
#include "profiles/ulistatorow.h"
#include "profiles/ulistatorowMDI.h"
#include "profiles/unowycarSet.h"
#include "profiles/utor.h"
#include "support/areahost.h"

using namespace catalogue_test;

namespace {

void Click(TImageButton* button) { QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center()); }

int Count(TestDatabase& db, const QString& sql) { return db.Scalar(sql).toInt(); }

class ListWindowTest : public CatalogueGuiTest {
protected:
    void SetUp() override
    {
        CatalogueGuiTest::SetUp();
        area_ = std::make_unique<QMdiArea>();
        area_->resize(1600, 900);
        area_->show();
        host_ = std::make_unique<AreaHost>(*area_);
    }
    void TearDown() override
    {
        area_->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        host_.reset();
        area_.reset();
        CatalogueGuiTest::TearDown();
    }

    int ChildrenOf(const char* className) const
    {
        int n = 0;
        for (QMdiSubWindow* sub : area_->subWindowList())
            if (qstrcmp(sub->widget()->metaObject()->className(), className) == 0)
                ++n;
        return n;
    }

    std::unique_ptr<QMdiArea> area_;
    std::unique_ptr<AreaHost> host_;
};

// Records the ids an editor dialog class is opened with.
struct EditorCalls {
    explicit EditorCalls(const char* className) : ids(std::make_shared<QList<int>>())
    {
        auto list = ids;
        platform::testing::OnModal(QString::fromLatin1(className), [list](QDialog& d) {
            if (auto* e = qobject_cast<Tfkierowca*>(&d))
                list->append(e->Id());
            else if (auto* t = qobject_cast<TfTor*>(&d))
                list->append(t->Id());
            else if (auto* v = qobject_cast<TfnowycarSet*>(&d))
                list->append(v->Id());
            d.reject();
        });
    }
    std::shared_ptr<QList<int>> ids;
};

}  // namespace

TEST_F(ListWindowTest, OneWindowPerClassBroughtToFront)
{
    struct Case {
        const char* className;
        std::function<void()> show;
        std::function<CatalogueListWindow*()> instance;
        const char* caption;
        QSize size;
        std::function<void(int)> add;
    };
    const std::vector<Case> cases = {
        {"TFlistaKierowcowMDI", ShowDriversWindow, [] { return FlistaKierowcowMDI; }, "Drivers", {1305, 675},
         [](int id) { AddDriver(id, QStringLiteral("D"), QStringLiteral("D%1").arg(id)); }},
        {"Tflistatorowmdi", ShowTracksWindow, [] { return flistatorowmdi; }, "Tracks", {1305, 675},
         [](int id) { AddTrack(id, QStringLiteral("T%1").arg(id)); }},
        {"TflistaPojazdowMDI", ShowVehicleProfilesWindow, [] { return flistaPojazdowMDI; }, "Vehicle profiles",
         {1133, 675}, [](int id) { AddProfile(id, QStringLiteral("P%1").arg(id)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        c.add(1);
        c.add(2);
        c.show();
        CatalogueListWindow* first = c.instance();
        ASSERT_NE(first, nullptr);
        EXPECT_STREQ(first->metaObject()->className(), c.className);
        QMdiSubWindow* sub = area_->activeSubWindow();
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(sub->widget(), first);
        EXPECT_EQ(sub->windowTitle(), QString::fromLatin1(c.caption));
        EXPECT_EQ(sub->size(), c.size);
        EXPECT_EQ(first->IBQuery1()->RowCount(), 2);

        // Another window in front, a new row, the same command again.
        c.add(3);
        auto* other = area_->addSubWindow(new QWidget);
        other->show();
        area_->setActiveSubWindow(other);
        c.show();
        EXPECT_EQ(ChildrenOf(c.className), 1);
        EXPECT_EQ(c.instance(), first);
        EXPECT_EQ(area_->activeSubWindow(), sub);
        EXPECT_EQ(first->IBQuery1()->RowCount(), 2);  // not re-read

        // Closed, it frees itself; the next command makes a new one.
        sub->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(c.instance(), nullptr);
        EXPECT_EQ(ChildrenOf(c.className), 0);
        c.show();
        ASSERT_NE(c.instance(), nullptr);
        EXPECT_EQ(c.instance()->IBQuery1()->RowCount(), 3);
        area_->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(ListWindowTest, ViewModeSharedWithTheChoosers)
{
    struct Case {
        const char* name;
        std::function<void()> showList;
        std::function<CatalogueListWindow*()> instance;
        const char* chooserClass;
        std::function<int()> choose;
        int offset;
    };
    const std::vector<Case> cases = {
        {"drivers", ShowDriversWindow, [] { return FlistaKierowcowMDI; }, "Tflistakierowcow",
         [] { return ChooseDriver(false); }, ProjectRecord::OffDriverListView},
        {"tracks", ShowTracksWindow, [] { return flistatorowmdi; }, "TfListaTorow", [] { return ChooseTrack(false); },
         ProjectRecord::OffTrackListView},
    };
    AddDriver(1, QStringLiteral("Jan"), QStringLiteral("Kowalski"));
    AddTrack(100000, QStringLiteral("Bydgoszcz"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Project() = ProjectRecord();
        // The list window switched to "List" ...
        c.showList();
        CatalogueListWindow* w = c.instance();
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->DBCtrlGrid1()->isVisible());
        QTest::mouseClick(w->Browser()->ListButton(), Qt::LeftButton);
        EXPECT_TRUE(w->RxDBGrid1()->isVisible());
        EXPECT_EQ(Project().ByteAt(c.offset), 1);
        area_->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // ... opens the chooser in the table, which switches back to the cards ...
        platform::testing::OnModal(QString::fromLatin1(c.chooserClass), [](QDialog& d) {
            auto* chooser = qobject_cast<CatalogueChooserDialog*>(&d);
            ASSERT_NE(chooser, nullptr);
            EXPECT_TRUE(chooser->RxDBGrid1()->isVisible());
            QTest::mouseClick(chooser->Browser()->PictureButton(), Qt::LeftButton);
            d.reject();
        });
        c.choose();
        EXPECT_EQ(Project().ByteAt(c.offset), 0);

        // ... and the next list window shows cards.
        c.showList();
        ASSERT_NE(c.instance(), nullptr);
        EXPECT_TRUE(c.instance()->DBCtrlGrid1()->isVisible());
        EXPECT_TRUE(c.instance()->Browser()->PictureButton()->isChecked());
        area_->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(ListWindowTest, DeleteDriverAsksAndSoftDeletes)
{
    AddDriver(1, QStringLiteral("Jan"), QStringLiteral("Kowalski"));
    AddDriver(2, QStringLiteral("Anna"), QStringLiteral("Adamska"));
    AddDriver(3, QStringLiteral("Olga"), QStringLiteral("Bak"), {}, 1);  // deleted before
    Write(QStringLiteral("insert into KROM_KIEROWCY (ID_KIEROWCY, NR_SER_KROM) values (1, '1001')"));
    Write(QStringLiteral("insert into KROM_KIEROWCY (ID_KIEROWCY, NR_SER_KROM) values (1, '1002')"));
    Project().SetDriverListView(1);
    ShowDriversWindow();
    TFlistaKierowcowMDI* w = FlistaKierowcowMDI;
    ASSERT_NE(w, nullptr);
    CatalogueList* list = w->IBQuery1();
    ASSERT_EQ(list->RowCount(), 2);  // Adamska, Kowalski; Bak is not listed
    EXPECT_EQ(w->Browser()->DeleteButton()->toolTip(), QStringLiteral("Delete record"));
    ClickCell(w->RxDBGrid1(), 1, 1);
    ASSERT_EQ(list->CurrentId(), 1);

    platform::testing::QueueAnswer(platform::Answer::No);
    Click(w->Browser()->DeleteButton());
    EXPECT_EQ(platform::testing::Messages(), QStringList{QStringLiteral("Do you want to delete selected driver?")});
    EXPECT_EQ(list->RowCount(), 2);
    EXPECT_EQ(Count(db, QStringLiteral("select count(*) from KROM_KIEROWCY")), 2);

    platform::testing::ClearMessages();
    platform::testing::QueueAnswer(platform::Answer::Yes);
    Click(w->Browser()->DeleteButton());
    EXPECT_EQ(platform::testing::Messages().size(), 1);
    EXPECT_EQ(list->RowCount(), 1);
    EXPECT_EQ(list->CurrentId(), 2);
    EXPECT_EQ(Count(db, QStringLiteral("select USUNIETY from KIEROWCY where ID_KIEROWCY = 1")), 1);
    EXPECT_EQ(Count(db, QStringLiteral("select count(*) from KROM_KIEROWCY")), 0);

    // The last one goes too; then there is nothing to ask about.
    platform::testing::ClearMessages();
    platform::testing::QueueAnswer(platform::Answer::Yes);
    Click(w->Browser()->DeleteButton());
    EXPECT_TRUE(list->IsEmpty());
    platform::testing::ClearMessages();
    Click(w->Browser()->DeleteButton());
    EXPECT_TRUE(platform::testing::Messages().isEmpty());
}

TEST_F(ListWindowTest, FailedDeleteIsShownAndKeepsEverything)
{
    AddDriver(1, QStringLiteral("Jan"), QStringLiteral("Kowalski"));
    Write(QStringLiteral("insert into KROM_KIEROWCY (ID_KIEROWCY, NR_SER_KROM) values (1, '1001')"));
    db.Exec(QStringLiteral("create exception E_KEEP 'Drivers are locked'"));
    db.Exec(QStringLiteral("create trigger T_KEEP for KIEROWCY before update as begin "
                           "if (new.USUNIETY = 1) then exception E_KEEP; end"));
    ShowDriversWindow();
    ASSERT_NE(FlistaKierowcowMDI, nullptr);
    platform::testing::QueueAnswer(platform::Answer::Yes);
    Click(FlistaKierowcowMDI->Browser()->DeleteButton());
    const QStringList messages = platform::testing::Messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].startsWith(QStringLiteral("Error deleting record\n")));
    EXPECT_TRUE(messages[1].contains(QStringLiteral("Drivers are locked")));
    EXPECT_EQ(FlistaKierowcowMDI->IBQuery1()->RowCount(), 1);
    EXPECT_EQ(Count(db, QStringLiteral("select count(*) from KROM_KIEROWCY where ID_KIEROWCY = 1")), 1);
}

TEST_F(ListWindowTest, DeleteTrackAndProfile)
{
    AddTrack(100000, QStringLiteral("Bydgoszcz"));
    AddProfile(5, QStringLiteral("Rain"));
    Project().SetTrackListView(1);

    ShowTracksWindow();
    ASSERT_NE(flistatorowmdi, nullptr);
    platform::testing::QueueAnswer(platform::Answer::Yes);
    Click(flistatorowmdi->Browser()->DeleteButton());
    EXPECT_EQ(platform::testing::Messages(), QStringList{QStringLiteral("Do you want to delete selected track?")});
    EXPECT_TRUE(flistatorowmdi->IBQuery1()->IsEmpty());
    EXPECT_EQ(Count(db, QStringLiteral("select USUNIETY from TORY where ID_TORU = 100000")), 1);

    platform::testing::ClearMessages();
    ShowVehicleProfilesWindow();
    ASSERT_NE(flistaPojazdowMDI, nullptr);
    EXPECT_EQ(flistaPojazdowMDI->DBCtrlGrid1(), nullptr);
    EXPECT_EQ(flistaPojazdowMDI->Browser()->PictureButton(), nullptr);
    platform::testing::QueueAnswer(platform::Answer::Yes);
    Click(flistaPojazdowMDI->Browser()->DeleteButton());
    EXPECT_EQ(platform::testing::Messages(),
              QStringList{QStringLiteral("Do you want to delete selected car profile?")});
    EXPECT_TRUE(flistaPojazdowMDI->IBQuery1()->IsEmpty());
    EXPECT_EQ(Count(db, QStringLiteral("select USUNIETY from POJAZDY where ID_POJAZDU = 5")), 1);
}

TEST_F(ListWindowTest, TrackHomePagesAndDoubleClicks)
{
    AddTrack(100001, QStringLiteral("Alpha"), QStringLiteral("www.alpha.pl"),
             PhotoBytes("JPG", QColor(30, 90, 160), {640, 400}));
    AddTrack(100002, QStringLiteral("Bravo"));
    Project().SetTrackListView(0);
    EditorCalls editor("TfTor");
    ShowTracksWindow();
    Tflistatorowmdi* w = flistatorowmdi;
    ASSERT_NE(w, nullptr);
    CatalogueCardView* cards = w->DBCtrlGrid1();
    ASSERT_TRUE(cards->isVisible());
    CatalogueCardDelegate* d = cards->Delegate();
    const QModelIndex alpha = cards->model()->index(0, 0), bravo = cards->model()->index(1, 0);

    // The card's home page text.
    const QRect link = d->HomePageRect(cards->CardRect(0), alpha);
    ASSERT_FALSE(link.isEmpty());
    QTest::mouseClick(cards->viewport(), Qt::LeftButton, {}, link.center());
    EXPECT_EQ(platform::testing::OpenedDocuments(), QStringList{QStringLiteral("www.alpha.pl")});
    EXPECT_TRUE(d->HomePageRect(cards->CardRect(1), bravo).isEmpty());
    QTest::mouseClick(cards->viewport(), Qt::LeftButton, {}, link.translated(0, cards->CardRect(1).top()).center());
    EXPECT_EQ(platform::testing::OpenedDocuments().size(), 1);
    EXPECT_EQ(w->IBQuery1()->CurrentRow(), 1);

    // A double click on the photo does not open the editor; on the texts it does.
    DoubleClickAt(cards, d->PhotoRect(cards->CardRect(0)).center());
    EXPECT_TRUE(editor.ids->isEmpty());
    DoubleClickAt(cards, cards->CardRect(1).center());
    EXPECT_EQ(*editor.ids, QList<int>{100002});
    EXPECT_EQ(w->IBQuery1()->CurrentRow(), 0);  // re-read: the first row

    // Table: the "WWW" cell opens the page; an empty one opens nothing; a
    // double click in the table opens no editor.
    platform::testing::SetScripted(true);
    EditorCalls tableEditor("TfTor");
    QTest::mouseClick(w->Browser()->ListButton(), Qt::LeftButton);
    CatalogueTableView* table = w->RxDBGrid1();
    const int www = static_cast<CatalogueModel*>(table->model())->ColumnOfTag(2);
    ASSERT_GE(www, 0);
    ClickCell(table, 1, www);
    EXPECT_TRUE(platform::testing::OpenedDocuments().isEmpty());
    ClickCell(table, 0, www);
    EXPECT_EQ(platform::testing::OpenedDocuments(), QStringList{QStringLiteral("www.alpha.pl")});
    DoubleClickAt(table, CellCentre(table, 1, 0));
    EXPECT_TRUE(tableEditor.ids->isEmpty());
}

TEST_F(ListWindowTest, ADriverAddedAndSavedBecomesTheCurrentCard)
{
    AddDriver(1, QStringLiteral("Jan"), QStringLiteral("Kowalski"));
    AddDriver(2, QStringLiteral("Anna"), QStringLiteral("Adamska"));
    platform::testing::OnModal(QStringLiteral("Tfkierowca"), [](QDialog& d) {
        auto& f = static_cast<Tfkierowca&>(d);
        f.Edit1->setText(QStringLiteral("Zyla"));
        f.SpeedButton1->click();
    });
    ShowDriversWindow();
    ASSERT_NE(FlistaKierowcowMDI, nullptr);
    Click(FlistaKierowcowMDI->Browser()->AddButton());
    EXPECT_EQ(FlistaKierowcowMDI->IBQuery1()->RowCount(), 3);
    EXPECT_EQ(FlistaKierowcowMDI->IBQuery1()->CurrentId(), 3);
}

// The home page text is clicked exactly where it is drawn: every pixel of
// its ink lies inside the place a click is taken.
TEST_F(ListWindowTest, TrackHomePageIsClickedWhereItIsDrawn)
{
    AddTrack(100001, QStringLiteral("Alpha"));
    AddTrack(100002, QStringLiteral("Bravo"), QStringLiteral("www.bravo-karting.pl"));
    Project().SetTrackListView(0);
    ShowTracksWindow();
    Tflistatorowmdi* w = flistatorowmdi;
    ASSERT_NE(w, nullptr);
    CatalogueCardView* cards = w->DBCtrlGrid1();
    ASSERT_TRUE(cards->isVisible());
    ASSERT_EQ(w->IBQuery1()->CurrentRow(), 0);  // Bravo's card is not current: its link is orange
    const QRect card = cards->CardRect(1);
    const QImage shot = cards->viewport()->grab().toImage();
    const QColor ink(0xff, 0x8d, 0x45);
    QRect drawn;
    for (int y = card.top(); y <= card.bottom() && y < shot.height(); ++y)
        for (int x = card.left(); x <= card.right() && x < shot.width(); ++x)
            if (shot.pixelColor(x, y) == ink)
                drawn |= QRect(x, y, 1, 1);
    ASSERT_FALSE(drawn.isEmpty());
    const QRect hit = cards->Delegate()->HomePageRect(card, cards->model()->index(1, 0));
    EXPECT_TRUE(hit.contains(drawn)) << "drawn " << drawn.top() << ".." << drawn.bottom() << ", clicked "
                                     << hit.top() << ".." << hit.bottom();
    // A click on the top of the text opens the page.
    QTest::mouseClick(cards->viewport(), Qt::LeftButton, {}, QPoint(drawn.center().x(), drawn.top()));
    EXPECT_EQ(platform::testing::OpenedDocuments(), QStringList{QStringLiteral("www.bravo-karting.pl")});
}

TEST_F(ListWindowTest, TracksSearchFromTheCardsOnly)
{
    AddTrack(100001, QStringLiteral("Alpha"));
    AddTrack(100002, QStringLiteral("Bravo"));
    AddTrack(100003, QStringLiteral("Charlie"));
    Project().SetTrackListView(0);
    ShowTracksWindow();
    Tflistatorowmdi* w = flistatorowmdi;
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(Activate(*area_));
    CatalogueCardView* cards = w->DBCtrlGrid1();
    cards->setFocus();
    QTest::keyClicks(cards, QStringLiteral("ch"));
    EXPECT_EQ(w->Editszukaj()->text(), QStringLiteral("ch"));
    EXPECT_EQ(w->IBQuery1()->CurrentId(), 100003);
    EXPECT_TRUE(w->Editszukaj()->hasFocus());
    // Backspace in the cards only moves the focus; Escape in the cards empties the box.
    cards->setFocus();
    QTest::keyClick(cards, Qt::Key_Backspace);
    EXPECT_TRUE(w->Editszukaj()->hasFocus());
    EXPECT_EQ(w->Editszukaj()->text(), QStringLiteral("ch"));
    cards->setFocus();
    QTest::keyClick(cards, Qt::Key_Escape);
    EXPECT_EQ(w->Editszukaj()->text(), QString());
    EXPECT_TRUE(cards->hasFocus());

    // Characters typed in the table stay there.
    QTest::mouseClick(w->Browser()->ListButton(), Qt::LeftButton);
    CatalogueTableView* table = w->RxDBGrid1();
    ASSERT_TRUE(table->hasFocus());
    QTest::keyClicks(table, QStringLiteral("b"));
    EXPECT_EQ(w->Editszukaj()->text(), QString());
    EXPECT_TRUE(table->hasFocus());
    EXPECT_EQ(w->IBQuery1()->CurrentId(), 100003);
    // The box still searches when typed into.
    w->Editszukaj()->setText(QStringLiteral("BR"));
    EXPECT_EQ(w->IBQuery1()->CurrentId(), 100002);
}

TEST_F(ListWindowTest, DriversAddEditAndDoubleClick)
{
    AddDriver(1, QStringLiteral("Jan"), QStringLiteral("Kowalski"), PhotoBytes("BMP", Qt::darkRed, {200, 200}));
    AddDriver(2, QStringLiteral("Anna"), QStringLiteral("Adamska"));
    Project().SetDriverListView(0);
    EditorCalls editor("Tfkierowca");
    ShowDriversWindow();
    TFlistaKierowcowMDI* w = FlistaKierowcowMDI;
    ASSERT_NE(w, nullptr);
    CatalogueCardView* cards = w->DBCtrlGrid1();

    // A double click anywhere on a card, photo included, edits it.
    DoubleClickAt(cards, cards->Delegate()->PhotoRect(cards->CardRect(1)).center());
    DoubleClickAt(cards, cards->CardRect(0).center());
    Click(w->Browser()->AddButton());
    w->IBQuery1()->SetCurrentRow(1);
    Click(w->Browser()->EditButton());
    w->Browser()->HiddenEditButton()->click();
    w->Browser()->HiddenAddButton()->click();
    EXPECT_EQ(*editor.ids, (QList<int>{1, 2, -1, 1, 2, -1}));

    // The edits are shown at once (the list is re-read).
    platform::testing::OnModal(QStringLiteral("Tfkierowca"), [](QDialog& d) {
        Write(QStringLiteral("update KIEROWCY set NAZWISKO = 'Zawada' where ID_KIEROWCY = 2"));
        d.reject();
    });
    Click(w->Browser()->EditButton());
    EXPECT_EQ(w->IBQuery1()->Text(1, QStringLiteral("NAZWISKO")), QStringLiteral("Zawada"));
}

TEST_F(ListWindowTest, VehicleProfilesTable)
{
    AddProfile(1, QStringLiteral("Wet"));
    EditorCalls editor("TfnowycarSet");
    ShowVehicleProfilesWindow();
    TflistaPojazdowMDI* w = flistaPojazdowMDI;
    ASSERT_NE(w, nullptr);
    CatalogueTableView* table = w->RxDBGrid1();
    EXPECT_TRUE(table->isVisible());
    DoubleClickAt(table, CellCentre(table, 0, 0));  // opens nothing
    w->Browser()->HiddenEditButton()->click();       // no action here
    w->Browser()->HiddenAddButton()->click();
    EXPECT_TRUE(editor.ids->isEmpty());
    Click(w->Browser()->EditButton());
    Click(w->Browser()->AddButton());
    EXPECT_EQ(*editor.ids, (QList<int>{1, -1}));
}
