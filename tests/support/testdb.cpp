#include "testdb.h"

#include <QDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include "shell/data/dbcreate.h"
#include "shell/data/schemaupgrade.h"

namespace {

// The embedded engine keeps its lock files in FIREBIRD_LOCK; a user other
// than root needs a folder of their own there.
void EnsureLockFolder()
{
    if (::geteuid() != 0 && qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) {
        const QString dir = QDir::tempPath() + QStringLiteral("/firebird-%1").arg(::geteuid());
        QDir().mkpath(dir);
        qputenv("FIREBIRD_LOCK", dir.toLocal8Bit());
    }
}

}  // namespace

TestDatabase::TestDatabase(bool upgraded)
{
    EnsureLockFolder();
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    QString error;
    if (!CreateDatabaseFile(Path(), &error))
        throw std::runtime_error(("cannot create the test database: " + error).toStdString());
    dm_ = std::make_unique<TDM>();
    if (!dm_->OpenDatabase(Path()))
        throw std::runtime_error(("cannot open the test database: " + dm_->LastOpenError()).toStdString());
    if (upgraded)
        UpgradeSchema(*dm_);
    previous_ = DM;
    DM = dm_.get();
}

TestDatabase::~TestDatabase()
{
    if (DM == dm_.get())
        DM = previous_;
    dm_.reset();
}

QString TestDatabase::Folder() const { return dir_.path() + u'/'; }

QString TestDatabase::Path() const { return dir_.filePath(QStringLiteral("KROMDB.GDB")); }

void TestDatabase::Exec(const QString& sql)
{
    TIBQuery q(dm_->TransEdit);
    q.SetSQL(sql);
    if (!dm_->ExecEdit(q))
        throw DatabaseError(dm_->LastEditError().toStdString());
}

QVariant TestDatabase::Scalar(const QString& sql)
{
    TIBQuery q(dm_->TransBrowse);
    q.SetSQL(sql);
    q.Open();
    if (q.Eof())
        return {};
    return q.FieldValue(0);
}
