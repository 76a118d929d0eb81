// Project record: field layout, the New reset and the Open defaults, and the
// 240-byte project file.
#include "shell/projectrecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

#include "support/plainuser.h"

namespace {

// Every byte distinct from its neighbours and from the values New writes.
ProjectRecord Patterned()
{
    ProjectRecord r;
    for (int i = 0; i < ProjectRecord::Size; ++i)
        r.Bytes()[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return r;
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

TEST(ProjectRecordFields, LittleEndianAtTheirOffsets)
{
    ProjectRecord r;
    r.SetGpsTraceLeft(-1000);
    r.SetGForceChartTop(0x01020304);
    r.SetChartGpsViewLeft(0x11223344);
    r.SetLinkedGpsViewWidth(-2);
    r.SetDriverListView(1);
    r.SetLapOverlayChartOn(1);
    r.SetRpmMax(15000);
    r.SetAccMin(-3);
    r.SetVGpsMax(120);
    r.SetVGpsMin(40000);
    const auto& b = r.Bytes();
    // -1000 = 0xFFFFFC18
    EXPECT_EQ(b[0], 0x18);
    EXPECT_EQ(b[1], 0xFC);
    EXPECT_EQ(b[2], 0xFF);
    EXPECT_EQ(b[3], 0xFF);
    EXPECT_EQ(b[36], 0x04);
    EXPECT_EQ(b[39], 0x01);
    EXPECT_EQ(b[42], 0x44);
    EXPECT_EQ(b[45], 0x11);
    EXPECT_EQ(b[62], 0xFE);
    EXPECT_EQ(b[65], 0xFF);
    EXPECT_EQ(b[40], 1);
    EXPECT_EQ(b[68], 1);
    EXPECT_EQ(b[71] | b[72] << 8, 15000);
    EXPECT_EQ(b[77] | b[78] << 8, 0xFFFD);
    EXPECT_EQ(b[85] | b[86] << 8, 120);  // maximum first
    EXPECT_EQ(b[87] | b[88] << 8, 40000);
    EXPECT_EQ(r.GpsTraceLeft(), -1000);
    EXPECT_EQ(r.LinkedGpsViewWidth(), -2);
    EXPECT_EQ(r.AccMin(), -3);
    EXPECT_EQ(r.VGpsMin(), 40000);
}

TEST(ProjectRecordFields, SixteenBitFieldsKeepTheLow16Bits)
{
    struct Case {
        int stored;
        int asSigned;
        int asUnsigned;
    };
    const Case cases[] = {
        {70000, 4464, 4464}, {-5, -5, 65531}, {32768, -32768, 32768}, {65535, -1, 65535},
        {65536, 0, 0},       {-32768, -32768, 32768}, {-70000, -4464, 61072},
    };
    for (const Case& c : cases) {
        ProjectRecord r;
        r.SetRpmMax(c.stored);
        r.SetVGpsMin(c.stored);
        EXPECT_EQ(r.RpmMax(), c.asSigned) << c.stored;
        EXPECT_EQ(r.VGpsMin(), c.asUnsigned) << c.stored;
        // Neighbouring fields untouched.
        EXPECT_EQ(r.RpmMin(), 0);
        EXPECT_EQ(r.Temp1Min(), 0);
        EXPECT_EQ(r.VGpsMax(), 0);
        EXPECT_EQ(r.ByteAt(ProjectRecord::OffUnused), 0);
    }
}

TEST(ProjectRecordFields, OffsetsOutsideTheRecordAreRefused)
{
    ProjectRecord r;
    EXPECT_THROW(r.Int32At(237), std::out_of_range);
    EXPECT_THROW(r.SetInt16At(239, 1), std::out_of_range);
    EXPECT_THROW(r.ByteAt(-1), std::out_of_range);
    EXPECT_NO_THROW(r.SetInt16At(238, 1));
}

TEST(ProjectRecordNew, ResetTouchesExactlyTheListedOffsets)
{
    ProjectRecord r = Patterned();
    const ProjectRecord before = r;
    r.ResetForNewProject();

    std::set<int> touched;
    for (int i = 0; i < 40; ++i)
        touched.insert(i);
    for (int i : {40, 41, 66, 67, 68})
        touched.insert(i);
    for (int i = 69; i < 85; ++i)
        touched.insert(i);
    for (int i = 0; i < ProjectRecord::Size; ++i) {
        if (!touched.count(i)) {
            EXPECT_EQ(r.Bytes()[i], before.Bytes()[i]) << "offset " << i;
        }
    }

    for (int off = 0; off <= 36; off += 4)
        EXPECT_EQ(r.Int32At(off), ProjectRecord::NotSet) << off;
    EXPECT_EQ(r.DriverListView(), 1);
    EXPECT_EQ(r.TrackListView(), 1);
    EXPECT_EQ(r.LapTimeDiagramOn(), 1);
    EXPECT_EQ(r.WholeSessionChartOn(), 1);
    EXPECT_EQ(r.LapOverlayChartOn(), 1);
    EXPECT_EQ(r.RpmMin(), 0);
    EXPECT_EQ(r.RpmMax(), 15000);
    EXPECT_EQ(r.Temp1Min(), 0);
    EXPECT_EQ(r.Temp1Max(), 70);
    EXPECT_EQ(r.AccMin(), -3);
    EXPECT_EQ(r.AccMax(), 3);
    EXPECT_EQ(r.Temp2Min(), 0);
    EXPECT_EQ(r.Temp2Max(), 700);
}

// A new project gets the GPS speed range an opened file gets when it has
// none (0..0 or no width); a set one is kept.
TEST(ProjectRecordNew, GpsSpeedRangeAsOpenFillsItIn)
{
    struct Case {
        int min, max;
        int expectedMin, expectedMax;
    };
    const Case cases[] = {{0, 0, 0, 120}, {50, 50, 0, 120}, {30, 0, 0, 120}, {10, 200, 10, 200}, {90, 20, 90, 20}};
    for (const Case& c : cases) {
        ProjectRecord r;
        r.SetVGpsMin(c.min);
        r.SetVGpsMax(c.max);
        r.ResetForNewProject();
        EXPECT_EQ(r.VGpsMin(), c.expectedMin) << c.min << ".." << c.max;
        EXPECT_EQ(r.VGpsMax(), c.expectedMax) << c.min << ".." << c.max;
        EXPECT_EQ(r.LinkedGpsViewLeft(), 0);
    }
}

TEST(ProjectRecordOpen, DefaultsForRangesNotSet)
{
    struct Range {
        void (ProjectRecord::*setMin)(int);
        void (ProjectRecord::*setMax)(int);
        int (ProjectRecord::*min)() const;
        int (ProjectRecord::*max)() const;
        int defaultMin;
        int defaultMax;
        const char* name;
    };
    const Range ranges[] = {
        {&ProjectRecord::SetRpmMin, &ProjectRecord::SetRpmMax, &ProjectRecord::RpmMin, &ProjectRecord::RpmMax, 0,
         15000, "RPM"},
        {&ProjectRecord::SetTemp1Min, &ProjectRecord::SetTemp1Max, &ProjectRecord::Temp1Min,
         &ProjectRecord::Temp1Max, 0, 70, "Temp1"},
        {&ProjectRecord::SetTemp2Min, &ProjectRecord::SetTemp2Max, &ProjectRecord::Temp2Min,
         &ProjectRecord::Temp2Max, 0, 700, "Temp2"},
        {&ProjectRecord::SetAccMin, &ProjectRecord::SetAccMax, &ProjectRecord::AccMin, &ProjectRecord::AccMax, -3, 3,
         "Acc"},
        {&ProjectRecord::SetVGpsMin, &ProjectRecord::SetVGpsMax, &ProjectRecord::VGpsMin, &ProjectRecord::VGpsMax, 0,
         120, "V GPS"},
    };
    struct Case {
        int min;
        int max;
        bool reset;
    };
    const Case cases[] = {
        {500, 0, true},   // maximum 0: both ends reset, the minimum too
        {0, 0, true},
        {40, 40, true},   // no width: every value would read as the minimum
        {0, 1, false},    // a set maximum keeps the pair
        {-50, -10, false},
        {20, 10, false},  // not checked for order
    };
    for (const Range& range : ranges) {
        for (const Case& c : cases) {
            if (c.max < 0 && range.min == &ProjectRecord::VGpsMin)
                continue;  // unsigned field
            ProjectRecord r = Patterned();
            // Every range set, so only this one can be reset.
            for (const Range& other : ranges) {
                (r.*other.setMin)(1);
                (r.*other.setMax)(2);
            }
            (r.*range.setMin)(c.min);
            (r.*range.setMax)(c.max);
            ProjectRecord expected = r;
            if (c.reset) {
                (expected.*range.setMin)(range.defaultMin);
                (expected.*range.setMax)(range.defaultMax);
            }
            r.ApplyOpenDefaults();
            EXPECT_EQ(r, expected) << range.name << " " << c.min << ".." << c.max;
            EXPECT_EQ((r.*range.min)(), c.reset ? range.defaultMin : c.min) << range.name;
            EXPECT_EQ((r.*range.max)(), c.reset ? range.defaultMax : c.max) << range.name;
        }
    }
}

class ProjectFileTest : public ::testing::Test {
protected:
    QString path(const char* name = "race.kpj") const { return dir_.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir_;
};

TEST_F(ProjectFileTest, SaveThenOpenGivesBackAll240Bytes)
{
    const ProjectRecord saved = Patterned();
    saved.SaveToFile(path());
    const QByteArray onDisk = FileBytes(path());
    ASSERT_EQ(onDisk.size(), ProjectRecord::Size);
    for (int i = 0; i < ProjectRecord::Size; ++i)
        EXPECT_EQ(static_cast<std::uint8_t>(onDisk[i]), saved.Bytes()[i]) << i;

    ProjectRecord opened;
    opened.LoadFromFile(path());
    EXPECT_EQ(opened, saved);  // bytes 89-239 included
}

TEST_F(ProjectFileTest, SaveReplacesALongerFileAsAWhole)
{
    WriteBytes(path(), QByteArray(1000, 'x'));
    ProjectRecord r;
    r.ResetForNewProject();
    r.SaveToFile(path());
    EXPECT_EQ(FileBytes(path()).size(), ProjectRecord::Size);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{QStringLiteral("race.kpj")});
}

TEST_F(ProjectFileTest, LongerFileReadsItsFirst240Bytes)
{
    const ProjectRecord saved = Patterned();
    QByteArray bytes(reinterpret_cast<const char*>(saved.Bytes().data()), ProjectRecord::Size);
    bytes += QByteArray(60, '\x55');
    WriteBytes(path(), bytes);
    ProjectRecord opened;
    opened.LoadFromFile(path());
    EXPECT_EQ(opened, saved);
}

TEST_F(ProjectFileTest, FailedOpenThrowsAndLeavesTheRecord)
{
    WriteBytes(path("short.kpj"), QByteArray(239, '\x01'));
    WriteBytes(path("empty.kpj"), QByteArray());
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.kpj")));
    for (const char* name : {"short.kpj", "empty.kpj", "missing.kpj", "folder.kpj"}) {
        ProjectRecord r = Patterned();
        const ProjectRecord before = r;
        EXPECT_THROW(r.LoadFromFile(path(name)), std::runtime_error) << name;
        EXPECT_EQ(r, before) << name;
    }
}

TEST_F(ProjectFileTest, FailedSaveThrowsWithThePath)
{
    const QString target = path("no/such/folder/race.kpj");
    try {
        Patterned().SaveToFile(target);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(target.toStdString()), std::string::npos) << e.what();
    }
    // A folder in the file's place is not replaced.
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.kpj")));
    EXPECT_THROW(Patterned().SaveToFile(path("folder.kpj")), std::runtime_error);
    EXPECT_TRUE(QFileInfo(path("folder.kpj")).isDir());
}

TEST_F(ProjectFileTest, WritableFileInAFolderThatIsNotIsSavedInPlace)
{
    const QString folder = dir_.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = folder + QStringLiteral("/race.kpj");
    WriteBytes(file, QByteArray(ProjectRecord::Size, '\0'));
    const ProjectRecord saved = Patterned();
    const std::optional<bool> written =
        plainuser::WriteInReadOnlyFolder(dir_.path(), folder, file, [&] { saved.SaveToFile(file); });
    if (!written)
        GTEST_SKIP() << "cannot run as an ordinary user here";
    EXPECT_TRUE(*written);
    ProjectRecord opened;
    opened.LoadFromFile(file);
    EXPECT_EQ(opened, saved);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("race.kpj")});
}

TEST(ProjectRecordGlobal, OneRecordForTheRunStartingAtZero)
{
    EXPECT_EQ(Project(), ProjectRecord());
    Project().SetRpmMax(9000);
    EXPECT_EQ(&Project(), &Project());
    EXPECT_EQ(Project().RpmMax(), 9000);
    Project() = ProjectRecord();
}

}  // namespace
