#include "intake/headerstore.h"

#include "shell/common/stale.h"
#include "shell/data/fbbulk.h"
#include "shell/data/ubazy.h"

namespace {

// A serial bound as text: an empty one as '' (a null QString would bind NULL).
QString SerialText(const QString& serial) { return serial.isNull() ? QStringLiteral("") : serial; }

}  // namespace

int ProposeDriver(const QString& serial)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select * from KROM_KIEROWCY where NR_SER_KROM = :NRSER "));
    q.ParamByName(QStringLiteral("NRSER"), SerialText(serial));
    q.Open();
    const int id = q.FieldByName(QStringLiteral("id_kierowcy")).AsInteger();
    q.Close();
    return id > 0 ? id : 0;
}

std::optional<std::array<int, 30>> VehicleSetup(int vehicleId)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select * from POJAZDY where ID_POJAZDU=") + QString::number(vehicleId));
    q.Open();
    if (q.Eof()) {
        q.Close();
        return std::nullopt;
    }
    std::array<int, 30> values{};
    for (size_t i = 0; i < kSetupColumns.size(); ++i)
        values[i] = q.FieldByName(QString::fromLatin1(kSetupColumns[i].column)).AsInteger();
    q.Close();
    return values;
}

QString OperatingCounterText(int minutes)
{
    return Format("%d:%2.2d", minutes / 60, minutes % 60);
}

void ApplySetup(SessionHeaderRecord& header, const std::array<int, 30>& values)
{
    for (size_t i = 0; i < kSetupColumns.size(); ++i)
        header.SetWord(kSetupColumns[i].headerOffset, static_cast<uint16_t>(values[i] & 0xFFFF));
}

QString StoreFailureReason(const std::exception& error)
{
    const QString text = QString::fromUtf8(error.what());
    // The session's keys (ID_NAG, ID_POZYCJI) are the largest committed id
    // plus one, so a key found taken is another connection's row, committed
    // meanwhile or still held: a retry takes the next ids.
    if (IsLockConflict(error) || IsUniqueKeyViolation(error))
        return QStringLiteral("the database is busy: another connection holds rows this session needs. "
                              "Read the session again once that connection has finished.\n\n"
                              "Database message: ") +
               text;
    return text;
}

