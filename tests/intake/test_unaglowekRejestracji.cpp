// The session header form against a real database, its modal dialogs
// answered by scripted handlers.
#include "intake/unaglowekRejestracji.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>

#include "controls/MathCtrl.h"
#include "platform/dialogs.h"
#include "profiles/cataloguewindows.h"
#include "shell/common/stale.h"
#include "chooser_support.h"
#include "support/testdb.h"

namespace {

using choosertest::AnswerChooser;

using Handler = std::function<void(TfNaglowekRejestracji&)>;

// Where each header word goes in NAGLOWKI, as the logger's record defines it
// (offset, column).
struct WordColumn {
    int offset;
    const char* column;
};
const WordColumn kWordColumns[30] = {
    {76, "RAMA_RZOSTAW_KOL"},          {78, "RAMA_POCHYLENIE_PRZOD_TYL"},  {80, "RAMA_POCHYLENIE_PRAWO_LEWO"},
    {82, "RAMA_ZBIEZNOSC"},            {84, "RAMA_WYS_ZAW_PRZOD"},         {86, "RAMA_ROZSTAW_KOL_TYL"},
    {88, "RAMA_SZTYWNOSC_OSI"},        {90, "RAMA_SZTYW_MOC_OSI"},         {92, "RAMA_WYS_ZAW_TYL"},
    {94, "RAMA_CIS_PL"},               {96, "RAMA_CIS_PP"},                {98, "RAMA_CIS_TL"},
    {100, "RAMA_CIS_TP"},              {102, "RAMA_SZTYWNOSC_RAMY"},       {104, "RAMA_STAB_PRZOD"},
    {106, "RAMA_STAB_TYL"},            {108, "RAMA_DOD_SZTYW_PRZOD"},      {110, "RAMA_DOD_SZTYW_TYL"},
    {112, "RAMA_ZEBATKA_PRZOD"},       {114, "RAMA_ZEBATKA_TYL"},          {116, "RAMA_SREDNICA_KOLA_TYL"},
    {12, "SILNIK_LICZNIK_GODZ"},       {14, "SILNIK_NR_SILNIKA"},          {16, "SILNIK_RODZAJ_GAZNIKA"},
    {18, "SILNIK_WIELKOSZC_DYSZY_GLOW"}, {20, "SILNIK_WIELKOSZC_DYSZY_REG"}, {22, "SILNIK_POLOZENIE_IGLICY"},
    {24, "SILNIK_RODZAJ_PLYWAK"},      {26, "SILNIK_POZIOM_PALIWA"},       {28, "SILNIK_ZAWOR_PRZYS"},
};

// Waits (processing events) for the form's "Accept all" timer to tick;
// whether it ticked within a generous limit.
bool WaitForTick(TfNaglowekRejestracji& f)
{
    QSignalSpy tick(f.Timer1, &QTimer::timeout);
    return tick.wait(5000);
}

class HeaderFormTest : public ::testing::Test {
protected:
    TestDatabase db;

