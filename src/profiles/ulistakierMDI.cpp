#include "profiles/ulistakierMDI.h"

#include "platform/windowhost.h"
#include "profiles/ukierowca.h"

TFlistaKierowcowMDI* FlistaKierowcowMDI = nullptr;

TFlistaKierowcowMDI::TFlistaKierowcowMDI(QWidget* parent)
    : CatalogueListWindow(CatalogueKind::Drivers, QStringLiteral("Drivers"), &EditDriver, parent)
{
}

TFlistaKierowcowMDI::~TFlistaKierowcowMDI()
{
    if (FlistaKierowcowMDI == this)
        FlistaKierowcowMDI = nullptr;
}

void ShowDriversWindow()
{
    platform::ShowSingleChild("TFlistaKierowcowMDI", QSize(1305, 675), [] {
        auto* window = new TFlistaKierowcowMDI;
        try {
            window->Prepare();
        } catch (...) {
            delete window;
            throw;
        }
        FlistaKierowcowMDI = window;
        return window;
    });
}