int InsertHeader(const QString& serial, const SessionHeaderRecord& header, int driverId, int trackId,
                 QString* error, FbTransaction* session, const TrackConditions& conditions)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return -1;
    };
    QDateTime end, start;
    if (!header.SessionEnd(end) || !header.SessionStart(start))
        return fail(QStringLiteral("The session end in the header is not a valid date and time"));

    int newId = 0;
    try {
        newId = DM->NextId(QStringLiteral("select max(id_nag) as maks from naglowki "));

        TIBQuery dup(DM->TransBrowse);
        // Another logger's session may end at the same second under the
        // same driver and track: only the same logger makes it the same.
        dup.SetSQL(QStringLiteral("select id_nag  from naglowki where DATA_KONIEC = :DATA_KONIEC and "
                                  "ID_KIEROWCY= :ID_KIEROWCY and ID_TORU = :ID_TORU and "
                                  "NR_SERYJNY_KROM = :NR_SERYJNY_KROM "));
        dup.ParamByName(QStringLiteral("DATA_KONIEC"), end);
        dup.ParamByName(QStringLiteral("ID_KIEROWCY"), driverId);
        dup.ParamByName(QStringLiteral("ID_TORU"), trackId);
        dup.ParamByName(QStringLiteral("NR_SERYJNY_KROM"), SerialText(serial));
        dup.Open();
        const int existing = dup.FieldByName(QStringLiteral("id_nag")).AsInteger();
        dup.Close();
        if (existing > 0) {
            if (error)
                error->clear();
            return 0;
        }
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }

    // The theoretical best as a time span from day zero, in the date-time
    // convention of the stored data.
    const TDateTime bestSpan = header.TheoreticalBest() / 100.0 / 86400.0;

    QStringList columns = {
        QStringLiteral("NR_SERYJNY_KROM"), QStringLiteral("DATA_KONIEC"), QStringLiteral("DATA_START"),
        QStringLiteral("ID_KIEROWCY"),     QStringLiteral("ID_NAG"),      QStringLiteral("ID_TORU"),
        QStringLiteral("ILOSC_OKRAZEN"),   QStringLiteral("MAKS_OBROTY"), QStringLiteral("MIN_OBROTY"),
        QStringLiteral("NUMER_WYSCIGU"),
    };
    // The set-up columns in alphabetical order, as the statement lists them.
    QStringList setupColumns;
    for (const SetupColumn& w : kSetupColumns)
        setupColumns.append(QString::fromLatin1(w.column));
    setupColumns.sort();
    columns += setupColumns;
    columns += {QStringLiteral("TEORETYCZNIA_NAJ_DT"), QStringLiteral("TEORETYCZNIE_NAJLEPSZE")};
    columns += {QStringLiteral("TOR_MOKRY"), QStringLiteral("TOR_SUCHY"), QStringLiteral("TOR_BRUDNY"),
                QStringLiteral("TOR_CZYSTY")};

    QStringList params;
    for (const QString& c : columns)
        params.append(u':' + c);
    const QString text = QStringLiteral("insert into NAGLOWKI (") + columns.join(QStringLiteral(", ")) +
                         QStringLiteral(") values (") + params.join(QStringLiteral(", ")) + u')';

    auto insert = [&](FbTransaction& transaction) {
        FbStatement qZapiszNowy(transaction, text);
        auto param = [&qZapiszNowy](const char* name) { return qZapiszNowy.ParamIndex(QString::fromLatin1(name)); };
        qZapiszNowy.SetText(param("NR_SERYJNY_KROM"), SerialText(serial));
        qZapiszNowy.SetTimestamp(param("DATA_KONIEC"), ToTDateTime(end));
        qZapiszNowy.SetTimestamp(param("DATA_START"), ToTDateTime(start));
        qZapiszNowy.SetInt(param("ID_KIEROWCY"), driverId);
        qZapiszNowy.SetInt(param("ID_NAG"), newId);
        qZapiszNowy.SetInt(param("ID_TORU"), trackId);
        qZapiszNowy.SetInt(param("ILOSC_OKRAZEN"), header.LapCount());
        qZapiszNowy.SetInt(param("MAKS_OBROTY"), header.MaxRpm());
        qZapiszNowy.SetInt(param("MIN_OBROTY"), header.MinRpm());
        qZapiszNowy.SetInt(param("NUMER_WYSCIGU"), header.RaceIndex());
        for (const SetupColumn& w : kSetupColumns)
            qZapiszNowy.SetInt(param(w.column), header.SetupValue(w.headerOffset));
        qZapiszNowy.SetTimestamp(param("TEORETYCZNIA_NAJ_DT"), bestSpan);
        qZapiszNowy.SetInt(param("TEORETYCZNIE_NAJLEPSZE"), header.TheoreticalBest());
        qZapiszNowy.SetInt(param("TOR_MOKRY"), conditions.wet ? 1 : 0);
        qZapiszNowy.SetInt(param("TOR_SUCHY"), conditions.dry ? 1 : 0);
        qZapiszNowy.SetInt(param("TOR_BRUDNY"), conditions.dirty ? 1 : 0);
        qZapiszNowy.SetInt(param("TOR_CZYSTY"), conditions.clean ? 1 : 0);
        qZapiszNowy.Execute();
    };
    try {
        if (session) {
            insert(*session);
        } else {
            FbTransaction own(DM->TransEdit.Database());
            own.StartWrite(kWriteLockTimeoutSeconds);
            insert(own);
            own.Commit();
        }
    } catch (const std::exception& e) {
        return fail(StoreFailureReason(e));
    }
    if (error)
        error->clear();
    return newId;
}
