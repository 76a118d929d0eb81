#pragma once
// Session and lap chooser: the sessions of a date range with their laps and
// sector times; OK replaces memWybraneSesje with the ticked sessions.
#include <QDialog>

// The session id of the current row after OK, 0 otherwise.
int ChooseSessionsAndLaps();
