// Start-up and shut-down: the "/D" switch, the firmware menu item, the
// daily updater launch, the roads of the show handler, the project prompt,
// "Check for updates" and the splash window.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <optional>

#include "shell/startup.h"
#include "shell/usplashscreen.h"
#include "shell/uwyborprojektu.h"
#include "shell/version.h"
#include "shell_support.h"

namespace {

using namespace shelltest;
using platform::testing::Messages;
using platform::testing::OnModal;
using platform::testing::StartedPrograms;

// ------------------------------------------------------- widget-free rules

TEST(StartupSwitch, OnlyTheFirstArgumentCounts)
{
    struct Case {
        QStringList arguments;
        bool shown;
    } cases[] = {
        {{}, false},
        {{QStringLiteral("/D")}, true},
        {{QStringLiteral("/d")}, true},
        {{QStringLiteral(" /D ")}, true},
        {{QStringLiteral("\t/d\n")}, true},
        {{QStringLiteral("/D"), QStringLiteral("extra")}, true},
        {{QStringLiteral("x"), QStringLiteral("/D")}, false},
        {{QStringLiteral("/DD")}, false},
        {{QStringLiteral("D")}, false},
        {{QStringLiteral("")}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsReadFromFilesSwitch(c.arguments), c.shown) << c.arguments.join(QLatin1Char('|')).toStdString();
}

TEST(StartupVersion, TwoNumbersWithTwoDigitMinor)
{
    EXPECT_EQ(VersionText(1, 0), QStringLiteral("1.00"));
    EXPECT_EQ(VersionText(3, 37), QStringLiteral("3.37"));
    EXPECT_EQ(VersionText(0, 0), QStringLiteral("0.00"));
    EXPECT_EQ(VersionText(2, 5), QStringLiteral("2.05"));
    // The build's own version (project version 1.0).
    EXPECT_EQ(VersionText(), QStringLiteral("1.00"));
}

TEST(StartupFirmwareLoader, FoundOnlyAsAFileInTheFolder)
{
    QTemporaryDir dir;
    const QString folder = IncludeBackslash(dir.path());
    EXPECT_FALSE(FirmwareLoaderPresent(folder));
    QDir(dir.path()).mkdir(QString::fromLatin1(FirmwareLoaderFileName));  // a folder of that name
    EXPECT_FALSE(FirmwareLoaderPresent(folder));
    QDir(dir.path()).rmdir(QString::fromLatin1(FirmwareLoaderFileName));
    QFile f(folder + QString::fromLatin1(FirmwareLoaderFileName));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(FirmwareLoaderPresent(folder));
    EXPECT_FALSE(FirmwareLoaderPresent(folder + QStringLiteral("sub/")));
}

TEST(StartupDailyUpdater, RoadsByStoredDayAndUpdater)
{
    const qint64 today = 45000;
    struct Case {
        const char* name;
        std::optional<qint64> stored;  // none: no ini file
        bool starts;                   // the updater starts
        DailyUpdaterRoad road;
        bool startAsked;
        qint64 storedAfter;
    } cases[] = {
        {"first start ever, updater there", std::nullopt, true, DailyUpdaterRoad::Started, true, today},
        {"first start ever, no updater", std::nullopt, false, DailyUpdaterRoad::NotInstalled, true, today},
        {"new day, updater there", today - 1, true, DailyUpdaterRoad::Started, true, today},
        {"new day, no updater", today - 30, false, DailyUpdaterRoad::NotInstalled, true, today},
        {"same day", today, true, DailyUpdaterRoad::NotDue, false, today},
        {"clock set back", today + 3, true, DailyUpdaterRoad::NotDue, false, today + 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString folder = IncludeBackslash(dir.path());
        ConfigFile config(folder + QStringLiteral("ustawienia.ini"));
        if (c.stored)
            config.SetLastUpdateDay(*c.stored);
        QStringList asked;
        const DailyUpdaterResult r = RunDailyUpdaterLaunch(config, today, folder, [&](const QString& path) {
            asked.append(path);
            return c.starts;
        });
        EXPECT_EQ(r.road, c.road);
        EXPECT_TRUE(r.writeError.isEmpty());
        EXPECT_EQ(asked.isEmpty(), !c.startAsked);
        if (c.startAsked) {
            EXPECT_EQ(asked, QStringList{folder + QStringLiteral("updravlin.exe")});
        }
        EXPECT_EQ(config.LastUpdateDay(), c.storedAfter);
    }
}

TEST(StartupDailyUpdater, DayThatCannotBeRecordedDoesNotEndTheStart)
{
    // A folder that is not there: the day cannot be written, so every start
    // would be an updater day again; the program must still be usable.
    QTemporaryDir dir;
    const QString folder = IncludeBackslash(dir.path()) + QStringLiteral("missing/");
    ConfigFile config(folder + QStringLiteral("ustawienia.ini"));
    const DailyUpdaterResult r = RunDailyUpdaterLaunch(config, 45000, folder, [](const QString&) { return true; });
    EXPECT_EQ(r.road, DailyUpdaterRoad::NotRecorded);
    EXPECT_FALSE(r.writeError.isEmpty());
}

// ------------------------------------------------------ the show handler

class StartupRoads : public ShellFixture {
protected:
    // Shows the main window with the splash recorded and the chooser
    // answered by Exit.
    void Start()
    {
        TForm1& form = MakeForm();
        OnModal(QStringLiteral("Tfsplashscreen"), [this](QDialog& d) {
            ++splashes_;
            d.close();
        });
        OnModal(QStringLiteral("TFwyborProjektu"), [this](QDialog& d) {
            ++prompts_;
            static_cast<TFwyborProjektu&>(d).ImageButton3Click();
        });
        form.show();
    }

    int splashes_ = 0;
    int prompts_ = 0;
};

TEST_F(StartupRoads, UpdaterDayWithUpdaterRecordsTheDayAndClosesWithoutSplash)
{
    WriteFile(QStringLiteral("updravlin.exe"), "#!/bin/sh\nexit 0\n", true);
    Start();
    TForm1& form = Form();
    EXPECT_EQ(StartedPrograms(), QStringList{Folder() + QStringLiteral("updravlin.exe")});
    EXPECT_EQ(Config().LastUpdateDay(), TodayDayNumber());
    EXPECT_EQ(splashes_, 0);
    EXPECT_TRUE(form.TimerKoniec->isActive());
    EXPECT_EQ(form.TimerKoniec->interval(), 200);
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(form.Tab(), 0);  // the Project tab was never set up
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 5000));
    EXPECT_FALSE(form.TimerKoniec->isActive());
    EXPECT_EQ(prompts_, 0);
}

TEST_F(StartupRoads, UpdaterDayWithoutUpdaterRecordsTheDayAndGoesOn)
{
    Start();
    TForm1& form = Form();
    EXPECT_EQ(StartedPrograms(), QStringList{Folder() + QStringLiteral("updravlin.exe")});
    EXPECT_EQ(Config().LastUpdateDay(), TodayDayNumber());
    EXPECT_EQ(splashes_, 1);
    EXPECT_FALSE(form.TimerKoniec->isActive());
    EXPECT_TRUE(DM->Connected());
    EXPECT_EQ(form.Tab(), 1);
    EXPECT_FALSE(form.ProjectOpen());
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 100);
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join(QLatin1Char('\n')).toStdString();
}

