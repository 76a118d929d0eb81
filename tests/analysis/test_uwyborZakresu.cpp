// The range dialog as the user drives it: it always opens in range mode
// with nothing chosen, the wizard switches to day mode only when days were
// ticked, OK needs a range or days, the close box counts as accepted, and
// the driver and track choosers leave their ticks and current ids.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>

#include "analysis/calendar.h"
#include "analysis/uprocesBrowser.h"
#include "analysis/uwyborZakresu.h"
#include "choice_gui_support.h"
#include "controls/ButtonComps.h"
#include "profiles/cataloguelist.h"
#include "profiles/ulistakierowcow.h"
#include "profiles/ulistatorow.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"

using namespace choice_test;

namespace {

bool RangeMode(TfWyborZakresu& f)
{
    const bool edits = f.DateEdit1->isEnabled() && f.DateEdit2->isEnabled();
    EXPECT_EQ(edits, f.CheckBox1->isChecked()) << "edits and check box disagree";
    return f.CheckBox1->isChecked();
}

class RangeDialogTest : public ChoiceGuiTest {
protected:
    TDateTime from = Day(2024, 6, 1), to = Day(2024, 6, 12);
    int trackId = -5, driverId = -5;

    bool Run() { return ChooseAnalysisRange(trackId, driverId, from, to); }
};

TEST_F(RangeDialogTest, OpensInRangeModeWithNothingChosen)
{
    SetDays(DM->memWybraneDni, {Day(2024, 5, 1)});
    SetIds(DM->memWybraniKierowcy, "id_kierowcy", {1});
    SetIds(DM->memwybraneTory, "id_toru", {2});
    OnForm<TfWyborZakresu>("TfWyborZakresu", [](TfWyborZakresu& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Select"));
        EXPECT_TRUE(RangeMode(f));
        EXPECT_EQ(f.DateEdit1->date(), QDate(2024, 6, 1));
        EXPECT_EQ(f.DateEdit2->date(), QDate(2024, 6, 12));
        for (MemTable* t : {&DM->memWybraneDni, &DM->memWybraniKierowcy, &DM->memwybraneTory}) {
            EXPECT_TRUE(t->Active()) << t->Name().toStdString();
            EXPECT_TRUE(t->IsEmpty()) << t->Name().toStdString();
        }
        f.DateEdit2->setDate(QDate(2024, 6, 20));
        Click(f.SpeedButton2);
    });
    EXPECT_FALSE(Run());
    // The dates as the edits hold them, the ids as nothing was chosen.
    EXPECT_EQ(to, Day(2024, 6, 20));
    EXPECT_EQ(from, Day(2024, 6, 1));
    EXPECT_EQ(trackId, 0);
    EXPECT_EQ(driverId, 0);

    OnForm<TfWyborZakresu>("TfWyborZakresu", [](TfWyborZakresu& f) { Click(f.SpeedButton1); });
    EXPECT_TRUE(Run());
    // Escape is Cancel.
    OnForm<TfWyborZakresu>("TfWyborZakresu", [](TfWyborZakresu& f) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&f, &esc);
    });
    EXPECT_FALSE(Run());
}

TEST_F(RangeDialogTest, OkNeedsARangeOrDaysButTheCloseBoxAccepts)
{
    OnForm<TfWyborZakresu>("TfWyborZakresu", [](TfWyborZakresu& f) {
        // Re-checking the range drops days ticked meanwhile.
        f.CheckBox1->setChecked(false);
        EXPECT_FALSE(RangeMode(f));
        SetDayTicked(Day(2024, 6, 3), true);
        f.CheckBox1->setChecked(true);
        EXPECT_TRUE(RangeMode(f));
        EXPECT_TRUE(DM->memWybraneDni.IsEmpty());

        f.CheckBox1->setChecked(false);
        Click(f.SpeedButton1);
        EXPECT_EQ(platform::testing::Messages(), QStringList{QStringLiteral("Select days from wizard or change to range")});
        EXPECT_TRUE(f.isVisible());
        f.close();
    });
    EXPECT_TRUE(Run());
    EXPECT_TRUE(DM->memWybraneDni.IsEmpty());
    EXPECT_EQ(from, Day(2024, 6, 1));
}

