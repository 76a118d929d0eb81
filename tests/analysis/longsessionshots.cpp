// Screenshots of every analysis window over one long session (more laps
// than the logger's lap byte counts), simulated on the standard track and
// imported as the intake does it, for judging their look:
//   xvfb-run -a -s "-screen 0 1600x1000x24" analysis_longsessionshots [folder] [laps]
// (default /tmp/long-shots, 2000 laps).  Reaches the panel as a user does
// (Template, range dialog, Template chooser) and writes long_*.png.
#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTimer>

#include <cstdio>

#include "analysis/analysis.h"
#include "analysis/chartcore.h"
#include "analysis/ugpsporownaj.h"
#include "analysis/ugpspowiazany.h"
#include "analysis/ulistaokrazen.h"
#include "analysis/upanelsesji.h"
#include "analysis/utemplate.h"
#include "analysis/uwykres.h"
#include "analysis/uwykresGPS.h"
#include "analysis/uwykrescale.h"
#include "analysis/uwykresczasyMDI.h"
#include "analysis/uwykreslaptolap.h"
#include "analysis/uwykresmdilapy.h"
#include "analysis/uwyborZakresu.h"
#include "controls/ButtonComps.h"
#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "kromsim.h"
#include "platform/application.h"
#include "platform/chart/chart.h"
#include "platform/dbgrid.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "platform/tdatetime.h"
#include "shell/common/stale.h"
#include "shell/config.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"
#include "shell/umain.h"
#include "support/shots.h"
#include "panel_road.h"
#include "support/testdb.h"

namespace {

QString g_folder;

void Save(QWidget* w, const QString& name)
{
    SaveShot(*w, g_folder + QStringLiteral("/long_") + name + QStringLiteral(".png"));
}

void MoveMouse(Chart* chart, QPoint pos)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(pos), chart->mapToGlobal(QPointF(pos)), Qt::NoButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(chart, &e);
}

// The panel's lap row of a lap made current.
void CurrentLap(TFPanelSesji& panel, int lap)
{
    const MemTable& t = panel.Tree().memdane;
    for (int r = 0; r < t.RecordCount(); ++r)
        if (t.StringAt(r, t.FieldIndex(QStringLiteral("typ_rekordu"))) == QLatin1String("2") &&
            t.IntAt(r, t.FieldIndex(QStringLiteral("id_okrazenia"))) == lap) {
            panel.RxDBGrid1->SelectRow(r);
            return;
        }
}

template <class Window>
Window* Child(const char* className)
{
    return qobject_cast<Window*>(Form1->MDIChild(QString::fromLatin1(className)));
}

}  // namespace

