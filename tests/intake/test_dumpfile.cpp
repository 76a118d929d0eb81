// Key dump file reader: file names, header record fields, texts, the ring.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <iconv.h>

#include <cstring>
#include <vector>

#include "intake/dumpfile.h"

namespace {

TEST(SerialFromFileName, TakesTextBetweenFirstUnderscoreAndNextDot)
{
    const struct {
        const char* name;
        const char* serial;
    } cases[] = {
        {"dane1_77.bin", "77"},
        {"dane16_4294967295.bin", "4294967295"},
        {"dane1.bin", ""},         // no "_"
        {"dane1_77", ""},          // no "." after the "_"
        {"dane.1_77", ""},         // the only "." is before the "_"
        {"dane1_.bin", ""},        // nothing between them
        {"dane1_7_8.x.bin", "7_8"},  // up to the first "." after the first "_"
        {"dane1_77.bin.bak", "77"},
    };
    for (const auto& c : cases)
    {
        const QString serial = SerialFromFileName(QString::fromLatin1(c.name));
        EXPECT_EQ(serial, QString::fromLatin1(c.serial)) << c.name;
        EXPECT_FALSE(serial.isNull()) << c.name;  // binds as '' when empty
    }
}

SessionHeaderRecord HeaderWithEnd(int year, int month, int day, int hour, int minute, int second)
{
    SessionHeaderRecord h;
    h.SetByte(1, static_cast<uint8_t>(hour));
    h.SetByte(2, static_cast<uint8_t>(minute));
    h.SetByte(3, static_cast<uint8_t>(second));
    h.SetByte(4, static_cast<uint8_t>(day));
    h.SetByte(5, static_cast<uint8_t>(month));
    h.SetWord(6, static_cast<uint16_t>(year));
    return h;
}

TEST(SessionHeaderRecord, SessionEndValidity)
{
    const struct {
        int y, mo, d, h, mi, s;
        bool valid;
    } cases[] = {
        {2024, 5, 18, 14, 3, 59, true},  {2024, 2, 29, 0, 0, 0, true},  {2023, 2, 29, 12, 0, 0, false},
        {2024, 13, 1, 12, 0, 0, false},  {2024, 0, 1, 12, 0, 0, false}, {2024, 4, 31, 12, 0, 0, false},
        {2024, 5, 18, 24, 0, 0, false},  {2024, 5, 18, 23, 60, 0, false}, {2024, 5, 18, 23, 59, 60, false},
        {0, 5, 18, 12, 0, 0, false},     {255, 255, 255, 255, 255, 255, false},
    };
    for (const auto& c : cases) {
        QDateTime end;
        const bool ok = HeaderWithEnd(c.y, c.mo, c.d, c.h, c.mi, c.s).SessionEnd(end);
        EXPECT_EQ(ok, c.valid) << c.y << "-" << c.mo << "-" << c.d << " " << c.h << ":" << c.mi << ":" << c.s;
        if (ok && c.valid) {
            EXPECT_EQ(end.date(), QDate(c.y, c.mo, c.d));
            EXPECT_EQ(end.time(), QTime(c.h, c.mi, c.s, 0));
        }
    }
}

TEST(SessionHeaderRecord, FieldsAtTheirOffsets)
{
    uint8_t raw[256];
    for (int i = 0; i < 256; ++i)
        raw[i] = static_cast<uint8_t>(i * 7 + 3);
    raw[0] = 4;
    raw[9] = 17;
    raw[10] = 0x34, raw[11] = 0x12;                                   // start offset 0x1234
    raw[12] = 125, raw[13] = 0;                                       // counter 125 minutes
    raw[76] = 0xFE, raw[77] = 0xFF;                                   // first chassis word 65534
    raw[116] = 0x01, raw[117] = 0x02;                                 // last chassis word 0x0201
    raw[28] = 0x10, raw[29] = 0x27;                                   // last engine word 10000
    raw[132] = 0x86, raw[133] = 0x19, raw[134] = 0x01, raw[135] = 0;  // 72070 hundredths
    raw[136] = 0x10, raw[137] = 0x36;                                 // 13840
    raw[138] = 0xD0, raw[139] = 0x07;                                 // 2000
    raw[140] = 0x06, raw[141] = 0xFF, raw[142] = 0xFF, raw[143] = 0xFF;  // -250
    raw[220] = 0, raw[221] = 1;                                          // non-zero: GPS format

    const SessionHeaderRecord h = SessionHeaderRecord::FromBytes(raw);
    EXPECT_EQ(h.RaceIndex(), 4);
    EXPECT_FALSE(h.IsFree());
    EXPECT_EQ(h.LapCount(), 17);
    EXPECT_EQ(h.StartOffset(), 0x1234);
    EXPECT_EQ(h.OperatingCounter(), 125);
    EXPECT_EQ(h.SetupValue(76), 65534);
    EXPECT_EQ(h.SetupValue(116), 0x0201);
    EXPECT_EQ(h.SetupValue(28), 10000);
    EXPECT_EQ(h.Duration(), 72070u);
    EXPECT_EQ(h.MaxRpm(), 13840);
    EXPECT_EQ(h.MinRpm(), 2000);
    EXPECT_EQ(h.TheoreticalBest(), -250);
    EXPECT_TRUE(h.IsGpsFormat());

    raw[0] = 0xFF;
    raw[221] = 0;
    const SessionHeaderRecord free = SessionHeaderRecord::FromBytes(raw);
    EXPECT_TRUE(free.IsFree());
    EXPECT_FALSE(free.IsGpsFormat());
}

TEST(SessionHeaderRecord, SetupWordsCoverTheFormsThirtyColumnsOnce)
{
    std::vector<int> offsets;
    QStringList columns;
    for (const SetupColumn& w : kSetupColumns) {
        offsets.push_back(w.headerOffset);
        columns.append(QString::fromLatin1(w.column));
    }
    std::sort(offsets.begin(), offsets.end());
    std::vector<int> expected;
    for (int o = 12; o <= 28; o += 2)
        expected.push_back(o);
    for (int o = 76; o <= 116; o += 2)
        expected.push_back(o);
    EXPECT_EQ(offsets, expected);
    columns.removeDuplicates();
    EXPECT_EQ(columns.size(), 30);
}

TEST(SessionHeaderRecord, TextsAreTakenWholeWithZeroPaddingAsBlanks)
{
    SessionHeaderRecord h;
    const char driver[12] = {'A', 'N', 'N', 'A', 0, 0, 0, 0, 0, 0, 0, 0};
    // "Łódź" in code page 1250, a zero inside, then more text.
    const uint8_t track[12] = {0xA3, 0xF3, 0x64, 0x9F, 0, 'X', 'Y', 0, 0, 0, 0, 0};
    std::memcpy(h.Data() + 192, driver, 12);
    std::memcpy(h.Data() + 204, track, 12);
    EXPECT_EQ(h.DriverText(), QStringLiteral("ANNA        "));
    EXPECT_EQ(h.TrackText(), QStringLiteral("\u0141\u00F3d\u017A XY     "));
    EXPECT_EQ(h.DriverBytes(), QByteArray(driver, 12));

    // Writing a text cuts it to 12 bytes and pads with zeros.
    h.SetDriverText(QStringLiteral("Zażółć gęślą jaźń"));
    EXPECT_EQ(h.DriverText(), QStringLiteral("Zażółć gęślą"));
    EXPECT_EQ(h.DriverText().size(), 12);
    h.SetTrackText(QStringLiteral("Bo"));
    EXPECT_EQ(h.TrackBytes(), QByteArray("Bo\0\0\0\0\0\0\0\0\0\0", 12));
}

// The code page table against the C library's own conversion.
TEST(Cp1250, MatchesIconvForEveryDefinedByte)
{
    iconv_t cd = iconv_open("UTF-16LE", "CP1250");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int defined = 0;
    for (int b = 0; b < 256; ++b) {
        char in[1] = {static_cast<char>(b)};
        char out[4] = {};
        char* pin = in;
        char* pout = out;
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &pin, &inLeft, &pout, &outLeft) == static_cast<size_t>(-1))
            continue;  // undefined in the code page
        ++defined;
        const char16_t expected = static_cast<char16_t>(static_cast<uint8_t>(out[0]) | (static_cast<uint8_t>(out[1]) << 8));
        const uint8_t byte = static_cast<uint8_t>(b);
        const QString got = Cp1250ToUnicode(&byte, 1);
        ASSERT_EQ(got.size(), 1);
        EXPECT_EQ(got[0].unicode(), expected) << "byte " << b;
        EXPECT_EQ(UnicodeToCp1250(got), QByteArray(1, static_cast<char>(b))) << "byte " << b;
    }
    iconv_close(cd);
    EXPECT_EQ(defined, 251);
    EXPECT_EQ(UnicodeToCp1250(QStringLiteral("a\u4E2Db")), QByteArray("a?b"));
}

