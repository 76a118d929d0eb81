#include "support/testdbfile.h"

#include <QFile>

#include "shell/data/dbcreate.h"
#include "shell/data/schemaupgrade.h"
#include "shell/data/ubazy.h"

bool MakeTestDatabaseFile(const QString& path, bool upgraded, QString* error)
{
    EnsureFirebirdLockFolder();
    if (!CreateDatabaseFile(path, error))
        return false;
    if (!SetForcedWrites(path, false, error)) {
        QFile::remove(path);
        return false;
    }
    if (upgraded) {
        TDM dm;
        if (!dm.OpenDatabase(path)) {
            if (error)
                *error = dm.LastOpenError();
            QFile::remove(path);
            return false;
        }
        UpgradeSchema(dm);
    }
    return true;
}
