// The window host: child windows found by their exact class name, brought
// forward instead of opened twice, with and without a host.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

#include "platform/windowhost.h"
#include "support/areahost.h"

class ListWindow : public QWidget {
    Q_OBJECT
};

// A frame that is a window class of its own (found by the frame's name).
class OwnFrame : public QMdiSubWindow {
    Q_OBJECT
};

namespace {

class WindowHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        area_.resize(900, 600);
        area_.show();
    }
    void TearDown() override
    {
        host_.reset();
        area_.closeAllSubWindows();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &area_)
                w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    AreaHost& Host()
    {
        if (!host_)
            host_ = std::make_unique<AreaHost>(area_);
        return *host_;
    }
    // Opens a ListWindow of 400 x 300, counting the windows built.
    QWidget* Open()
    {
        return platform::ShowSingleChild("ListWindow", QSize(400, 300), [this] {
            ++built_;
            return new ListWindow;
        });
    }

    QMdiArea area_;
    std::unique_ptr<AreaHost> host_;
    int built_ = 0;
};

TEST_F(WindowHostTest, ChildWindowsAreFoundByTheirExactClassName)
{
    WindowHost& host = Host();
    EXPECT_EQ(platform::Host(), &host);
    QMdiSubWindow* content = host.AddMDIChild(new ListWindow);
    auto* frame = new OwnFrame;
    frame->setWidget(new QWidget);
    area_.addSubWindow(frame);

    struct Case {
        const char* name;
        QMdiSubWindow* sub;
        QWidget* child;
    };
    const Case cases[] = {
        {"ListWindow", content, content->widget()},
        {"OwnFrame", frame, frame},
        {"listwindow", nullptr, nullptr},
        {"QMdiSubWindow", nullptr, nullptr},
        {"QWidget", frame, frame->widget()},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromLatin1(c.name);
        EXPECT_EQ(host.MDISubWindow(name), c.sub) << c.name;
        EXPECT_EQ(host.MDIChild(name), c.child) << c.name;
        EXPECT_EQ(host.IsMDIChildOpen(name), c.sub != nullptr) << c.name;
    }
    EXPECT_EQ(host.MDIChildCount(), 2);
}

TEST_F(WindowHostTest, AnOpenWindowIsBroughtForwardAndRestored)
{
    WindowHost& host = Host();
    QWidget* first = Open();
    ASSERT_NE(first, nullptr);
    QMdiSubWindow* sub = host.MDISubWindow(QStringLiteral("ListWindow"));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->size(), QSize(400, 300));
    host.AddMDIChild(new QWidget);
    sub->showMinimized();

    EXPECT_EQ(Open(), first);
    EXPECT_EQ(built_, 1);
    EXPECT_FALSE(sub->isMinimized());
    EXPECT_EQ(area_.activeSubWindow(), sub);
    EXPECT_FALSE(host.ActivateMDIChild(QStringLiteral("Nothing")));

    // Closing frees it, so the next opening builds a new one.
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(host.IsMDIChildOpen(QStringLiteral("ListWindow")));
    Open();
    EXPECT_EQ(built_, 2);
}

TEST_F(WindowHostTest, WithoutAHostTheWindowStandsAloneOnce)
{
    ASSERT_EQ(platform::Host(), nullptr);
    QWidget* first = Open();
    EXPECT_TRUE(first->isWindow());
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(Open(), first);
    EXPECT_EQ(built_, 1);
    EXPECT_TRUE(area_.subWindowList().isEmpty());
}

TEST_F(WindowHostTest, AHostThatGoesIsNoLongerTheHost)
{
    Host();
    host_.reset();
    EXPECT_EQ(platform::Host(), nullptr);
}

}  // namespace

#include "test_windowhost.moc"
