#pragma once
// Test support for the main window and its dialogs: a fresh database whose
// folder is the program folder, the dialog layer in scripted mode, a zeroed
// project record, and a main window that is the run's Form1.
#include <QDialog>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "platform/tdatetime.h"
#include "platform/usb.h"
#include "shell/common/stale.h"
#include "shell/config.h"
#include "shell/projectrecord.h"
#include "shell/umain.h"
#include "support/testdb.h"

namespace shelltest {

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::testing::SetScripted(true);
        db_ = std::make_unique<TestDatabase>();
        SetProgramFolder(db_->Folder());
        Project() = ProjectRecord();
        // The program opens the test's file by its plain path: the default
        // "localhost:" form would go to a Firebird server when one runs on
        // this machine, and the server cannot open a test's private file.
        Ini().WriteString(QStringLiteral("Parametry"), QStringLiteral("AliasBazy"), db_->Path());
    }

    void TearDown() override
    {
        form_.reset();
        Form1 = nullptr;
        platform::SetUsbBackend(nullptr);
        platform::testing::SetScripted(true);
        SetProgramFolder(QString());
        db_.reset();
    }

    QString Folder() const { return db_->Folder(); }
    TestDatabase& Db() { return *db_; }

    IniFile Ini() const { return IniFile(Folder() + QString::fromLatin1(ConfigFileName)); }
    ConfigFile Config() const { return ConfigFile(Folder() + QString::fromLatin1(ConfigFileName)); }

    // A file in the program folder; executable ones stand for helper programs.
    void WriteFile(const QString& name, const QByteArray& bytes, bool executable = false)
    {
        QFile f(Folder() + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        if (executable)
            f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    }

    // A main window created as the program creates it; not shown yet.
    TForm1& MakeForm(const QStringList& arguments = {})
    {
        form_.reset();
        form_ = std::make_unique<TForm1>(arguments);
        form_->resize(1280, 860);
        Form1 = form_.get();
        return *form_;
    }
    TForm1& Form() { return *form_; }

    // A main window past its show handler on a day the updater already ran:
    // splash dismissed, database open, Project tab, the prompt not raised.
    TForm1& ShownForm(const QStringList& arguments = {})
    {
        Config().SetLastUpdateDay(TodayDayNumber());
        TForm1& form = MakeForm(arguments);
        platform::testing::OnModal(QStringLiteral("Tfsplashscreen"), [](QDialog& d) { d.close(); });
        form.show();
        form.Timer1->stop();
        QCoreApplication::processEvents();
        platform::testing::ClearModalHandlers();
        platform::testing::ClearMessages();
        return form;
    }

private:
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<TForm1> form_;
};

}  // namespace shelltest
