// Screenshots of the whole-session chart and the lap-overlay chart over
// simulated sessions: the logger simulator writes a dump file, the intake
// imports it into a fresh database in a temporary folder, the session
// loader fills memGPS, memMinMax and the session tree, and the windows are
// grabbed offscreen:
//   chartshots [output folder]   (default /tmp/charts-shots)
// whole-session.png         several channels, lap strip, markers, labels
// whole-session-zoomed.png  zoomed into one lap, cursor and read-out
// lap-overlay.png           the laps of the sessions laid over each other
#include <QDir>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <cstdio>

#include "analysis/chartcore.h"
#include "analysis/sessionload.h"
#include "analysis/upanelsesji.h"
#include "analysis/uwykrescale.h"
#include "analysis/uwykresmdilapy.h"
#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "kromsim.h"
#include "platform/application.h"
#include "platform/chart/chart.h"
#include "shell/common/stale.h"
#include "shell/data/dbcreate.h"
#include "shell/data/schemaupgrade.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"
#include "shell/startup.h"

namespace {

QString g_out;

void Settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void Save(QWidget& widget, const QString& name)
{
    Settle();
    const QString path = g_out + QLatin1Char('/') + name + QStringLiteral(".png");
    if (widget.grab().save(path))
        std::printf("%s\n", qPrintable(path));
    else
        std::fprintf(stderr, "chartshots: cannot write %s\n", qPrintable(path));
}

void MoveMouse(Chart* chart, QPoint pos)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(pos), chart->mapToGlobal(QPointF(pos)), Qt::NoButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(chart, &e);
}

// The first memdane row of a type and session (and lap), or -1.
int FindTreeRow(const SessionTree& tree, const QString& type, int sessionId, int lap = 0)
{
    const MemTable& t = tree.memdane;
    for (int r = 0; r < t.RecordCount(); ++r)
        if (t.StringAt(r, t.FieldIndex(QStringLiteral("typ_rekordu"))) == type &&
            t.IntAt(r, t.FieldIndex(QStringLiteral("id_naglowka"))) == sessionId &&
            (lap == 0 || t.IntAt(r, t.FieldIndex(QStringLiteral("id_okrazenia"))) == lap))
            return r;
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    EnsureFirebirdLockFolder();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PitrovaApplication app(argc, argv);
    ApplyDarkTheme(app);
    g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/charts-shots");
    QDir().mkpath(g_out);

    QTemporaryDir dir;
    const QString folder = IncludeBackslash(dir.path());
    SetProgramFolder(folder);
    QString error;
    const QString database = folder + QStringLiteral("KROMDB.GDB");
    if (!CreateDatabaseFile(database, &error)) {
        std::fprintf(stderr, "chartshots: %s\n", qPrintable(error));
        return 1;
    }
    TDM dm;
    DM = &dm;
    if (!dm.OpenDatabase(database)) {
        std::fprintf(stderr, "chartshots: %s\n", qPrintable(dm.LastOpenError()));
        return 1;
    }
    UpgradeSchema(dm);

    // Three sessions of eight laps, with GPS, imported as the intake does.
    kromsim::DumpOptions dump;
    dump.serial = QStringLiteral("77");
    for (int i = 0; i < 3; ++i) {
        kromsim::SessionOptions s;
        s.raceIndex = uint8_t(i);
        s.format = SampleFormat::Gps;
        s.laps = 8;
        s.seed = uint32_t(11 + i);
        dump.sessions.push_back(s);
    }
    if (kromsim::WriteDumpFile(folder, dump, &error).fileName.isEmpty()) {
        std::fprintf(stderr, "chartshots: %s\n", qPrintable(error));
        return 1;
    }
    ImportCallbacks cb;
    cb.confirmHeader = [](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                          FbTransaction& session) {
        d = 1;
        t = 1;
        return InsertHeader(serial, h, d, t, nullptr, &session);
    };
    cb.message = [](const QString& m) { std::fprintf(stderr, "chartshots: %s\n", qPrintable(m)); };
    BuildSessionList(folder, [](const QString& m) { std::fprintf(stderr, "chartshots: %s\n", qPrintable(m)); });
    const ImportSummary imported = ImportSessions(folder, cb);
    std::printf("listed %d, imported %d sessions, %d failed\n", dm.memPrzejazdy.RecordCount(), imported.imported,
                imported.failed);

    // The analysis: the chosen sessions loaded as the session panel does.
    dm.memWybraneSesje.Close();
    dm.memWybraneSesje.Open();
    TIBQuery q(dm.TransBrowse);
    q.SetSQL(QStringLiteral("select ID_NAG from NAGLOWKI order by ID_NAG"));
    q.Open();
    std::vector<int> ids;
    for (; !q.Eof(); q.Next()) {
        ids.push_back(q.FieldByName(QStringLiteral("ID_NAG")).AsInteger());
        const int r = dm.memWybraneSesje.AppendRow();
        dm.memWybraneSesje.SetIntAt(r, 0, ids.back());
    }
    q.Close();
    Project().ResetForNewProject();
    Project().SetVGpsMax(120);
    TFPanelSesji panel;
    FPanelSesji = &panel;
    LoadSessions(dm.memWybraneSesje, dm.memGPS, dm.memMinMax, panel, TreeFilters{}, Project());
    std::printf("memGPS: %d rows, tree: %d rows\n", dm.memGPS.RecordCount(), panel.memdane.RecordCount());
    if (ids.empty())
        return 1;

    SelectedChannelCount = 4;
    const char* channels[] = {"obroty", "temp1", "accx", "predkosc_gps"};
    const char* formats[] = {"%0.0f", "%1.1f", "%1.1f", "%0.0f"};
    for (int i = 1; i <= 4; ++i) {
        SelectedChannels[size_t(i)] = QString::fromLatin1(channels[i - 1]);
        SelectedChannelFormats[size_t(i)] = QString::fromLatin1(formats[i - 1]);
    }

    {
        Tfwykrescale whole;
        whole.resize(1400, 720);
        whole.show();
        whole.LoadChart();
        if (const int row = FindTreeRow(panel, QStringLiteral("1"), ids.front()); row >= 0)
            panel.memdane.SetRecNo(row);
        whole.HighlightSession(ids.front());
        Save(whole, QStringLiteral("whole-session"));

        // Into lap 3 of the first session, the cursor half way through it.
        bool found = false;
        const int start = LapStartTime(panel.memokrazenia, ids.front(), 3, &found);
        const int end = LapStartTime(panel.memokrazenia, ids.front(), 4);
        if (found && end > start) {
            Chart* c = whole.Chart1;
            c->ZoomToView({{start - 500.0, end + 500.0}, {0, 1000}, false, false});
            Settle();
            MoveMouse(c, {c->XToScreen((start + end) / 2.0), c->PlotRect().center().y()});
        }
        Save(whole, QStringLiteral("whole-session-zoomed"));
    }
    {
        Tfwykresmdilapy laps;
        laps.resize(1400, 720);
        laps.show();
        laps.LoadChart();
        if (const int row = FindTreeRow(panel, QStringLiteral("2"), ids.front(), 3); row >= 0)
            panel.memdane.SetRecNo(row);
        laps.HighlightLap(ids.front(), 3);
        Settle();
        Chart* c = laps.Chart1;
        MoveMouse(c, {c->PlotRect().left() + c->PlotRect().width() / 3, c->PlotRect().center().y()});
        Save(laps, QStringLiteral("lap-overlay"));
    }
    FPanelSesji = nullptr;
    DM = nullptr;
    return 0;
}
