#pragma once
// Connects the session analysis to the main window (its Template command,
// chart toggles and the two hidden chart buttons).
class TForm1;

void InstallAnalysis(TForm1& form);
