// Project commands of the main window: New, Open and Save with their
// dialogs, the caption, OstatniPlik, the project-open flag and the errors of
// short and unwritable files.
#include <QFile>
#include <QLabel>

#include <stdexcept>

#include "shell_support.h"

namespace {

using namespace shelltest;
using platform::testing::FileDialogs;
using platform::testing::QueueFileName;

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ProjectCommands : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        MakeForm();
    }

    QString File(const QString& name) const { return Folder() + name; }
    QString LastFile() const { return Config().LastProjectFile(); }

    // A record whose every byte differs from the values New writes.
    static ProjectRecord Patterned()
    {
        ProjectRecord r;
        for (int i = 0; i < ProjectRecord::Size; ++i)
            r.Bytes()[i] = static_cast<std::uint8_t>(i * 7 + 3);
        return r;
    }

    struct Snapshot {
        QString caption;
        QString fileName;
        QString lastFile;
        bool open;
        ProjectRecord record;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot Take()
    {
        return {Form().windowTitle(), Form().ProjectFileName(), LastFile(), Form().ProjectOpen(), Project()};
    }
};

TEST_F(ProjectCommands, SaveWritesTheRecordAndNamesTheProject)
{
    TForm1& f = Form();
    f.SetTab(3);
    Project() = Patterned();
    QueueFileName(File(QStringLiteral("race")));  // typed without extension
    ASSERT_TRUE(f.SaveProject());

    const QString path = File(QStringLiteral("race.kpj"));
    const QByteArray bytes = FileBytes(path);
    ASSERT_EQ(bytes.size(), 240);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(Patterned().Bytes().data()), 240), bytes);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Pitrova [ race.kpj ] "));
    EXPECT_EQ(f.ProjectFileName(), path);
    EXPECT_EQ(LastFile(), path);
    EXPECT_TRUE(f.ProjectOpen());
    EXPECT_EQ(f.Tab(), 1);

    ASSERT_EQ(FileDialogs().size(), 1);
    EXPECT_TRUE(FileDialogs()[0].save);
    EXPECT_EQ(FileDialogs()[0].filter, QStringLiteral("KROM project|*.kpj"));
    EXPECT_EQ(FileDialogs()[0].defaultExt, QStringLiteral("kpj"));
    EXPECT_TRUE(FileDialogs()[0].initialFile.isEmpty());

    // The next save preselects the current file and replaces it.
    Project().SetRpmMax(9000);
    QueueFileName(path);
    ASSERT_TRUE(f.SaveProject());
    EXPECT_EQ(FileDialogs()[1].initialFile, path);
    ProjectRecord back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.RpmMax(), 9000);
}

TEST_F(ProjectCommands, CancelledDialogsChangeNothing)
{
    TForm1& f = Form();
    QueueFileName(File(QStringLiteral("a.kpj")));
    ASSERT_TRUE(f.SaveProject());
    Project() = Patterned();
    const Snapshot before = Take();
    EXPECT_FALSE(f.SaveProject());  // no file name queued: cancelled
    EXPECT_EQ(Take(), before);
    EXPECT_FALSE(f.OpenProject());
    EXPECT_EQ(Take(), before);
}

TEST_F(ProjectCommands, OpenReadsTheFileAndFillsMissingRanges)
{
    TForm1& f = Form();
    ProjectRecord onDisk = Patterned();
    onDisk.SetByteAt(ProjectRecord::OffLapTimeDiagramOn, 1);
    onDisk.SetByteAt(ProjectRecord::OffWholeSessionChartOn, 0);
    onDisk.SetByteAt(ProjectRecord::OffLapOverlayChartOn, 1);
    onDisk.SetRpmMin(500);
    onDisk.SetRpmMax(0);
    onDisk.SetVGpsMin(40);
    onDisk.SetVGpsMax(0);
    const QString path = File(QStringLiteral("old.kpj"));
    onDisk.SaveToFile(path);

    Config().SetLastProjectFile(File(QStringLiteral("earlier.kpj")));
    QueueFileName(path);
    ASSERT_TRUE(f.OpenProject());
    // The dialog started at the last file.
    ASSERT_EQ(FileDialogs().size(), 1);
    EXPECT_FALSE(FileDialogs()[0].save);
    EXPECT_EQ(FileDialogs()[0].initialFile, File(QStringLiteral("earlier.kpj")));
    EXPECT_EQ(FileDialogs()[0].filter, QStringLiteral("KROM project|*.kpj"));

    EXPECT_EQ(f.windowTitle(), QStringLiteral("Pitrova [ old.kpj ] "));
    EXPECT_EQ(LastFile(), path);
    EXPECT_TRUE(f.ProjectOpen());
    EXPECT_EQ(Project().RpmMin(), 0);
    EXPECT_EQ(Project().RpmMax(), 15000);
    EXPECT_EQ(Project().VGpsMin(), 0);
    EXPECT_EQ(Project().VGpsMax(), 120);
    EXPECT_EQ(Project().Temp1Max(), onDisk.Temp1Max());
    // The unused bytes come along unchanged.
    for (int i = ProjectRecord::OffUnused; i < ProjectRecord::Size; ++i)
        ASSERT_EQ(Project().ByteAt(i), onDisk.ByteAt(i)) << i;
    // The toggles show the file's choice.
    EXPECT_EQ(f.Image10->pixmap().cacheKey(), f.LapTimesOnPicture.cacheKey());
    EXPECT_EQ(f.Image4->pixmap().cacheKey(), f.WholeSessionOffPicture.cacheKey());
    EXPECT_EQ(f.Image18->pixmap().cacheKey(), f.LapOverlayOnPicture.cacheKey());
}

