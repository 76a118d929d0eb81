// The dialog layer in scripted and real mode, and the application object's
// handling of errors that escape an event handler.
//
// The widget tests' main() builds a PitrovaApplication, so the error box
// path runs as in the program.
#include "platform/application.h"
#include "platform/dialogs.h"
#include "support/gui_main.h"

#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <QProcess>

#include <ostream>
#include <stdexcept>

// Readable texts in failure messages.
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

using namespace platform;
namespace pt = platform::testing;

namespace {

class ProbeDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
};

// Derived class: a handler for ProbeDialog must not run for it.
class ProbeDialogChild : public ProbeDialog {
    Q_OBJECT
public:
    using ProbeDialog::ProbeDialog;
};

// Receiver whose event handler throws, as a click handler that reads a
// corrupt file would.
class Thrower : public QObject {
    Q_OBJECT
public:
    enum Kind { Std, Other, None };
    static QEvent::Type EventType()
    {
        static const int type = QEvent::registerEventType();
        return static_cast<QEvent::Type>(type);
    }
    Kind kind = Std;
    int delivered = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != EventType())
            return QObject::event(e);
        ++delivered;
        if (kind == Std)
            throw std::runtime_error("I/O error 103 on \xc5\x82\x6f\x64\xc5\xba.kpj");  // UTF-8 text
        if (kind == Other)
            throw 42;
        return true;
    }
};

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override { pt::SetScripted(true); }
    void TearDown() override { pt::SetScripted(true); }
};

TEST_F(DialogsTest, AnswersComeInOrderThenNoAndEveryTextIsRecorded)
{
    pt::QueueAnswer(Answer::Yes);
    pt::QueueAnswer(Answer::No);
    pt::QueueAnswer(Answer::Yes);

    ShowMessage("Finished");
    EXPECT_EQ(AskYesNo("Do you want to delete selected driver?"), Answer::Yes);
    EXPECT_EQ(AskYesNo("q2"), Answer::No);
    EXPECT_EQ(AskYesNo("q3"), Answer::Yes);
    EXPECT_EQ(AskYesNo("q4"), Answer::No);  // queue empty: No
    ShowErrorBox("Bitmap image is not valid");

    EXPECT_EQ(pt::Messages(), QStringList({"Finished", "Do you want to delete selected driver?", "q2", "q3",
                                           "q4", "Bitmap image is not valid"}));
    pt::ClearMessages();
    EXPECT_TRUE(pt::Messages().isEmpty());
}

TEST_F(DialogsTest, FileNamesComeInOrderThenCancelAndCallsAreRecorded)
{
    pt::QueueFileName("/data/a.kpj");
    pt::QueueFileName("/data/b");  // typed without extension
    pt::QueueFileName("/data/c");

    EXPECT_EQ(OpenFileName(nullptr, "KROM project|*.kpj", "/data/last.kpj", "kpj"), "/data/a.kpj");
    EXPECT_EQ(SaveFileName(nullptr, "KROM project|*.kpj", {}, "kpj"), "/data/b.kpj");
    EXPECT_EQ(OpenFileName(nullptr, "Bitmap|*.bmp", {}, "bmp"), "/data/c");  // open keeps the name
    EXPECT_EQ(SaveFileName(nullptr, "KROM project|*.kpj", {}, "kpj"), "");  // queue empty: cancelled

    const QList<pt::FileDialogCall> calls = pt::FileDialogs();
    ASSERT_EQ(calls.size(), 4);
    EXPECT_FALSE(calls[0].save);
    EXPECT_EQ(calls[0].filter, "KROM project|*.kpj");
    EXPECT_EQ(calls[0].initialFile, "/data/last.kpj");
    EXPECT_EQ(calls[0].defaultExt, "kpj");
    EXPECT_TRUE(calls[1].save);
    EXPECT_EQ(calls[2].filter, "Bitmap|*.bmp");
}

