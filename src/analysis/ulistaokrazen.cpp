#include "analysis/ulistaokrazen.h"

// Placeholder until the session and lap chooser lands.
int ChooseSessionsAndLaps() { return 0; }
