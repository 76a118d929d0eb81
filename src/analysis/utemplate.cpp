#include "analysis/utemplate.h"

// Placeholder until the Template chooser lands.
int ChooseSessions() { return 0; }
