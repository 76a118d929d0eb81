// The calendar wizard and its month frames as the user sees them: the tree
// of years, the days laid out in their panels with counts, tracks and tick
// boxes, ticks carried between the year and month views, OK, Cancel and
// the close box, and the wheel over the year view.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTreeWidget>
#include <QWheelEvent>
#include <QWindow>

#include "analysis/calendar.h"
#include "analysis/uframmiesiac.h"
#include "analysis/ufrmiesiacduzy.h"
#include "analysis/uprocesBrowser.h"
#include "choice_gui_support.h"
#include "controls/ButtonComps.h"
#include "platform/dialogs.h"
#include "shell/data/ubazy.h"

using namespace choice_test;

namespace {

QCheckBox* Tick(QFrame* panel) { return qobject_cast<QCheckBox*>(MonthFrame::ChildByTag(MonthFrame::kTickTag, panel)); }
QLabel* Label(QFrame* panel, int tag) { return qobject_cast<QLabel*>(MonthFrame::ChildByTag(tag, panel)); }

class CalendarBrowserTest : public ChoiceGuiTest {
protected:
    void SetUp() override
    {
        ChoiceGuiTest::SetUp();
        AddTrack(db, 10, QStringLiteral("Boruta"));
        AddTrack(db, 20, QStringLiteral("Radom"));
        // 1 May 2024 is a Wednesday: 4 May lies in panel 6.
        AddSession(db, {1, At(2024, 5, 4, 10), At(2024, 5, 4, 10, 20), 0, 20});
        AddSession(db, {2, At(2024, 5, 4, 11), At(2024, 5, 4, 11, 20), 0, 10});
        AddSession(db, {3, At(2024, 5, 11, 9), At(2024, 5, 11, 9, 20), 0, 10});
        AddSession(db, {4, At(2023, 9, 9, 14), At(2023, 9, 9, 14, 30), 0, 10});
        DM->memWybraneDni.Close();
    }

    // Shows the calendar built as after its start-up timer and runs script.
    void Browse(std::function<void(TfprocesBrowser&)> script, bool ok = true)
    {
        OnForm<TfprocesBrowser>("TfprocesBrowser", [script, ok](TfprocesBrowser& b) {
            b.Timer1Timer();
            script(b);
            if (b.isVisible())
                ok ? Click(b.SpeedButton1) : Click(b.SpeedButton2);
        });
        ShowCalendarWizard();
    }
};

TEST_F(CalendarBrowserTest, TreeListsEveryMonthOfEveryYearNewestFirst)
{
    Browse([](TfprocesBrowser& b) {
        QTreeWidget* tree = b.TreeView1;
        ASSERT_EQ(tree->topLevelItemCount(), 2);
        EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("2024"));
        EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("2023"));
        for (int y = 0; y < 2; ++y) {
            ASSERT_EQ(tree->topLevelItem(y)->childCount(), 12);
            EXPECT_EQ(tree->topLevelItem(y)->child(0)->text(0), QStringLiteral("1 - January"));
            EXPECT_EQ(tree->topLevelItem(y)->child(11)->text(0), QStringLiteral("12 - December"));
        }
        EXPECT_EQ(TfprocesBrowser::NodeOf(tree->topLevelItem(1)->child(8)), (TfprocesBrowser::Node{2, 9, 2023}));

        // The first node's year is shown, in white.
        EXPECT_EQ(TfprocesBrowser::NodeOf(tree->currentItem()), (TfprocesBrowser::Node{1, 2024, 0}));
        EXPECT_TRUE(b.ScrollBox1->isVisible());
        EXPECT_FALSE(b.ScrollBox2->isVisible());
        EXPECT_EQ(b.ScrollBox1->Tag, 2024);
        EXPECT_EQ(b.Panel2->palette().color(QPalette::Window), QColor(Qt::white));
        EXPECT_FALSE(b.Animate1->Active());
        EXPECT_FALSE(b.Busy());
        EXPECT_TRUE(b.Panel1->isEnabled());
        for (int m = 1; m <= 12; ++m) {
            EXPECT_EQ(b.SmallFrame(m)->objectName(), QStringLiteral("miesiac%1").arg(m));
            EXPECT_EQ(b.SmallFrame(m)->Month(), m);
            EXPECT_EQ(b.SmallFrame(m)->Year(), 2024);
        }
        EXPECT_EQ(b.SmallFrame(1)->pos(), QPoint(10, 10));
        EXPECT_EQ(b.SmallFrame(6)->pos(), QPoint(692, 287));
        EXPECT_EQ(b.SmallFrame(10)->pos(), QPoint(10, 841));

        // A month node: the large frame in the month's season colour.
        tree->setCurrentItem(tree->topLevelItem(1)->child(8));
        EXPECT_FALSE(b.ScrollBox1->isVisible());
        EXPECT_TRUE(b.ScrollBox2->isVisible());
        EXPECT_EQ(b.ScrollBox2->Tag, 202309);
        EXPECT_EQ(b.Panel2->palette().color(QPalette::Window), SeasonColour(9));
        EXPECT_EQ(b.LargeFrame()->Title()->text(), QStringLiteral("September  2023"));
    });
}

