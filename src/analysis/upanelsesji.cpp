#include "analysis/upanelsesji.h"

// Placeholder until the session panel lands.
TFPanelSesji* FPanelSesji = nullptr;

TFPanelSesji::TFPanelSesji(QWidget* parent) : QWidget(parent) {}
TFPanelSesji::~TFPanelSesji()
{
    if (FPanelSesji == this)
        FPanelSesji = nullptr;
}
void TFPanelSesji::LoadSessions() {}
int TFPanelSesji::CurrentSessionId() const { return 0; }
int TFPanelSesji::CurrentLap() const { return 0; }
int TFPanelSesji::CurrentLp() const { return 0; }
QString TFPanelSesji::CurrentRowType() const { return {}; }
bool TFPanelSesji::LocateLp(int) { return false; }
void TFPanelSesji::DisableControls() {}
void TFPanelSesji::EnableControls() {}
Tfgpspowiazany* TFPanelSesji::GpsView() const { return nullptr; }
TfgpsPorownaj* TFPanelSesji::CompareWindow() const { return nullptr; }
bool TFPanelSesji::GpsViewOpen() const { return false; }
void ShowSessionPanel() {}
void EnsureSessionPanel() {}
int SessionPanelWidth() { return 0; }
