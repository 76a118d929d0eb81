#include "shell/startup.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <stdexcept>

#include "shell/config.h"

QStringList CommandLineArguments()
{
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    return arguments;
}

bool IsReadFromFilesSwitch(const QStringList& arguments)
{
    return !arguments.isEmpty() && arguments.first().trimmed().toUpper() == QStringLiteral("/D");
}

bool FirmwareLoaderPresent(const QString& folder)
{
    return QFileInfo(folder + QString::fromLatin1(FirmwareLoaderFileName)).isFile();
}

bool LaunchUpdater(ConfigFile& config, qint64 today, const QString& folder,
                   const std::function<bool(const QString&)>& startProgram, QString* writeError)
{
    const bool started = startProgram && startProgram(folder + QString::fromLatin1(UpdaterFileName));
    if (writeError)
        writeError->clear();
    try {
        config.SetLastUpdateDay(today);
    } catch (const std::exception& e) {
        if (writeError)
            *writeError = QString::fromUtf8(e.what());
    }
    return started;
}

DailyUpdaterResult RunDailyUpdaterLaunch(ConfigFile& config, qint64 today, const QString& folder,
                                         const std::function<bool(const QString&)>& startProgram)
{
    DailyUpdaterResult result;
    if (!IsUpdaterDay(config.LastUpdateDay(), today))
        return result;
    const bool started = LaunchUpdater(config, today, folder, startProgram, &result.writeError);
    if (!started)
        result.road = DailyUpdaterRoad::NotInstalled;
    else if (!result.writeError.isEmpty())
        result.road = DailyUpdaterRoad::NotRecorded;
    else
        result.road = DailyUpdaterRoad::Started;
    return result;
}
