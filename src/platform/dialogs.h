#pragma once
// What the windowing toolkit offered the program beside its windows:
// message boxes, file open and save dialogs, modal showing of the program's
// own dialogs, the default error box for errors nobody caught, and the start
// of helper programs and of the desktop's handler for web pages.
//
// Tests switch the layer into scripted mode: nothing is shown, messages are
// recorded, answers and file names come from queues, and a handler
// registered for a dialog class runs while that dialog is shown modally.
#include <QString>
#include <QStringList>

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

// Shows one of the program's dialogs modally and returns QDialog::exec's result.
int ExecModal(QDialog& dialog);

// The box for errors that no code caught: shows the error's own text; the
// program then goes on with the next user action.
void ShowErrorBox(const QString& text);

// Starts a helper program in a normal window, not waited for.  False when
// the file is missing or could not be started.
bool StartProgram(const QString& path);
// Opens a web page or document with the desktop's handler ("open").
bool OpenDocument(const QString& target);

namespace testing {
// Scripted mode on (tests) or off (the program).  Turning it on or off
// clears every queue and record.
void SetScripted(bool on);
bool Scripted();

// Answers for the next AskYesNo calls (default when the queue is empty: No).
void QueueAnswer(Answer answer);
// Results of the next file dialogs (default when empty: "" = cancelled).
void QueueFileName(const QString& path);

// Texts of every ShowMessage, AskYesNo and ShowErrorBox, in order.
QStringList Messages();
void ClearMessages();

// Called with the dialog after it is shown by ExecModal; it must close the
// dialog (accept, reject, a button click).  Registered per exact class name;
// a handler stays until replaced or cleared.  A dialog without a handler is
// rejected at once and its class name recorded in UnhandledModals.
void OnModal(const QString& className, std::function<void(QDialog&)> handler);
void ClearModalHandlers();
QStringList UnhandledModals();

// Programs StartProgram was asked to start, and targets of OpenDocument.
QStringList StartedPrograms();
QStringList OpenedDocuments();
// Whether StartProgram reports success in scripted mode for an existing
// file (default true); a missing file always fails.
void SetStartProgramSucceeds(bool ok);
}  // namespace testing

}  // namespace platform
