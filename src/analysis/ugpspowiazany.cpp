#include "analysis/ugpspowiazany.h"

// Placeholder until the window lands.
Tfgpspowiazany* fgpspowiazany = nullptr;

Tfgpspowiazany::Tfgpspowiazany(QWidget* parent) : QWidget(parent) {}
Tfgpspowiazany::~Tfgpspowiazany()
{
    if (fgpspowiazany == this)
        fgpspowiazany = nullptr;
}
bool Tfgpspowiazany::GpsDraw(int, int, const QString&) { return false; }
void Tfgpspowiazany::GpsCursor(int, int, int) {}
void Tfgpspowiazany::GpsCursorAt(int) {}
void Tfgpspowiazany::SetResizeAllowed(bool) {}
