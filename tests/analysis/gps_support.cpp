#include "analysis/gps_support.h"

#include <gtest/gtest.h>

#include <QDir>

#include "analysis/sessionload.h"
#include "analysis/sessiontree.h"
#include "intake/headerstore.h"
#include "shell/data/fbbulk.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "shell/common/stale.h"
#include "shell/data/ibquery.h"
#include "shell/data/ubazy.h"

namespace gpstest {

std::vector<int> ImportSessions(const std::vector<kromsim::SessionOptions>& sessions)
{
    static int dumpNo = 0;
    QTemporaryDir folder;
    kromsim::DumpOptions dump;
    dump.slot = 1;
    dump.serial = QString::number(500 + ++dumpNo);
    dump.sessions = sessions;
    QString error;
    const kromsim::DumpTruth truth = kromsim::WriteDumpFile(folder.path(), dump, &error);
    EXPECT_FALSE(truth.fileName.isEmpty()) << error.toStdString();

    BuildSessionList(folder.path(), {});
    ImportCallbacks cb;
    std::vector<int> ids;
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

kromsim::SessionOptions GpsSession(int laps, bool fix, uint32_t seed)
{
    kromsim::SessionOptions s;
    s.format = SampleFormat::Gps;
    s.laps = laps;
    s.gpsFix = fix;
    s.seed = seed;
    return s;
}

void LoadSession(int sessionId, MemTable& memGPS, SessionTree& tree)
{
    // Samples as the panel's loader stores them: accelerations in hundredths
    // of g, map coordinates beside the packed ones.
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select * from POZYCJE where ID_NAGLOWKA = :NAG order by DATA_SS"));
    q.ParamByName(QStringLiteral("NAG"), sessionId);
    q.Open();
    auto col = [&memGPS](const char* name) { return memGPS.FieldIndex(QLatin1String(name)); };
    for (; !q.Eof(); q.Next()) {
        auto i = [&q](const char* name) { return q.FieldByName(QLatin1String(name)).AsInteger(); };
        const int r = memGPS.AppendRow();
        memGPS.SetIntAt(r, col("typ_probki"), i("TYP_PROBKI"));
        memGPS.SetIntAt(r, col("obroty"), i("OBROTY"));
        memGPS.SetIntAt(r, col("accx"), AccToHundredthsG(i("ACCX")));
        memGPS.SetIntAt(r, col("accy"), AccToHundredthsG(i("ACCY")));
        memGPS.SetIntAt(r, col("gpsx"), i("GPSX"));
        memGPS.SetIntAt(r, col("gpsy"), i("GPSY"));
        memGPS.SetIntAt(r, col("gyro1"), i("GYRO1"));
        memGPS.SetIntAt(r, col("gyro2"), i("GYRO2"));
        memGPS.SetIntAt(r, col("sektor"), i("SEKTOR"));
        memGPS.SetFloatAt(r, col("temp1"), q.FieldByName(QStringLiteral("TEMP1")).AsFloat());
        memGPS.SetFloatAt(r, col("temp2"), q.FieldByName(QStringLiteral("TEMP2")).AsFloat());
        memGPS.SetIntAt(r, col("data"), i("DATA_SS"));
        memGPS.SetStringAt(r, col("datas"), QStringLiteral(" "));
        memGPS.SetIntAt(r, col("xobr"), 0);
        memGPS.SetIntAt(r, col("yobr"), 0);
        memGPS.SetIntAt(r, col("okrazenie"), i("OKRAZENIE"));
        memGPS.SetIntAt(r, col("id_nag"), sessionId);
        memGPS.SetIntAt(r, col("gpsx_wyl"), MapCoordinate(uint32_t(i("GPSX"))));
        memGPS.SetIntAt(r, col("gpsy_wyl"), MapCoordinate(uint32_t(i("GPSY"))));
        memGPS.SetIntAt(r, col("predkosc_gps"), i("PREDKOSC_GPS"));
    }
    q.Close();

    BuildSessionTree(tree, sessionId, TreeFilters{});
}

}  // namespace gpstest