TEST_F(DialogsTest, SwitchingModeClearsQueuesAndRecords)
{
    pt::QueueAnswer(Answer::Yes);
    pt::QueueFileName("/x.kpj");
    ShowMessage("m");
    pt::OnModal("ProbeDialog", [](QDialog& d) { d.accept(); });
    ASSERT_TRUE(StartProgram(QCoreApplication::applicationFilePath()));

    pt::SetScripted(true);
    EXPECT_TRUE(pt::Scripted());
    EXPECT_TRUE(pt::Messages().isEmpty());
    EXPECT_TRUE(pt::StartedPrograms().isEmpty());
    EXPECT_EQ(AskYesNo("q"), Answer::No);
    EXPECT_EQ(OpenFileName(nullptr, "KROM project|*.kpj"), "");
    ProbeDialog dialog;
    EXPECT_EQ(ExecModal(dialog), QDialog::Rejected);  // the handler is gone too
}

TEST(FileFilter, ConvertsToQtForm)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"KROM project|*.kpj", "KROM project (*.kpj)"},
        {"Pictures|*.bmp;*.jpg|All files|*.*", "Pictures (*.bmp *.jpg);;All files (*.*)"},
        {"Pictures|*.bmp; *.jpg ;", "Pictures (*.bmp *.jpg)"},
        {"Track files|", "Track files (*)"},
        {"Track files", "Track files (*)"},
        {"*.bmp", "*.bmp (*.bmp)"},
        {"graf|*.bmp;*.jpg", "graf (*.bmp *.jpg)"},
        {"|*.txt2", "*.txt2 (*.txt2)"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtFileFilter(c.in), QString(c.out)) << c.in;
}

TEST(FileFilter, DefaultExtensionOnlyForNamesWithoutOne)
{
    struct Case {
        const char* path;
        const char* ext;
        const char* out;
    };
    const Case cases[] = {
        {"/p/run", "kpj", "/p/run.kpj"},
        {"/p/run", ".kpj", "/p/run.kpj"},
        {"/p/run.kpj", "kpj", "/p/run.kpj"},
        {"/p/run.old", "kpj", "/p/run.old"},
        {"/p/v1.2/run", "kpj", "/p/v1.2/run.kpj"},  // a dot in the folder does not count
        {"/p/run", "", "/p/run"},
        {"", "kpj", ""},  // cancelled stays cancelled
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithDefaultExt(c.path, c.ext), QString(c.out)) << c.path << " " << c.ext;
}

TEST(DocumentAddress, TextWithoutSchemeIsAWebAddress)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("map.txt");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    struct Case {
        QString in;
        QString out;
    };
    const Case cases[] = {
        {"www.kart-tor.pl", "http://www.kart-tor.pl"},
        {"www.kart-tor.pl/tor?id=3", "http://www.kart-tor.pl/tor?id=3"},
        {"https://kart.example/a b", "https://kart.example/a%20b"},
        {"mailto:biuro@kart.example", "mailto:biuro@kart.example"},
        {file, QUrl::fromLocalFile(file).toString()},
        {"", ""},
        {"   ", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DocumentUrl(c.in).toString(QUrl::FullyEncoded), c.out) << c.in.toStdString();
}

TEST_F(DialogsTest, OpenDocumentRecordsTheTargetAsGiven)
{
    EXPECT_TRUE(OpenDocument("www.kart-tor.pl"));
    EXPECT_FALSE(OpenDocument(""));
    EXPECT_EQ(pt::OpenedDocuments(), QStringList({"www.kart-tor.pl", ""}));
}

