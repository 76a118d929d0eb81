#include "shell/data/dbcreate.h"

#include <QFile>
#include <QFileInfo>

#include <ibase.h>

#include <string>
#include <vector>

#include "shell/data/schema_sql.h"
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

QString QuoteLiteral(const QString& s)
{
    QString r = s;
    r.replace(u'\'', QStringLiteral("''"));
    return u'\'' + r + u'\'';
}

void AddDpbString(std::vector<char>& dpb, char item, const char* value)
{
    const size_t length = std::char_traits<char>::length(value);
    dpb.push_back(item);
    dpb.push_back(static_cast<char>(length));
    dpb.insert(dpb.end(), value, value + length);
}

}  // namespace

QStringList BaseSchemaStatements()
{
    QStringList statements;
    QString current;
    const QStringList lines = QString::fromUtf8(kBaseSchemaSql).split(u'\n');
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("--")))
            continue;
        current += raw + u'\n';
        if (line.endsWith(u';')) {
            current = current.trimmed();
            current.chop(1);
            statements.append(current);
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements.append(current.trimmed());
    return statements;
}

bool CreateDatabaseFile(const QString& path, QString* error)
{
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("The file %1 exists already").arg(path));

    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    const QByteArray create =
        QStringLiteral("CREATE DATABASE %1 USER %2 PASSWORD %3 PAGE_SIZE 16384 DEFAULT CHARACTER SET WIN1250")
            .arg(QuoteLiteral(path), QuoteLiteral(QString::fromLatin1(kDbUser)),
                 QuoteLiteral(QString::fromLatin1(kDbPassword)))
            .toUtf8();
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, create.constData(), 3, nullptr))
        return fail(StatusText(status));

    QString failure;
    for (const QString& statement : BaseSchemaStatements()) {
        if (isc_start_transaction(status, &tr, 1, &db, 0, nullptr)) {
            failure = StatusText(status);
            break;
        }
        const QByteArray sql = statement.toUtf8();
        if (isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(), 3, nullptr)) {
            failure = StatusText(status) + QStringLiteral(" (") + statement.left(60) + u')';
            isc_rollback_transaction(status, &tr);
            break;
        }
        if (isc_commit_transaction(status, &tr)) {
            failure = StatusText(status);
            break;
        }
    }

    if (!failure.isEmpty()) {
        // Drop the half-made file rather than leave a database without its tables.
        ISC_STATUS_ARRAY s2{};
        if (isc_drop_database(s2, &db))
            isc_detach_database(s2, &db);
        QFile::remove(path);
        return fail(failure);
    }
    isc_detach_database(status, &db);
    return true;
}

bool SetForcedWrites(const QString& path, bool on, QString* error)
{
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
