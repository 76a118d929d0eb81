#pragma once
// Bringing a database file up to the columns and the index the program
// needs.  Runs at every start, silently and idempotently: each step probes
// whether its column exists and changes the table only when the probe fails.
class TDM;

void UpgradeSchema(TDM& dm);
