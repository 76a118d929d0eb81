// Screenshots of the catalogue choosers and list windows with a few rows
// and photos, for judging their look:
//   xvfb-run -a -s "-screen 0 1600x1000x24" profiles_listshots [folder]   (default /tmp/shots)
// Writes lists_<window>_<cards|table>.png.
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include <cstdio>

#include "catalogue_support.h"
#include "standin_pictures.h"
#include "platform/application.h"
#include "profiles/ulistaPojazdowMDI.h"
#include "profiles/ulistakierMDI.h"
#include "profiles/ulistakierowcow.h"
#include "profiles/ulistapojazdow.h"
#include "profiles/ulistatorow.h"
#include "profiles/ulistatorowMDI.h"

using namespace catalogue_test;

#include "support/shots.h"

namespace {

const ShotsRun* g_run = nullptr;

void Save(QWidget* w, const QString& name)
{
    SaveShot(*w, g_run->File(QStringLiteral("lists_") + name + QStringLiteral(".png")));
}

QByteArray Portrait(QColor helmet, QColor back) { return Encoded(DriverPortrait(helmet, back), "BMP"); }

QByteArray TrackPhoto(int variant) { return Encoded(TrackFromAbove(variant), "JPG"); }

void Seed()
{
    AddDriver(1, QStringLiteral("Jan"), QStringLiteral("Kowalski"), Portrait(QColor(220, 60, 30), QColor(40, 60, 90)));
    AddDriver(2, QStringLiteral("Anna"), QStringLiteral("Adamska"), Portrait(QColor(240, 200, 40), QColor(70, 40, 70)));
    AddDriver(3, QStringLiteral("Piotr"), QStringLiteral("Zielinski"));
    AddDriver(4, QStringLiteral("Marta"), QStringLiteral("Nowak"), Portrait(QColor(40, 140, 220), QColor(50, 70, 50)));
    AddDriver(5, QStringLiteral("Tomasz"), QStringLiteral("Wisniewski"),
              Portrait(QColor(230, 230, 230), QColor(90, 50, 30)));
    AddTrack(100000, QStringLiteral("Tor Bydgoszcz"), QStringLiteral("www.torbydgoszcz.pl"), TrackPhoto(0));
    AddTrack(100001, QStringLiteral("Autodrom Poznan"), QStringLiteral("http://autodrom.example"), TrackPhoto(1));
    AddTrack(100002, QStringLiteral("Kartodrom Lublin"));
    AddTrack(100003, QStringLiteral("Silesia Ring"), QStringLiteral("www.silesiaring.example"), TrackPhoto(2));
    AddProfile(1, QStringLiteral("Dry, medium grip"));
    AddProfile(2, QStringLiteral("Wet setup"));
    AddProfile(3, QStringLiteral("Bydgoszcz 2023 race"));
    AddProfile(4, QStringLiteral("Cold morning"));
}

void ListWindow(QMdiArea& area, const std::function<void()>& show, const std::function<CatalogueListWindow*()>& w,
                const QString& name)
{
    show();
    CatalogueListWindow* window = w();
    if (window->DBCtrlGrid1()) {
        window->SetViewMode(0);
        Save(&area, name + QStringLiteral("_cards"));
        window->SetViewMode(1);
    }
    window->RxDBGrid1()->selectRow(1);
    Save(&area, name + QStringLiteral("_table"));
    area.closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <typename Window>
void Chooser(const char* className, const QString& name, bool multi, const std::function<int()>& choose)
{
    platform::testing::OnModal(QString::fromLatin1(className), [name, multi](QDialog& d) {
        auto& w = static_cast<Window&>(d);
        if (multi) {
            // Two rows ticked, the second one last.
            w.IBQuery1()->SetCurrentRow(0);
            w.TickClick();
            w.IBQuery1()->SetCurrentRow(2);
            w.TickClick();
        }
        w.IBQuery1()->SetCurrentRow(1);
        if (w.DBCtrlGrid1()) {
            w.SetViewMode(0);
            Save(&w, name + QStringLiteral("_cards"));
            w.SetViewMode(1);
        }
        Save(&w, name + QStringLiteral("_table"));
        d.reject();
    });
    choose();
}

}  // namespace

int main(int argc, char** argv)
{
    const ShotsRun run(argc, argv);
    g_run = &run;
    TestDatabase db;
    Seed();

    QMdiArea area;
    area.setBackground(QColor(12, 12, 13));
    area.resize(1400, 760);
    area.show();
    catalogue::SetMdiArea(&area);

    ListWindow(area, ShowDriversWindow, [] { return FlistaKierowcowMDI; }, QStringLiteral("drivers"));
    ListWindow(area, ShowTracksWindow, [] { return flistatorowmdi; }, QStringLiteral("tracks"));
    ListWindow(area, ShowVehicleProfilesWindow, [] { return flistaPojazdowMDI; }, QStringLiteral("vehicles"));
    catalogue::SetMdiArea(nullptr);

    Chooser<Tflistakierowcow>("Tflistakierowcow", QStringLiteral("driverchooser"), true,
                              [] { return ChooseDriver(true); });
    Chooser<TfListaTorow>("TfListaTorow", QStringLiteral("trackchooser"), false, [] { return ChooseTrack(false); });
    Chooser<TflistaPojazdow>("TflistaPojazdow", QStringLiteral("vehiclechooser"), false,
                             [] { return ChooseVehicle(); });
    return 0;
}
