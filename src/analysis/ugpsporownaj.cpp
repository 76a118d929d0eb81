#include "analysis/ugpsporownaj.h"

// Placeholder until the window lands.
TfgpsPorownaj* fgpsPorownaj = nullptr;

TfgpsPorownaj::TfgpsPorownaj(QWidget* parent) : QWidget(parent) {}
TfgpsPorownaj::~TfgpsPorownaj()
{
    if (fgpsPorownaj == this)
        fgpsPorownaj = nullptr;
}
bool TfgpsPorownaj::CompareAddLap(int, int, const QString&) { return false; }