class DumpFileTest : public ::testing::Test {
protected:
    // A file of n records whose bytes 0..3 hold the record's own index.
    QString MakeFile(const QString& name, int records, int extraBytes = 0)
    {
        QByteArray data(records * kDumpRecordSize + extraBytes, '\0');
        for (int r = 0; r < records; ++r)
            std::memcpy(data.data() + r * kDumpRecordSize, &r, sizeof r);
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return path;
    }
    static int IndexOf(const uint8_t* record)
    {
        int i;
        std::memcpy(&i, record, sizeof i);
        return i;
    }
    QTemporaryDir dir;
};

TEST_F(DumpFileTest, RecordCountIgnoresAPartialLastRecordAndReadsStopAtIt)
{
    KeyDumpFile f;
    ASSERT_TRUE(f.Open(MakeFile(QStringLiteral("dane1_5.bin"), 130, 100)));
    EXPECT_EQ(f.RecordCount(), 130);
    EXPECT_TRUE(f.HasHeaderRecords());
    EXPECT_EQ(f.FileName(), QStringLiteral("dane1_5.bin"));
    uint8_t rec[256];
    f.ReadRecord(129, rec);
    EXPECT_EQ(IndexOf(rec), 129);
    EXPECT_THROW(f.ReadRecord(130, rec), DumpFileError);
    // Header entry e is record 79 + e.
    const SessionHeaderRecord h1 = f.ReadHeader(1);
    const SessionHeaderRecord h48 = f.ReadHeader(48);
    EXPECT_EQ(IndexOf(h1.Data()), 80);
    EXPECT_EQ(IndexOf(h48.Data()), 127);

    KeyDumpFile shortFile;
    ASSERT_TRUE(shortFile.Open(MakeFile(QStringLiteral("dane2_5.bin"), 127)));
    EXPECT_FALSE(shortFile.HasHeaderRecords());

    KeyDumpFile missing;
    EXPECT_FALSE(missing.Open(dir.filePath(QStringLiteral("none.bin"))));
    EXPECT_TRUE(missing.ErrorText().contains(QStringLiteral("none.bin")));
}

