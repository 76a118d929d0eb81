#include "profiles/vehiclestore.h"

#include "profiles/catalogue.h"
#include "shell/common/stale.h"
#include "shell/data/cataloguenames.h"
#include "shell/data/ubazy.h"

namespace {

// Every set-up column is named exactly once by the statement order.
constexpr bool StatementOrderIsComplete()
{
    for (const char* column : kSetupStatementOrder)
        if (SetupColumnIndex(column) < 0)
            return false;
    for (size_t i = 0; i < kSetupStatementOrder.size(); ++i)
        for (size_t j = i + 1; j < kSetupStatementOrder.size(); ++j)
            if (std::string_view(kSetupStatementOrder[i]) == kSetupStatementOrder[j])
                return false;
    return true;
}
static_assert(StatementOrderIsComplete());

constexpr bool ControlsInOrder()
{
    for (size_t i = 0; i < kSetupColumns.size(); ++i)
        if (kSetupColumns[i].control != static_cast<int>(i) + 1)
            return false;
    return true;
}
static_assert(ControlsInOrder());

QString Col(const char* name) { return QString::fromLatin1(name); }

void ReadSetup(const TIBQuery& q, SetupValues& values)
{
    for (size_t i = 0; i < kSetupColumns.size(); ++i)
        values[i] = q.FieldByName(Col(kSetupColumns[i].column)).AsInteger();  // NULL reads 0
}


}  // namespace

QStringList VehicleInsertSql()
{
    QString columns = QStringLiteral("ID_POJAZDU,  ");
    QString params = QStringLiteral(":ID_POJAZDU,");
    for (size_t i = 0; i < kSetupStatementOrder.size(); ++i) {
        const bool last = i + 1 == kSetupStatementOrder.size();
        columns += Col(kSetupStatementOrder[i]) + (last ? QStringLiteral(")") : QStringLiteral(", "));
        params += QStringLiteral("  :") + Col(kSetupStatementOrder[i]) +
                  (last ? QStringLiteral(")") : QStringLiteral(","));
    }
    return {
        QStringLiteral("insert into POJAZDY"),
        QStringLiteral("( USUNIETY, NAZWA,"),
        columns,
        QStringLiteral(" values"),
        QStringLiteral("( 0,  :NAZWA,"),
        params,
    };
}

QStringList VehicleUpdateSql()
{
    QStringList lines = {
        QStringLiteral("update POJAZDY set"),
        QStringLiteral("USUNIETY = 0,"),
        QStringLiteral("NAZWA = :NAZWA,"),
    };
    // Two assignments per line.
    QString line;
    for (size_t i = 0; i < kSetupStatementOrder.size(); ++i) {
        const QString column = Col(kSetupStatementOrder[i]);
        const bool last = i + 1 == kSetupStatementOrder.size();
        line += column + QStringLiteral(" = :") + column + (last ? QString() : QStringLiteral(",  "));
        if (i % 2 == 1 || last) {
            lines << line;
            line.clear();
        }
    }
    lines << QStringLiteral("where ") << QStringLiteral("ID_POJAZDU = :ID_POJAZDU");
    return lines;
}

bool LoadVehicle(int id, VehicleProfile& profile)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select * from POJAZDY where ID_POJAZDU=") + QString::number(id));
    q.Open();
    if (q.Eof()) {
        q.Close();
        return false;
    }
    profile.name = q.FieldByName(QStringLiteral("NAZWA")).AsString();
    ReadSetup(q, profile.values);
    q.Close();
    return true;
}

int SaveVehicle(int id, const VehicleProfile& profile, QString* error)
{
    return catalogue::SaveRow(
        id, QStringLiteral("select max(ID_POJAZDU) as maks from POJAZDY "), 1,
        [&](int vehicleId, bool isNew) {
            TIBQuery qZapisz(DM->TransEdit);
            qZapisz.SetSQL(isNew ? VehicleInsertSql() : VehicleUpdateSql());
            qZapisz.ParamByName(QStringLiteral("ID_POJAZDU"), vehicleId);
            qZapisz.ParamByName(QStringLiteral("NAZWA"), profile.name);
            for (size_t i = 0; i < kSetupColumns.size(); ++i)
                qZapisz.ParamByName(Col(kSetupColumns[i].column), profile.values[i]);
            qZapisz.ExecSQL();
        },
        error);
}

bool LoadSessionSetup(int idNag, SessionSetup& setup)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select * from NAGLOWKI where ID_NAG=") + QString::number(idNag));
    q.Open();
    if (q.Eof()) {
        q.Close();
        return false;
    }
    setup.trackId = q.FieldByName(QStringLiteral("ID_TORU")).AsInteger();
    setup.driverId = q.FieldByName(QStringLiteral("ID_KIEROWCY")).AsInteger();
    setup.start = q.FieldByName(QStringLiteral("DATA_START")).AsDateTime();
    ReadSetup(q, setup.values);
    q.Close();

    setup.surname = LookUpDriverNames(setup.driverId).surname;
    setup.trackName = TrackName(setup.trackId);
    return true;
}

QString SessionSetupName(const SessionSetup& setup)
{
    const QString when = setup.start.isValid() ? DateTimeToStr(setup.start) : QString();
    return when + QStringLiteral(" : ") + setup.surname + QStringLiteral(" : ") + setup.trackName;
}
