#include "sim_sessions.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>

#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "shell/data/ibquery.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"
#include "tree_rows.h"

namespace simsessions {

std::vector<int> ImportSessions(const std::vector<kromsim::SessionOptions>& sessions)
{
    static int dumpNo = 0;
    QTemporaryDir folder;
    kromsim::DumpOptions dump;
    dump.slot = 1;
    dump.serial = QString::number(700 + ++dumpNo);
    dump.sessions = sessions;
    QString error;
    const kromsim::DumpTruth truth = kromsim::WriteDumpFile(folder.path(), dump, &error);
    EXPECT_FALSE(truth.fileName.isEmpty()) << error.toStdString();

    BuildSessionList(folder.path(), {});
    std::vector<int> ids;
    ImportCallbacks cb;
    cb.confirmHeader = [&ids](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                              FbTransaction& session) {
        d = 1;
        t = 1;
        QString e;
        const int id = InsertHeader(serial, h, d, t, &e, &session);
        EXPECT_GT(id, 0) << e.toStdString();
        ids.push_back(id);
        return id;
    };
    const ImportSummary sum = ImportSessions(folder.path(), cb);
    EXPECT_EQ(sum.imported, int(sessions.size()));
    return ids;
}

kromsim::SessionOptions Session(int laps, int sectorsPerLap, uint32_t seed, SampleFormat format)
{
    kromsim::SessionOptions s;
    s.format = format;
    s.laps = laps;
    s.sectorsPerLap = sectorsPerLap;
    s.seed = seed;
    return s;
}

std::vector<StoredLap> Laps(int sessionId)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select NR, CZAS_SS, CZAS from OKRAZENIA_REJ where ID_NAGLOWKA = :N order by NR"));
    q.ParamByName(QStringLiteral("N"), sessionId);
    std::vector<StoredLap> out;
    for (q.Open(); !q.Eof(); q.Next())
        out.push_back({q.FieldByName(QStringLiteral("NR")).AsInteger(), q.FieldByName(QStringLiteral("CZAS_SS")).AsInteger(),
                       q.FieldByName(QStringLiteral("CZAS")).AsString()});
    return out;
}

std::vector<StoredSector> Sectors(int sessionId, int lap)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select *  from SEKTORY where ID_NAGLOWKA =  :NAG and NR_OKRAZENIA = :NR_OKRAZENIA"));
    q.ParamByName(QStringLiteral("NAG"), sessionId);
    q.ParamByName(QStringLiteral("NR_OKRAZENIA"), lap);
    std::vector<StoredSector> out;
    for (q.Open(); !q.Eof(); q.Next())
        out.push_back({lap, q.FieldByName(QStringLiteral("NR_SEKTORA")).AsInteger(),
                       q.FieldByName(QStringLiteral("CZAS_SS")).AsInteger(), q.FieldByName(QStringLiteral("CZAS")).AsString()});
    return out;
}

int FirstLapStart(int sessionId)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select START_PIERWSZ_OKR from NAGLOWKI where ID_NAG = :N"));
    q.ParamByName(QStringLiteral("N"), sessionId);
    q.Open();
    return q.FieldByName(QStringLiteral("START_PIERWSZ_OKR")).AsInteger();
}

void InsertHandSession(const HandSession& s)
{
    auto exec = [](const QString& sql) {
        TIBQuery q(DM->TransEdit);
        q.SetSQL(sql);
        ASSERT_TRUE(DM->ExecEdit(q)) << sql.toStdString();
    };
    exec(QStringLiteral("insert into NAGLOWKI (ID_NAG, DATA_START, ID_KIEROWCY, START_PIERWSZ_OKR) "
                        "values (%1, '2024-06-20 10:15:30', %2, %3)")
             .arg(s.id)
             .arg(s.driver)
             .arg(s.start ? QString::number(*s.start) : QStringLiteral("NULL")));
    for (const HandLap& l : s.laps)
        exec(QStringLiteral("insert into OKRAZENIA_REJ (ID_NAGLOWKA, NR, CZAS, CZAS_SS) values (%1, %2, '%3', %4)")
                 .arg(s.id)
                 .arg(l.nr)
                 .arg(SessionTimeText(l.time))
                 .arg(l.time));
    for (const HandSector& r : s.sectors)
        exec(QStringLiteral("insert into SEKTORY (ID_NAGLOWKA, NR_OKRAZENIA, NR_SEKTORA, CZAS, CZAS_SS) "
                            "values (%1, %2, %3, '%4', %5)")
                 .arg(s.id)
                 .arg(r.lap)
                 .arg(r.nr)
                 .arg(SessionTimeText(r.time))
                 .arg(r.time));
    static int position = 0;
    for (const HandSample& p : s.samples)
        exec(QStringLiteral("insert into POZYCJE (ID_POZYCJI, ID_NAGLOWKA, DATA_SS, OBROTY, OKRAZENIE, ACCX, ACCY, "
                            "GPSX, GPSY, PREDKOSC_GPS, TEMP1) values (%1, %2, %3, %4, %5, 4096, -2048, %6, 0, 77, 21.5)")
                 .arg(++position)
                 .arg(s.id)
                 .arg(p.dataSs)
                 .arg(p.rpm)
                 .arg(p.lap)
                 .arg(kHandGpsx));
}

void AddToTree(SessionTree& tree, int sessionId)
{
    treerows::HandSession s{sessionId, FirstLapStart(sessionId), {}};
    for (const StoredLap& lap : Laps(sessionId)) {
        treerows::HandLap l{lap.nr, lap.time, {}};
        for (const StoredSector& sector : Sectors(sessionId, lap.nr)) {
            l.sectors.push_back(sector.time);
            l.sectorNumbers.push_back(sector.nr);
        }
        s.laps.push_back(l);
    }
    treerows::AddSession(tree, s);
}

void ChartsDatabaseTest::SetUp()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO) values (1, 'Ada', 'Nowak')"));
    memGPS.Close();
    memGPS.Open();
    Project() = ProjectRecord();
}

void ChartsDatabaseTest::TearDown() { QLocale::setDefault(QLocale::system()); }

void ChartsDatabaseTest::Choose(const std::vector<int>& ids)
{
    MemTable& chosen = db.dm().memWybraneSesje;
    chosen.Close();
    chosen.Open();
    for (int id : ids)
        chosen.SetIntAt(chosen.AppendRow(), chosen.FieldIndex(QStringLiteral("id_nag")), id);
}

QString ChartsDatabaseTest::StartText(int id)
{
    return DateTimeToStr(db.Scalar(QStringLiteral("select DATA_START from NAGLOWKI where ID_NAG = %1").arg(id)).toDateTime());
}

int ChartsDatabaseTest::Int(const MemTable& t, int row, const char* field)
{
    return t.IntAt(row, t.FieldIndex(QString::fromLatin1(field)));
}

bool ChartsDatabaseTest::Null(const MemTable& t, int row, const char* field)
{
    return t.IsNullAt(row, t.FieldIndex(QString::fromLatin1(field)));
}

QString ChartsDatabaseTest::Str(const MemTable& t, int row, const char* field)
{
    return t.StringAt(row, t.FieldIndex(QString::fromLatin1(field)));
}

}  // namespace simsessions
