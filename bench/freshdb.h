#pragma once
// A fresh embedded database with the program's schema in a temporary
// folder, opened as the global DM for the benchmark's lifetime.
#include <QTemporaryDir>

#include <memory>
#include <stdexcept>

#include "shell/data/dbcreate.h"
#include "shell/data/ibquery.h"
#include "shell/data/schemaupgrade.h"
#include "shell/data/ubazy.h"

struct FreshDatabase {
    QTemporaryDir dir;
    std::unique_ptr<TDM> dm;

    FreshDatabase()
    {
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

    void Exec(const QString& sql)
    {
        TIBQuery q(dm->TransEdit);
        q.SetSQL(sql);
        if (!dm->ExecEdit(q))
            throw std::runtime_error(dm->LastEditError().toStdString());
    }
    int Count(const char* table)
    {
        TIBQuery q(dm->TransBrowse);
        q.SetSQL(QStringLiteral("select count(*) as n from ") + QString::fromLatin1(table));
        q.Open();
        return q.FieldByName(QStringLiteral("n")).AsInteger();
    }
};
