#pragma once
// Connects the session analysis to the main window (its Template command,
// chart toggles and the two hidden chart buttons).
class AnalysisSession;
class TForm1;

// The analysis session the main window's commands open their windows on
// is made here, lives as long as the main window and is returned.
AnalysisSession& InstallAnalysis(TForm1& form);
