#include "profiles/tracktransfer.h"

#include <QApplication>
#include <QFileInfo>

#include "platform/dialogs.h"
#include "profiles/trackfile.h"
#include "profiles/ulistatorowimport.h"
#include "shell/data/ubazy.h"

namespace {

void ProcessEvents() { QCoreApplication::processEvents(); }

}  // namespace

void ExportTracksToTransferFolder()
{
    QString error;
    int written = 0;
    {
        platform::HourGlass busy;
        written = ExportTracks(TrackTransferFolder(), &error);
    }
    if (written < 0)
        platform::ShowErrorBox(error);
    else
        platform::ShowMessage(QStringLiteral("OK"));
}

void ImportTracksFromTransferFolder()
{
    MemTable& list = DM->memToryImport;
    list.Close();
    list.Open();
    const QString folder = TrackTransferFolder();
    if (!QFileInfo(folder).isDir()) {
        platform::ShowMessage(MissingFolderMessage(folder));
        return;
    }
    QStringList skipped;
    {
        platform::HourGlass busy;
        skipped = ListTrackFiles(folder, ProcessEvents);
    }
    if (!skipped.isEmpty())
        platform::ShowMessage(TrackRefusalMessage(skipped));
    if (!ShowTrackImportList())
        return;
    TrackImportResult result;
    {
        platform::HourGlass busy;
        result = ImportChosenTracks(folder, ProcessEvents);
    }
    platform::ShowMessage(TrackImportMessage(result));
}