TEST_F(StartupRoads, NoUpdaterOnSameOrEarlierRecordedDay)
{
    for (qint64 stored : {TodayDayNumber(), TodayDayNumber() + 5}) {
        SCOPED_TRACE(stored);
        platform::testing::SetScripted(true);
        splashes_ = 0;
        Config().SetLastUpdateDay(stored);
        WriteFile(QStringLiteral("updravlin.exe"), "#!/bin/sh\nexit 0\n", true);
        Start();
        EXPECT_TRUE(StartedPrograms().isEmpty());
        EXPECT_EQ(Config().LastUpdateDay(), stored);
        EXPECT_EQ(splashes_, 1);
        EXPECT_EQ(Form().Tab(), 1);
        EXPECT_TRUE(Form().Timer1->isActive());
        EXPECT_FALSE(Form().TimerKoniec->isActive());
    }
}

TEST_F(StartupRoads, PromptExitClosesTheMainWindow)
{
    Config().SetLastUpdateDay(TodayDayNumber());
    Start();
    TForm1& form = Form();
    ASSERT_TRUE(form.Timer1->isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return prompts_ > 0; }, 5000));  // the one-shot prompt
    EXPECT_EQ(prompts_, 1);
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_FALSE(form.isVisible());
}

TEST_F(StartupRoads, PromptWithAProjectOpenedKeepsTheWindow)
{
    Config().SetLastUpdateDay(TodayDayNumber());
    Start();
    TForm1& form = Form();
    form.Timer1->stop();
    const QString file = Folder() + QStringLiteral("a.kpj");
    Project().SaveToFile(file);
    OnModal(QStringLiteral("TFwyborProjektu"), [&](QDialog& d) {
        platform::testing::QueueFileName(file);
        static_cast<TFwyborProjektu&>(d).ImageButton1Click();
    });
    form.Timer1Timer();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.ProjectOpen());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Pitrova [ a.kpj ] "));
}

