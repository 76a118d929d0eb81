// The GPS windows over a whole session of 30 minutes (9,000 fixes at 5 Hz,
// two sample rows per fix), imported from the logger simulator into a fresh
// embedded database, offscreen, at the windows' design sizes.
//
//   trace        LoadTrace of the trace window, from the query to the map
//                painted on screen
//   replay step  one scroll-bar step of the trace window: marker, read-outs,
//                g-dot, until the window is painted
//   linked view  one GpsCursor call of the linked view showing the whole
//                session, until it is painted
//
// Medians of repeated runs; the last line gives the three figures.
#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>


#include "analysis/analysissession.h"
#include "analysis/gpscanvas.h"
#include "analysis/gpsmap.h"
#include "analysis/sessioncharts.h"
#include "analysis/ugpspowiazany.h"
#include "analysis/uwykresGPS.h"
#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "kromsim.h"
#include "platform/application.h"
#include "shell/data/fbbulk.h"
#include "shell/data/ubazy.h"
#include "freshdb.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Ms(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }


// Imports one simulated GPS session of 30 minutes; returns its ID_NAG.
int ImportHalfHour()
{
    QTemporaryDir folder;
    kromsim::DumpOptions dump;
    dump.slot = 1;
    dump.serial = QStringLiteral("77");
    kromsim::SessionOptions s;
    s.format = SampleFormat::Gps;
    s.seconds = 1800;
    s.seed = 3;
    dump.sessions.push_back(s);
    QString error;
    if (kromsim::WriteDumpFile(folder.path(), dump, &error).fileName.isEmpty())
        throw std::runtime_error(error.toStdString());
    BuildSessionList(folder.path(), {});
    int id = 0;
    ImportCallbacks cb;
    cb.confirmHeader = [&id](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                             FbTransaction& session) {
        d = 1;
        t = 1;
        return id = InsertHeader(serial, h, d, t, nullptr, &session);
    };
    if (ImportSessions(folder.path(), cb).imported != 1)
        throw std::runtime_error("the session was not imported");
    return id;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PitrovaApplication app(argc, argv);
    ApplyDarkTheme(app);
    FreshDatabase db;
    const int id = ImportHalfHour();

    // Trace window: LoadTrace and the paint of the map.
    std::vector<double> trace;
    for (int i = 0; i < 15; ++i) {
        TfwykresGPS w;
        w.idNag = id;
        w.lap = 0;
        w.show();
        QCoreApplication::processEvents();
        const auto t0 = Clock::now();
        if (!w.LoadTrace())
            return 1;
        w.repaint();
        trace.push_back(Ms(t0));
    }
    std::printf("trace: %d fixes in the table\n", [&] {
        TfwykresGPS w;
        w.idNag = id;
        w.LoadTrace();
        return w.memdane.RecordCount();
    }());

    // Replay steps: one scroll-bar step each, painted.
    std::vector<double> replay;
    {
        TfwykresGPS w;
        w.idNag = id;
        w.show();
        w.LoadTrace();
        QCoreApplication::processEvents();
        const int max = w.ScrollBar1->maximum();
        for (int i = 1; i <= 200; ++i) {
            const auto t0 = Clock::now();
            w.ScrollBar1->setValue(i * max / 201);
            w.repaint();
            replay.push_back(Ms(t0));
        }
    }

    // Linked view of the whole session from memGPS.
    std::vector<double> linked;
    {
        DM->memGPS.Open();
        AppendSessionSamples(DM->memGPS, id);
        const AnalysisSession session;  // no laps: the whole session is drawn
        Tfgpspowiazany view(session);
        view.show();
        QCoreApplication::processEvents();
        if (!view.GpsDraw(id, 0, QStringLiteral("GPS")))
            std::printf("linked view: memGPS holds no sample of the session\n");
        const int n = view.memdane.RecordCount();
        for (int i = 1; i <= 200 && n > 0; ++i) {
            const int time = view.memdane.IntAt(int(int64_t(i) * (n - 1) / 201), gpData);
            const auto t0 = Clock::now();
            view.GpsCursor(time, 0, id);
            view.repaint();
            linked.push_back(Ms(t0));
        }
    }

    std::printf("trace %.1f ms, replay step %.2f ms, linked view %.2f ms\n", Median(trace), Median(replay),
                Median(linked));
    return 0;
}
