// Windows-style ini file: reading rules, integer keys, writes that keep the
// rest of the file, and refused writes that leave it untouched.
#include "platform/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/plainuser.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath(QStringLiteral("test.ini")); }

    void writeRaw(const QByteArray& bytes) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray readRaw() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

TEST_F(IniFileTest, MissingFileGivesDefaults)
{
    IniFile ini(path());
    EXPECT_EQ(ini.ReadString("Parametry", "AliasBazy", "def"), QStringLiteral("def"));
    EXPECT_EQ(ini.ReadInteger("Parametry", "x", -3), -3);
    EXPECT_EQ(ini.ReadInt64("Parametry", "x", 1LL << 40), 1LL << 40);
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(IniFileTest, ReadingRules)
{
    writeRaw("top=before any section\r\n"
             "; comment=not a key\r\n"
             "[Parametry]\r\n"
             "  AliasBazy =  localhost:C:\\KROM\\KROMDB.GDB  \r\n"
             ";OstatniPlik=commented out\r\n"
             "Equation=a=b\r\n"
             "Empty=\r\n"
             "Twice=first\r\n"
             "twice=second\r\n"
             "no equals sign here\r\n"
             "[ Other ]\r\n"
             "AliasBazy=other section\n"
             "Lf=only LF\r"
             "Cr=only CR\n"
             "[parametry]\r\n"
             "Later=second section of the same name\r\n"
             "Last=no line end");
    IniFile ini(path());
    struct Case {
        const char* section;
        const char* key;
        const char* value;  // nullptr: the default
    };
    const Case cases[] = {
        {"Parametry", "AliasBazy", "localhost:C:\\KROM\\KROMDB.GDB"},
        {"PARAMETRY", "aliasbazy", "localhost:C:\\KROM\\KROMDB.GDB"},
        {"Parametry", "OstatniPlik", nullptr},
        {"Parametry", "comment", nullptr},
        {"Parametry", "top", nullptr},
        {"Parametry", "Equation", "a=b"},
        {"Parametry", "Empty", ""},
        {"Parametry", "Twice", "first"},
        {"Other", "AliasBazy", "other section"},
        {"other", "Lf", "only LF"},
        {"Other", "Cr", "only CR"},
        // Only the first section of a name is read, as on Windows.
        {"Parametry", "Later", nullptr},
        {"Parametry", "Last", nullptr},
        {"Missing", "AliasBazy", nullptr},
    };
    for (const Case& c : cases) {
        const QString expected = c.value ? QString::fromUtf8(c.value) : QStringLiteral("<default>");
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), expected) << c.section << "/" << c.key;
    }
}

TEST_F(IniFileTest, IntegerValues)
{
    writeRaw("[S]\r\n"
             "dec=42\r\nneg= -7 \r\nhex=0x1F\r\nHEX=0X10\r\nword=abc\r\nmixed=12abc\r\nempty=\r\n"
             "big=3000000000\r\nhuge=99999999999999999999\r\nday=45000\r\n");
    IniFile ini(path());
    struct Case {
        const char* key;
        int asInt;
        qint64 asInt64;
    };
    const Case cases[] = {
        {"dec", 42, 42},         {"neg", -7, -7},       {"hex", 31, 31},         {"word", -1, -1},
        {"mixed", -1, -1},       {"empty", -1, -1},     {"big", -1, 3000000000LL}, {"huge", -1, -1},
        {"day", 45000, 45000},   {"absent", -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.ReadInteger("S", c.key, -1), c.asInt) << c.key;
        EXPECT_EQ(ini.ReadInt64("S", c.key, -1), c.asInt64) << c.key;
    }
}

TEST_F(IniFileTest, WriteCreatesTheFileWithCrLf)
{
    IniFile ini(path());
    ini.WriteString("Parametry", "OstatniPlik", "/home/kart/race 1.kpj");
    ini.WriteInteger("Parametry", "OstatniUpdate", 45000);
    EXPECT_EQ(readRaw(), QByteArray("[Parametry]\r\nOstatniPlik=/home/kart/race 1.kpj\r\nOstatniUpdate=45000\r\n"));
    EXPECT_EQ(ini.ReadInteger("Parametry", "OstatniUpdate", 0), 45000);
}

TEST_F(IniFileTest, WriteKeepsEveryOtherLine)
{
    // A line in another encoding (code page 1250 bytes) must survive as is.
    const QByteArray foreign = "Kierowca=\xA3\xF3\x64\xBC\r\n";
    writeRaw("; settings of the program\n"
             "[Other]\n"
             "AliasBazy=keep me\n" +
             foreign +
             "\n"
             "[Parametry]\n"
             "AliasBazy=C:\\KROM\\KROMDB.GDB\n"
             "OstatniUpdate=1\n"
             "; trailing comment of the section\n"
             "\n"
             "[Third]\n"
             "x=y");
    IniFile ini(path());
    ini.WriteInt64("parametry", "ostatniupdate", 45123);  // replaces the line in place
    ini.WriteString("Parametry", "OstatniPlik", "/data/p.kpj");  // added to the section
    ini.WriteString("New", "k", "v");                            // new section at the end
    EXPECT_EQ(readRaw(), QByteArray("; settings of the program\r\n"
                                    "[Other]\r\n"
                                    "AliasBazy=keep me\r\n") +
                             foreign +
                             "\r\n"
                             "[Parametry]\r\n"
                             "AliasBazy=C:\\KROM\\KROMDB.GDB\r\n"
                             "OstatniUpdate=45123\r\n"
                             "OstatniPlik=/data/p.kpj\r\n"
                             "; trailing comment of the section\r\n"
                             "\r\n"
                             "[Third]\r\n"
                             "x=y\r\n"
                             "[New]\r\n"
                             "k=v\r\n");
}

