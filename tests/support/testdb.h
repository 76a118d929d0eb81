#pragma once
// A fresh Firebird database with the program's schema in a temporary folder,
// opened by a data module that is the global DM for the test's lifetime.
#include <QString>
#include <QTemporaryDir>

#include <memory>

#include "shell/data/ubazy.h"

class TestDatabase {
public:
    // upgraded: also run the schema upgrade, as the program does at start.
    explicit TestDatabase(bool upgraded = true);
    ~TestDatabase();

    TDM& dm() { return *dm_; }
    // Folder of the database file; tests use it as the program folder too.
    QString Folder() const;
    QString Path() const;

    // Runs a statement outside any transaction of the data module
    // (committed at once); throws DatabaseError on failure.
    void Exec(const QString& sql);
    // First column of the first row of a query, or an invalid QVariant.
    QVariant Scalar(const QString& sql);

private:
    QTemporaryDir dir_;
    std::unique_ptr<TDM> dm_;
    TDM* previous_ = nullptr;
};
