// Project chooser: refuses every close until one of its three actions ran;
// Open and New close it only when they succeeded.
#include <QCloseEvent>
#include <QLabel>

#include "controls/ButtonComps.h"
#include "shell/uwyborprojektu.h"
#include "shell_support.h"

namespace {

using namespace shelltest;
using platform::testing::OnModal;
using platform::testing::QueueFileName;

class ProjectChooser : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        MakeForm();
        project_ = Folder() + QStringLiteral("p.kpj");
        Project().SaveToFile(project_);
    }

    // Shows the chooser through the modal layer with act inside it, and
    // returns ChooseProject's result.  act must end with an action that
    // closes the chooser.
    bool Choose(const std::function<void(TFwyborProjektu&)>& act)
    {
        OnModal(QStringLiteral("TFwyborProjektu"), [&](QDialog& d) { act(static_cast<TFwyborProjektu&>(d)); });
        const bool result = ChooseProject();
        EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty());
        return result;
    }

    QString project_;
};

TEST_F(ProjectChooser, LooksAsSpecified)
{
    TFwyborProjektu c;
    EXPECT_EQ(c.size(), QSize(515, 302));
    EXPECT_TRUE(c.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(c.Wynik());
    EXPECT_FALSE(c.MozeZamknac());
    EXPECT_EQ(c.Label1->text(), QStringLiteral("Open project"));
    EXPECT_EQ(c.Label2->text(), QStringLiteral("New project"));
    EXPECT_EQ(c.Label3->text(), QStringLiteral("Exit"));
    TImageButton* buttons[] = {c.ImageButton1, c.ImageButton2, c.ImageButton3};
    QLabel* labels[] = {c.Label1, c.Label2, c.Label3};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(buttons[i]->size(), QSize(100, 100));
        EXPECT_GT(labels[i]->y(), buttons[i]->geometry().bottom());  // caption below its button
        if (i > 0) {
            EXPECT_GT(buttons[i]->x(), buttons[i - 1]->x());
        }
    }
}

TEST_F(ProjectChooser, RefusesToCloseUntilAnActionRan)
{
    bool stayedOpen = false;
    const bool result = Choose([&](TFwyborProjektu& c) {
        c.close();  // the window's own close command (Alt+F4)
        const bool afterClose = c.isVisible();
        c.reject();  // Escape
        const bool afterEscape = c.isVisible();
        QCloseEvent event;
        QCoreApplication::sendEvent(&c, &event);
        stayedOpen = afterClose && afterEscape && c.isVisible() && !event.isAccepted();
        c.ImageButton3Click();  // Exit
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(result);
}

TEST_F(ProjectChooser, CancelledDialogsLeaveItOpen)
{
    struct Case {
        const char* name;
        void (TFwyborProjektu::*action)();
    } cases[] = {{"open", &TFwyborProjektu::ImageButton1Click}, {"new", &TFwyborProjektu::ImageButton2Click}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        bool stayedOpen = false;
        const bool result = Choose([&](TFwyborProjektu& c) {
            (c.*k.action)();  // no file name queued: the dialog is cancelled
            stayedOpen = c.isVisible() && !c.MozeZamknac();
            c.ImageButton3Click();
        });
        EXPECT_TRUE(stayedOpen);
        EXPECT_FALSE(result);
        EXPECT_FALSE(Form().ProjectOpen());
    }
}

TEST_F(ProjectChooser, OpenOrNewWithAFileEndsItWithTrue)
{
    struct Case {
        const char* name;
        bool clickCaption;
        int index;
    } cases[] = {{"open button", false, 0}, {"open caption", true, 0}, {"new button", false, 1},
                 {"new caption", true, 1}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        MakeForm();
        QueueFileName(project_);
        const bool result = Choose([&](TFwyborProjektu& c) {
            QWidget* target = k.clickCaption ? static_cast<QWidget*>(k.index == 0 ? c.Label1 : c.Label2)
                                             : static_cast<QWidget*>(k.index == 0 ? c.ImageButton1 : c.ImageButton2);
            QTest::mouseClick(target, Qt::LeftButton);
            if (c.isVisible())
                c.ImageButton3Click();  // keeps the test from hanging on a failure
        });
        EXPECT_TRUE(result);
        EXPECT_TRUE(Form().ProjectOpen());
        EXPECT_EQ(Form().windowTitle(), QStringLiteral("Pitrova [ p.kpj ] "));
    }
}

TEST_F(ProjectChooser, ExitByCaption)
{
    const bool result = Choose([](TFwyborProjektu& c) {
        QTest::mouseClick(c.Label3, Qt::LeftButton);
        if (c.isVisible())
            c.ImageButton3Click();
    });
    EXPECT_FALSE(result);
}

}  // namespace