    void SetUp() override
    {
        platform::testing::SetScripted(true);
        AcceptAllHeaders = false;
        db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO, USUNIETY) values (1, 'Jan', 'Kowalski', 0)"));
        db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO, USUNIETY) values (2, 'Anna', 'Nowak', 0)"));
        db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (100001, 'Boruta', 0)"));
        db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (100002, 'Radom', 0)"));
        db.Exec(QStringLiteral("insert into KROM_KIEROWCY (ID_KIEROWCY, NR_SER_KROM) values (2, '77')"));
    }
    void TearDown() override
    {
        platform::testing::ClearModalHandlers();
        platform::testing::SetScripted(false);
        AcceptAllHeaders = false;
    }

    // A session that ended on 2024-06-20 at hour:00:00, its set-up words
    // 1000 + offset, the operating counter 125 minutes.
    static SessionHeaderRecord Header(int hour = 10)
    {
        SessionHeaderRecord h;
        h.SetByte(0, 2);
        h.SetByte(1, static_cast<uint8_t>(hour));
        h.SetByte(4, 20);
        h.SetByte(5, 6);
        h.SetWord(6, 2024);
        h.SetByte(9, 7);
        for (const WordColumn& w : kWordColumns)
            h.SetWord(w.offset, static_cast<uint16_t>(1000 + w.offset));
        h.SetWord(12, 125);
        h.SetDWord(132, 60000);
        h.SetDriverText(QStringLiteral("KOWALSKI"));
        h.SetTrackText(QStringLiteral("BORUTA"));
        return h;
    }

    int Confirm(const QString& serial, const SessionHeaderRecord& header, int& driverId, int& trackId,
                const Handler& handler)
    {
        platform::testing::OnModal(QStringLiteral("TfNaglowekRejestracji"), [handler](QDialog& dialog) {
            handler(static_cast<TfNaglowekRejestracji&>(dialog));
        });
        return ConfirmSessionHeader(serial, header, driverId, trackId);
    }

    int Rows() { return db.Scalar(QStringLiteral("select count(*) from NAGLOWKI")).toInt(); }
    QVariant Column(int idNag, const QString& column)
    {
        return db.Scalar(QStringLiteral("select %1 from NAGLOWKI where ID_NAG = %2").arg(column).arg(idNag));
    }
    // Each set-up column of a row against the value expected for its header word.
    void ExpectSetupStored(int idNag, const std::function<int(int offset)>& expected)
    {
        for (const WordColumn& w : kWordColumns)
            EXPECT_EQ(Column(idNag, QString::fromLatin1(w.column)).toInt(), expected(w.offset)) << w.column;
    }
};

TEST_F(HeaderFormTest, ShowsTheHeaderAndStoresItsWordsUnderTheirColumns)
{
    int driverId = -1, trackId = 100001;
    const int id = Confirm(QStringLiteral("77"), Header(), driverId, trackId, [](TfNaglowekRejestracji& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Rejestracje"));
        EXPECT_EQ(f.size(), QSize(734, 537));
        EXPECT_EQ(f.Label33->text(), QStringLiteral("KROM serial no"));
        EXPECT_EQ(f.Label34->text(), QStringLiteral("77"));
        EXPECT_TRUE(f.Label36->text().contains(QStringLiteral("10:00:00"))) << f.Label36->text().toStdString();
        EXPECT_EQ(f.Label38->text(), QStringLiteral("KOWALSKI    "));
        EXPECT_EQ(f.Label37->text(), QStringLiteral("BORUTA      "));
        EXPECT_EQ(f.Edit2->text(), QStringLiteral("Boruta"));
        EXPECT_EQ(f.Label39->text(), QStringLiteral("2:05"));  // 125 minutes
        EXPECT_FALSE(f.SpeedButton5->isVisible());
        EXPECT_TRUE(f.GroupBox3->isVisible());
        f.SpeedButton3Click();
    });
    ASSERT_GT(id, 0);
    EXPECT_EQ(Column(id, QStringLiteral("ID_TORU")).toInt(), 100001);
    EXPECT_EQ(Column(id, QStringLiteral("NR_SERYJNY_KROM")).toString(), QStringLiteral("77"));
    ExpectSetupStored(id, [](int offset) { return offset == 12 ? 125 : 1000 + offset; });
}