// A database error while a view is built is shown, and the browser is
// ready again: tree and buttons enabled, no animation, the other views as
// before; the failed view is built anew when chosen again.
TEST_F(CalendarBrowserTest, DatabaseErrorIsShownAndTheBrowserGoesOn)
{
    // The track names of the month view cannot be read: the real engine
    // fails every row it evaluates.
    db.Exec(QStringLiteral("alter table TORY drop NAZWA"));
    db.Exec(QStringLiteral("alter table TORY add NAZWA computed by (cast(ID_TORU / (ID_TORU - ID_TORU) as varchar(100)))"));
    platform::testing::ClearMessages();
    bool carriedOn = false;  // no error escaped the browser
    Browse([&](TfprocesBrowser& b) {
        QTreeWidget* tree = b.TreeView1;
        EXPECT_TRUE(b.ScrollBox1->isVisible());  // the year view needs no track names
        tree->setCurrentItem(tree->topLevelItem(0)->child(4));  // May 2024
        ASSERT_EQ(platform::testing::Messages().size(), 1);
        EXPECT_TRUE(platform::testing::Messages().front().contains(QStringLiteral("divide by zero"),
                                                                    Qt::CaseInsensitive))
            << platform::testing::Messages().front().toStdString();
        EXPECT_FALSE(b.Busy());
        EXPECT_TRUE(b.Panel1->isEnabled());
        EXPECT_TRUE(b.TreeView1->isEnabled());
        EXPECT_TRUE(b.SpeedButton1->isEnabled());
        EXPECT_FALSE(b.Animate1->Active());
        EXPECT_FALSE(b.ScrollBox2->isVisible());  // no half-built month shown

        // The year view still works; the month is tried again.
        tree->setCurrentItem(tree->topLevelItem(0));
        EXPECT_TRUE(b.ScrollBox1->isVisible());
        tree->setCurrentItem(tree->topLevelItem(0)->child(4));
        EXPECT_EQ(platform::testing::Messages().size(), 2);
        EXPECT_FALSE(b.Busy());
        carriedOn = true;
    });
    EXPECT_TRUE(carriedOn);
}

TEST_F(CalendarBrowserTest, NoSessionGivesTheSingleYear1899)
{
    db.Exec(QStringLiteral("delete from NAGLOWKI"));
    Browse([](TfprocesBrowser& b) {
        ASSERT_EQ(b.TreeView1->topLevelItemCount(), 1);
        EXPECT_EQ(b.TreeView1->topLevelItem(0)->text(0), QStringLiteral("1899"));
    });
}

// Both frames: which panel shows which day, counts and tick boxes only on
// days with sessions, the track of the day in the large frame.
TEST_F(CalendarBrowserTest, FramesLayTheMonthOut)
{
    TfMiesiac small;
    Tfmiesiacduzy large;
    for (MonthFrame* f : {static_cast<MonthFrame*>(&small), static_cast<MonthFrame*>(&large)}) {
        SCOPED_TRACE(f->metaObject()->className());
        const int countTag = f == &small ? TfMiesiac::kCountTag : Tfmiesiacduzy::kCountTag;
        f->ShowMonth(2024, 5);
        EXPECT_EQ(f->Title()->text(), QStringLiteral("May  2024"));
        EXPECT_EQ(FromTDateTime(f->DayDate(31)), At(2024, 5, 31));
        EXPECT_TRUE(f->Panel(2)->isHidden());
        EXPECT_TRUE(f->Panel(34)->isHidden());
        QFrame* fourth = f->Panel(6);
        EXPECT_FALSE(fourth->isHidden());
        EXPECT_EQ(MonthFrame::Tag(fourth), 4);
        EXPECT_EQ(Label(fourth, MonthFrame::kDayTag)->text(), QStringLiteral("4"));
        EXPECT_EQ(Label(fourth, countTag)->text(), QStringLiteral("2"));
        EXPECT_FALSE(Label(fourth, countTag)->isHidden());
        EXPECT_FALSE(Tick(fourth)->isHidden());
        EXPECT_FALSE(Tick(fourth)->isChecked());
        QFrame* fifth = f->Panel(7);  // a day without sessions
        EXPECT_EQ(Label(fifth, MonthFrame::kDayTag)->text(), QStringLiteral("5"));
        EXPECT_TRUE(Label(fifth, countTag)->isHidden());
        EXPECT_TRUE(Tick(fifth)->isHidden());
        EXPECT_EQ(MonthFrame::ChildByTag(9, fourth), nullptr);

        // A month whose 1st is a Sunday starts in P7 and reaches the sixth row.
        f->ShowMonth(2024, 9);
        EXPECT_TRUE(f->Panel(6)->isHidden());
        EXPECT_EQ(MonthFrame::Tag(f->Panel(7)), 1);
        EXPECT_EQ(MonthFrame::Tag(f->Panel(36)), 30);
        EXPECT_FALSE(f->Panel(36)->isHidden());
        EXPECT_TRUE(f->Panel(37)->isHidden());
    }
    large.ShowMonth(2024, 5);
    // The first track the statement returns; days without sessions name none.
    const QString track = Label(large.Panel(6), Tfmiesiacduzy::kTrackTag)->text();
    EXPECT_TRUE(track == QLatin1String("Boruta") || track == QLatin1String("Radom")) << track.toStdString();
    EXPECT_EQ(Label(large.Panel(13), Tfmiesiacduzy::kTrackTag)->text(), QStringLiteral("Boruta"));
    EXPECT_EQ(Label(large.Panel(7), Tfmiesiacduzy::kTrackTag)->text(), QString());
}

