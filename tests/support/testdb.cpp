#include "testdb.h"

#include <QFile>

#include <stdexcept>

#include "support/testdbfile.h"

namespace {

// A copy of the template the build made (see testdb_template); a fresh file
// when there is none, as when a test runs outside the build tree.
bool MakeDatabaseFile(const QString& path, bool upgraded, QString* error)
{
#ifdef PITROVA_TESTDB_TEMPLATES
    const QString templateFile = QStringLiteral(PITROVA_TESTDB_TEMPLATES "/%1")
                                     .arg(upgraded ? QStringLiteral("upgraded.fdb") : QStringLiteral("base.fdb"));
    if (QFile::exists(templateFile)) {
        if (QFile::copy(templateFile, path))
            return true;
        if (error)
            *error = QStringLiteral("cannot copy %1").arg(templateFile);
        return false;
    }
#endif
    return MakeTestDatabaseFile(path, upgraded, error);
}

}  // namespace

TestDatabase::TestDatabase(bool upgraded)
{
    EnsureFirebirdLockFolder();
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    QString error;
    if (!MakeDatabaseFile(Path(), upgraded, &error))
        throw std::runtime_error(("cannot create the test database: " + error).toStdString());
    dm_ = std::make_unique<TDM>();
    if (!dm_->OpenDatabase(Path()))
        throw std::runtime_error(("cannot open the test database: " + dm_->LastOpenError()).toStdString());
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
