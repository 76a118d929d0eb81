#include "analysis/uwykres.h"

// Placeholder until the window lands.
TFWykres* fwykres = nullptr;

TFWykres::TFWykres(QWidget* parent) : QWidget(parent) {}
TFWykres::~TFWykres()
{
    if (fwykres == this)
        fwykres = nullptr;
}
void ShowSessionChart() {}
