#pragma once
// The drivers list: a child window of the main window to browse, add, edit
// and softly delete drivers, as photo cards or as a table.
#include "profiles/cataloguewindows.h"

class TFlistaKierowcowMDI : public CatalogueListWindow {
    Q_OBJECT
public:
    explicit TFlistaKierowcowMDI(QWidget* parent = nullptr);
    ~TFlistaKierowcowMDI() override;
};

// The one open drivers list (null while none is open).
extern TFlistaKierowcowMDI* FlistaKierowcowMDI;

// Opens the drivers list, or brings the open one to the front.
void ShowDriversWindow();
