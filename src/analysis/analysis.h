#pragma once
// Connects the session analysis to the main window (its Template command,
// chart toggles and the two hidden chart buttons): fills in the hooks the
// main window calls.
#include "analysis/analysishooks.h"

void InstallAnalysis(AnalysisHooks& hooks);
