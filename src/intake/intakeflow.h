#pragma once
// The intake as the main window runs it: read the data key into fresh dump
// files, list their sessions, let the user tick the ones to import, and
// import them with a header form per session.
class QTimer;

// "Read data from KROM ZoveViz": clears "Accept all", stops the presence
// timer, downloads the keys, replaces the old "dane*.bin" files of the
// program folder with the new ones (keeping only the earlier files of keys
// that could not be read), lists the sessions, imports the ticked ones and
// starts the presence timer again (also after an error).
void ReadDataFromKey(QTimer* presenceTimer);

// "Read from files": lists and imports the sessions of the dump files
// already in the program folder; nothing is deleted or downloaded.
void ReadFromFiles();
