#pragma once
// The program's application object and its look.
//
// An error that no code caught (a file that cannot be read, a corrupt number
// in a file, a database error) ends the event handler it happened in, is
// shown in the error box with its own text, and the program goes on with
// the next user action.
#include <QApplication>

class PitrovaApplication : public QApplication {
    Q_OBJECT
public:
    PitrovaApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Makes SIGTERM, SIGINT and SIGHUP close the program as the user closes it.
// Call first thing in main(), before any thread starts: the signals are
// blocked in every thread (the database engine's too, whose own handler
// would shut the engine down and leave the program unable to close it) and
// taken by one thread of their own, which asks the event loop to close.
void CloseOnTerminationSignals();

// The program's dark look: the Fusion style with a dark palette, applied to
// the whole application (the main window itself is black).
void ApplyDarkTheme(QApplication& app);
