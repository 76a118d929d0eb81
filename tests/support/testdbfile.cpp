#include "support/testdbfile.h"

#include <QFile>

#include <ibase.h>

#include <vector>

#include "shell/data/dbcreate.h"
#include "shell/data/schemaupgrade.h"
#include "shell/data/ubazy.h"

namespace {

QString StatusText(const ISC_STATUS* status)
{
    QString text;
    char buf[1024];
    const ISC_STATUS* p = status;
    while (fb_interpret(buf, sizeof buf, &p) > 0) {
        if (!text.isEmpty())
            text += u' ';
        text += QString::fromLocal8Bit(buf);
    }
    return text.isEmpty() ? QStringLiteral("Firebird error") : text;
}

void AddDpbString(std::vector<char>& dpb, char item, const char* value)
{
    const size_t length = std::char_traits<char>::length(value);
    dpb.push_back(item);
    dpb.push_back(static_cast<char>(length));
    dpb.insert(dpb.end(), value, value + length);
}

}  // namespace

bool SetForcedWrites(const QString& path, bool on, QString* error)
{
    EnsureFirebirdLockFolder();
    // The setting goes with an attachment's parameter block: attaching with
    // isc_dpb_force_write writes it into the database header.
    std::vector<char> dpb{isc_dpb_version1};
    AddDpbString(dpb, isc_dpb_user_name, kDbUser);
    AddDpbString(dpb, isc_dpb_password, kDbPassword);
    dpb.insert(dpb.end(), {static_cast<char>(isc_dpb_force_write), 1, static_cast<char>(on ? 1 : 0)});

    const QByteArray file = QFile::encodeName(path);
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    if (isc_attach_database(status, 0, file.constData(), &db, static_cast<short>(dpb.size()), dpb.data())) {
        if (error)
            *error = StatusText(status);
        return false;
    }
    isc_detach_database(status, &db);
    return true;
}

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
