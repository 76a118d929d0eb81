// Screenshots of the catalogue choosers and list windows with a few rows
// and photos, for judging their look:
//   xvfb-run -a -s "-screen 0 1600x1000x24" profiles_listshots [folder]   (default /tmp/shots)
// Writes lists_<window>_<cards|table>.png.
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainterPath>
#include <QTimer>

#include <cstdio>

#include "catalogue_support.h"
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

QByteArray Encode(const QImage& img, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format);
    return bytes;
}

// A driver portrait: a helmet with a visor on a coloured background.
QByteArray Portrait(QColor helmet, QColor back)
{
    QImage img(200, 200, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 200);
    g.setColorAt(0, back.lighter(130));
    g.setColorAt(1, back.darker(180));
    p.fillRect(img.rect(), g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 34));
    p.drawRoundedRect(QRectF(40, 150, 120, 60), 30, 30);  // shoulders
    QRadialGradient hg(QPointF(85, 70), 90);
    hg.setColorAt(0, helmet.lighter(150));
    hg.setColorAt(1, helmet.darker(150));
    p.setBrush(hg);
    p.drawEllipse(QRectF(45, 30, 110, 120));
    p.setBrush(QColor(20, 24, 30));
    QPainterPath visor;
    visor.addRoundedRect(QRectF(58, 72, 92, 34), 16, 16);
    p.drawPath(visor);
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRoundedRect(QRectF(66, 76, 40, 8), 4, 4);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(97, 36, 8, 36));
    return Encode(img, "BMP");
}

// A track seen from above: a closed ribbon of tarmac with kerbs on grass.
QByteArray TrackPhoto(int variant)
{
    QImage img(480, 320, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 480, 320);
    g.setColorAt(0, QColor(62, 110, 48));
    g.setColorAt(1, QColor(40, 84, 36));
    p.fillRect(img.rect(), g);
    QPainterPath path;
    const double k = 1.0 + 0.15 * variant;
    path.moveTo(80, 240);
    path.cubicTo(20, 120, 120 * k, 40, 220, 80);
    path.cubicTo(300, 110, 330, 30, 410, 70);
    path.cubicTo(470, 110, 430, 200, 360, 210);
    path.cubicTo(280, 220, 300 - 30 * variant, 290, 200, 285);
    path.cubicTo(140, 282, 120, 270, 80, 240);
    p.setPen(QPen(QColor(200, 30, 30), 30, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(QColor(240, 240, 240), 30, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(QColor(70, 72, 76), 24, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1.5, Qt::DashLine));
    p.drawPath(path);
    p.fillRect(QRectF(70, 228, 26, 6), Qt::white);
    return Encode(img, "JPG");
}

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