TEST_F(DumpFileTest, RingStartsAtOffsetWrapsOnceAndFailsPastTheEnd)
{
    const struct {
        int records;
        int offset;
        std::vector<int> expected;  // records read before the read error
    } cases[] = {
        // Starts at 165, wraps to 160 after 169, fails after the second 169.
        {170, 5, {165, 166, 167, 168, 169, 160, 161, 162, 163, 164, 165, 166, 167, 168, 169}},
        // Starts at the last record.
        {170, 9, {169, 160, 161, 162, 163, 164, 165, 166, 167, 168, 169}},
        // An offset beyond the file goes to the ring start at once.
        {170, 30, {160, 161, 162, 163, 164, 165, 166, 167, 168, 169}},
        // Offset 0: the whole ring, then the wrap back to its start.
        {163, 0, {160, 161, 162, 160, 161, 162}},
        // No ring at all.
        {160, 0, {}},
    };
    for (const auto& c : cases) {
        KeyDumpFile f;
        ASSERT_TRUE(f.Open(MakeFile(QStringLiteral("ring%1_%2.bin").arg(c.records).arg(c.offset), c.records)));
        SampleRing ring(f, c.offset);
        std::vector<int> got;
        uint8_t rec[256];
        bool failed = false;
        for (int i = 0; i < 100 && !failed; ++i) {
            try {
                ring.Next(rec);
                got.push_back(IndexOf(rec));
            } catch (const DumpFileError& e) {
                failed = true;
                EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("Read beyond end of file")));
            }
        }
        EXPECT_TRUE(failed) << c.records << "/" << c.offset;
        EXPECT_EQ(got, c.expected) << c.records << "/" << c.offset;
    }
}

}  // namespace
