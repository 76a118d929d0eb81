#include "profiles/ulistatorowMDI.h"

#include "platform/windowhost.h"
#include "profiles/utor.h"

Tflistatorowmdi* flistatorowmdi = nullptr;

Tflistatorowmdi::Tflistatorowmdi(QWidget* parent)
    : CatalogueListWindow(CatalogueKind::Tracks, QStringLiteral("Tracks"), &EditTrack, parent)
{
}

Tflistatorowmdi::~Tflistatorowmdi()
{
    if (flistatorowmdi == this)
        flistatorowmdi = nullptr;
}

void ShowTracksWindow()
{
    platform::ShowSingleChild("Tflistatorowmdi", QSize(1305, 675), [] {
        auto* window = new Tflistatorowmdi;
        try {
            window->Prepare();
        } catch (...) {
            delete window;
            throw;
        }
        flistatorowmdi = window;
        return window;
    });
}
