#pragma once
// A fresh embedded database with the program's schema in a temporary
// folder, opened as the global DM for the benchmark's lifetime.
#include <QDir>
#include <QTemporaryDir>

#include <memory>
#include <stdexcept>

#include <unistd.h>

#include "shell/data/dbcreate.h"
#include "shell/data/schemaupgrade.h"
#include "shell/data/ubazy.h"

struct FreshDatabase {
    QTemporaryDir dir;
    std::unique_ptr<TDM> dm;

    FreshDatabase()
    {
        if (::geteuid() != 0 && qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) {
            const QString lock = QDir::tempPath() + QStringLiteral("/firebird-%1").arg(::geteuid());
            QDir().mkpath(lock);
            qputenv("FIREBIRD_LOCK", lock.toLocal8Bit());
        }
        const QString path = dir.filePath(QStringLiteral("KROMDB.GDB"));
        QString error;
        if (!CreateDatabaseFile(path, &error))
            throw std::runtime_error(error.toStdString());
        dm = std::make_unique<TDM>();
        if (!dm->OpenDatabase(path))
            throw std::runtime_error(dm->LastOpenError().toStdString());
        UpgradeSchema(*dm);
        DM = dm.get();
    }
    ~FreshDatabase()
    {
        if (DM == dm.get())
            DM = nullptr;
    }
};
