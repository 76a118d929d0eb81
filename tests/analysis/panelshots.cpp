// Screenshots of the session panel in the main window over simulated
// sessions imported into a fresh database, for judging its look:
//   xvfb-run -a -s "-screen 0 1600x1000x24" analysis_panelshots [folder]   (default /tmp/shots)
// Reaches the panel as a user does (Template, range dialog, Template
// chooser) and writes panel_template.png, panel_main.png, panel_405.png,
// panel_360.png.
#include <QCheckBox>
#include <QDialog>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QTimer>

#include <cstdio>

#include "analysis/analysis.h"
#include "analysis/upanelsesji.h"
#include "analysis/utemplate.h"
#include "analysis/uwyborZakresu.h"
#include "controls/ButtonComps.h"
#include "controls/MathCtrl.h"
#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "kromsim.h"
#include "platform/application.h"
#include "platform/dbgrid.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "platform/tdatetime.h"
#include "shell/common/stale.h"
#include "shell/config.h"
#include "shell/projectrecord.h"
#include "shell/umain.h"
#include "support/shots.h"
#include "panel_road.h"
#include "support/testdb.h"

namespace {

QString g_folder;

void Save(QWidget* w, const QString& name)
{
    SaveShot(*w, g_folder + QStringLiteral("/panel_") + name + QStringLiteral(".png"));
}

}  // namespace

int main(int argc, char** argv)
{
    PitrovaApplication app(argc, argv);
    ApplyDarkTheme(app);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/shots");
    QDir().mkpath(g_folder);
    platform::testing::SetScripted(true);

    TestDatabase db;
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO) values (1, 'Ada', 'Nowak')"));
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO) values (2, 'Piotr', 'Zieliński')"));

    // Simulated sessions, imported as the intake does it.
    for (const kromsim::DumpOptions& opts : kromsim::StandardDumps(3, 77))
        kromsim::WriteDumpFile(db.Folder(), opts);
    BuildSessionList(db.Folder(), [](const QString&) {});
    ImportCallbacks cb;
    int n = 0;
    cb.confirmHeader = [&](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                           FbTransaction& session) {
        d = 1 + (n++ % 2);
        t = 1;
        return InsertHeader(serial, h, d, t, nullptr, &session);
    };
    cb.message = [](const QString&) {};
    ImportSessions(db.Folder(), cb);

    AnalysisSession& analysis = panelroad::ShowMainWindowOnAnalysis(db, 1500, 950);
    // Every session ticked in the Template chooser.
    panelroad::OpenPanelThroughTemplate([](TfTemplate& chooser) {
        const int c = chooser.memdane.FieldIndex(QStringLiteral("wybrane"));
        for (int r = 0; r < chooser.memdane.RecordCount(); ++r)
            chooser.memdane.SetBoolAt(r, c, true);
        Save(&chooser, QStringLiteral("template"));
    });
    if (!FPanelSesji) {
        std::fprintf(stderr, "the Template road opened no session panel\n");
        return 1;
    }
    TFPanelSesji& panel = *FPanelSesji;
    // A lap row selected, one lap unticked, Temp ticked too.
    panel.LocateLp(3);
    panel.Tree().memdane.SetIntAt(panel.Tree().memdane.Find(QStringLiteral("lp"), {6}), panel.Tree().memdane.FieldIndex(QStringLiteral("wybrany")), 0);
    panel.CheckBoxes[1]->click();
    panel.IntEdit1->SetValue(120);
    Save(Form1, QStringLiteral("main"));
    Save(&panel, QStringLiteral("405"));

    panel.SpeedButton3Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EnsureSessionPanel(analysis);
    FPanelSesji->RxDBGrid1->setFocus();
    Save(FPanelSesji, QStringLiteral("360"));

    delete Form1;
    Form1 = nullptr;
    return 0;
}