TEST_F(StartupRoads, DatabaseThatCannotBeOpenedEndsTheProgramAndSaysWhy)
{
    // Files that are no usable database, each with what the database says.
    WriteFile(QStringLiteral("JUNK.GDB"), QByteArray(20000, '\x5a'));
    ASSERT_TRUE(QFile::copy(Db().Path(), Folder() + QStringLiteral("READONLY.GDB")));
    ASSERT_TRUE(QFile::setPermissions(Folder() + QStringLiteral("READONLY.GDB"),
                                      QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    struct Case {
        const char* file;
        const char* reason;  // a part of the second line
    } cases[] = {
        {"missing/NONE.GDB", "No such file or directory"},
        {"JUNK.GDB", "is not a valid database"},
        {"READONLY.GDB", "no permission for read-write access"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        splashes_ = prompts_ = 0;
        platform::testing::SetScripted(true);
        Config().SetLastUpdateDay(TodayDayNumber());
        Ini().WriteString(QStringLiteral("Parametry"), QStringLiteral("AliasBazy"), Folder() + c.file);
        Start();
        TForm1& form = Form();
        EXPECT_EQ(splashes_, 1);
        ASSERT_EQ(Messages().size(), 1);
        const QStringList lines = Messages().first().split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2) << Messages().first().toStdString();
        EXPECT_EQ(lines[0], QStringLiteral("Error opening database"));
        EXPECT_TRUE(lines[1].contains(QString::fromLatin1(c.reason))) << lines[1].toStdString();
        EXPECT_TRUE(form.TimerKoniec->isActive());
        EXPECT_FALSE(form.Timer1->isActive());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 5000));
        EXPECT_EQ(prompts_, 0);
    }
}

TEST_F(StartupRoads, ReadFromFilesButtonByFirstArgument)
{
    struct Case {
        QStringList arguments;
        bool shown;
    } cases[] = {
        {{QStringLiteral("/D")}, true},
        {{QStringLiteral("/d")}, true},
        {{QStringLiteral(" /D ")}, true},
        {{QStringLiteral("/D"), QStringLiteral("/X")}, true},
        {{QStringLiteral("/X"), QStringLiteral("/D")}, false},
        {{}, false},
    };
    for (const Case& c : cases) {
        TForm1& form = MakeForm(c.arguments);
        EXPECT_EQ(!form.Button8->isHidden(), c.shown) << c.arguments.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(form.Button8->text(), QStringLiteral("Read from files"));
        // The other hidden buttons stay hidden.
        for (QPushButton* b : {form.Button2, form.Button3, form.SpeedButton1, form.Button4, form.BitBtn1, form.Button5,
                               form.Button6, form.Button7})
            EXPECT_TRUE(b->isHidden()) << b->objectName().toStdString();
    }
}

