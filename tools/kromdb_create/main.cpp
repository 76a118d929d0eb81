// kromdb_create [file]
// Makes a new database file with the program's base schema; without an
// argument "KROMDB.GDB" beside this tool (the program folder).  An existing
// file is left alone.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

#include "shell/data/dbcreate.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString path = args.size() > 1
                             ? QFileInfo(args.at(1)).absoluteFilePath()
                             : QDir(app.applicationDirPath()).filePath(QStringLiteral("KROMDB.GDB"));
    if (QFileInfo::exists(path)) {
        std::printf("%s exists already\n", qPrintable(QDir::toNativeSeparators(path)));
        return 0;
    }
    QString error;
    if (!CreateDatabaseFile(path, &error)) {
        std::fprintf(stderr, "Cannot create %s: %s\n", qPrintable(path), qPrintable(error));
        return 1;
    }
    std::printf("Created %s\n", qPrintable(QDir::toNativeSeparators(path)));
    return 0;
}
