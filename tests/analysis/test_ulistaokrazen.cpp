// The session and lap chooser through the windows: the range dialog's
// single driver id and dates (never its days) choose the sessions; only
// session rows take ticks; OK returns the current row's session id and
// hands the ticks over, Cancel leaves the previous choice.
#include <gtest/gtest.h>

#include <QLocale>
#include <QTest>

#include "analysis/calendar.h"
#include "analysis/ulistaokrazen.h"
#include "analysis/uprocesBrowser.h"
#include "analysis/uwyborZakresu.h"
#include "choice_gui_support.h"
#include "controls/ButtonComps.h"
#include "platform/dbgrid.h"
#include "profiles/cataloguelist.h"
#include "profiles/ulistakierowcow.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"

using namespace choice_test;

namespace {

class LapChooserTest : public ChoiceGuiTest {
protected:
    void SetUp() override
    {
        ChoiceGuiTest::SetUp();
        Project() = ProjectRecord();
        AddDriver(db, 1, QStringLiteral("Jan"), QStringLiteral("Kowalski"));
        AddDriver(db, 2, QStringLiteral("Anna"), QStringLiteral("Nowak"));
        AddTrack(db, 10, QStringLiteral("Radom"));
        AddSession(db, {1, At(2024, 6, 10, 10), At(2024, 6, 10, 10, 20), 1, 10});
        AddSession(db, {2, At(2024, 6, 11, 9), At(2024, 6, 11, 9, 20), 2, 10});
        AddSession(db, {3, At(2024, 6, 12, 23, 50), At(2024, 6, 13, 0, 10), 2, 10});  // ends the day after
        AddLap(db, 2, 1, 5000);
        AddLap(db, 2, 2, 4900);
        AddSector(db, 2, 2, 1, 2400);
        SetIds(DM->memWybraneSesje, "id_nag", {77});
        session.TemplateDateFrom = Day(2024, 6, 10);
        session.TemplateDateTo = Day(2024, 6, 12);
    }
};

// The driver chooser's current row filters, all ticked drivers or not;
// days ticked in the wizard play no part.
TEST_F(LapChooserTest, RangeDialogsDatesAndSingleDriverChooseTheSessions)
{
    OnForm<TfWyborZakresu>("TfWyborZakresu", [](TfWyborZakresu& f) {
        OnForm<Tflistakierowcow>("Tflistakierowcow", [](Tflistakierowcow& w) {
            CatalogueList* list = w.IBQuery1();
            for (int r = 0; r < list->RowCount(); ++r) {
                list->SetCurrentRow(r);
                w.TickClick();
            }
            for (int r = 0; r < list->RowCount(); ++r)
                if (list->IdAt(r) == 2)
                    list->SetCurrentRow(r);
            w.OkClick();
        });
        f.Button2Click();
        OnForm<TfprocesBrowser>("TfprocesBrowser", [](TfprocesBrowser& b) {
            SetDayTicked(Day(2024, 6, 10), true);
            Click(b.SpeedButton1);
        });
        f.Button1Click();
        Click(f.SpeedButton1);
    });
    OnForm<TfListaOkrazen>("TfListaOkrazen", [](TfListaOkrazen& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Sessions"));
        EXPECT_EQ(Ints(f.memdane, "id_naglowka"), (std::vector<int>{2, 2, 2}));
        EXPECT_EQ(Texts(f.memdane, "typ_rekordu"), QStringList({"1", "2", "2"}));
        Click(f.SpeedButton2);
    });
    EXPECT_EQ(ChooseSessionsAndLaps(session), 0);
    EXPECT_EQ(DM->memWybraniKierowcy.RecordCount(), 2);
    EXPECT_EQ(Ints(DM->memWybraneSesje, "id_nag"), (std::vector<int>{77}));  // Cancel keeps the choice
}

TEST_F(LapChooserTest, OnlySessionRowsTickAndOkReturnsTheCurrentSession)
{
    OnForm<TfWyborZakresu>("TfWyborZakresu", [](TfWyborZakresu& f) { Click(f.SpeedButton1); });
    OnForm<TfListaOkrazen>("TfListaOkrazen", [](TfListaOkrazen& f) {
        MemTable& t = f.memdane;
        ASSERT_EQ(t.RecordCount(), 4);  // sessions 1 and 2, the laps of 2
        const int s2 = t.Find(QStringLiteral("id_naglowka"), {2});
        const int lap = s2 + 2;
        ClickCell(f.RxDBGrid1, s2, "wybrane");
        ClickCell(f.RxDBGrid1, lap, "wybrane");  // lap rows take no tick
        const int ticked = t.FieldIndex(QStringLiteral("wybrane"));
        EXPECT_TRUE(t.BoolAt(s2, ticked));
        EXPECT_FALSE(t.BoolAt(lap, ticked));

        // Session rows yellow, lap rows lime; a lap row never shows the tick.
        QColor colour;
        QFont font;
        f.RxDBGrid1->GetCellParams(s2, QStringLiteral("Kierowca"), colour, font);
        EXPECT_EQ(colour, QColor(0xff, 0xff, 0x00));
        f.RxDBGrid1->GetCellParams(lap, QStringLiteral("Kierowca"), colour, font);
        EXPECT_EQ(colour, QColor(0x00, 0xff, 0x00));
        t.SetBoolAt(lap, ticked, true);
        EXPECT_FALSE(f.RxDBGrid1->ShowCheck(lap, QStringLiteral("wybrane")));
        EXPECT_TRUE(f.RxDBGrid1->ShowCheck(s2, QStringLiteral("wybrane")));
        t.SetBoolAt(lap, ticked, false);

        f.RxDBGrid1->SelectRow(lap);
        EXPECT_EQ(t.FieldByName(QStringLiteral("Kierowca")).AsString(), QStringLiteral("Lap 2"));
        EXPECT_EQ(t.FieldByName(QStringLiteral("S1")).AsString(), QStringLiteral("00:24:00"));
        Click(f.SpeedButton1);
    });
    EXPECT_EQ(ChooseSessionsAndLaps(session), 2);
    EXPECT_EQ(Ints(DM->memWybraneSesje, "id_nag"), (std::vector<int>{2}));

    // Nothing ticked: the current row's session and an empty, open choice.
    OnForm<TfWyborZakresu>("TfWyborZakresu", [](TfWyborZakresu& f) { Click(f.SpeedButton1); });
    OnForm<TfListaOkrazen>("TfListaOkrazen", [](TfListaOkrazen& f) {
        f.RxDBGrid1->SelectRow(f.memdane.Find(QStringLiteral("id_naglowka"), {1}));
        Click(f.SpeedButton1);
    });
    EXPECT_EQ(ChooseSessionsAndLaps(session), 1);
    EXPECT_TRUE(DM->memWybraneSesje.Active());
    EXPECT_TRUE(DM->memWybraneSesje.IsEmpty());

    // An empty list: OK returns 0.
    OnForm<TfListaOkrazen>("TfListaOkrazen", [](TfListaOkrazen& f) { Click(f.SpeedButton1); });
    EXPECT_EQ(ShowLapChooser(0, 0, Day(2020, 1, 1), Day(2020, 1, 2)), 0);
}

// A session's start shows whole, also where the user's date and time take
// more than 20 characters ("2024. 06. 12. 23:50:00").
TEST_F(LapChooserTest, SessionStartShowsWhole)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    QStringList starts;
    OnForm<TfListaOkrazen>("TfListaOkrazen", [&](TfListaOkrazen& f) {
        for (int r = 0; r < f.memdane.RecordCount(); ++r)
            if (f.memdane.StringAt(r, f.memdane.FieldIndex(QStringLiteral("typ_rekordu"))) == QLatin1String("1"))
                starts << f.memdane.StringAt(r, f.memdane.FieldIndex(QStringLiteral("Pole1")));
        Click(f.SpeedButton2);
    });
    ShowLapChooser(0, 0, Day(2024, 6, 10), Day(2024, 6, 14));
    QLocale::setDefault(before);
    EXPECT_EQ(starts, QStringList({QStringLiteral("2024. 06. 10. 10:00:00"), QStringLiteral("2024. 06. 11. 9:00:00"),
                                   QStringLiteral("2024. 06. 12. 23:50:00")}));
}

}  // namespace