// The weather and track status boxes are stored with the header, 1 ticked
// and 0 not; a box unticks the other one of its pair.
TEST_F(HeaderFormTest, WeatherAndTrackStatusAreStored)
{
    struct Case {
        const char* name;
        std::vector<int> clicks;  // CheckBox1 "Wet", 2 "Dry", 3 "Dirty", 4 "Clean", in order
        int wet, dry, dirty, clean;
    } cases[] = {
        {"nothing ticked", {}, 0, 0, 0, 0},
        {"wet and clean", {1, 4}, 1, 0, 0, 1},
        {"dry replaces wet", {1, 2}, 0, 1, 0, 0},
        {"dirty, clean, dirty again", {3, 4, 3}, 0, 0, 1, 0},
        {"wet ticked and unticked, dry", {1, 1, 2}, 0, 1, 0, 0},
    };
    int hour = 8;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int driverId = 1, trackId = 100001;
        const int id = Confirm(QStringLiteral("5"), Header(hour++), driverId, trackId, [&](TfNaglowekRejestracji& f) {
            QCheckBox* boxes[] = {f.CheckBox1, f.CheckBox2, f.CheckBox3, f.CheckBox4};
            for (int n : c.clicks)
                boxes[n - 1]->click();
            EXPECT_FALSE(f.CheckBox1->isChecked() && f.CheckBox2->isChecked());
            EXPECT_FALSE(f.CheckBox3->isChecked() && f.CheckBox4->isChecked());
            f.SpeedButton3Click();
        });
        ASSERT_GT(id, 0);
        EXPECT_EQ(Column(id, QStringLiteral("TOR_MOKRY")).toInt(), c.wet);
        EXPECT_EQ(Column(id, QStringLiteral("TOR_SUCHY")).toInt(), c.dry);
        EXPECT_EQ(Column(id, QStringLiteral("TOR_BRUDNY")).toInt(), c.dirty);
        EXPECT_EQ(Column(id, QStringLiteral("TOR_CZYSTY")).toInt(), c.clean);
        EXPECT_FALSE(Column(id, QStringLiteral("TOR_MOKRY")).isNull());
    }
}

TEST_F(HeaderFormTest, SessionEndThatIsNoDateLeavesTheDots)
{
    SessionHeaderRecord h = Header();
    h.SetByte(5, 13);
    int driverId = 1, trackId = 100001;
    QString shown;
    Confirm(QStringLiteral("5"), h, driverId, trackId, [&](TfNaglowekRejestracji& f) {
        shown = f.Label36->text();
        f.SpeedButton4Click();
    });
    EXPECT_EQ(shown, QStringLiteral("..."));
}

// The logger's registered driver wins over the one carried in; an
// unregistered logger keeps the carried driver.
TEST_F(HeaderFormTest, RegisteredSerialPreselectsItsDriver)
{
    struct Case {
        const char* serial;
        int carried;
        int expected;
        const char* name;
    };
    const Case cases[] = {
        {"77", 1, 2, "Anna Nowak"},
        {"77", -1, 2, "Anna Nowak"},
        {"78", 1, 1, "Jan Kowalski"},
        {"78", -1, -1, " "},
    };
    for (const Case& c : cases) {
        int driverId = c.carried, trackId = -1;
        QString shown;
        const int result = Confirm(QString::fromLatin1(c.serial), Header(), driverId, trackId,
                                   [&](TfNaglowekRejestracji& f) {
                                       shown = f.Edit1->text();
                                       f.SpeedButton4Click();
                                   });
        EXPECT_EQ(result, -1) << c.serial << " " << c.carried;
        EXPECT_EQ(driverId, c.expected) << c.serial << " " << c.carried;
        EXPECT_EQ(shown, QString::fromLatin1(c.name)) << c.serial << " " << c.carried;
    }
}

