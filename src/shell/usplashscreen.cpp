#include "shell/usplashscreen.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include "controls/artwork.h"
#include "platform/dialogs.h"
#include "shell/version.h"

namespace {
constexpr int kWidth = 568;
constexpr int kHeight = 328;
}  // namespace

Tfsplashscreen::Tfsplashscreen(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("fsplashscreen"));
    setFixedSize(kWidth, kHeight);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kWidth, kHeight);
    Image1->setPixmap(artwork::Art(artwork::ArtId::Splash));
    Image1->setScaledContents(true);

    // A small label without a background of its own, over the picture's
    // plain lower right corner.
    Label1 = new QLabel(QStringLiteral("v ") + VersionText(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette pal = Label1->palette();
    pal.setColor(QPalette::WindowText, QColor(0x9a, 0xa0, 0xa8));
    Label1->setPalette(pal);
    QFont font = Label1->font();
    font.setPixelSize(11);
    Label1->setFont(font);
    Label1->adjustSize();
    Label1->move(kWidth - Label1->width() - 10, kHeight - Label1->height() - 8);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(3000);
    connect(Timer1, &QTimer::timeout, this, &Tfsplashscreen::Timer1Timer);

    platform::CentreOnScreen(*this);
}

void Tfsplashscreen::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Timer1->start();
}

void Tfsplashscreen::Timer1Timer()
{
    Timer1->stop();
    close();
}

void Tfsplashscreen::mousePressEvent(QMouseEvent* event)
{
    // The picture passes its clicks on to the window.
    if (event->button() == Qt::LeftButton) {
        Timer1->stop();
        close();
        return;
    }
    QDialog::mousePressEvent(event);
}

void ShowSplash()
{
    Tfsplashscreen splash;
    platform::ExecModal(splash);
}
