#pragma once
// The tracks list: a child window of the main window to browse, search,
// add, edit and softly delete tracks, as photo cards or as a table, with
// the link to each track's home page.
#include "profiles/cataloguewindows.h"

class QLineEdit;

class Tflistatorowmdi : public CatalogueListWindow {
    Q_OBJECT
public:
    explicit Tflistatorowmdi(QWidget* parent = nullptr);
    ~Tflistatorowmdi() override;

    QLineEdit* Editszukaj() const { return Browser()->SearchBox(); }
};

// The one open tracks list (null while none is open).
extern Tflistatorowmdi* flistatorowmdi;

// Opens the tracks list, or brings the open one to the front.
void ShowTracksWindow();
