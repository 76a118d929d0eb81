#pragma once
// The configuration file "ustawienia.ini" beside the program, section
// [Parametry]: the database connection string (AliasBazy, only read), the
// day of the last updater launch (OstatniUpdate) and the last project file
// (OstatniPlik).  A missing or unreadable file gives every key its default.
#include <QString>

#include "platform/inifile.h"

inline constexpr char ConfigFileName[] = "ustawienia.ini";
inline constexpr char ConfigSection[] = "Parametry";

// "localhost:" + folder + "KROMDB.GDB": the database beside the program,
// through the server on this machine.  folder ends with a separator.
QString DefaultConnectionString(const QString& folder);

// The first start on a calendar day (today's day number above the one
// stored, 0 when none was ever stored) only launches the updater; a start on
// the same day or after the clock was set back does not.
bool IsUpdaterDay(qint64 storedDay, qint64 today);

class ConfigFile {
public:
    // ProgramFolder() + "ustawienia.ini" when path is empty.
    explicit ConfigFile(const QString& path = QString());

    const QString& FileName() const { return ini_.FileName(); }

    // AliasBazy; the default connection string of the program folder when
    // absent.
    QString DatabaseAlias() const;
    QString DatabaseAlias(const QString& defaultAlias) const;

    // OstatniUpdate: day number (days since 30 December 1899), 0 when absent.
    qint64 LastUpdateDay() const;
    // OstatniPlik: full path, empty when absent.
    QString LastProjectFile() const;

    // Writes throw IniFileError when the file cannot be written.
    void SetLastUpdateDay(qint64 day);
    void SetLastProjectFile(const QString& path);

private:
    IniFile ini_;
};