TEST_F(DialogsTest, ExecModalRunsTheHandlerOfTheExactClassInsideTheDialog)
{
    bool wasVisible = false;
    QString seenClass;
    pt::OnModal("ProbeDialog", [&](QDialog& d) {
        wasVisible = d.isVisible() && d.isModal();
        seenClass = d.metaObject()->className();
        d.accept();
    });

    ProbeDialog probe;
    EXPECT_EQ(ExecModal(probe), QDialog::Accepted);
    EXPECT_TRUE(wasVisible);
    EXPECT_EQ(seenClass, "ProbeDialog");
    EXPECT_FALSE(probe.isVisible());

    // The derived class has no handler of its own: rejected and recorded.
    seenClass.clear();
    ProbeDialogChild child;
    EXPECT_EQ(ExecModal(child), QDialog::Rejected);
    EXPECT_TRUE(seenClass.isEmpty());
    QDialog plain;
    EXPECT_EQ(ExecModal(plain), QDialog::Rejected);
    EXPECT_EQ(pt::UnhandledModals(), QStringList({"ProbeDialogChild", "QDialog"}));

    pt::ClearModalHandlers();
    EXPECT_EQ(ExecModal(probe), QDialog::Rejected);
}

TEST_F(DialogsTest, HandlerCanClickButtonsAndOpenNestedDialogs)
{
    QStringList order;
    pt::OnModal("ProbeDialogChild", [&](QDialog& d) {
        order << "inner";
        d.done(7);
    });
    pt::OnModal("ProbeDialog", [&](QDialog& d) {
        order << "outer";
        d.findChild<QPushButton*>("Go")->click();
        order << "outer again";
        d.accept();
    });

    ProbeDialog outer;
    int innerResult = 0;
    auto* go = new QPushButton("Go", &outer);
    go->setObjectName("Go");
    QObject::connect(go, &QPushButton::clicked, [&] {
        ProbeDialogChild inner(&outer);
        innerResult = ExecModal(inner);
    });

    EXPECT_EQ(ExecModal(outer), QDialog::Accepted);
    EXPECT_EQ(innerResult, 7);
    EXPECT_EQ(order, QStringList({"outer", "inner", "outer again"}));
    EXPECT_TRUE(pt::UnhandledModals().isEmpty());
}

TEST_F(DialogsTest, HandlerLeavingTheDialogOpenOrThrowingDoesNotHang)
{
    pt::OnModal("ProbeDialog", [](QDialog&) {});
    ProbeDialog probe;
    EXPECT_EQ(ExecModal(probe), QDialog::Rejected);
    EXPECT_EQ(pt::UnhandledModals(), QStringList({"ProbeDialog (left open)"}));

    pt::OnModal("ProbeDialog", [](QDialog&) { throw std::runtime_error("Cannot open file"); });
    EXPECT_EQ(ExecModal(probe), QDialog::Rejected);
    EXPECT_EQ(pt::Messages(), QStringList({"Cannot open file"}));
}

TEST_F(DialogsTest, ScriptedStartProgramRecordsAndFailsForAMissingFile)
{
    const QString self = QCoreApplication::applicationFilePath();
    const QString missing = QFileInfo(self).absolutePath() + "/updravlin.exe";
    ASSERT_FALSE(QFileInfo::exists(missing));

    EXPECT_FALSE(StartProgram(missing));
    EXPECT_TRUE(StartProgram(self));
    pt::SetStartProgramSucceeds(false);
    EXPECT_FALSE(StartProgram(self));
    EXPECT_EQ(pt::StartedPrograms(), QStringList({missing, self, self}));
}

TEST_F(DialogsTest, RealStartProgramNeedsAnExecutableFile)
{
    pt::SetScripted(false);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString proof = dir.filePath("it ran");
    const QString script = dir.filePath("KROM_bootloader.exe");
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/it ran\"\n");
    }

    EXPECT_FALSE(StartProgram(dir.filePath("missing.exe")));
    EXPECT_FALSE(StartProgram(dir.path()));  // a folder is no program
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_FALSE(StartProgram(script));
    QTest::qWait(200);
    EXPECT_FALSE(QFileInfo::exists(proof));

    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(StartProgram(script));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(proof); }, 10000));
}

