#include "platform/dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QQueue>
#include <QScreen>
#include <QTimer>

#include <exception>
#include <map>

namespace platform {

namespace {

const char* const kCaption = "Pitrova";

struct ScriptState {
    bool scripted = false;
    QQueue<Answer> answers;
    QQueue<QString> fileNames;
    QStringList messages;
    std::map<QString, std::function<void(QDialog&)>> handlers;
    QStringList unhandled;
    QStringList started;
    QStringList opened;
    QList<testing::FileDialogCall> fileDialogs;
    bool startSucceeds = true;
};

ScriptState& State()
{
    static ScriptState state;
    return state;
}

// Boxes are owned by the window the user works in, so they stay above it.
QWidget* BoxParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QString AskFileName(bool save, QWidget* parent, const QString& filter, const QString& initialFile,
                    const QString& defaultExt)
{
    ScriptState& st = State();
    if (st.scripted) {
        st.fileDialogs.append({save, filter, initialFile, defaultExt});
        const QString path = st.fileNames.isEmpty() ? QString() : st.fileNames.dequeue();
        return save ? WithDefaultExt(path, defaultExt) : path;
    }

    QFileDialog dialog(parent ? parent : BoxParent());
    // Qt's own dialog follows the program's palette; the save replaces an
    // existing file without asking, as the program's Save always did.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setWindowTitle(save ? QStringLiteral("Save As") : QStringLiteral("Open"));
    const QString qtFilter = QtFileFilter(filter);
    if (!qtFilter.isEmpty())
        dialog.setNameFilters(qtFilter.split(QStringLiteral(";;")));
    QString ext = defaultExt;
    while (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    if (!ext.isEmpty())
        dialog.setDefaultSuffix(ext);
    if (!initialFile.isEmpty()) {
        const QFileInfo info(initialFile);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return {};
    return save ? WithDefaultExt(files.first(), ext) : files.first();
}

void RecordUnhandled(const QString& entry) { State().unhandled.append(entry); }

}  // namespace

void ShowMessage(const QString& text)
{
    ScriptState& st = State();
    if (st.scripted) {
        st.messages.append(text);
        return;
    }
    QMessageBox box(QMessageBox::Information, QString::fromLatin1(kCaption), text, QMessageBox::Ok,
                    BoxParent());
    box.exec();
}

Answer AskYesNo(const QString& text)
{
    ScriptState& st = State();
    if (st.scripted) {
        st.messages.append(text);
        return st.answers.isEmpty() ? Answer::No : st.answers.dequeue();
    }
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kCaption), text,
                    QMessageBox::Yes | QMessageBox::No, BoxParent());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString OpenFileName(QWidget* parent, const QString& filter, const QString& initialFile,
                     const QString& defaultExt)
{
    return AskFileName(false, parent, filter, initialFile, defaultExt);
}

QString SaveFileName(QWidget* parent, const QString& filter, const QString& initialFile,
                     const QString& defaultExt)
{
    return AskFileName(true, parent, filter, initialFile, defaultExt);
}

QString QtFileFilter(const QString& filter)
{
    if (filter.trimmed().isEmpty())
        return {};
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QStringList patterns;
        if (i + 1 < parts.size()) {
            for (const QString& p : parts.at(i + 1).split(QLatin1Char(';'))) {
                const QString pattern = p.trimmed();
                if (!pattern.isEmpty())
                    patterns.append(pattern);
            }
        }
        if (description.isEmpty() && patterns.isEmpty())
            continue;
        // A lone "*.bmp" is its own pattern; a lone description shows all files.
        if (patterns.isEmpty() && (description.contains(QLatin1Char('*')) || description.contains(QLatin1Char('?')))) {
            for (const QString& p : description.split(QLatin1Char(';'))) {
                if (!p.trimmed().isEmpty())
                    patterns.append(p.trimmed());
            }
        }
        if (patterns.isEmpty())
            patterns.append(QStringLiteral("*"));
        const QString joined = patterns.join(QLatin1Char(' '));
        entries.append((description.isEmpty() ? joined : description) + QStringLiteral(" (") + joined +
                       QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

QString WithDefaultExt(const QString& path, const QString& defaultExt)
{
    QString ext = defaultExt;
    while (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    if (path.isEmpty() || ext.isEmpty())
        return path;
    // Only the file name counts: a dot in a folder name is no extension.
    if (QFileInfo(path).fileName().contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + ext;
}

void KeepOnlyChosenDefaults(QDialog& dialog)
{
    // A dialog shown without a default button makes its first push button
    // the default, and Enter in any edit then presses it.  Only a button the
    // dialog was given as its default answers Enter.
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (!button->isDefault())
            button->setAutoDefault(false);
    }
}

int ExecModal(QDialog& dialog)
{
    KeepOnlyChosenDefaults(dialog);
    ScriptState& st = State();
    if (!st.scripted)
        return dialog.exec();

    const QString className = QString::fromLatin1(dialog.metaObject()->className());
    std::function<void(QDialog&)> handler;
    if (auto it = st.handlers.find(className); it != st.handlers.end())
        handler = it->second;  // a copy: the handler may register others

    QPointer<QDialog> guard(&dialog);
    // Runs inside the dialog's own event loop, once the dialog is shown.
    QTimer::singleShot(0, &dialog, [guard, handler, className] {
        if (!guard || !guard->isVisible())
            return;  // the dialog closed itself already
        if (!handler) {
            RecordUnhandled(className);
            guard->reject();
            return;
        }
        try {
            handler(*guard);
        } catch (const std::exception& e) {
            ShowErrorBox(QString::fromUtf8(e.what()));
        } catch (...) {
            ShowErrorBox(QStringLiteral("Unexpected error"));
        }
        if (guard && guard->isVisible()) {
            RecordUnhandled(className + QStringLiteral(" (left open)"));
            guard->reject();
        }
    });
    return dialog.exec();
}

HourGlass::HourGlass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
HourGlass::~HourGlass() { QApplication::restoreOverrideCursor(); }

Qt::WindowFlags ToolWindowFlags()
{
    return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

void CentreOnScreen(QWidget& window)
{
    QScreen* screen = window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window.move(area.x() + (area.width() - window.width()) / 2,
                area.y() + (area.height() - window.height()) / 2);
}

void ShowErrorBox(const QString& text)
{
    ScriptState& st = State();
    if (st.scripted) {
        st.messages.append(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kCaption), text, QMessageBox::Ok,
                    BoxParent());
    box.exec();
}

bool StartProgram(const QString& path)
{
    ScriptState& st = State();
    const QFileInfo info(path);
    if (st.scripted) {
        st.started.append(path);
        return info.isFile() && st.startSucceeds;
    }
    if (!info.isFile() || !info.isExecutable())
        return false;
    // Helper programs live beside the program and start in their own folder.
    return QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath());
}

QUrl DocumentUrl(const QString& target)
{
    const QString text = target.trimmed();
    if (text.isEmpty())
        return {};
    const QFileInfo info(text);
    if (info.isAbsolute() && info.exists())
        return QUrl::fromLocalFile(info.absoluteFilePath());
    // A track's web page is usually typed as "www.kart.pl": without a
    // scheme the shell took it for a web address, so the desktop gets one.
    if (text.contains(QStringLiteral("://")) || text.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive))
        return QUrl(text, QUrl::TolerantMode);
    return QUrl(QStringLiteral("http://") + text, QUrl::TolerantMode);
}

bool OpenDocument(const QString& target)
{
    const QUrl url = DocumentUrl(target);
    ScriptState& st = State();
    if (st.scripted) {
        st.opened.append(target);
        return url.isValid() && !url.isEmpty();
    }
    if (!url.isValid() || url.isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
}

namespace testing {

void SetScripted(bool on)
{
    ScriptState& st = State();
    st = ScriptState{};
    st.scripted = on;
}

bool Scripted() { return State().scripted; }

void QueueAnswer(Answer answer) { State().answers.enqueue(answer); }

void QueueFileName(const QString& path) { State().fileNames.enqueue(path); }

QStringList Messages() { return State().messages; }

void ClearMessages() { State().messages.clear(); }

void OnModal(const QString& className, std::function<void(QDialog&)> handler)
{
    if (handler)
        State().handlers[className] = std::move(handler);
    else
        State().handlers.erase(className);
}

void ClearModalHandlers() { State().handlers.clear(); }

QStringList UnhandledModals() { return State().unhandled; }

QList<FileDialogCall> FileDialogs() { return State().fileDialogs; }

QStringList StartedPrograms() { return State().started; }

QStringList OpenedDocuments() { return State().opened; }

void SetStartProgramSucceeds(bool ok) { State().startSucceeds = ok; }

}  // namespace testing

}  // namespace platform
