// Screenshots of the whole-session chart and the lap-overlay chart over
// imported simulated sessions loaded by the session panel, for judging
// their look:
//   analysis_channelchartshots [folder]   (default /tmp/charts-shots)
// whole-session.png         several channels, lap strip, markers, labels
// whole-session-zoomed.png  zoomed into one lap, cursor and read-out
// lap-overlay.png           the laps of the sessions laid over each other
#include <QDir>
#include <QMouseEvent>

#include <cstdio>

#include "analysis/chartcore.h"
#include "analysis/upanelsesji.h"
#include "analysis/uwykrescale.h"
#include "analysis/uwykresmdilapy.h"
#include "platform/application.h"
#include "platform/chart/chart.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"
#include "sim_sessions.h"
#include "support/shots.h"
#include "support/testdb.h"

namespace {

QString g_folder;

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void Save(QWidget& w, const QString& name)
{
    Settle();
    SaveShot(w, g_folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void MoveMouse(Chart* chart, QPoint pos)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(pos), chart->mapToGlobal(QPointF(pos)), Qt::NoButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(chart, &e);
}

// Makes the first memdane row of a type, session and lap (0: any) current.
void MakeCurrent(SessionTree& tree, const QString& type, int sessionId, int lap = 0)
{
    const MemTable& t = tree.memdane;
    for (int r = 0; r < t.RecordCount(); ++r)
        if (t.StringAt(r, t.FieldIndex(QStringLiteral("typ_rekordu"))) == type &&
            t.IntAt(r, t.FieldIndex(QStringLiteral("id_naglowka"))) == sessionId &&
            (lap == 0 || t.IntAt(r, t.FieldIndex(QStringLiteral("id_okrazenia"))) == lap)) {
            tree.memdane.SetRecNo(r);
            return;
        }
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PitrovaApplication app(argc, argv);
    ApplyDarkTheme(app);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/charts-shots");
    QDir().mkpath(g_folder);

    TestDatabase db;
    const std::vector<int> ids = simsessions::ImportSessions(
        {simsessions::Session(8, 3, 11), simsessions::Session(8, 3, 12), simsessions::Session(8, 3, 13)});
    DM->memWybraneSesje.Close();
    DM->memWybraneSesje.Open();
    for (int id : ids)
        DM->memWybraneSesje.SetIntAt(DM->memWybraneSesje.AppendRow(), 0, id);
    Project().ResetForNewProject();
    Project().SetVGpsMax(120);
    AnalysisSession session;
    TFPanelSesji panel(session);
    panel.LoadSessions();
    if (ids.empty())
        return 1;

    session.SelectedChannelCount = 4;
    const char* channels[] = {"obroty", "temp1", "accx", "predkosc_gps"};
    const char* formats[] = {"%0.0f", "%1.1f", "%1.1f", "%0.0f"};
    for (int i = 1; i <= 4; ++i) {
        session.SelectedChannels[size_t(i)] = QString::fromLatin1(channels[i - 1]);
        session.SelectedChannelFormats[size_t(i)] = QString::fromLatin1(formats[i - 1]);
    }
    const int first = ids.front();
    {
        Tfwykrescale whole(session);
        whole.resize(1400, 720);
        whole.show();
        whole.LoadChart();
        MakeCurrent(session.tree, QStringLiteral("1"), first);
        whole.HighlightSession(first);
        Save(whole, QStringLiteral("whole-session"));

        // Into lap 3 of the first session, the cursor half way through it.
        const int start = LapStartTime(session.tree.memokrazenia, first, 3);
        const int end = LapStartTime(session.tree.memokrazenia, first, 4);
        Chart* c = whole.Chart1;
        c->ZoomToView({{start - 500.0, end + 500.0}, {0, 1000}, false, false});
        Settle();
        MoveMouse(c, {c->XToScreen((start + end) / 2.0), c->PlotRect().center().y()});
        Save(whole, QStringLiteral("whole-session-zoomed"));
    }
    {
        Tfwykresmdilapy laps(session);
        laps.resize(1400, 720);
        laps.show();
        laps.LoadChart();
        MakeCurrent(session.tree, QStringLiteral("2"), first, 3);
        laps.HighlightLap(first, 3);
        Settle();
        Chart* c = laps.Chart1;
        MoveMouse(c, {c->PlotRect().left() + c->PlotRect().width() / 3, c->PlotRect().center().y()});
        Save(laps, QStringLiteral("lap-overlay"));
    }
    return 0;
}
