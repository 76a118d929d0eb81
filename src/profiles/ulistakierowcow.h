#pragma once
// The driver chooser: the live drivers as photo cards or as a table, to
// pick one driver or to tick several; the ticks are handed over in the data
// module's memWybraniKierowcy.
#include "profiles/cataloguewindows.h"

class Tflistakierowcow : public CatalogueChooserDialog {
    Q_OBJECT
public:
    explicit Tflistakierowcow(QWidget* parent = nullptr);
};

// Shows the chooser modally.  Returns the chosen driver's ID_KIEROWCY after
// OK (0 when the list is empty) or -1 after Cancel.  memWybraniKierowcy is
// emptied on entry; after OK it holds exactly the ticked drivers (multi) or
// the driver chosen by a double click.
int ChooseDriver(bool multi);