TEST_F(DialogsTest, RealFileDialogsStartAtTheInitialFileAndSaveNeverAsksToOverwrite)
{
    pt::SetScripted(false);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"old.kpj", "run.kpj"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    struct Seen {
        QString folder;
        QStringList filters, selected;
        bool extraBox = false;
        bool looked = false;  // the look for a box on top has run
    };
    QObject scope;  // ends the timers below with the test
    // Drives the file dialog once it runs: notes what it shows, types a name
    // (or keeps the preselected one) and accepts; a question box that would
    // appear on top of it is noted and closed.
    auto drive = [&scope](Seen& seen, const QString& typed) {
        QTimer::singleShot(0, &scope, [&scope, &seen, typed] {
            auto* fd = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(fd, nullptr);
            seen.folder = fd->directory().absolutePath();
            seen.filters = fd->nameFilters();
            seen.selected = fd->selectedFiles();
            auto* nameEdit = fd->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(nameEdit, nullptr);
            if (!typed.isEmpty()) {
                // As a user types: the box has the focus, so the typed name
                // replaces the preselected file.
                QApplication::setActiveWindow(fd);
                nameEdit->setFocus();
                nameEdit->selectAll();
                QTest::keyClicks(nameEdit, typed);
            }
            QTimer::singleShot(300, &scope, [&scope, &seen] {
                seen.looked = true;
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    seen.extraBox = true;
                    box->reject();
                    QTimer::singleShot(0, &scope, [] {  // the file dialog stays open after a No
                        if (auto* left = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                            left->reject();
                    });
                }
            });
            QTest::keyClick(nameEdit, Qt::Key_Return);
        });
    };

    Seen open;
    drive(open, {});
    EXPECT_EQ(OpenFileName(nullptr, "KROM project|*.kpj", dir.filePath("old.kpj"), "kpj"), dir.filePath("old.kpj"));
    EXPECT_EQ(open.folder, QFileInfo(dir.path()).absoluteFilePath());
    EXPECT_EQ(open.filters, QStringList({"KROM project (*.kpj)"}));
    EXPECT_EQ(open.selected, QStringList({dir.filePath("old.kpj")}));

    Seen save;
    drive(save, "run");  // an existing project, typed without extension
    EXPECT_EQ(SaveFileName(nullptr, "KROM project|*.kpj", dir.filePath("old.kpj"), "kpj"), dir.filePath("run.kpj"));
    EXPECT_EQ(save.folder, QFileInfo(dir.path()).absoluteFilePath());
    EXPECT_TRUE(QTest::qWaitFor([&] { return save.looked; }, 5000));
    EXPECT_FALSE(save.extraBox);
}

TEST_F(DialogsTest, ErrorEscapingAnEventHandlerIsShownAndTheProgramGoesOn)
{
    ASSERT_NE(qobject_cast<PitrovaApplication*>(QCoreApplication::instance()), nullptr);
    Thrower receiver;

    QCoreApplication::postEvent(&receiver, new QEvent(Thrower::EventType()));
    QCoreApplication::sendPostedEvents(&receiver);
    QCoreApplication::processEvents();
    EXPECT_EQ(pt::Messages(), QStringList({QString::fromUtf8("I/O error 103 on \xc5\x82\x6f\x64\xc5\xba.kpj")}));

    receiver.kind = Thrower::Other;
    QCoreApplication::postEvent(&receiver, new QEvent(Thrower::EventType()));
    QCoreApplication::processEvents();
    EXPECT_EQ(pt::Messages().size(), 2);
    EXPECT_FALSE(pt::Messages().value(1).isEmpty());

    // The next events are delivered as usual.
    receiver.kind = Thrower::None;
    QCoreApplication::postEvent(&receiver, new QEvent(Thrower::EventType()));
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.delivered, 3);
    EXPECT_EQ(pt::Messages().size(), 2);
}

