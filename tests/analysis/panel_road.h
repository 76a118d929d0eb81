#pragma once
// The screenshot tools' road to the session panel, as a user takes it: the
// main window on the Analysis tab over a test database, then Template, the
// range dialog (a range holding every session), the Template chooser, OK.
#include <QDate>
#include <QDateEdit>
#include <QDialog>

#include <functional>

#include "analysis/analysis.h"
#include "analysis/upanelsesji.h"
#include "analysis/utemplate.h"
#include "analysis/uwyborZakresu.h"
#include "controls/ButtonComps.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "shell/config.h"
#include "shell/projectrecord.h"
#include "shell/umain.h"
#include "support/testdb.h"

namespace panelroad {

// Creates Form1 (the caller deletes it) on a new project, shown at the
// given size with the Analysis tab up; the database is the program's.  The
// analysis session of the main window.
inline AnalysisSession& ShowMainWindowOnAnalysis(TestDatabase& db, int width, int height)
{
    SetProgramFolder(db.Folder());
    ConfigFile(db.Folder() + QString::fromLatin1(ConfigFileName)).SetLastUpdateDay(TodayDayNumber());
    IniFile(db.Folder() + QString::fromLatin1(ConfigFileName))
        .WriteString(QStringLiteral("Parametry"), QStringLiteral("AliasBazy"), db.Path());
    Project() = ProjectRecord();
    Project().ResetForNewProject();
    Form1 = new TForm1(QStringList{});
    AnalysisSession& session = InstallAnalysis(Form1->Analysis, *Form1);
    platform::testing::OnModal(QStringLiteral("Tfsplashscreen"), [](QDialog& d) { d.close(); });
    Form1->resize(width, height);
    Form1->show();
    Form1->Timer1->stop();
    QCoreApplication::processEvents();
    Form1->SetTab(3);
    return session;
}

// Template with every stored session in the range; tick marks the sessions
// to open in the chooser (and may take its picture) before OK.  The panel
// opened, or null.
inline TFPanelSesji* OpenPanelThroughTemplate(const std::function<void(TfTemplate&)>& tick)
{
    platform::testing::OnModal(QStringLiteral("TfWyborZakresu"), [](QDialog& d) {
        auto& range = static_cast<TfWyborZakresu&>(d);
        range.DateEdit1->setDate(QDate(2000, 1, 1));
        range.DateEdit2->setDate(QDate(2099, 12, 31));
        emit range.SpeedButton1->clicked();
    });
    platform::testing::OnModal(QStringLiteral("TfTemplate"), [tick](QDialog& d) {
        auto& chooser = static_cast<TfTemplate&>(d);
        tick(chooser);
        emit chooser.SpeedButton1->clicked();
    });
    Form1->Image9Click();
    return FPanelSesji;
}

}  // namespace panelroad
