// Takes screenshots of the shell's windows as the user sees them: the main
// window on each of its four tabs (the Communication tab with and without a
// data key, once with "/D"), the splash window, the project chooser and the
// chart settings dialog.  Runs against a fresh database in a temporary
// program folder, with the dialog layer in scripted mode so that nothing
// waits for a user; each modal window is grabbed while it is shown.
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/tdatetime.h"
#include "platform/usb_simkey.h"
#include "shell/common/stale.h"
#include "shell/config.h"
#include "shell/data/dbcreate.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"
#include "shell/startup.h"
#include "shell/umain.h"
#include "shell/usplashscreen.h"
#include "shell/uustawieniawykresu.h"
#include "shell/uwyborprojektu.h"

namespace {

QString g_out;

void Save(QWidget& widget, const QString& name)
{
    QCoreApplication::processEvents();
    const QString path = g_out + QLatin1Char('/') + name + QStringLiteral(".png");
    if (widget.grab().save(path))
        std::printf("%s\n", qPrintable(path));
    else
        std::fprintf(stderr, "shots: cannot write %s\n", qPrintable(path));
}

void UseKey(bool present, const QString& folder)
{
    std::vector<platform::SimKey> keys;
    if (present)
        keys.push_back({(folder + QStringLiteral("key.img")).toStdString(), {}});
    platform::SetUsbBackend(std::make_unique<platform::SimKeyBackend>(std::move(keys)));
}

// A main window past its start-up, not yet prompting for a project.
std::unique_ptr<TForm1> ShownMainWindow(const QStringList& arguments)
{
    auto form = std::make_unique<TForm1>(arguments);
    Form1 = form.get();
    platform::testing::OnModal(QStringLiteral("Tfsplashscreen"), [](QDialog& d) { d.close(); });
    form->resize(1400, 860);
    form->show();
    form->Timer1->stop();
    QCoreApplication::processEvents();
    return form;
}

}  // namespace

int main(int argc, char** argv)
{
    EnsureFirebirdLockFolder();
    PitrovaApplication app(argc, argv);
    ApplyDarkTheme(app);
    g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/shots");
    QDir().mkpath(g_out);

    QTemporaryDir dir;
    const QString folder = IncludeBackslash(dir.path());
    SetProgramFolder(folder);
    QString error;
    if (!CreateDatabaseFile(folder + QStringLiteral("KROMDB.GDB"), &error)) {
        std::fprintf(stderr, "shots: %s\n", qPrintable(error));
        return 1;
    }
    ConfigFile(folder + QStringLiteral("ustawienia.ini")).SetLastUpdateDay(TodayDayNumber());
    QFile loader(folder + QString::fromLatin1(FirmwareLoaderFileName));
    if (loader.open(QIODevice::WriteOnly))
        loader.close();

    platform::testing::SetScripted(true);
    DM = new TDM;

    // Splash, grabbed as the start-up shows it.
    platform::testing::OnModal(QStringLiteral("Tfsplashscreen"), [](QDialog& d) {
        Save(d, QStringLiteral("splash"));
        d.close();
    });
    ShowSplash();

    Project().ResetForNewProject();
    Project().SetVGpsMax(120);
    Project().SetLapOverlayChartOn(0);

    {
        UseKey(false, folder);
        std::unique_ptr<TForm1> form = ShownMainWindow({});
        form->UpdateToggleImages();
        for (int tab = 1; tab <= 3; ++tab) {
            form->SetTab(tab);
            Save(*form, QStringLiteral("main-tab%1").arg(tab));
        }
        form->SetTab(4);
        Save(*form, QStringLiteral("main-tab4-nokey"));
        UseKey(true, folder);
        form->SetTab(4);
        Save(*form, QStringLiteral("main-tab4-key"));

        // Chooser and chart settings over the main window.
        platform::testing::OnModal(QStringLiteral("TFwyborProjektu"), [](QDialog& d) {
            Save(d, QStringLiteral("chooser"));
            static_cast<TFwyborProjektu&>(d).ImageButton3Click();
        });
        ChooseProject();
        platform::testing::OnModal(QStringLiteral("Tfustawieniawykresu"), [](QDialog& d) {
            Save(d, QStringLiteral("chartsettings"));
            d.reject();
        });
        ShowChartSettings();
        form->close();
    }
    {
        UseKey(false, folder);
        std::unique_ptr<TForm1> form = ShownMainWindow({QStringLiteral("/D")});
        form->SetTab(4);
        Save(*form, QStringLiteral("main-tab4-readfromfiles"));
        form->close();
    }

    Form1 = nullptr;
    delete DM;
    DM = nullptr;
    return 0;
}
