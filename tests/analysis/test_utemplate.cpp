// Session choice through the windows: the range dialog's proposal, the
// Template chooser's rows, ticks by clicks, OK and Cancel on
// memWybraneSesje, day mode through the calendar wizard, the title sort
// and the session set-up view.
#include <gtest/gtest.h>

#include <QDateEdit>
#include <QHeaderView>
#include <QTest>

#include "analysis/calendar.h"
#include "analysis/uprocesBrowser.h"
#include "analysis/utemplate.h"
#include "analysis/uwyborZakresu.h"
#include "choice_gui_support.h"
#include "controls/ButtonComps.h"
#include "platform/dbgrid.h"
#include "profiles/unowycarSet.h"
#include "shell/data/ubazy.h"

using namespace choice_test;

namespace {

// The range dialog accepted as it opens.
void AcceptRange()
{
    OnForm<TfWyborZakresu>("TfWyborZakresu", [](TfWyborZakresu& f) { Click(f.SpeedButton1); });
}

// Whether the grid shows the tick picture (orange) in a cell.
bool ShowsTick(DBGrid* grid, int row, const char* field)
{
    const QImage shot = grid->viewport()->grab().toImage();
    const QRect cell = grid->visualRect(grid->model()->index(row, grid->Table()->FieldIndex(QString::fromLatin1(field))));
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() > 180 && c.green() > 60 && c.green() < 170 && c.blue() < 90)
                return true;
        }
    return false;
}

class TemplateTest : public ChoiceGuiTest {
protected:
    void SetUp() override
    {
        ChoiceGuiTest::SetUp();
        AddDriver(db, 1, QStringLiteral("Jan"), QStringLiteral("Kowalski"));
        AddDriver(db, 2, QStringLiteral("Anna"), QStringLiteral("Nowak"));
        AddTrack(db, 10, QStringLiteral("Radom"));
        AddTrack(db, 20, QStringLiteral("boruta"));
        AddSession(db, {1, At(2024, 6, 10, 10), At(2024, 6, 10, 10, 20), 1, 10, 4, 1, 0});
        AddSession(db, {2, At(2024, 6, 11, 23, 50), At(2024, 6, 12, 0, 10), 2, 10, 3, 2, 500});
        AddSession(db, {3, At(2024, 6, 12, 23, 55), At(2024, 6, 13, 0, 5), 2, 20, 3, 3, 0});
        AddLap(db, 1, 1, 5000);
        AddLap(db, 1, 2, 4900);
        SetIds(DM->memWybraneSesje, "id_nag", {77});
    }

    static std::vector<int> Rows(TfTemplate& f) { return Ints(f.memdane, "id_nag"); }
};

TEST_F(TemplateTest, FirstUseProposesTheLastWeekAndCancelKeepsTheChoice)
{
    const QDate today = QDate::currentDate();
    AddSession(db, {4, QDateTime(today, QTime(0, 0, 1)), QDateTime(today, QTime(0, 0, 30)), 1, 10, 2, 1, 0});
    OnForm<TfWyborZakresu>("TfWyborZakresu", [today](TfWyborZakresu& f) {
        EXPECT_EQ(f.DateEdit1->date(), today.addDays(-7));
        EXPECT_EQ(f.DateEdit2->date(), today);
        Click(f.SpeedButton1);
    });
    OnForm<TfTemplate>("TfTemplate", [](TfTemplate& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Template"));
        EXPECT_EQ(Rows(f), (std::vector<int>{4}));  // a session of the end day is listed
        Click(f.SpeedButton2);
    });
    EXPECT_EQ(ChooseSessions(session), 0);
    EXPECT_EQ(Ints(DM->memWybraneSesje, "id_nag"), (std::vector<int>{77}));
    EXPECT_EQ(session.TemplateDateTo, Day(today.year(), today.month(), today.day()));
    EXPECT_EQ(session.TemplateDateFrom, session.TemplateDateTo - 7);

    // A cancelled range dialog changes nothing at all, the close box of the
    // Template window is a Cancel.
    OnForm<TfWyborZakresu>("TfWyborZakresu", [](TfWyborZakresu& f) {
        f.DateEdit1->setDate(QDate(2020, 1, 1));
        Click(f.SpeedButton2);
    });
    EXPECT_EQ(ChooseSessions(session), 0);
    EXPECT_EQ(session.TemplateDateFrom, session.TemplateDateTo - 7);
    AcceptRange();
    OnForm<TfTemplate>("TfTemplate", [](TfTemplate& f) {
        f.RxDBGrid1CellClick(0, QStringLiteral("wybrane"));
        f.close();
    });
    EXPECT_EQ(ChooseSessions(session), 0);
    EXPECT_EQ(Ints(DM->memWybraneSesje, "id_nag"), (std::vector<int>{77}));
}

