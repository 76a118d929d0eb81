// "KROM reader" window.
#include "intake/uodczytkrom.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>

#include "intake/keydownload.h"
#include "intake/sessionlist.h"
#include "platform/dialogs.h"
#include "platform/usb.h"
#include "shell/common/stale.h"

Tfczytajkrom::Tfczytajkrom(QWidget* parent, const QString& folder)
    : QDialog(parent, platform::ToolWindowFlags()),
      folder_(folder.isEmpty() ? ProgramFolder() : folder)
{
    setWindowTitle(QStringLiteral("KROM reader"));
    setFixedSize(386, 52);

    Label1 = new QLabel(QStringLiteral("..."), this);
    Label1->setGeometry(8, 6, 370, 16);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(8, 26, 370, 18);
    ProgressBar1->setRange(0, kDownloadProgressMaximum);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &Tfczytajkrom::Timer1Timer);

    platform::CentreOnScreen(*this);
}

void Tfczytajkrom::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tfczytajkrom::FormShow()
{
    Timer1->start();
}

void Tfczytajkrom::reject()
{
    // The download runs inside the window's own event handling; closing
    // the window under it would leave the key half read.
    if (busy_)
        return;
    QDialog::reject();
}

void Tfczytajkrom::Timer1Timer()
{
    Timer1->stop();
    if (busy_)
        return;
    busy_ = true;
    DownloadCallbacks callbacks;
    callbacks.setLabel = [this](const QString& text) { Label1->setText(text); };
    callbacks.setProgress = [this](int position) {
        ProgressBar1->setValue(std::min(position, ProgressBar1->maximum()));
    };
    callbacks.showMessage = [](const QString& text) { platform::ShowMessage(text); };
    callbacks.showError = [](const QString& text) { platform::ShowErrorBox(text); };
    callbacks.processEvents = [] { QCoreApplication::processEvents(); };
    written_.clear();
    kept_.clear();
    const DownloadOutcome outcome =
        DownloadFromKeys(platform::Usb(), folder_, callbacks, &ListBox1, &written_, &kept_);
    complete_ = outcome == DownloadOutcome::Finished;
    done_ = true;
    busy_ = false;
    // The messages were shown as the keys failed; nothing is left for the
    // window to do, also after a failure.
    accept();
}

KeyReadResult ShowKeyReader()
{
    Tfczytajkrom reader;
    platform::ExecModal(reader);
    if (!reader.DownloadDone())
        return {false, {}, DumpFileNames(IncludeBackslash(ProgramFolder()))};
    return {reader.ReadCompletely(), reader.WrittenFiles(), reader.KeptFiles()};
}
