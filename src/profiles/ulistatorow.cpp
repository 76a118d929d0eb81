#include "profiles/ulistatorow.h"

#include <QApplication>

#include "profiles/utor.h"
#include "shell/data/ubazy.h"

TfListaTorow::TfListaTorow(QWidget* parent)
    : CatalogueChooserDialog(CatalogueKind::Tracks, QStringLiteral("Tracks"), &EditTrack, &DM->memwybraneTory,
                             QStringLiteral("id_toru"), parent)
{
}

int ChooseTrack(bool multi)
{
    TfListaTorow window(QApplication::activeWindow());
    window.Prepare(multi);
    return window.Run();
}
