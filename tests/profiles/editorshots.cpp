// Screenshots of the driver, track and vehicle profile editors filled in,
// for judging their look:
//   xvfb-run -a -s "-screen 0 1600x1000x24" profiles_editorshots [folder]   (default /tmp/shots)
// Writes profiles_driver.png, profiles_track.png, profiles_vehicle.png and
// profiles_session_setup.png.
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>

#include "controls/EDBImage.h"
#include "controls/MathCtrl.h"
#include "platform/jpegio.h"
#include "profiles/driverstore.h"
#include "profiles/ukierowca.h"
#include "profiles/unowycarSet.h"
#include "profiles/utor.h"
#include "shell/common/stale.h"
#include "support/shots.h"
#include "support/testdb.h"

namespace {

const ShotsRun* g_run = nullptr;

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

void Shoot(QDialog& d, const QString& name)
{
    d.show();
    SaveShot(d, g_run->File(name));
    d.hide();
}

// A stand-in photo: a kart driver's helmet on a pit-lane background.
QImage DriverPhoto()
{
    QImage image(300, 400, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 400);
    sky.setColorAt(0, QColor(0x5c, 0x7f, 0xa8));
    sky.setColorAt(1, QColor(0x23, 0x2b, 0x36));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1d, 0x1f, 0x24));
    p.drawRoundedRect(QRectF(55, 250, 190, 170), 60, 60);  // shoulders
    p.setBrush(QColor(0xe8, 0x5d, 0x12));
    p.drawEllipse(QRectF(80, 90, 140, 170));  // helmet
    p.setBrush(QColor(0x15, 0x18, 0x1e));
    p.drawRoundedRect(QRectF(92, 150, 116, 46), 20, 20);  // visor
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawEllipse(QRectF(110, 156, 50, 14));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(145, 92, 10, 58));  // stripe
    return image;
}

// A stand-in track photo: a circuit seen from above.
QImage TrackPicture()
{
    QImage image(400, 300, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(image.rect(), QColor(0x3f, 0x6b, 0x35));
    QPainterPath path;
    path.moveTo(60, 220);
    path.cubicTo(40, 80, 160, 40, 220, 100);
    path.cubicTo(260, 140, 300, 40, 350, 90);
    path.cubicTo(390, 140, 330, 260, 240, 240);
    path.cubicTo(160, 220, 120, 260, 60, 220);
    p.setPen(QPen(QColor(0xd8, 0x2a, 0x1f), 30, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(QColor(0x4a, 0x4c, 0x50), 24, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(Qt::white, 4));
    p.drawLine(QPointF(48, 196), QPointF(76, 190));
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    const ShotsRun run(argc, argv);
    g_run = &run;
    TestDatabase db;
    const QString folder = db.Folder();
    SetProgramFolder(folder);

    {
        const QString jpg = folder + "driver.jpg";
        WriteBytes(jpg, EncodeJpeg(DriverPhoto(), 90));
        Tfkierowca f;
        f.Image1->SetPicture(LoadDriverPictureFile(jpg));
        f.Edit1->setText("Kowalczyk");
        f.Edit2->setText("Marta");
        f.Edit3->setText("Turbo");
        f.IntEdit1->SetValue(168);
        f.FloatEdit1->SetValue(58.4);
        f.FloatEdit2->SetValue(1.5);
        f.Edit4->setText("10234");
        f.Edit5->setText("10871");
        f.Memo1->setPlainText("Rotax Senior, second season.\nPrefers a stiff rear axle in the wet.");
        Shoot(f, "profiles_driver.png");
    }
    {
        TfTor f;
        f.Image1->SetPicture(TrackPicture());
        f.Edit1->setText("Tor Kartingowy Radom");
        f.FloatEdit1->SetValue(1050);
        f.IntEdit1->SetValue(2);
        f.IntEdit2->SetValue(0);
        f.IntEdit3->SetValue(120);
        f.Edit2->setText("0:47.85");
        f.Edit3->setText("J. Nowak");
        f.Edit4->setText("www.kartingradom.pl");
        f.Edit5->setText("+48 48 000 00 00");
        f.Memo1->setPlainText("Technical layout with a long back straight; the hairpin after the bridge is "
                              "the best place to overtake.");
        Shoot(f, "profiles_track.png");
    }
    {
        TfnowycarSet f;
        f.Edit1->setText("Tony Kart Racer 401 - dry, warm");
        SetupValues v{};
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = static_cast<int>((i * 37 + 11) % 140);
        f.SetValues(v);
        Shoot(f, "profiles_vehicle.png");
        f.ShowSession(-1);
        f.setWindowTitle("Vehicle profile");
        Shoot(f, "profiles_session_setup.png");
    }
    SetProgramFolder(QString());
    return 0;
}
