#include "analysis/uwykresGPS.h"

// Placeholder until the window lands.
TfwykresGPS* fwykresGPS = nullptr;

TfwykresGPS::TfwykresGPS(QWidget* parent) : QWidget(parent) {}
TfwykresGPS::~TfwykresGPS()
{
    if (fwykresGPS == this)
        fwykresGPS = nullptr;
}
void ShowGps(int, int) {}
