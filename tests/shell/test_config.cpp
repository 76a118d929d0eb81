// Configuration file "ustawienia.ini": defaults, the keys written back, the
// rest of the file kept, and the daily updater decision.
#include "shell/config.h"

#include "platform/tdatetime.h"
#include "shell/common/stale.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(dir_.path()); }
    void TearDown() override { SetProgramFolder(QString()); }

    QString iniPath() const { return dir_.filePath(QStringLiteral("ustawienia.ini")); }

    QByteArray raw() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

TEST_F(ConfigTest, DefaultConnectionStringIsTheDatabaseBesideTheProgram)
{
    EXPECT_EQ(DefaultConnectionString(QStringLiteral("/opt/pitrova/")),
              QStringLiteral("localhost:/opt/pitrova/KROMDB.GDB"));
}

TEST_F(ConfigTest, FileIsBesideTheProgramUnlessAPathIsGiven)
{
    EXPECT_EQ(ConfigFile().FileName(), dir_.path() + QStringLiteral("/ustawienia.ini"));
    EXPECT_EQ(ConfigFile(QStringLiteral("/elsewhere/x.ini")).FileName(), QStringLiteral("/elsewhere/x.ini"));
}

TEST_F(ConfigTest, NoFileGivesTheDefaults)
{
    ConfigFile config;
    EXPECT_EQ(config.DatabaseAlias(), QStringLiteral("localhost:") + dir_.path() + QStringLiteral("/KROMDB.GDB"));
    EXPECT_EQ(config.DatabaseAlias(QStringLiteral("given")), QStringLiteral("given"));
    EXPECT_EQ(config.LastUpdateDay(), 0);
    EXPECT_EQ(config.LastProjectFile(), QString());
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(ConfigTest, WrittenValuesReadBackAndTheRestIsKept)
{
    {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("; edited by hand\r\n"
                "[Parametry]\r\n"
                "AliasBazy=server:/srv/krom/KROMDB.GDB\r\n"
                "Extra=1\r\n"
                "[Okno]\r\n"
                "Left=10\r\n");
    }
    ConfigFile config(iniPath());
    EXPECT_EQ(config.DatabaseAlias(), QStringLiteral("server:/srv/krom/KROMDB.GDB"));
    config.SetLastUpdateDay(45000);
    config.SetLastProjectFile(QStringLiteral("/home/kart/Łódź 2024.kpj"));
    config.SetLastUpdateDay(45001);

    ConfigFile again(iniPath());
    EXPECT_EQ(again.LastUpdateDay(), 45001);
    EXPECT_EQ(again.LastProjectFile(), QStringLiteral("/home/kart/Łódź 2024.kpj"));
    EXPECT_EQ(again.DatabaseAlias(), QStringLiteral("server:/srv/krom/KROMDB.GDB"));
    EXPECT_EQ(raw(), QByteArray("; edited by hand\r\n"
                                "[Parametry]\r\n"
                                "AliasBazy=server:/srv/krom/KROMDB.GDB\r\n"
                                "Extra=1\r\n"
                                "OstatniUpdate=45001\r\n"
                                "OstatniPlik=/home/kart/\xC5\x81\xC3\xB3\x64\xC5\xBA 2024.kpj\r\n"
                                "[Okno]\r\n"
                                "Left=10\r\n"));
}

TEST_F(ConfigTest, FirstWriteCreatesTheFileWithoutAliasBazy)
{
    ConfigFile config;
    config.SetLastUpdateDay(TodayDayNumber());
    EXPECT_EQ(raw(), "[Parametry]\r\nOstatniUpdate=" + QByteArray::number(TodayDayNumber()) + "\r\n");
}

TEST_F(ConfigTest, CorruptDayReadsAsNeverStored)
{
    QFile f(iniPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Parametry]\r\nOstatniUpdate=yesterday\r\n");
    f.close();
    EXPECT_EQ(ConfigFile().LastUpdateDay(), 0);
}

TEST(UpdaterDecision, OnlyTheFirstStartOfANewDay)
{
    const qint64 today = DayNumber(QDate(2024, 6, 1));
    struct Case {
        qint64 stored;
        bool updater;
        const char* what;
    };
    const Case cases[] = {
        {0, true, "never stored (no ini file)"},
        {today - 1, true, "stored yesterday"},
        {today - 400, true, "stored long ago"},
        {today, false, "already today"},
        {today + 1, false, "clock set back"},
        {-5, true, "negative day"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUpdaterDay(c.stored, today), c.updater) << c.what;
}

TEST_F(ConfigTest, RecordingTodayEndsTheUpdaterDay)
{
    ConfigFile config;
    EXPECT_TRUE(IsUpdaterDay(config.LastUpdateDay(), TodayDayNumber()));
    config.SetLastUpdateDay(TodayDayNumber());
    EXPECT_FALSE(IsUpdaterDay(ConfigFile().LastUpdateDay(), TodayDayNumber()));
}

}  // namespace
