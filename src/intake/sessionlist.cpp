#include "intake/sessionlist.h"

#include <QDir>

#include <algorithm>

#include "intake/dumpfile.h"
#include "shell/common/cp1250.h"
#include "shell/data/ubazy.h"
#include "shell/common/stale.h"

QStringList DumpFileNames(const QString& folder)
{
    QDir dir(folder);
    QStringList names =
        dir.entryList({QStringLiteral("dane*.bin")}, QDir::Files, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QString ShortDumpFileMessage(const QString& fileName)
{
    return QStringLiteral("File %1 is too short to hold session headers; it was skipped.").arg(fileName);
}

QString DumpFileSerialProblem(const QString& fileName)
{
    const QString serial = SerialFromFileName(fileName);
    if (serial.size() > kLoggerSerialLength)
        return QStringLiteral("File %1 was skipped: its logger serial \"%2\" has %3 characters; at most %4 can be "
                              "stored.")
            .arg(fileName, serial)
            .arg(serial.size())
            .arg(kLoggerSerialLength);
    const QString outside = FirstCharacterOutsideCp1250(serial);
    if (!outside.isEmpty())
        return QStringLiteral("File %1 was skipped: its logger serial \"%2\" holds the character \"%3\", which "
                              "the database cannot store.")
            .arg(fileName, serial, outside);
    return {};
}

void BuildSessionList(const QString& folder, const std::function<void(const QString&)>& message)
{
    MemTable& mem = DM->memPrzejazdy;
    mem.Close();
    mem.Open();

    const int cSerial = mem.FieldIndex(QStringLiteral("nr_seryjny"));
    const int cDriver = mem.FieldIndex(QStringLiteral("kierowca"));
    const int cTrack = mem.FieldIndex(QStringLiteral("tor"));
    const int cDate = mem.FieldIndex(QStringLiteral("data"));
    const int cRace = mem.FieldIndex(QStringLiteral("nr_wyscigu"));
    const int cLaps = mem.FieldIndex(QStringLiteral("ile_okrazen"));
    const int cTicked = mem.FieldIndex(QStringLiteral("wybrany"));
    const int cFile = mem.FieldIndex(QStringLiteral("plik"));
    const int cFileNo = mem.FieldIndex(QStringLiteral("nr_pliku"));
    const int cEntry = mem.FieldIndex(QStringLiteral("numer_wpisu"));
    const int cStored = mem.FieldIndex(QStringLiteral("jestwbazie"));

    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select ID_NAG from NAGLOWKI where DATA_KONIEC = :D and NR_SERYJNY_KROM = :N"));
    const int pDate = q.ParamIndex(QStringLiteral("D"));
    const int pSerial = q.ParamIndex(QStringLiteral("N"));

    const QString base = IncludeBackslash(folder);
    const QStringList names = DumpFileNames(folder);
    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names[i];
        const QString serial = SerialFromFileName(name);
        // A serial the database cannot take would fail every query of the
        // file, and with it the whole list.
        if (const QString problem = DumpFileSerialProblem(name); !problem.isEmpty()) {
            if (message)
                message(problem);
            continue;
        }
        KeyDumpFile file;
        if (!file.Open(base + name)) {
            if (message)
                message(file.ErrorText());
            continue;
        }
        if (!file.HasHeaderRecords()) {
            if (message)
                message(ShortDumpFileMessage(name));
            continue;
        }
        {
            MemTableBulk bulk(mem);  // ended also when a query fails
            for (int e = 1; e <= kHeaderEntryCount; ++e) {
                const SessionHeaderRecord header = file.ReadHeader(e);
                if (header.IsFree())
                    continue;
                QDateTime end;
                if (!header.SessionEnd(end))
                    continue;

                q.SetParam(pDate, end);
                q.SetParam(pSerial, serial);
                q.Open();
                const bool found = !q.IsEmpty();
                q.Close();

                const int row = mem.AppendRow();
                mem.SetStringAt(row, cSerial, serial);
                mem.SetStringAt(row, cDriver, header.DriverText());
                mem.SetStringAt(row, cTrack, header.TrackText());
                mem.SetFloatAt(row, cDate, ToTDateTime(end));
                mem.SetIntAt(row, cRace, header.RaceIndex() + 1);
                mem.SetIntAt(row, cLaps, header.LapCount());
                mem.SetBoolAt(row, cTicked, !found);
                mem.SetStringAt(row, cFile, name);
                mem.SetIntAt(row, cFileNo, i);
                mem.SetIntAt(row, cEntry, e);
                mem.SetBoolAt(row, cStored, found);
            }
        }
        file.Close();
        mem.SortOn(QStringLiteral("nr_pliku;numer_wpisu"));
    }
}
