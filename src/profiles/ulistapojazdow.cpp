#include "profiles/ulistapojazdow.h"

#include <QApplication>

#include "profiles/unowycarSet.h"

TflistaPojazdow::TflistaPojazdow(QWidget* parent)
    : CatalogueChooserDialog(CatalogueKind::VehicleProfiles, QStringLiteral("Vehicle profiles"), &EditVehicle,
                             nullptr, QString(), parent)
{
    SetEditReReads(true);
}

int ChooseVehicle()
{
    TflistaPojazdow window(QApplication::activeWindow());
    window.Prepare(false);
    return window.Run();
}
