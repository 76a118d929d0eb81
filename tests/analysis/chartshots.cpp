// Screenshots of the lap time diagram, the Sessions chart and the lap
// comparison chart over imported simulated sessions, for judging their look:
//   analysis_chartshots [folder]   (default /tmp/charts2-shots)
// Writes diagram_*.png (diagram_300_* over 300 sessions), whole_300.png,
// sessions_*.png and laptolap_*.png.
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include <cstdio>

#include "analysis/uwykres.h"
#include "analysis/uwykresczasyMDI.h"
#include "analysis/uwykreslaptolap.h"
#include "analysis/ugpspowiazany.h"
#include "analysis/upanelsesji.h"
#include "analysis/uwykrescale.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "shell/common/stale.h"
#include "shell/config.h"
#include "shell/umain.h"
#include "platform/chart/chart.h"
#include "platform/dbgrid.h"
#include "shell/data/ubazy.h"
#include "sim_sessions.h"
#include "support/shots.h"
#include "support/testdb.h"

namespace {

QString g_folder;

void Save(QWidget* w, const QString& name)
{
    SaveShot(*w, g_folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void Choose(const std::vector<int>& ids)
{
    MemTable& chosen = DM->memWybraneSesje;
    chosen.Close();
    chosen.Open();
    for (int id : ids) {
        const int r = chosen.AppendRow();
        chosen.SetIntAt(r, chosen.FieldIndex(QStringLiteral("id_nag")), id);
    }
}

// A point of the plot at a part of its width and height.
QPoint At(Chart* chart, double fx, double fy)
{
    const QRect p = chart->PlotRect();
    return {p.left() + int(p.width() * fx), p.top() + int(p.height() * fy)};
}

// The chosen sessions loaded by a session panel, and the lap time diagram
// shown over its tree.
struct DiagramOverPanel {
    AnalysisSession session;
    TFPanelSesji panel{session};
    TfwykresCzasy diagram{session};

    explicit DiagramOverPanel(QSize size)
    {
        panel.LoadSessions();
        diagram.resize(size);
        diagram.show();
        diagram.LoadChart();
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PitrovaApplication app(argc, argv);
    ApplyDarkTheme(app);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/charts2-shots");
    QDir().mkpath(g_folder);

    TestDatabase db;
    AnalysisSession session;  // the sessions charts' GPS views read its laps
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO) values (1, 'Ada', 'Nowak')"));
    const std::vector<int> ids =
        simsessions::ImportSessions({simsessions::Session(5, 3, 31), simsessions::Session(4, 3, 32)});
    Choose(ids);

    // The lap time diagram over a panel's tree of the two sessions.
    {
        DiagramOverPanel shown(QSize(1300, 720));
        TfwykresCzasy& diagram = shown.diagram;
        Save(&diagram, QStringLiteral("diagram_diff"));
        diagram.CheckBox3->click();
        diagram.RadioItems->button(3)->click();
        diagram.Chart1MouseMove(At(diagram.Chart1, 0.5, 0.5));
        Save(&diagram, QStringLiteral("diagram_times_sector3"));
        diagram.CheckBox3->click();
        diagram.CheckBox2->click();
        diagram.SetSessionVisible(ids[1], 0);
        Save(&diagram, QStringLiteral("diagram_laps_one_session"));
    }

    // Three hundred ticked sessions: the lap time diagram (laps and sectors,
    // laps only, sectors only) and the whole-session chart over them.
    {
        std::vector<int> many;
        for (int batch = 0; batch < 30; ++batch) {
            std::vector<kromsim::SessionOptions> sessions;
            for (int k = 0; k < 10; ++k) {
                kromsim::SessionOptions o = simsessions::Session(2 + k % 3, 2, uint32_t(1000 + batch * 10 + k));
                o.outLap = 0.1;
                o.inLap = 0.1;
                // One a day from April 2024 on, so that no two share an end.
                o.end = QDateTime(QDate(2024, 4, 1).addDays(batch * 10 + k), QTime(15, 30));
                sessions.push_back(o);
            }
            for (int id : simsessions::ImportSessions(sessions))
                many.push_back(id);
        }
        std::fprintf(stderr, "%zu sessions imported\n", many.size());
        Choose(many);
        DiagramOverPanel shown(QSize(1600, 800));
        TFPanelSesji& panel = shown.panel;
        TfwykresCzasy& diagram = shown.diagram;
        diagram.CheckBox4->click();  // no marks: 300 sessions leave no room for them
        Save(&diagram, QStringLiteral("diagram_300_all"));
        diagram.CheckBox2->click();
        Save(&diagram, QStringLiteral("diagram_300_laps"));
        diagram.CheckBox2->click();
        diagram.CheckBox1->click();
        Save(&diagram, QStringLiteral("diagram_300_sectors"));
        diagram.CheckBox1->click();
        diagram.CheckBox4->click();
        diagram.Chart1->ZoomToView({{0.5, 3.5}, {diagram.Chart1->LeftAxis().Minimum(), diagram.Chart1->LeftAxis().Maximum()},
                                    false, false});
        Save(&diagram, QStringLiteral("diagram_300_zoomed"));

        Tfwykrescale whole(shown.session);
        whole.resize(1600, 800);
        whole.show();
        whole.LoadChart();
        whole.HighlightSession(many[150]);
        panel.Tree().memdane.SetRecNo(panel.Tree().memdane.Find(QStringLiteral("id_naglowka"), {many[150]}));
        Save(&whole, QStringLiteral("whole_300"));
        Choose(ids);
    }

    // The Sessions chart with its lines and a read-out.
    {
        TFWykres sessions(session);
        sessions.resize(1400, 800);
        sessions.show();
        sessions.LoadChart();
        sessions.CheckBox1->click();
        sessions.CheckBox2->click();
        Save(&sessions, QStringLiteral("sessions_whole"));
        const QRect plot = sessions.Chart1->PlotRect();
        sessions.Chart1->ZoomToRect(QRect(QPoint(plot.left() + plot.width() / 5, plot.top()),
                                          QPoint(plot.left() + plot.width() * 2 / 5, plot.bottom())));
        sessions.Chart1MouseMove(At(sessions.Chart1, 0.55, 0.5));
        Save(&sessions, QStringLiteral("sessions_zoomed"));
    }

    // The lap comparison with the second session's third lap selected.
    {
        Tfwykreslaptolap laps(session);
        laps.resize(1400, 800);
        laps.show();
        laps.LoadChart();
        laps.Tree.memdane.SetRecNo(9);
        laps.Button2Click();
        laps.Chart1MouseMove(At(laps.Chart1, 0.4, 0.5));
        Save(&laps, QStringLiteral("laptolap"));
        if (laps.GpsView().View())
            Save(laps.GpsView().View(), QStringLiteral("laptolap_gps"));
    }

    // The two maximised windows inside the main window.
    {
        SetProgramFolder(db.Folder());
        platform::testing::SetScripted(true);
        IniFile(db.Folder() + QString::fromLatin1(ConfigFileName))
            .WriteString(QStringLiteral("Parametry"), QStringLiteral("AliasBazy"), db.Path());
        ConfigFile(db.Folder() + QString::fromLatin1(ConfigFileName)).SetLastUpdateDay(TodayDayNumber());
        TForm1 form{QStringList{}};
        Form1 = &form;
        platform::testing::OnModal(QStringLiteral("Tfsplashscreen"), [](QDialog& d) { d.close(); });
        form.resize(1400, 860);
        form.show();
        form.Timer1->stop();
        QCoreApplication::processEvents();
        platform::testing::ClearModalHandlers();
        form.SetTab(3);
        ShowSessionChart(session);
        Save(&form, QStringLiteral("main_sessions"));
        form.MDISubWindow(QStringLiteral("TFWykres"))->close();
        ShowLapComparison(session);
        Save(&form, QStringLiteral("main_laptolap"));
        Form1 = nullptr;
    }
    return 0;
}