TEST_F(HeaderFormTest, ChangeTakesTheChoosersAnswerAndKeepsTheOldOneOnCancel)
{
    int driverId = 1, trackId = 100001;
    QString afterChange[2], afterCancel[2];
    const int id = Confirm(QStringLiteral("5"), Header(), driverId, trackId, [&](TfNaglowekRejestracji& f) {
        AnswerChooser(QStringLiteral("Tflistakierowcow"), 2);
        AnswerChooser(QStringLiteral("TfListaTorow"), 100002);
        f.Button1->click();
        f.Button2->click();
        afterChange[0] = f.Edit1->text();
        afterChange[1] = f.Edit2->text();
        AnswerChooser(QStringLiteral("Tflistakierowcow"), -1);
        AnswerChooser(QStringLiteral("TfListaTorow"), -1);
        f.Button1->click();
        f.Button2->click();
        afterCancel[0] = f.Edit1->text();
        afterCancel[1] = f.Edit2->text();
        f.SpeedButton3Click();
    });
    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty()) << platform::testing::UnhandledModals().join(u',').toStdString();
    EXPECT_EQ(afterChange[0], QStringLiteral("Anna Nowak"));
    EXPECT_EQ(afterChange[1], QStringLiteral("Radom"));
    EXPECT_EQ(afterCancel[0], QStringLiteral("Anna Nowak"));
    EXPECT_EQ(afterCancel[1], QStringLiteral("Radom"));
    ASSERT_GT(id, 0);
    // The choice goes back to the caller for the next session.
    EXPECT_EQ(driverId, 2);
    EXPECT_EQ(trackId, 100002);
    EXPECT_EQ(Column(id, QStringLiteral("ID_KIEROWCY")).toInt(), 2);
    EXPECT_EQ(Column(id, QStringLiteral("ID_TORU")).toInt(), 100002);
}

TEST_F(HeaderFormTest, CarProfileFillsTheSetupAndTheCounter)
{
    QStringList columns, values;
    for (const WordColumn& w : kWordColumns) {
        columns.append(QString::fromLatin1(w.column));
        values.append(QString::number(w.offset == 12 ? 61 : 2000 + w.offset));
    }
    db.Exec(QStringLiteral("insert into POJAZDY (ID_POJAZDU, NAZWA, USUNIETY, %1) values (9, 'Rotax', 0, %2)")
                .arg(columns.join(u','), values.join(u',')));
    int driverId = 1, trackId = 100001;
    QString counter;
    QStringList refused;
    const int id = Confirm(QStringLiteral("5"), Header(), driverId, trackId, [&](TfNaglowekRejestracji& f) {
        AnswerChooser(QStringLiteral("TflistaPojazdow"), 9);
        f.SpeedButton1->click();
        counter = f.Label39->text();
        // The user may still correct a value, as long as its 16-bit word
        // can hold it.
        for (const char* bad : {"70000", "-27", "1-2"}) {
            f.IntEdit(4)->setText(QString::fromLatin1(bad));
            platform::testing::ClearMessages();
            f.SpeedButton3Click();
            refused << (f.isVisible() ? platform::testing::Messages().join(u'|') : QStringLiteral("closed"));
        }
        f.IntEdit(4)->setText(QStringLiteral("700"));
        f.SpeedButton3Click();
    });
    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty());
    EXPECT_EQ(counter, QStringLiteral("1:01"));
    const QString message = QStringLiteral("\"Toe\" must be a whole number from 0 to 65535.");
    EXPECT_EQ(refused, QStringList({message, message, message}));
    ASSERT_GT(id, 0);
    EXPECT_EQ(Rows(), 1);
    ExpectSetupStored(id, [](int offset) {
        if (offset == 82)  // IntEdit4, "Toe"
            return 700;
        return offset == 12 ? 61 : 2000 + offset;
    });
}

// Save without driver or track: the message, the form stays open, also when
// "Accept all" is on (its one timer tick is spent and the user must act).
TEST_F(HeaderFormTest, MissingDriverOrTrackKeepsTheFormOpen)
{
    struct Case {
        int driver;
        int track;
        bool acceptAll;
        const char* message;
    };
    const Case cases[] = {
        {-1, 100001, false, "Select driver"},
        {1, -1, false, "Select track"},
        {0, 0, false, "Select driver"},
        {1, -1, true, "Select track"},
        {-1, -1, true, "Select driver"},
    };
    for (const Case& c : cases) {
        platform::testing::ClearMessages();
        AcceptAllHeaders = c.acceptAll;
        int driverId = c.driver, trackId = c.track;
        bool open = false;
        const int result = Confirm(QStringLiteral("5"), Header(), driverId, trackId, [&](TfNaglowekRejestracji& f) {
            if (c.acceptAll)
                EXPECT_TRUE(WaitForTick(f)) << c.message;
            else
                f.SpeedButton3Click();
            open = f.isVisible() && !f.Timer1->isActive();
            f.SpeedButton4Click();
        });
        EXPECT_TRUE(open) << c.message;
        EXPECT_EQ(platform::testing::Messages(), QStringList{QString::fromLatin1(c.message)}) << c.message;
        EXPECT_EQ(result, -1) << c.message;
    }
    EXPECT_EQ(Rows(), 0);
}

