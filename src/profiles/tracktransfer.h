#pragma once
// The main window's two track transfer commands: the export of every track
// into the transfer folder and the import of the tracks chosen from the
// files there (track transfer files: profiles/trackfile.h).

// Writes the file of every track into the transfer folder; "OK" when done,
// the error's own text when a file could not be written.
void ExportTracksToTransferFolder();

// Lists the tracks of the transfer folder's files that the database lacks,
// lets the user tick them in the "Tracks" check list, imports the ticked
// ones and says how many were imported and how many failed.  Nothing is
// written when the user cancels the list.
void ImportTracksFromTransferFolder();
