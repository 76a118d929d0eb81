#include "profiles/ulistakierowcow.h"

#include <QApplication>

#include "profiles/ukierowca.h"
#include "shell/data/ubazy.h"

Tflistakierowcow::Tflistakierowcow(QWidget* parent)
    : CatalogueChooserDialog(CatalogueKind::Drivers, QStringLiteral("Drivers"), &EditDriver,
                             &DM->memWybraniKierowcy, QStringLiteral("id_kierowcy"), parent)
{
}

int ChooseDriver(bool multi)
{
    Tflistakierowcow window(QApplication::activeWindow());
    window.Prepare(multi);
    return window.Run();
}
