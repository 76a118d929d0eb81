#pragma once
// Screenshots of the GPS windows for a look by eye: saved as PNG files into
// the folder named by PITROVA_SHOTS when it is set, otherwise nothing.
#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace gpstest {

inline void Shot(QWidget& window, const QString& name)
{
    const QString folder = qEnvironmentVariable("PITROVA_SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

}  // namespace gpstest
