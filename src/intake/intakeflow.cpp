// The intake flow of the main window: download, session list, check list,
// import.
#include "intake/intakeflow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <exception>

#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "intake/ulistazodczytu.h"
#include "intake/unaglowekRejestracji.h"
#include "intake/uodczytkrom.h"
#include "platform/dialogs.h"
#include "shell/common/stale.h"

namespace {

// Shown while one session's samples are written: the records read so far of
// the number the header leads to expect.  Application-modal, so that the
// pending events processed between records cannot start anything else.
class ImportProgressWindow : public QWidget {
public:
    ImportProgressWindow() : QWidget(nullptr, platform::ToolWindowFlags())
    {
        setObjectName(QStringLiteral("ImportProgress"));
        setWindowTitle(QStringLiteral("Reading sessions"));
        setWindowModality(Qt::ApplicationModal);
        setFixedSize(340, 60);
        label_ = new QLabel(this);
        label_->setGeometry(10, 6, 320, 18);
        bar_ = new QProgressBar(this);
        bar_->setGeometry(10, 30, 320, 18);
        bar_->setTextVisible(false);
    }

    void Begin()
    {
        Update(0, 1);
        platform::CentreOnScreen(*this);
        show();
        raise();
    }

    void Update(int done, int expected)
    {
        const int maximum = std::max({expected, done, 1});
        bar_->setRange(0, maximum);
        bar_->setValue(done);
        label_->setText(QStringLiteral("Records read: %1 of about %2").arg(done).arg(maximum));
    }

    void End() { hide(); }

protected:
    // The import decides when the window goes.
    void closeEvent(QCloseEvent* event) override { event->ignore(); }

private:
    QLabel* label_;
    QProgressBar* bar_;
};

// The hourglass and the progress window while a session is written; undone
// also when an error ends the import early.
class BusyIndicator {
public:
    ~BusyIndicator() { Set(false); }

    void Set(bool on)
    {
        if (on == busy_)
            return;
        busy_ = on;
        if (on) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            window_.Begin();
            sinceEvents_.invalidate();
        } else {
            window_.End();
            QApplication::restoreOverrideCursor();
        }
    }

    // Called after every record; the window is updated and pending events
    // processed at most every kEventIntervalMs, which keeps it painted and
    // current without costing the import more than its rows do.
    void Progress(int done, int expected)
    {
        if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventIntervalMs)
            return;
        window_.Update(done, expected);
        QCoreApplication::processEvents();
        sinceEvents_.start();
    }

private:
    static constexpr qint64 kEventIntervalMs = 20;
    ImportProgressWindow window_;
    QElapsedTimer sinceEvents_;
    bool busy_ = false;
};

// Steps common to both roads: list the sessions of the program folder's dump
// files, let the user tick them, import the ticked ones.
void ListAndImport()
{
    const QString folder = ProgramFolder();
    BuildSessionList(folder, [](const QString& text) { platform::ShowMessage(text); });
    if (!ChooseSessionsToRead())
        return;

    BusyIndicator busy;
    ImportCallbacks callbacks;
    callbacks.confirmHeader = [](const QString& serial, const SessionHeaderRecord& header, int& driverId,
                                 int& trackId, FbTransaction& session) {
        return ConfirmSessionHeader(serial, header, driverId, trackId, &session);
    };
    callbacks.message = [](const QString& text) { platform::ShowMessage(text); };
    callbacks.progress = [&busy](int done, int expected) { busy.Progress(done, expected); };
    callbacks.busy = [&busy](bool on) { busy.Set(on); };
    ImportSessions(folder, callbacks);
}

// A database or file error outside the import's own handling ends the
// intake with the error's own text.
void RunGuarded(void (*work)())
{
    try {
        work();
    } catch (const std::exception& e) {
        platform::ShowErrorBox(QString::fromUtf8(e.what()));
    }
}

}  // namespace

void ReadDataFromKey(QTimer* presenceTimer)
{
    AcceptAllHeaders = false;
    QPointer<QTimer> timer(presenceTimer);
    if (timer)
        timer->stop();

    RunGuarded([] {
        // The dump files of the previous intake go, except the earlier
        // files of a key that could not be read (no session on disk is
        // lost); stale files of loggers on no attached key go too, so the
        // list offers only what the keys hold.
        const QString folder = IncludeBackslash(ProgramFolder());
        const QStringList old = DumpFileNames(folder);
        const KeyReadResult read = ShowKeyReader();
        for (const QString& name : old)
            if (!read.written.contains(name) && !read.kept.contains(name))
                QFile::remove(folder + name);
        ListAndImport();
    });

    if (timer)
        timer->start();
}

void ReadFromFiles()
{
    RunGuarded(ListAndImport);
}
