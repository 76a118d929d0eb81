// testdb_template <folder>
// Makes the database files every test database is copied from, once per
// build: "base.fdb" (the base schema) and "upgraded.fdb" (after the schema
// upgrade), both with forced writes off.  Each is written under a passing
// name and renamed into place, so a test never copies a half-made file.
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

#include "support/testdbfile.h"

namespace {

bool Make(const QDir& folder, const QString& name, bool upgraded)
{
    const QString target = folder.filePath(name);
    const QString passing = target + QStringLiteral(".new");
    QFile::remove(passing);
    QString error;
    if (!MakeTestDatabaseFile(passing, upgraded, &error)) {
        std::fprintf(stderr, "Cannot make %s: %s\n", qPrintable(target), qPrintable(error));
        return false;
    }
    QFile::remove(target);
    if (!QFile::rename(passing, target)) {
        std::fprintf(stderr, "Cannot rename %s to %s\n", qPrintable(passing), qPrintable(target));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: testdb_template <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "Cannot make the folder %s\n", argv[1]);
        return 1;
    }
    return Make(folder, QStringLiteral("base.fdb"), false) && Make(folder, QStringLiteral("upgraded.fdb"), true) ? 0 : 1;
}