TEST_F(StartupRoads, FirmwareMenuItemOnlyWithTheLoader)
{
    TForm1& without = MakeForm();
    EXPECT_FALSE(without.UpdateKROMfirmware1->isVisible());
    EXPECT_TRUE(without.Close1->isVisible());
    without.UpdateKROMfirmware1Click();
    EXPECT_TRUE(StartedPrograms().isEmpty());

    WriteFile(QStringLiteral("KROM_bootloader.exe"), "#!/bin/sh\n", true);
    TForm1& with = MakeForm();
    EXPECT_TRUE(with.UpdateKROMfirmware1->isVisible());
    with.UpdateKROMfirmware1Click();
    EXPECT_EQ(StartedPrograms(), QStringList{Folder() + QStringLiteral("KROM_bootloader.exe")});
}

TEST_F(StartupRoads, CheckForUpdatesClosesOnlyWhenTheUpdaterStarts)
{
    TForm1& form = ShownForm();
    Config().SetLastUpdateDay(100);

    form.Checkforupdates1Click();
    EXPECT_EQ(Messages(), QStringList{QStringLiteral("The updater updravlin.exe is not installed")});
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(Config().LastUpdateDay(), TodayDayNumber());

    Config().SetLastUpdateDay(100);
    WriteFile(QStringLiteral("updravlin.exe"), "#!/bin/sh\nexit 0\n", true);
    platform::testing::ClearMessages();
    form.Checkforupdates1Click();
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_FALSE(form.isVisible());  // at once, no delay
    EXPECT_EQ(Config().LastUpdateDay(), TodayDayNumber());
}

TEST_F(StartupRoads, CloseMenuClosesTheMainWindow)
{
    TForm1& form = ShownForm();
    form.Close1->trigger();
    EXPECT_FALSE(form.isVisible());
}

// ------------------------------------------------------------------ splash

TEST(Splash, VersionLabelAndTimedClose)
{
    platform::testing::SetScripted(true);
    Tfsplashscreen splash;
    EXPECT_EQ(splash.Label1->text(), QStringLiteral("v 1.00"));
    EXPECT_EQ(splash.size(), QSize(568, 328));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    // The label sits in the lower right corner.
    EXPECT_GT(splash.Label1->geometry().left(), 568 / 2);
    EXPECT_GT(splash.Label1->geometry().top(), 328 / 2);
    EXPECT_LE(splash.Label1->geometry().right(), 567);
    EXPECT_LE(splash.Label1->geometry().bottom(), 327);

    bool timerArmed = false;
    OnModal(QStringLiteral("Tfsplashscreen"), [&](QDialog& d) {
        auto& s = static_cast<Tfsplashscreen&>(d);
        timerArmed = s.Timer1->isActive() && s.Timer1->interval() == 3000;
        s.Timer1Timer();
    });
    platform::ExecModal(splash);
    EXPECT_TRUE(timerArmed);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(splash.Timer1->isActive());
    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty());
}

TEST(Splash, ClickClosesAtOnce)
{
    platform::testing::SetScripted(true);
    OnModal(QStringLiteral("Tfsplashscreen"), [](QDialog& d) {
        auto& s = static_cast<Tfsplashscreen&>(d);
        QTest::mouseClick(s.Image1, Qt::LeftButton, {}, QPoint(100, 100));
    });
    Tfsplashscreen splash;
    platform::ExecModal(splash);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty()) << platform::testing::UnhandledModals()
                                                                        .join(QLatin1Char(','))
                                                                        .toStdString();
}

TEST(Splash, ClosesByItselfAfterThreeSeconds)
{
    platform::testing::SetScripted(true);
    OnModal(QStringLiteral("Tfsplashscreen"), [](QDialog& d) {
        auto& s = static_cast<Tfsplashscreen&>(d);
        s.Timer1->setInterval(20);  // the same timer, a shorter wait
        s.Timer1->start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !s.isVisible(); }, 2000));
    });
    Tfsplashscreen splash;
    platform::ExecModal(splash);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty());
}

}  // namespace
