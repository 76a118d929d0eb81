#include "analysis/uwykreslaptolap.h"

// Placeholder until the window lands.
Tfwykreslaptolap* fwykreslaptolap = nullptr;

Tfwykreslaptolap::Tfwykreslaptolap(QWidget* parent) : QWidget(parent) {}
Tfwykreslaptolap::~Tfwykreslaptolap()
{
    if (fwykreslaptolap == this)
        fwykreslaptolap = nullptr;
}
void ShowLapComparison() {}