// A set-up value goes back into a 16-bit word: outside 0..65535 the form
// stays open naming the edit, with the message the vehicle profile editor
// gives; the ends of the range are stored.
TEST_F(HeaderFormTest, SetupValueOutsideAWordKeepsTheFormOpen)
{
    struct Case {
        const char* text;
        const char* message;  // empty: stored
    };
    const Case cases[] = {
        {"-27", "\"Toe\" must be a whole number from 0 to 65535."},
        {"65536", "\"Toe\" must be a whole number from 0 to 65535."},
        {"0", ""},
        {"65535", ""},
    };
    int hour = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        platform::testing::ClearMessages();
        int driverId = 1, trackId = 100001;
        bool open = false;
        const int result = Confirm(QStringLiteral("5"), Header(hour++), driverId, trackId, [&](TfNaglowekRejestracji& f) {
            f.IntEdit(4)->setText(QString::fromLatin1(c.text));
            f.SpeedButton3Click();
            open = f.isVisible();
            if (open)
                f.SpeedButton4Click();
        });
        if (*c.message) {
            EXPECT_TRUE(open);
            EXPECT_EQ(result, -1);
            EXPECT_EQ(platform::testing::Messages(), QStringList{QString::fromLatin1(c.message)});
        } else {
            ASSERT_GT(result, 0);
            EXPECT_EQ(Column(result, QStringLiteral("RAMA_ZBIEZNOSC")).toInt(), QByteArray(c.text).toInt());
        }
    }
    EXPECT_EQ(Rows(), 2);
}

TEST_F(HeaderFormTest, ClosingButtonsGiveTheirResults)
{
    struct Case {
        const char* name;
        Handler act;
        int expected;
    };
    const Case cases[] = {
        {"skip", [](TfNaglowekRejestracji& f) { f.SpeedButton4Click(); }, -1},
        {"cancel all", [](TfNaglowekRejestracji& f) { f.SpeedButton2->click(); }, -2},
        {"title bar", [](TfNaglowekRejestracji& f) { f.close(); }, -1},
        {"escape", [](TfNaglowekRejestracji& f) { QTest::keyClick(&f, Qt::Key_Escape); }, -1},
    };
    for (const Case& c : cases) {
        int driverId = 1, trackId = 100001;
        EXPECT_EQ(Confirm(QStringLiteral("5"), Header(), driverId, trackId, c.act), c.expected) << c.name;
    }
    EXPECT_EQ(Rows(), 0);
}

// The same logger's session with the same end, driver and track is stored
// already: no second row, result 0.  Another logger's session ending at the
// same second under the driver the form carries over is a session of its own.
TEST_F(HeaderFormTest, DuplicateReturnsZeroOnlyFromTheSameLogger)
{
    int driverId = 1, trackId = 100001;
    auto save = [](TfNaglowekRejestracji& f) { f.SpeedButton3Click(); };
    const int first = Confirm(QStringLiteral("5"), Header(), driverId, trackId, save);
    ASSERT_GT(first, 0);
    bool closed = false;
    const int second = Confirm(QStringLiteral("5"), Header(), driverId, trackId, [&](TfNaglowekRejestracji& f) {
        f.SpeedButton3Click();
        closed = !f.isVisible();
    });
    EXPECT_EQ(second, 0);
    EXPECT_TRUE(closed);
    EXPECT_EQ(Rows(), 1);
    const int otherLogger = Confirm(QStringLiteral("6"), Header(), driverId, trackId, save);
    EXPECT_GT(otherLogger, first);
    EXPECT_EQ(Rows(), 2);
    // Another track makes it another session.
    trackId = 100002;
    EXPECT_GT(Confirm(QStringLiteral("6"), Header(), driverId, trackId, save), otherLogger);
    EXPECT_EQ(Rows(), 3);
    EXPECT_TRUE(platform::testing::Messages().isEmpty());
}

