#pragma once
// Screenshot tools: the start every tool shares, and a picture of a window
// taken after the pending events (layout, painting) have run.
#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <cstdio>

#include "platform/application.h"
#include "platform/dialogs.h"

// The start of a screenshot tool: the program's application object in the
// program's own look, the dialog layer scripted (no box waits for a click)
// and the output folder, the first argument or /tmp/shots, made when
// missing.  Lives as long as the tool's main().
class ShotsRun {
public:
    ShotsRun(int& argc, char** argv)
        : app_(argc, argv),
          folder_(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/shots"))
    {
        ApplyDarkTheme(app_);
        QDir().mkpath(folder_);
        platform::testing::SetScripted(true);
    }
    // A file name in the output folder.
    QString File(const QString& name) const { return QDir(folder_).filePath(name); }

private:
    PitrovaApplication app_;
    QString folder_;
};

inline void SaveShot(QWidget& window, const QString& path)
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    if (window.grab().save(path))
        std::printf("%s\n", qPrintable(path));
    else
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}
