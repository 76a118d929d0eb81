// Screenshots of the track import over a folder of a few good track files
// (one of a long name), some the database refuses and 2,000 refused files,
// for judging their look:
//   xvfb-run -a -s "-screen 0 1600x1000x24" profiles_trackimportshot [folder]   (default /tmp/shots)
// Writes tracks_checklist.png, tracks_skipped.png (the first pass's message)
// and tracks_finished.png (the final message), and says whether each
// message fits on the screen.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/memtable.h"
#include "profiles/trackfile.h"
#include "profiles/ulistatorowimport.h"
#include "shell/common/stale.h"
#include "support/shots.h"
#include "support/testdb.h"

namespace {

void WriteTrack(const QString& path, int id, const QString& name)
{
    const QStringList lines = {"<ID_TORU>", "<TYP>3<!TYP>", QString::number(id), "<!ID_TORU>",
                               "<NAZWA>", "<TYP>1<!TYP>", name, "<!NAZWA>",
                               "[TABLENAME]", "TORY", "[!TABLENAME]"};
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(TransferFileBytes(lines));
}

// Shows a message as the program does and takes its picture.
void ShotOfMessage(const QString& text, const QString& path)
{
    QTimer::singleShot(300, [path] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box)
            return;
        SaveShot(*box, path);
        const QRect screen = box->screen()->availableGeometry();
        const QRect frame = box->frameGeometry();
        std::printf("  %dx%d on a screen of %dx%d: %s\n", frame.width(), frame.height(), screen.width(),
                    screen.height(), screen.contains(frame) ? "fits" : "DOES NOT FIT");
        box->close();
    });
    platform::ShowMessage(text);
}

}  // namespace

int main(int argc, char** argv)
{
    const ShotsRun run(argc, argv);

    TestDatabase db;
    SetProgramFolder(db.Folder());
    const QString folder = TrackTransferFolder();
    QDir().mkpath(folder);
    const char* names[] = {"Kartodrom Łódź", "Tor Bydgoszcz Łęgnowo", "Autodrom Słomczyn", "Silesia Ring",
                           "Radom Kart Arena", "Tor Poznań (wersja krótka)"};
    int id = 100001;
    for (const char* name : names) {
        WriteTrack(folder + TrackFileName(id), id, QString::fromUtf8(name));
        ++id;
    }
    WriteTrack(folder + QStringLiteral("Tor_Łódź_") + QString(136, u'x') + QStringLiteral(".txt2"), id++,
               QStringLiteral("Long file name"));
    // Tracks whose name is longer than the database takes: they fail.
    for (int i = 0; i < 12; ++i, ++id)
        WriteTrack(folder + QStringLiteral("TORY_%1.txt2").arg(id), id, QString(150, u'x'));
    // Files of another table: refused.
    for (int i = 0; i < 2000; ++i) {
        // The first one of a name as long as a folder takes.
        const QString name = QStringLiteral("kierowcy_%1").arg(i, 4, 10, QChar(u'0')) +
                             (i == 0 ? QStringLiteral("_") + QString(236, u'k') : QString()) + QStringLiteral(".txt2");
        QFile f(folder + name);
        f.open(QIODevice::WriteOnly);
        f.write(TransferFileBytes({"<ID_KIEROWCY>", "<TYP>3<!TYP>", QString::number(i), "<!ID_KIEROWCY>",
                                   "[TABLENAME]", "KIEROWCY", "[!TABLENAME]"}));
    }
    const QStringList skipped = ListTrackFiles(folder);
    MemTable& mem = DM->memToryImport;
    mem.SetBoolAt(2, mem.FieldIndex(QStringLiteral("wybrany")), false);

    platform::testing::OnModal(QStringLiteral("TFListaTorowImport"), [&](QDialog& d) {
        auto& f = static_cast<TFListaTorowImport&>(d);
        f.DBGrid1->SelectRow(1);
        SaveShot(f, run.File(QStringLiteral("tracks_checklist.png")));
        f.BitBtn1Click();
    });
    ShowTrackImportList();
    const TrackImportResult result = ImportChosenTracks(folder);

    platform::testing::SetScripted(false);
    ShotOfMessage(TrackRefusalMessage(skipped), run.File(QStringLiteral("tracks_skipped.png")));
    ShotOfMessage(TrackImportMessage(result), run.File(QStringLiteral("tracks_finished.png")));
    return 0;
}
