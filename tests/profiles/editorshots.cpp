// Screenshots of the driver, track and vehicle profile editors filled in,
// for judging their look:
//   xvfb-run -a -s "-screen 0 1600x1000x24" profiles_editorshots [folder]   (default /tmp/shots)
// Writes profiles_driver.png, profiles_track.png, profiles_vehicle.png and
// profiles_session_setup.png.
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "controls/EDBImage.h"
#include "controls/MathCtrl.h"
#include "platform/jpegio.h"
#include "profiles/driverstore.h"
#include "profiles/ukierowca.h"
#include "profiles/unowycarSet.h"
#include "profiles/utor.h"
#include "shell/common/stale.h"
#include "standin_pictures.h"
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
        WriteBytes(jpg, EncodeJpeg(DriverPortrait(QColor(0xe8, 0x5d, 0x12), QColor(0x3c, 0x50, 0x6e)), 90));
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
        f.Image1->SetPicture(TrackFromAbove(0));
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
