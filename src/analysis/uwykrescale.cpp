#include "analysis/uwykrescale.h"

// Placeholder until the window lands.
Tfwykrescale* fwykrescale = nullptr;

Tfwykrescale::Tfwykrescale(QWidget* parent) : QWidget(parent) {}
Tfwykrescale::~Tfwykrescale()
{
    if (fwykrescale == this)
        fwykrescale = nullptr;
}
void Tfwykrescale::LoadChart() {}
void Tfwykrescale::SetSessionVisible(int, int) {}
void Tfwykrescale::HighlightSession(int) {}
void ShowWholeSessionChart() {}
