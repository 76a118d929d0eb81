#pragma once
// The decisions of the program's start that need no window: the "/D"
// switch, whether the firmware loader is beside the program, the daily
// updater launch, and the lock folder of the embedded database engine.
#include <QString>
#include <QStringList>

#include <functional>

class ConfigFile;

// Helper programs beside the program.
inline constexpr char UpdaterFileName[] = "updravlin.exe";
inline constexpr char FirmwareLoaderFileName[] = "KROM_bootloader.exe";
inline constexpr char OldReaderFileName[] = "KROM_read.exe";

// Shown when "Check for updates" finds no updater to start.
inline constexpr char UpdaterMissingText[] = "The updater updravlin.exe is not installed";

// The program's command-line arguments without the program's own name.
QStringList CommandLineArguments();

// True when the first argument, trimmed and upper-cased, is "/D" (the
// "Read from files" button is then shown); later arguments do not count.
bool IsReadFromFilesSwitch(const QStringList& arguments);

// True when folder (with its trailing separator) holds "KROM_bootloader.exe".
bool FirmwareLoaderPresent(const QString& folder);

// Starts folder + "updravlin.exe" through startProgram and records today as
// the day of the last updater launch.  Returns whether the updater started.
// A failed write of the day does not stop anything: its text goes to
// writeError (empty when the write went well).
bool LaunchUpdater(ConfigFile& config, qint64 today, const QString& folder,
                   const std::function<bool(const QString&)>& startProgram, QString* writeError = nullptr);

// What the first step of the start-up decided.
enum class DailyUpdaterRoad {
    NotDue,        // same day as the last launch (or the clock was set back): normal start
    Started,       // first start of the day, updater started: the program closes
    NotInstalled,  // first start of the day, no updater could be started: normal start
    NotRecorded,   // updater started but the day could not be written: normal start,
                   // or every start would be an updater day and end at once
};

struct DailyUpdaterResult {
    DailyUpdaterRoad road = DailyUpdaterRoad::NotDue;
    QString writeError;  // text of a failed write of the day, else empty
};

// The daily updater launch: on the first start of a calendar day (today
// above the stored day) launches the updater and records the day.  Only a
// started updater ends the program's start; without one the program goes
// on, since closing would do nothing for the user; so does it when the day
// could not be recorded.
DailyUpdaterResult RunDailyUpdaterLaunch(ConfigFile& config, qint64 today, const QString& folder,
                                         const std::function<bool(const QString&)>& startProgram);

