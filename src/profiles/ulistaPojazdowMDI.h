#pragma once
// The vehicle profiles list: a child window of the main window to browse,
// add, edit and softly delete vehicle set-up profiles in a table.
#include "profiles/cataloguewindows.h"

class TflistaPojazdowMDI : public CatalogueListWindow {
    Q_OBJECT
public:
    explicit TflistaPojazdowMDI(QWidget* parent = nullptr);
    ~TflistaPojazdowMDI() override;
};

// The one open vehicle profiles list (null while none is open).
extern TflistaPojazdowMDI* flistaPojazdowMDI;

// Opens the vehicle profiles list, or brings the open one to the front.
void ShowVehicleProfilesWindow();
