#include "shell/config.h"

#include "shell/common/stale.h"

namespace {

// Functions rather than QString globals: no order of static initialisation
// to depend on.
QString SectionName() { return QString::fromLatin1(ConfigSection); }
QString AliasBazyKey() { return QStringLiteral("AliasBazy"); }
QString OstatniUpdateKey() { return QStringLiteral("OstatniUpdate"); }
QString OstatniPlikKey() { return QStringLiteral("OstatniPlik"); }

QString ConfigPath(const QString& path)
{
    return path.isEmpty() ? ProgramFolder() + QString::fromLatin1(ConfigFileName) : path;
}

}  // namespace

QString DefaultConnectionString(const QString& folder)
{
    return QStringLiteral("localhost:") + folder + QStringLiteral("KROMDB.GDB");
}

bool IsUpdaterDay(qint64 storedDay, qint64 today) { return today > storedDay; }

ConfigFile::ConfigFile(const QString& path) : ini_(ConfigPath(path)) {}

QString ConfigFile::DatabaseAlias() const { return DatabaseAlias(DefaultConnectionString(ProgramFolder())); }

QString ConfigFile::DatabaseAlias(const QString& defaultAlias) const
{
    return ini_.ReadString(SectionName(), AliasBazyKey(), defaultAlias);
}

qint64 ConfigFile::LastUpdateDay() const { return ini_.ReadInt64(SectionName(), OstatniUpdateKey(), 0); }

QString ConfigFile::LastProjectFile() const { return ini_.ReadString(SectionName(), OstatniPlikKey(), QString()); }

void ConfigFile::SetLastUpdateDay(qint64 day) { ini_.WriteInt64(SectionName(), OstatniUpdateKey(), day); }

void ConfigFile::SetLastProjectFile(const QString& path) { ini_.WriteString(SectionName(), OstatniPlikKey(), path); }
