#include "analysis/gps_support.h"

#include <gtest/gtest.h>

#include <QDir>

#include "analysis/sessioncharts.h"
#include "analysis/sessiontree.h"
#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "shell/data/fbbulk.h"

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
    AppendSessionSamples(memGPS, sessionId);
    BuildSessionTree(tree, sessionId, TreeFilters{});
}

}  // namespace gpstest
