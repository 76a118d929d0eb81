#include "shell/data/cataloguenames.h"

#include "shell/data/ubazy.h"

DriverNames LookUpDriverNames(int driverId)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select IMIE, NAZWISKO from KIEROWCY where ID_KIEROWCY = :ID"));
    q.ParamByName(QStringLiteral("ID"), driverId);
    q.Open();
    // After the last row every field reads as NULL, an empty text.
    DriverNames names{q.FieldByName(QStringLiteral("IMIE")).AsString(),
                      q.FieldByName(QStringLiteral("NAZWISKO")).AsString()};
    q.Close();
    return names;
}

QString DriverName(int driverId)
{
    const DriverNames names = LookUpDriverNames(driverId);
    return names.firstName + u' ' + names.surname;
}

QString TrackName(int trackId)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select NAZWA from TORY where ID_TORU = :ID"));
    q.ParamByName(QStringLiteral("ID"), trackId);
    q.Open();
    const QString name = q.FieldByName(QStringLiteral("NAZWA")).AsString();
    q.Close();
    return name;
}