TEST_F(RangeDialogTest, WizardSwitchesToDaysOnlyWhenDaysWereTicked)
{
    struct Case {
        const char* what;
        std::vector<TDateTime> ticks;
        bool closeBox;  // leave the calendar by its close box instead of OK
        bool rangeAfter;
    };
    const Case cases[] = {
        {"no day ticked", {}, false, true},
        {"two days", {Day(2024, 5, 4), Day(2024, 5, 11)}, false, false},
        {"a day, close box", {Day(2024, 5, 4)}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OnForm<TfprocesBrowser>("TfprocesBrowser", [&c](TfprocesBrowser& b) {
            EXPECT_TRUE(DM->memWybraneDni.IsEmpty());  // the wizard starts with no day
            for (TDateTime d : c.ticks)
                SetDayTicked(d, true);
            if (c.closeBox)
                b.close();
            else
                Click(b.SpeedButton1);
        });
        OnForm<TfWyborZakresu>("TfWyborZakresu", [&c](TfWyborZakresu& f) {
            f.CheckBox1->setChecked(false);
            SetDayTicked(Day(2020, 1, 1), true);
            f.Button1Click();
            EXPECT_EQ(RangeMode(f), c.rangeAfter);
            Click(f.SpeedButton1);
            EXPECT_TRUE(platform::testing::Messages().isEmpty());
        });
        EXPECT_TRUE(Run());
        EXPECT_EQ(DM->memWybraneDni.RecordCount(), int(c.ticks.size()));
        // The dates come back also when the edits were disabled.
        EXPECT_EQ(from, Day(2024, 6, 1));
        EXPECT_EQ(to, Day(2024, 6, 12));
    }
}

TEST_F(RangeDialogTest, ChoosersLeaveTheirTicksAndTheCurrentRowsId)
{
    Project() = ProjectRecord();
    AddDriver(db, 1, QStringLiteral("Jan"), QStringLiteral("Kowalski"));
    AddDriver(db, 2, QStringLiteral("Anna"), QStringLiteral("Nowak"));
    AddDriver(db, 3, QStringLiteral("Piotr"), QStringLiteral("Zielinski"));
    AddTrack(db, 10, QStringLiteral("Boruta"));
    AddTrack(db, 20, QStringLiteral("Radom"));

    // Ticks the rows of the given ids, makes the last one current and
    // presses OK (or Cancel when ok is false).
    auto choose = [](CatalogueChooserDialog& w, std::vector<int> ids, bool ok) {
        CatalogueList* list = w.IBQuery1();
        for (int id : ids)
            for (int r = 0; r < list->RowCount(); ++r)
                if (list->IdAt(r) == id) {
                    list->SetCurrentRow(r);
                    w.TickClick();
                }
        ok ? w.OkClick() : w.CancelClick();
    };
    OnForm<TfWyborZakresu>("TfWyborZakresu", [&](TfWyborZakresu& f) {
        // A cancelled choice leaves no driver id.
        OnForm<Tflistakierowcow>("Tflistakierowcow", [&](Tflistakierowcow& w) { choose(w, {}, false); });
        f.Button2Click();
        EXPECT_EQ(f.DriverId(), 0);
        OnForm<Tflistakierowcow>("Tflistakierowcow", [&](Tflistakierowcow& w) { choose(w, {1, 3}, true); });
        f.Button2Click();
        EXPECT_EQ(f.DriverId(), 3);
        EXPECT_EQ(f.Edit1->text(), QStringLiteral("Piotr Zielinski"));

        OnForm<TfListaTorow>("TfListaTorow", [&](TfListaTorow& w) { choose(w, {20}, true); });
        f.Button3Click();
        EXPECT_EQ(f.TrackId(), 20);
        EXPECT_EQ(f.Edit2->text(), QStringLiteral("Radom"));
        EXPECT_FALSE(f.Edit1->isVisible());
        EXPECT_FALSE(f.Edit2->isVisible());
        Click(f.SpeedButton1);
    });
    ASSERT_TRUE(Run());
    EXPECT_EQ(driverId, 3);
    EXPECT_EQ(trackId, 20);
    EXPECT_EQ(Ints(DM->memWybraniKierowcy, "id_kierowcy"), (std::vector<int>{1, 3}));
    EXPECT_EQ(Ints(DM->memwybraneTory, "id_toru"), (std::vector<int>{20}));

    // A chooser cancelled after rows were ticked in it, or after an earlier
    // choice, leaves no filter: no ticked rows, no id.
    OnForm<TfWyborZakresu>("TfWyborZakresu", [&](TfWyborZakresu& f) {
        OnForm<Tflistakierowcow>("Tflistakierowcow", [&](Tflistakierowcow& w) { choose(w, {1, 3}, true); });
        f.Button2Click();
        OnForm<Tflistakierowcow>("Tflistakierowcow", [&](Tflistakierowcow& w) { choose(w, {2}, false); });
        f.Button2Click();
        EXPECT_EQ(f.DriverId(), 0);
        EXPECT_TRUE(f.Edit1->text().isEmpty());
        OnForm<TfListaTorow>("TfListaTorow", [&](TfListaTorow& w) { choose(w, {10, 20}, false); });
        f.Button3Click();
        EXPECT_EQ(f.TrackId(), 0);
        Click(f.SpeedButton1);
    });
    ASSERT_TRUE(Run());
    EXPECT_EQ(driverId, 0);
    EXPECT_EQ(trackId, 0);
    EXPECT_EQ(Ints(DM->memWybraniKierowcy, "id_kierowcy"), std::vector<int>{});
    EXPECT_EQ(Ints(DM->memwybraneTory, "id_toru"), std::vector<int>{});
}

}  // namespace
