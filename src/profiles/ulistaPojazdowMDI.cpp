#include "profiles/ulistaPojazdowMDI.h"

#include "platform/windowhost.h"
#include "profiles/unowycarSet.h"

TflistaPojazdowMDI* flistaPojazdowMDI = nullptr;

TflistaPojazdowMDI::TflistaPojazdowMDI(QWidget* parent)
    : CatalogueListWindow(CatalogueKind::VehicleProfiles, QStringLiteral("Vehicle profiles"), &EditVehicle, parent)
{
}

TflistaPojazdowMDI::~TflistaPojazdowMDI()
{
    if (flistaPojazdowMDI == this)
        flistaPojazdowMDI = nullptr;
}

void ShowVehicleProfilesWindow()
{
    platform::ShowSingleChild("TflistaPojazdowMDI", QSize(1133, 675), [] {
        auto* window = new TflistaPojazdowMDI;
        try {
            window->Prepare();
        } catch (...) {
            delete window;
            throw;
        }
        flistaPojazdowMDI = window;
        return window;
    });
}
