// A session import in a process of its own, for the test that kills the
// program part way through a session: imports the ticked sessions of a
// folder's dump files into a database, confirming every header with driver
// 1 and track 1, and after a given number of 256-byte records of the first
// session prints "writing" and waits to be killed.
//
//   intake_import_child <database> <folder> <records>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "shell/data/ubazy.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const QString database = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const int stopAfter = std::atoi(argv[3]);

    TDM dm;
    DM = &dm;
    if (!dm.OpenDatabase(database)) {
        std::fprintf(stderr, "%s\n", qPrintable(dm.LastOpenError()));
        return 3;
    }
    BuildSessionList(folder, {});
    ImportCallbacks cb;
    cb.confirmHeader = [](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                          FbTransaction& session) {
        d = 1;
        t = 1;
        return InsertHeader(serial, h, d, t, nullptr, &session);
    };
    cb.progress = [stopAfter](int done, int) {
        if (done < stopAfter)
            return;
        std::puts("writing");
        std::fflush(stdout);
        std::getchar();  // until killed
        std::_Exit(4);
    };
    cb.message = [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
    ImportSessions(folder, cb);
    return 0;
}
