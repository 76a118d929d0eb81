#pragma once
// What the windowing toolkit offered the program beside its windows:
// message boxes, file open and save dialogs, modal showing of the program's
// own dialogs, the default error box for errors nobody caught, and the start
// of helper programs and of the desktop's handler for web pages.
//
// Tests switch the layer into scripted mode: nothing is shown, messages are
// recorded, answers and file names come from queues, and a handler
// registered for a dialog class runs while that dialog is shown modally.
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QDialog;
class QWidget;

namespace platform {

enum class Answer { Ok, Cancel, Yes, No };

// Plain message box with an OK button.
void ShowMessage(const QString& text);
// Confirmation box with the buttons Yes and No.
Answer AskYesNo(const QString& text);

// File dialogs.  filter is in the form "Description|*.a;*.b|Other|*.c".
// initialFile preselects a file (and its folder); an empty result means
// the user cancelled.
QString OpenFileName(QWidget* parent, const QString& filter, const QString& initialFile = {},
                     const QString& defaultExt = {});
QString SaveFileName(QWidget* parent, const QString& filter, const QString& initialFile = {},
                     const QString& defaultExt = {});

// "Description|*.a;*.b|Other|*.c" as Qt's "Description (*.a *.b);;Other (*.c)".
// A lone pattern ("*.bmp") filters by itself, a description without
// patterns gets "(*)"; an empty filter stays empty.
QString QtFileFilter(const QString& filter);
// path with "." + defaultExt appended when its file name has no extension
// (the save dialog's rule for a name typed without one).
QString WithDefaultExt(const QString& path, const QString& defaultExt);

// Shows one of the program's dialogs modally and returns QDialog::exec's result.
// Enter presses only a push button the dialog made its default
// (KeepOnlyChosenDefaults), never the first one by accident.
int ExecModal(QDialog& dialog);
// Takes the automatic default role from every push button of the dialog that
// is not its chosen default.
void KeepOnlyChosenDefaults(QDialog& dialog);

// The hourglass for as long as an object of this lives: back to the
// default cursor however the work ends.
class HourGlass {
public:
    HourGlass();
    ~HourGlass();
    HourGlass(const HourGlass&) = delete;
    HourGlass& operator=(const HourGlass&) = delete;
};

// Window flags of a tool-window border with only the close box.
Qt::WindowFlags ToolWindowFlags();
// Places a window of its present size in the middle of its screen's work area.
void CentreOnScreen(QWidget& window);

// The box for errors that no code caught: shows the error's own text; the
// program then goes on with the next user action.
void ShowErrorBox(const QString& text);

// Starts a helper program in a normal window, not waited for.  False when
// the file is missing or could not be started.
bool StartProgram(const QString& path);
// Opens a web page or document with the desktop's handler ("open").
bool OpenDocument(const QString& target);
// The address OpenDocument hands on: an existing file as a file URL, a text
// without a scheme ("www.kart.pl") as http://...; empty for an empty text.
QUrl DocumentUrl(const QString& target);

namespace testing {
// Scripted mode on (tests) or off (the program).  Turning it on or off
// clears every queue and record.  Every process begins in normal mode,
// whatever its environment holds; a test program's main() switches it on.
void SetScripted(bool on);
bool Scripted();

// Answers for the next AskYesNo calls (default when the queue is empty: No).
void QueueAnswer(Answer answer);
// Results of the next file dialogs (default when empty: "" = cancelled).
// A save dialog's result gets the default extension as a typed name would.
void QueueFileName(const QString& path);

// Texts of every ShowMessage, AskYesNo and ShowErrorBox, in order.
QStringList Messages();
void ClearMessages();

// Called with the dialog after it is shown by ExecModal; it must close the
// dialog (accept, reject, a button click).  Registered per exact class name;
// a handler stays until replaced or cleared.  A dialog without a handler is
// rejected at once and its class name recorded in UnhandledModals.
// A handler that returns with the dialog still open gets it rejected and
// recorded as "<class name> (left open)", so a test cannot hang on it; an
// exception escaping a handler is shown with ShowErrorBox (recorded) as
// the program would show it, and the dialog is then closed the same way.
void OnModal(const QString& className, std::function<void(QDialog&)> handler);
void ClearModalHandlers();
QStringList UnhandledModals();

// Every file dialog asked for, in order (scripted mode).
struct FileDialogCall {
    bool save = false;
    QString filter;       // as the caller gave it ("Desc|*.a")
    QString initialFile;
    QString defaultExt;
};
QList<FileDialogCall> FileDialogs();

// Programs StartProgram was asked to start, and targets of OpenDocument.
QStringList StartedPrograms();
QStringList OpenedDocuments();
// Whether StartProgram reports success in scripted mode for an existing
// file (default true); a missing file always fails.
void SetStartProgramSucceeds(bool ok);
}  // namespace testing

}  // namespace platform
