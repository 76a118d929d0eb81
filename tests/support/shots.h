#pragma once
// Screenshot tools: writes a picture of a window after the pending events
// (layout, painting) have run, and names the file it wrote.
#include <QCoreApplication>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <cstdio>

inline void SaveShot(QWidget& window, const QString& path)
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    if (window.grab().save(path))
        std::printf("%s\n", qPrintable(path));
    else
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}
