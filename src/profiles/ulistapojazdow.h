#pragma once
// The vehicle profile chooser: a table of the live vehicle set-up profiles,
// from which the session header form takes the profile to copy.
#include "profiles/cataloguewindows.h"

class TflistaPojazdow : public CatalogueChooserDialog {
    Q_OBJECT
public:
    explicit TflistaPojazdow(QWidget* parent = nullptr);
};

// Shows the chooser modally.  Returns the ID_POJAZDU of the current row
// after OK or a double click (0 when the list is empty), -1 after Cancel.
int ChooseVehicle();
