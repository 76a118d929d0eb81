// "Send data" window.
#include "intake/uwgrajobrazek.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

#include "intake/keyupload.h"
#include "platform/dialogs.h"
#include "platform/usb.h"
#include "shell/common/upokazobrazek.h"

TfWgrajObrazek::TfWgrajObrazek(QWidget* parent) : QDialog(parent, platform::ToolWindowFlags())
{
    setWindowTitle(QStringLiteral("Send data"));
    setFixedSize(392, 98);

    Button1 = new QPushButton(QStringLiteral("Screensaver"), this);
    Button1->setGeometry(8, 16, 120, 33);
    Button2 = new QPushButton(QStringLiteral("Splashscreen"), this);
    Button2->setGeometry(136, 16, 120, 33);
    Button3 = new QPushButton(QStringLiteral("All graphics"), this);
    Button3->setGeometry(264, 16, 120, 33);
    for (QPushButton* b : {Button1, Button2, Button3})
        b->setAutoDefault(false);

    Gauge1 = new QProgressBar(this);
    Gauge1->setGeometry(0, 98 - 24, 392, 24);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);

    connect(Button1, &QPushButton::clicked, this, &TfWgrajObrazek::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfWgrajObrazek::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfWgrajObrazek::Button3Click);

    platform::CentreOnScreen(*this);
}

UploadCallbacks TfWgrajObrazek::Callbacks()
{
    UploadCallbacks callbacks;
    callbacks.showMessage = [](const QString& text) { platform::ShowMessage(text); };
    callbacks.showError = [](const QString& text) { platform::ShowErrorBox(text); };
    callbacks.setProgressMaximum = [this](int maximum) { Gauge1->setMaximum(maximum); };
    callbacks.setProgress = [this](int position) {
        Gauge1->setValue(std::min(position, Gauge1->maximum()));
    };
    callbacks.processEvents = [] { QCoreApplication::processEvents(); };
    callbacks.chooseConfigurationFile = [this] {
        return platform::OpenFileName(this, QStringLiteral("KROM config|*.kcf"), {},
                                      QStringLiteral("kcf"));
    };
    return callbacks;
}

// While a transfer runs the window's own events are still processed: the
// buttons and the close box stay out of use so that no second transfer
// starts in the middle of one.
void TfWgrajObrazek::SetBusy(bool busy)
{
    busy_ = busy;
    for (QPushButton* b : {Button1, Button2, Button3})
        b->setEnabled(!busy);
}

TfWgrajObrazek::BusyScope::BusyScope(TfWgrajObrazek& window) : window_(window)
{
    window_.SetBusy(true);
}

TfWgrajObrazek::BusyScope::~BusyScope()
{
    window_.SetBusy(false);
}

void TfWgrajObrazek::reject()
{
    if (busy_)
        return;
    QDialog::reject();
}

void TfWgrajObrazek::SendPicture(int slot)
{
    const QString file =
        platform::OpenFileName(this, QStringLiteral("*.bmp"), {}, QStringLiteral("bmp"));
    if (file.isEmpty())
        return;
    FileName = file;
    const BusyScope busy(*this);
    const UploadCallbacks callbacks = Callbacks();
    // ShowPicture raises the load error of a file it cannot show.
    if (MakeKeyImageFile(FileName, callbacks) && ShowPicture(FileName))
        UploadImage(platform::Usb(), KeyImageFilePath(FileName), slot, callbacks);
}

void TfWgrajObrazek::Button1Click()
{
    SendPicture(0);
}

void TfWgrajObrazek::Button2Click()
{
    SendPicture(1);
}

void TfWgrajObrazek::Button3Click()
{
    const BusyScope busy(*this);
    UploadConfiguration(platform::Usb(), Callbacks());
}

void ShowSendData()
{
    TfWgrajObrazek window;
    platform::ExecModal(window);
}