TEST_F(CalendarBrowserTest, TicksFollowTheUserBetweenViews)
{
    Browse([](TfprocesBrowser& b) {
        QTreeWidgetItem* year = b.TreeView1->topLevelItem(0);
        Tick(b.SmallFrame(5)->Panel(6))->click();  // 4 May in the year view
        ASSERT_EQ(DM->memWybraneDni.RecordCount(), 1);
        EXPECT_TRUE(IsDayTicked(Day(2024, 5, 4)));

        b.TreeView1->setCurrentItem(year->child(4));
        EXPECT_TRUE(Tick(b.LargeFrame()->Panel(6))->isChecked());
        Tick(b.LargeFrame()->Panel(13))->click();  // 11 May
        Tick(b.LargeFrame()->Panel(6))->click();   // 4 May off again
        EXPECT_FALSE(IsDayTicked(Day(2024, 5, 4)));

        // Back in the year (built before): only the ticks are brought up to date.
        b.TreeView1->setCurrentItem(year);
        EXPECT_FALSE(Tick(b.SmallFrame(5)->Panel(6))->isChecked());
        EXPECT_TRUE(Tick(b.SmallFrame(5)->Panel(13))->isChecked());
        // And the month again.
        b.TreeView1->setCurrentItem(year->child(4));
        EXPECT_TRUE(Tick(b.LargeFrame()->Panel(13))->isChecked());
        EXPECT_FALSE(Tick(b.LargeFrame()->Panel(6))->isChecked());
    });
    EXPECT_EQ(DM->memWybraneDni.RecordCount(), 1);  // OK keeps the ticks
    EXPECT_TRUE(IsDayTicked(Day(2024, 5, 11)));

    // The close box keeps them, Cancel drops them.
    Browse([](TfprocesBrowser& b) {
        Tick(b.SmallFrame(5)->Panel(6))->click();
        b.close();
    });
    EXPECT_TRUE(IsDayTicked(Day(2024, 5, 4)));
    Browse([](TfprocesBrowser& b) { Tick(b.SmallFrame(5)->Panel(6))->click(); }, false);
    EXPECT_TRUE(DM->memWybraneDni.Active());
    EXPECT_TRUE(DM->memWybraneDni.IsEmpty());
}

TEST_F(CalendarBrowserTest, WheelScrollsTheYearView)
{
    Browse([](TfprocesBrowser& b) {
        b.resize(900, 600);
        QCoreApplication::processEvents();
        QScrollBar* bar = b.ScrollBox1->verticalScrollBar();
        ASSERT_GT(bar->maximum(), 240);
        auto turn = [&b](int delta) {
            const QPointF at(b.width() / 2.0, b.height() / 2.0);
            QWheelEvent wheel(at, b.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(b.windowHandle(), &wheel);
        };
        turn(-120);  // towards the user: down
        turn(-120);
        EXPECT_EQ(bar->value(), 240);
        turn(120);
        EXPECT_EQ(bar->value(), 120);

        // In the month view the year box is hidden and stays where it was.
        b.TreeView1->setCurrentItem(b.TreeView1->topLevelItem(0)->child(4));
        turn(-120);
        EXPECT_EQ(bar->value(), 120);
    });
}

}  // namespace