TEST_F(ProjectCommands, SaveThenOpenGivesBackTheSameBytes)
{
    TForm1& f = Form();
    ProjectRecord r = Patterned();
    r.ApplyOpenDefaults();  // nothing for Open to fill in
    Project() = r;
    QueueFileName(File(QStringLiteral("same.kpj")));
    ASSERT_TRUE(f.SaveProject());
    Project() = ProjectRecord();
    QueueFileName(File(QStringLiteral("same.kpj")));
    ASSERT_TRUE(f.OpenProject());
    EXPECT_EQ(Project(), r);
}

TEST_F(ProjectCommands, FileErrorsReachTheErrorBoxAndChangeNothing)
{
    TForm1& f = Form();
    QueueFileName(File(QStringLiteral("good.kpj")));
    ASSERT_TRUE(f.SaveProject());
    Project() = Patterned();

    QFile shortFile(File(QStringLiteral("short.kpj")));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(100, 'x'));
    shortFile.close();

    struct Case {
        const char* name;
        bool save;
        QString path;
    } cases[] = {
        {"open of a short file", false, File(QStringLiteral("short.kpj"))},
        {"open of a missing file", false, File(QStringLiteral("none.kpj"))},
        {"save into a missing folder", true, File(QStringLiteral("no/such/folder/x.kpj"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Snapshot before = Take();
        QueueFileName(c.path);
        try {
            c.save ? f.SaveProject() : f.OpenProject();
            ADD_FAILURE() << "no error";
        } catch (const std::exception& e) {
            // The error box shows the error's own text: it names the file.
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(c.path)) << e.what();
        }
        EXPECT_EQ(Take(), before);
    }
}

TEST_F(ProjectCommands, NewResetsSavesAndCountsOnlyASavedProject)
{
    TForm1& f = Form();
    QueueFileName(File(QStringLiteral("first.kpj")));
    ASSERT_TRUE(f.SaveProject());
    Project() = Patterned();
    const ProjectRecord before = Project();
    const QString caption = f.windowTitle();

    // Cancelled at the save dialog: the record is reset all the same, the
    // name and the caption stay.
    EXPECT_FALSE(f.NewProject());
    const ProjectRecord& r = Project();
    for (int off = 0; off <= 36; off += 4)
        EXPECT_EQ(r.Int32At(off), -1000) << off;
    EXPECT_EQ(r.DriverListView(), 1);
    EXPECT_EQ(r.TrackListView(), 1);
    EXPECT_EQ(r.LapTimeDiagramOn(), 1);
    EXPECT_EQ(r.WholeSessionChartOn(), 1);
    EXPECT_EQ(r.LapOverlayChartOn(), 1);
    EXPECT_EQ(r.RpmMin(), 0);
    EXPECT_EQ(r.RpmMax(), 15000);
    EXPECT_EQ(r.Temp1Max(), 70);
    EXPECT_EQ(r.AccMin(), -3);
    EXPECT_EQ(r.AccMax(), 3);
    EXPECT_EQ(r.Temp2Max(), 700);
    // GPS speed range, other places and unused bytes untouched.
    EXPECT_EQ(r.VGpsMax(), before.VGpsMax());
    EXPECT_EQ(r.VGpsMin(), before.VGpsMin());
    EXPECT_EQ(r.ChartGpsViewLeft(), before.ChartGpsViewLeft());
    EXPECT_EQ(r.LinkedGpsViewWidth(), before.LinkedGpsViewWidth());
    EXPECT_EQ(r.ByteAt(200), before.ByteAt(200));
    EXPECT_EQ(f.windowTitle(), caption);
    EXPECT_EQ(f.ProjectFileName(), File(QStringLiteral("first.kpj")));
    EXPECT_EQ(LastFile(), File(QStringLiteral("first.kpj")));
    EXPECT_EQ(f.Image4->pixmap().cacheKey(), f.WholeSessionOnPicture.cacheKey());

    QueueFileName(File(QStringLiteral("second.kpj")));
    EXPECT_TRUE(f.NewProject());
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Pitrova [ second.kpj ] "));
    ProjectRecord saved;
    saved.LoadFromFile(File(QStringLiteral("second.kpj")));
    EXPECT_EQ(saved, Project());
}

TEST_F(ProjectCommands, ProjectOpenFlagShowsTheProjectTab)
{
    TForm1& f = Form();
    f.SetTab(2);
    f.SetProjectOpen(false);
    EXPECT_EQ(f.Tab(), 2);
    EXPECT_FALSE(f.ProjectOpen());
    f.SetProjectOpen(true);
    EXPECT_EQ(f.Tab(), 1);
    EXPECT_TRUE(f.ProjectOpen());
}

}  // namespace
