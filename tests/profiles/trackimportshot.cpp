// Screenshot of the "Tracks" check list over a few listed track files, for
// judging its look:
//   xvfb-run -a -s "-screen 0 1600x1000x24" profiles_trackimportshot [folder]   (default /tmp/shots)
// Writes tracks_checklist.png.
#include <QDir>
#include <QFile>

#include <cstdio>

#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/memtable.h"
#include "profiles/trackfile.h"
#include "profiles/ulistatorowimport.h"
#include "shell/common/stale.h"
#include "support/testdb.h"

int main(int argc, char** argv)
{
    PitrovaApplication app(argc, argv);
    ApplyDarkTheme(app);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/shots");
    QDir().mkpath(out);
    platform::testing::SetScripted(true);

    TestDatabase db;
    SetProgramFolder(db.Folder());
    const QString folder = TrackTransferFolder();
    QDir().mkpath(folder);
    const char* names[] = {"Kartodrom Łódź", "Tor Bydgoszcz Łęgnowo", "Autodrom Słomczyn", "Silesia Ring",
                           "Radom Kart Arena", "Tor Poznań (wersja krótka)"};
    int id = 100001;
    for (const char* name : names) {
        const QStringList lines = {"<ID_TORU>", "<TYP>3<!TYP>", QString::number(id), "<!ID_TORU>",
                                   "<NAZWA>", "<TYP>1<!TYP>", QString::fromUtf8(name), "<!NAZWA>",
                                   "[TABLENAME]", "TORY", "[!TABLENAME]"};
        QFile f(folder + TrackFileName(id));
        f.open(QIODevice::WriteOnly);
        f.write(TransferFileBytes(lines));
        ++id;
    }
    ListTrackFiles(folder);
    MemTable& mem = DM->memToryImport;
    mem.SetBoolAt(2, mem.FieldIndex(QStringLiteral("wybrany")), false);

    platform::testing::OnModal(QStringLiteral("TFListaTorowImport"), [&](QDialog& d) {
        auto& f = static_cast<TFListaTorowImport&>(d);
        f.DBGrid1->SelectRow(1);
        QCoreApplication::processEvents();
        const QString path = out + QStringLiteral("/tracks_checklist.png");
        if (!f.grab().save(path))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        else
            std::printf("%s\n", qPrintable(path));
        f.BitBtn2Click();
    });
    ShowTrackImportList();
    return 0;
}
