#pragma once
// The track chooser: the live tracks as photo cards or as a table, with the
// incremental search by name (Editszukaj) and the link to each track's home
// page; the ticks are handed over in the data module's memwybraneTory.
#include "profiles/cataloguewindows.h"

class QLineEdit;

class TfListaTorow : public CatalogueChooserDialog {
    Q_OBJECT
public:
    explicit TfListaTorow(QWidget* parent = nullptr);

    QLineEdit* Editszukaj() const { return Browser()->SearchBox(); }
};

// Shows the chooser modally.  Returns the ID_TORU of the current row after
// OK (0 when the list is empty) or -1 after Cancel.  memwybraneTory is
// emptied on entry; after OK it holds exactly the ticked tracks.
int ChooseTrack(bool multi);
