#include "analysis/uwykresmdilapy.h"

// Placeholder until the window lands.
Tfwykresmdilapy* fwykresmdilapy = nullptr;

Tfwykresmdilapy::Tfwykresmdilapy(QWidget* parent) : QWidget(parent) {}
Tfwykresmdilapy::~Tfwykresmdilapy()
{
    if (fwykresmdilapy == this)
        fwykresmdilapy = nullptr;
}
void Tfwykresmdilapy::LoadChart() {}
void Tfwykresmdilapy::SetLapVisible(int, int, int) {}
void Tfwykresmdilapy::HighlightLap(int, int) {}
void ShowLapsChart() {}
