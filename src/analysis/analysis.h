#pragma once
// Connects the session analysis to the main window (its Template command,
// chart toggles and the two hidden chart buttons): fills in the hooks the
// main window calls.
#include "analysis/analysishooks.h"

class AnalysisSession;
class QObject;

// The analysis session the hooks open their windows on is made here as a
// child of owner (the main window, after its child-window area, so the
// windows shown there are freed before the session) and is returned.
AnalysisSession& InstallAnalysis(AnalysisHooks& hooks, QObject& owner);
