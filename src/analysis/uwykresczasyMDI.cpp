#include "analysis/uwykresczasyMDI.h"

// Placeholder until the window lands.
TfwykresCzasy* fwykresCzasy = nullptr;

TfwykresCzasy::TfwykresCzasy(QWidget* parent) : QWidget(parent) {}
TfwykresCzasy::~TfwykresCzasy()
{
    if (fwykresCzasy == this)
        fwykresCzasy = nullptr;
}
void TfwykresCzasy::LoadChart() {}
void TfwykresCzasy::SetSessionVisible(int, int) {}
void ShowLapTimeDiagram() {}