int main(int argc, char** argv)
{
    PitrovaApplication app(argc, argv);
    ApplyDarkTheme(app);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/long-shots");
    const int laps = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 2000;
    QDir().mkpath(g_folder);
    platform::testing::SetScripted(true);

    TestDatabase db;
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO) values (1, 'Ada', 'Nowak')"));

    // The long session, imported as the intake does it.
    kromsim::SessionOptions session;
    session.format = SampleFormat::Gps;
    session.laps = laps;
    session.seed = 11;
    kromsim::WriteDumpFile(db.Folder(), kromsim::LongSessionDump(1, 77, session));
    BuildSessionList(db.Folder(), [](const QString&) {});
    ImportCallbacks cb;
    cb.confirmHeader = [](const QString& serial, const SessionHeaderRecord& h, int& d, int& t, FbTransaction& s) {
        d = 1;
        t = 1;
        return InsertHeader(serial, h, d, t, nullptr, &s);
    };
    cb.message = [](const QString& m) { std::fprintf(stderr, "%s\n", qPrintable(m)); };
    ImportSessions(db.Folder(), cb);

    AnalysisSession& analysis = panelroad::ShowMainWindowOnAnalysis(db, 1500, 950);
    Project().SetVGpsMax(120);
    panelroad::OpenPanelThroughTemplate([](TfTemplate& chooser) {
        chooser.memdane.SetBoolAt(0, chooser.memdane.FieldIndex(QStringLiteral("wybrane")), true);
        Save(&chooser, QStringLiteral("template"));
    });
    if (!FPanelSesji) {
        std::fprintf(stderr, "the Template road opened no session panel\n");
        return 1;
    }
    TFPanelSesji& panel = *FPanelSesji;
    const int id = panel.Tree().memdane.IntAt(0, panel.Tree().memdane.FieldIndex(QStringLiteral("id_naglowka")));
    int lapRows = 0;
    for (int r = 0; r < panel.Tree().memdane.RecordCount(); ++r)
        lapRows += panel.Tree().memdane.StringAt(r, panel.Tree().memdane.FieldIndex(QStringLiteral("typ_rekordu"))) == QLatin1String("2");
    std::printf("laps in the tree: %d\n", lapRows);
    panel.CheckBoxes[1]->click();  // Temp with RPM

    // Beyond the lap byte: lap 300 in the panel and its charts.
    const int lap = std::min(300, laps);
    CurrentLap(panel, lap);
    Save(Form1, QStringLiteral("main"));
    Save(&panel, QStringLiteral("panel"));
    CurrentLap(panel, laps);
    Save(&panel, QStringLiteral("panel_last_lap"));
    CurrentLap(panel, lap);

    if (auto* whole = Child<Tfwykrescale>(WholeSessionChartClass)) {
        Form1->ActivateMDIChild(QString::fromLatin1(WholeSessionChartClass));
        Save(whole, QStringLiteral("whole_session"));
        const int start = LapStartTime(panel.Tree().memokrazenia, id, lap - 2);
        const int end = LapStartTime(panel.Tree().memokrazenia, id, lap + 2);
        whole->Chart1->ZoomToView({{start - 500.0, end + 500.0}, {0, 1000}, false, false});
        MoveMouse(whole->Chart1, {whole->Chart1->XToScreen((start + end) / 2.0), whole->Chart1->PlotRect().center().y()});
        Save(whole, QStringLiteral("whole_session_zoomed"));
    }
    if (auto* overlay = Child<Tfwykresmdilapy>(LapsChartClass)) {
        Form1->ActivateMDIChild(QString::fromLatin1(LapsChartClass));
        overlay->HighlightLap(id, lap);
        Chart* c = overlay->Chart1;
        MoveMouse(c, {c->PlotRect().left() + c->PlotRect().width() / 3, c->PlotRect().center().y()});
        Save(overlay, QStringLiteral("lap_overlay"));
    }
    if (auto* diagram = Child<TfwykresCzasy>(LapTimeDiagramClass)) {
        Form1->ActivateMDIChild(QString::fromLatin1(LapTimeDiagramClass));
        Save(diagram, QStringLiteral("diagram"));
        diagram->CheckBox3->click();  // the times, not the differences
        diagram->CheckBox2->click();  // laps only
        Save(diagram, QStringLiteral("diagram_laps"));
        const QRect plot = diagram->Chart1->PlotRect();
        const int x1 = diagram->Chart1->XToScreen(lap - 10), x2 = diagram->Chart1->XToScreen(lap + 10);
        diagram->Chart1->ZoomToRect(QRect(QPoint(x1, plot.top()), QPoint(x2, plot.bottom())));
        Save(diagram, QStringLiteral("diagram_zoomed"));
    }

    // The GPS windows of lap 300.
    panel.SpeedButton2Click();
    if (panel.GpsView())
        Save(panel.GpsView(), QStringLiteral("gps_linked"));
    panel.SpeedButton5Click();
    CurrentLap(panel, laps);
    panel.SpeedButton5Click();
    if (panel.CompareWindow())
        Save(panel.CompareWindow(), QStringLiteral("gps_compare"));
    platform::testing::OnModal(QStringLiteral("TfwykresGPS"), [](QDialog& d) {
        Save(&d, QStringLiteral("gps_trace"));
        d.close();
    });
    ShowGps(id, lap);

    // The lap chooser.
    platform::testing::OnModal(QStringLiteral("TfListaOkrazen"), [lap](QDialog& d) {
        auto& f = static_cast<TfListaOkrazen&>(d);
        f.RxDBGrid1->SelectRow(lap);
        Save(&f, QStringLiteral("lap_chooser"));
        d.close();
    });
    ShowLapChooser(0, 0, TDateTime(DayNumber(QDate(2000, 1, 1))), TDateTime(DayNumber(QDate(2099, 12, 31))));

    // The Sessions chart and the lap comparison (they take memGPS over).
    panel.SpeedButton3Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    {
        TFWykres sessions(analysis);
        sessions.resize(1400, 800);
        sessions.show();
        sessions.LoadChart();
        sessions.CheckBox1->click();
        Save(&sessions, QStringLiteral("sessions"));
        const QRect plot = sessions.Chart1->PlotRect();
        const int x1 = plot.left() + plot.width() * 3 / 20, x2 = plot.left() + plot.width() * 4 / 20;
        sessions.Chart1->ZoomToRect(QRect(QPoint(x1, plot.top()), QPoint(x2, plot.bottom())));
        Save(&sessions, QStringLiteral("sessions_zoomed"));
    }
    {
        Tfwykreslaptolap comparison(analysis);
        comparison.resize(1400, 800);
        comparison.show();
        comparison.LoadChart();
        comparison.RxDBGrid1->SelectRow(lap);
        comparison.Button2Click();
        MoveMouse(comparison.Chart1, {comparison.Chart1->PlotRect().center()});
        Save(&comparison, QStringLiteral("lap_comparison"));
    }

    for (const QString& m : platform::testing::Messages())
        std::fprintf(stderr, "message: %s\n", qPrintable(m));
    delete Form1;
    Form1 = nullptr;
    return 0;
}