TEST_F(IniFileTest, WriteIsSeenByTheNextReadOfAnyObject)
{
    IniFile writer(path());
    IniFile reader(path());
    writer.WriteString("S", "k", "one");
    EXPECT_EQ(reader.ReadString("S", "k", ""), QStringLiteral("one"));
    writer.WriteString("S", "k", "  two  ");
    EXPECT_EQ(reader.ReadString("S", "k", ""), QStringLiteral("two"));
    writer.WriteString("S", "k", "");
    EXPECT_EQ(reader.ReadString("S", "k", "default"), QString());
    writer.WriteString("S", "path", "C:\\a\\b");
    EXPECT_EQ(reader.ReadString("S", "path", ""), QStringLiteral("C:\\a\\b"));
    writer.WriteString("S", "polish", QStringLiteral("Łódź"));
    EXPECT_EQ(reader.ReadString("S", "polish", ""), QStringLiteral("Łódź"));
}

TEST_F(IniFileTest, RefusedWritesLeaveTheFileAsItWas)
{
    writeRaw("[S]\r\nk=v\r\n");
    IniFile ini(path());
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"S", "k", "two\nlines"}, {"S", "k", "cr\rvalue"}, {"S", "a=b", "v"}, {"S", "", "v"},
        {"S", ";k", "v"},         {"S", "[k", "v"},        {"S]", "k", "v"}, {"", "k", "v"},
        {"S\nT", "k", "v"},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(ini.WriteString(c.section, c.key, c.value), std::invalid_argument)
            << c.section << "/" << c.key;
        EXPECT_EQ(readRaw(), QByteArray("[S]\r\nk=v\r\n"));
    }
}

TEST_F(IniFileTest, QuotedValuesLoseOnePairOfQuotes)
{
    writeRaw("[Parametry]\r\n"
             "AliasBazy=\"localhost:C:\\KROM\\KROMDB.GDB\"\r\n"
             "Single= 'C:\\data\\a.kpj' \r\n"
             "Twice=\"\"inner\"\"\r\n"
             "Unmatched=\"open only\r\n"
             "Mixed=\"a'\r\n"
             "Inside=a \"b\" c\r\n"
             "Lone=\"\r\n"
             "Empty=\"\"\r\n"
             "Port=\"3050\"\r\n");
    IniFile ini(path());
    struct Case {
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"AliasBazy", "localhost:C:\\KROM\\KROMDB.GDB"},
        {"Single", "C:\\data\\a.kpj"},
        {"Twice", "\"inner\""},
        {"Unmatched", "\"open only"},
        {"Mixed", "\"a'"},
        {"Inside", "a \"b\" c"},
        {"Lone", "\""},
        {"Empty", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.ReadString("Parametry", c.key, "<default>"), QString::fromUtf8(c.value)) << c.key;
    EXPECT_EQ(ini.ReadInteger("Parametry", "Port", 0), 3050);
}

TEST_F(IniFileTest, WritableFileInAFolderThatIsNotIsWrittenInPlace)
{
    const QString folder = dir_.filePath(QStringLiteral("program"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = folder + QStringLiteral("/ustawienia.ini");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Parametry]\r\nAliasBazy=C:\\KROM\\KROMDB.GDB\r\nOstatniUpdate=1\r\n");
    }
    const std::optional<bool> written = plainuser::WriteInReadOnlyFolder(
        dir_.path(), folder, file, [&] { IniFile(file).WriteInt64("Parametry", "OstatniUpdate", 45123); });
    if (!written)
        GTEST_SKIP() << "cannot run as an ordinary user here";
    EXPECT_TRUE(*written);
    IniFile ini(file);
    EXPECT_EQ(ini.ReadInt64("Parametry", "OstatniUpdate", 0), 45123);
    EXPECT_EQ(ini.ReadString("Parametry", "AliasBazy", ""), QStringLiteral("C:\\KROM\\KROMDB.GDB"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("ustawienia.ini")});
}

TEST_F(IniFileTest, UnreadableOrUnwritablePathThrowsOnWrite)
{
    // A folder at the file's path cannot be read as a file: reads give the
    // default, a write refuses rather than replace what it could not read.
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("test.ini")));
    IniFile unreadable(path());
    EXPECT_EQ(unreadable.ReadString("S", "k", "def"), QStringLiteral("def"));
    EXPECT_THROW(unreadable.WriteString("S", "k", "v"), IniFileError);
    EXPECT_TRUE(QFileInfo(path()).isDir());

    IniFile noFolder(dir_.filePath(QStringLiteral("missing/test.ini")));
    EXPECT_THROW(noFolder.WriteString("S", "k", "v"), IniFileError);
    try {
        noFolder.WriteString("S", "k", "v");
    } catch (const IniFileError& e) {
        EXPECT_NE(std::string(e.what()).find("missing/test.ini"), std::string::npos) << e.what();
    }
}

}  // namespace
