#include "analysis/analysis.h"

#include "shell/umain.h"

// Placeholder until the session panel wires the hooks.
void InstallAnalysis(TForm1&) {}
