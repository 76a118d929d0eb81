#include "profiles/catalogue.h"

#include "shell/data/ibquery.h"
#include "shell/data/ubazy.h"

#include <algorithm>

namespace catalogue {

namespace {

// Runs work's writes on TransEdit as one transaction.  False with the
// database's message when anything failed, the start of the transaction
// included; everything is rolled back then.
bool WriteAsOne(const std::function<void()>& work, QString& error)
{
    try {
        if (DM->ExecEditAll(work))
            return true;
        error = DM->LastEditError();
    } catch (const std::exception& e) {  // the transaction could not even start
        error = QString::fromUtf8(e.what());
    }
    return false;
}

}  // namespace

QString ListSQL(CatalogueKind kind)
{
    switch (kind) {
    case CatalogueKind::Drivers: return QStringLiteral("select * from KIEROWCY where usuniety=0 order by nazwisko");
    case CatalogueKind::Tracks: return QStringLiteral("select * from TORY where usuniety=0 order by nazwa");
    case CatalogueKind::VehicleProfiles: return QStringLiteral("select * from POJAZDY where usuniety=0 order by nazwa");
    }
    return {};
}

QString IdField(CatalogueKind kind)
{
    switch (kind) {
    case CatalogueKind::Drivers: return QStringLiteral("ID_KIEROWCY");
    case CatalogueKind::Tracks: return QStringLiteral("ID_TORU");
    case CatalogueKind::VehicleProfiles: return QStringLiteral("ID_POJAZDU");
    }
    return {};
}

CatalogueList* NewList(CatalogueKind kind, QObject* parent)
{
    auto* list = new CatalogueList(ListSQL(kind), IdField(kind), parent);
    switch (kind) {
    case CatalogueKind::Drivers:
        list->SetHashDot0(QStringLiteral("WAGA"));
        list->SetHashDot0(QStringLiteral("NADWAGA"));
        break;
    case CatalogueKind::Tracks:
        list->SetHashDot0(QStringLiteral("DLUGOSC"));
        break;
    case CatalogueKind::VehicleProfiles:
        break;
    }
    return list;
}

std::vector<CatalogueColumn> TableColumns(CatalogueKind kind, bool withSelection)
{
    std::vector<CatalogueColumn> cols;
    if (withSelection && kind != CatalogueKind::VehicleProfiles)
        cols.push_back({QStringLiteral("sel."), QStringLiteral("_wybrany"), 1});
    switch (kind) {
    case CatalogueKind::Drivers:
        cols.push_back({QStringLiteral("First name"), QStringLiteral("IMIE")});
        cols.push_back({QStringLiteral("Surname"), QStringLiteral("NAZWISKO")});
        cols.push_back({QStringLiteral("Nick"), QStringLiteral("PSEUDONIM")});
        cols.push_back({QStringLiteral("Weight"), QStringLiteral("WAGA")});
        cols.push_back({QStringLiteral("Height"), QStringLiteral("WZROST")});
        cols.push_back({QStringLiteral("Overweight"), QStringLiteral("NADWAGA")});
        break;
    case CatalogueKind::Tracks:
        cols.push_back({QStringLiteral("Name"), QStringLiteral("NAZWA")});
        cols.push_back({QStringLiteral("Length"), QStringLiteral("DLUGOSC")});
        cols.push_back({QStringLiteral("Stripes"), QStringLiteral("ILOSC_PASKOW")});
        cols.push_back({QStringLiteral("WWW"), QStringLiteral("STRONA_WWW"), 2});
        break;
    case CatalogueKind::VehicleProfiles:
        cols.push_back({QStringLiteral("Profil name"), QStringLiteral("NAZWA")});
        break;
    }
    return cols;
}

QString DeleteQuestion(CatalogueKind kind)
{
    switch (kind) {
    case CatalogueKind::Drivers: return QStringLiteral("Do you want to delete selected driver?");
    case CatalogueKind::Tracks: return QStringLiteral("Do you want to delete selected track?");
    case CatalogueKind::VehicleProfiles: return QStringLiteral("Do you want to delete selected car profile?");
    }
    return {};
}

QStringList DeleteStatements(CatalogueKind kind, int id)
{
    switch (kind) {
    case CatalogueKind::Drivers:
        return {QStringLiteral(" delete from KROM_KIEROWCY where ID_KIEROWCY = ") + QString::number(id),
                QStringLiteral("update KIEROWCY set usuniety=1 where ID_KIEROWCY= :ID")};
    case CatalogueKind::Tracks:
        return {QStringLiteral("update TORY set usuniety=1 where ID_TORU= :ID")};
    case CatalogueKind::VehicleProfiles:
        return {QStringLiteral("update POJAZDY  set usuniety=1 where ID_POJAZDU= :ID")};
    }
    return {};
}

DeleteResult DeleteRow(CatalogueKind kind, int id, const DeleteCallbacks& callbacks)
{
    if (id <= 0)
        return DeleteResult::NoRow;
    if (!callbacks.confirm || !callbacks.confirm(DeleteQuestion(kind)))
        return DeleteResult::Declined;

    const QStringList statements = DeleteStatements(kind, id);
    QString error;
    bool ok = false;
    if (!DM) {
        error = QStringLiteral("No database module");
    } else {
        ok = WriteAsOne(
            [&] {
                // qusun2 (the serial links) first, then qusun (the soft delete).
                for (const QString& sql : statements) {
                    TIBQuery q(DM->TransEdit);
                    q.SetSQL(sql);
                    if (sql.contains(QLatin1String(":ID")))
                        q.ParamByName(QStringLiteral("ID"), id);
                    q.ExecSQL();
                }
            },
            error);
    }
    if (ok)
        return DeleteResult::Deleted;
    if (callbacks.showMessage)
        callbacks.showMessage(QString::fromLatin1(kDeleteFailedText) + QStringLiteral("\n") + error);
    return DeleteResult::Failed;
}

int SaveRow(int id, const QString& maxStatement, int firstId,
            const std::function<void(int rowId, bool isNew)>& write, QString* error)
{
    const bool isNew = id < 1;
    int rowId = id;
    QString why;
    bool numbered = true;
    try {
        if (isNew)
            rowId = std::max(DM->NextId(maxStatement), firstId);
    } catch (const std::exception& e) {
        why = QString::fromUtf8(e.what());
        numbered = false;
    }
    if (numbered && WriteAsOne([&] { write(rowId, isNew); }, why))
        return rowId;
    if (error)
        *error = why;
    return -1;
}

}  // namespace catalogue