TEST_F(TemplateTest, TicksByClickAndOkReplaceTheChoice)
{
    session.TemplateDateFrom = Day(2024, 6, 10);
    session.TemplateDateTo = Day(2024, 6, 12);
    OnForm<TfWyborZakresu>("TfWyborZakresu", [](TfWyborZakresu& f) {
        EXPECT_EQ(f.DateEdit1->date(), QDate(2024, 6, 10));  // the remembered range
        EXPECT_EQ(f.DateEdit2->date(), QDate(2024, 6, 12));
        Click(f.SpeedButton1);
    });
    OnForm<TfTemplate>("TfTemplate", [](TfTemplate& f) {
        ASSERT_EQ(f.memdane.RecordCount(), 2);  // session 3 ends the day after To
        const int row2 = f.memdane.Find(QStringLiteral("id_nag"), {2});
        ClickCell(f.RxDBGrid1, row2, "wybrane");
        ClickCell(f.RxDBGrid1, 1 - row2, "jestGPS");  // the GPS column does not react
        ClickCell(f.RxDBGrid1, 1 - row2, "tor");
        // Ticks stand for set values in both columns: session 2 had GPS.
        EXPECT_TRUE(ShowsTick(f.RxDBGrid1, row2, "wybrane"));
        EXPECT_TRUE(ShowsTick(f.RxDBGrid1, row2, "jestGPS"));
        EXPECT_FALSE(ShowsTick(f.RxDBGrid1, 1 - row2, "wybrane"));
        EXPECT_FALSE(ShowsTick(f.RxDBGrid1, 1 - row2, "jestGPS"));
        Click(f.SpeedButton1);
    });
    EXPECT_EQ(ChooseSessions(session), 1);
    EXPECT_EQ(Ints(DM->memWybraneSesje, "id_nag"), (std::vector<int>{2}));

    // Opening again: session 2 comes up ticked; OK with nothing ticked.
    AcceptRange();
    OnForm<TfTemplate>("TfTemplate", [](TfTemplate& f) {
        const int row2 = f.memdane.Find(QStringLiteral("id_nag"), {2});
        EXPECT_TRUE(f.memdane.BoolAt(row2, f.memdane.FieldIndex(QStringLiteral("wybrane"))));
        ClickCell(f.RxDBGrid1, row2, "wybrane");
        Click(f.SpeedButton1);
    });
    EXPECT_EQ(ChooseSessions(session), 1);
    EXPECT_TRUE(DM->memWybraneSesje.Active());
    EXPECT_TRUE(DM->memWybraneSesje.IsEmpty());
}

TEST_F(TemplateTest, DaysFromTheWizardReplaceTheRange)
{
    OnForm<TfWyborZakresu>("TfWyborZakresu", [](TfWyborZakresu& f) {
        f.DateEdit1->setDate(QDate(2024, 6, 1));
        f.DateEdit2->setDate(QDate(2024, 6, 2));
        OnForm<TfprocesBrowser>("TfprocesBrowser", [](TfprocesBrowser& b) {
            SetDayTicked(Day(2024, 6, 12), true);
            Click(b.SpeedButton1);
        });
        f.Button1Click();
        Click(f.SpeedButton1);
    });
    OnForm<TfTemplate>("TfTemplate", [](TfTemplate& f) {
        EXPECT_EQ(Rows(f), (std::vector<int>{3}));  // started on the 12th, whatever the dates say
        Click(f.SpeedButton1);
    });
    EXPECT_EQ(ChooseSessions(session), 1);
    EXPECT_EQ(session.TemplateDateFrom, Day(2024, 6, 1));
    EXPECT_EQ(session.TemplateDateTo, Day(2024, 6, 2));
}

TEST_F(TemplateTest, TitleClicksSortAndMark)
{
    OnForm<TfTemplate>("TfTemplate", [](TfTemplate& f) {
        QHeaderView* header = f.RxDBGrid1->horizontalHeader();
        const int track = f.memdane.FieldIndex(QStringLiteral("tor"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(track) + 10, header->height() / 2));
        EXPECT_EQ(Texts(f.memdane, "tor"), QStringList({"boruta", "Radom", "Radom"}));
        EXPECT_EQ(f.RxDBGrid1->SortMarkerField(), QStringLiteral("tor"));
        EXPECT_TRUE(f.RxDBGrid1->SortMarkerAscending());
        f.RxDBGrid1TitleClick(QStringLiteral("tor"));
        EXPECT_EQ(Texts(f.memdane, "tor"), QStringList({"Radom", "Radom", "boruta"}));
        EXPECT_FALSE(f.RxDBGrid1->SortMarkerAscending());
        f.RxDBGrid1TitleClick(QStringLiteral("nr_sesji"));
        EXPECT_EQ(Ints(f.memdane, "nr_sesji"), (std::vector<int>{1, 2, 3}));
        EXPECT_TRUE(f.RxDBGrid1->SortMarkerAscending());
        Click(f.SpeedButton2);
    });
    EXPECT_EQ(ShowTemplateByRange(Day(2024, 6, 10), Day(2024, 6, 14)), 0);
}

TEST_F(TemplateTest, VehicleSettingsShowTheCurrentSessionsSetup)
{
    int shown = -1;
    OnForm<TfTemplate>("TfTemplate", [&shown](TfTemplate& f) {
        OnForm<TfnowycarSet>("TfnowycarSet", [&shown](TfnowycarSet& s) {
            shown = s.SessionId();
            s.close();
        });
        f.RxDBGrid1->SelectRow(f.memdane.Find(QStringLiteral("id_nag"), {2}));
        f.Button2Click();
        Click(f.SpeedButton2);
    });
    EXPECT_EQ(ShowTemplateByRange(Day(2024, 6, 10), Day(2024, 6, 13)), 0);
    EXPECT_EQ(shown, 2);
}

}  // namespace
