#pragma once
// Session choice: the range dialog, then the Template chooser listing the
// sessions of the range (or of the ticked days), drivers and tracks with
// their best lap and sector times.
#include <QDialog>

// 1 when the user confirmed the Template chooser (memWybraneSesje then
// holds the ticked sessions), 0 otherwise.
int ChooseSessions();