TEST_F(HeaderFormTest, AcceptAllSavesTheFollowingSessions200msAfterTheyShow)
{
    int driverId = 1, trackId = 100001;
    const int first = Confirm(QStringLiteral("5"), Header(10), driverId, trackId,
                              [](TfNaglowekRejestracji& f) { f.SpeedButton5->click(); });
    ASSERT_GT(first, 0);
    EXPECT_TRUE(AcceptAllHeaders);

    // Each following form shows with its timer set for one tick 200 ms on,
    // stays open with nothing stored until the tick, and the tick saves and
    // closes it.
    for (int hour : {11, 12}) {
        SCOPED_TRACE(hour);
        const int rowsBefore = Rows();
        bool armed = false, openAtShow = false, closedByTheTick = false;
        int rowsAtShow = -1;
        const int id = Confirm(QStringLiteral("5"), Header(hour), driverId, trackId, [&](TfNaglowekRejestracji& f) {
            armed = f.Timer1->isActive() && f.Timer1->interval() == 200;
            openAtShow = f.isVisible();
            rowsAtShow = Rows();
            QSignalSpy tick(f.Timer1, &QTimer::timeout);
            QSignalSpy finished(&f, &QDialog::finished);
            ASSERT_TRUE(finished.wait(5000));
            closedByTheTick = tick.count() == 1 && !f.isVisible();
        });
        EXPECT_TRUE(armed);
        EXPECT_TRUE(openAtShow);
        EXPECT_EQ(rowsAtShow, rowsBefore);
        EXPECT_TRUE(closedByTheTick);
        EXPECT_GT(id, 0);
    }
    EXPECT_EQ(Rows(), 3);
    EXPECT_TRUE(AcceptAllHeaders);

    // The save button turns the mode off again.
    Confirm(QStringLiteral("5"), Header(13), driverId, trackId, [](TfNaglowekRejestracji& f) {
        f.Timer1->stop();
        f.SpeedButton3Click();
    });
    EXPECT_FALSE(AcceptAllHeaders);
    EXPECT_EQ(Rows(), 4);
}

// A row the database refuses is not reported as stored: the message with
// the database's own text, and the session counts as failed.
TEST_F(HeaderFormTest, RefusedInsertIsReportedAndSkipsTheSession)
{
    db.Exec(QStringLiteral("alter table NAGLOWKI add constraint CHK_TEST_SERIAL check (NR_SERYJNY_KROM <> '666')"));
    for (bool acceptAll : {false, true}) {
        platform::testing::ClearMessages();
        AcceptAllHeaders = false;
        int driverId = 1, trackId = 100001;
        bool closed = false;
        const int result = Confirm(QStringLiteral("666"), Header(), driverId, trackId, [&](TfNaglowekRejestracji& f) {
            if (acceptAll)
                f.SpeedButton5->click();
            else
                f.SpeedButton3Click();
            closed = !f.isVisible();
        });
        EXPECT_EQ(result, TfNaglowekRejestracji::kFailed) << acceptAll;
        EXPECT_TRUE(closed) << acceptAll;
        const QStringList messages = platform::testing::Messages();
        ASSERT_EQ(messages.size(), 1) << acceptAll;
        EXPECT_TRUE(messages[0].startsWith(QStringLiteral("The session could not be stored: "))) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(QStringLiteral("CHK_TEST_SERIAL"))) << messages[0].toStdString();
    }
    EXPECT_EQ(Rows(), 0);
}

}  // namespace