TEST_F(DialogsTest, ErrorInAClickInsideAModalDialogLeavesTheDialogOpen)
{
    // A click handler that throws while a dialog is shown: the box appears
    // and the dialog stays for the user's next action.
    ProbeDialog dialog;
    auto* bad = new QPushButton("Bad", &dialog);
    QObject::connect(bad, &QPushButton::clicked, [] { throw std::runtime_error("File must be 480x273"); });
    bool openAfterError = false;
    pt::OnModal("ProbeDialog", [&](QDialog& d) {
        QTest::mouseClick(bad, Qt::LeftButton);
        openAfterError = d.isVisible();
        d.accept();
    });

    EXPECT_EQ(ExecModal(dialog), QDialog::Accepted);
    EXPECT_TRUE(openAfterError);
    EXPECT_EQ(pt::Messages(), QStringList({"File must be 480x273"}));
}

double Luminance(const QColor& c)
{
    auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(DarkTheme, TextStaysReadableOnItsBackground)
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    const QPalette before = QApplication::palette();
    ApplyDarkTheme(*app);
    const QPalette p = QApplication::palette();

    EXPECT_LT(Luminance(p.color(QPalette::Active, QPalette::Window)), 0.05);  // dark
    struct Pair {
        QPalette::ColorRole fg, bg;
    };
    const Pair pairs[] = {{QPalette::WindowText, QPalette::Window},   {QPalette::Text, QPalette::Base},
                          {QPalette::ButtonText, QPalette::Button},   {QPalette::HighlightedText, QPalette::Highlight},
                          {QPalette::ToolTipText, QPalette::ToolTipBase}, {QPalette::PlaceholderText, QPalette::Base}};
    for (const Pair& pair : pairs) {
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
            EXPECT_GE(Contrast(p.color(g, pair.fg), p.color(g, pair.bg)), 4.5) << pair.fg << " on " << pair.bg;
        // Disabled text is dimmer but still legible.
        const double disabled = Contrast(p.color(QPalette::Disabled, pair.fg), p.color(QPalette::Disabled, pair.bg));
        EXPECT_GE(disabled, 2.5) << pair.fg << " on " << pair.bg;
        EXPECT_LT(disabled, Contrast(p.color(QPalette::Active, pair.fg), p.color(QPalette::Active, pair.bg)) + 0.01)
            << pair.fg << " on " << pair.bg;
    }
    QApplication::setPalette(before);
}

// ------------------------------------------------------- default buttons

// Enter in an edit of a dialog shown modally: which of its buttons ran.
TEST_F(DialogsTest, EnterPressesOnlyADefaultTheDialogGaveItself)
{
    struct Case {
        const char* name;
        bool explicitDefault;  // the second button is made the default
        QStringList pressed;
    } cases[] = {
        {"plain buttons", false, {}},
        {"a chosen default", true, {"second", "second"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeDialog dialog;
        auto* edit = new QLineEdit(&dialog);
        auto* first = new QPushButton(QStringLiteral("Paste"), &dialog);
        auto* second = new QPushButton(QStringLiteral("OK"), &dialog);
        second->move(0, 40);
        if (c.explicitDefault)
            second->setDefault(true);
        QStringList pressed;
        QObject::connect(first, &QPushButton::clicked, [&] { pressed << "first"; });
        QObject::connect(second, &QPushButton::clicked, [&] { pressed << "second"; });
        pt::OnModal("ProbeDialog", [&](QDialog& d) {
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_Return);
            QTest::keyClick(edit, Qt::Key_Enter);
            if (d.isVisible())
                d.accept();
        });
        ExecModal(dialog);
        EXPECT_EQ(pressed, c.pressed);
    }
}

// ------------------------------------------------------------- start mode

// Every process starts with real dialogs; only a test program's main()
// switches to scripted mode.
TEST(DialogsStart, ProcessStartsInNormalMode) { EXPECT_FALSE(g_dialogsScriptedAtStart); }

TEST(DialogsStart, NoEnvironmentVariableSwitchesToScriptedMode)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PITROVA_TESTING"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=DialogsStart.ProcessStartsInNormalMode")});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
}

}  // namespace

#include "test_dialogs.moc"
