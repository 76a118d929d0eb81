#include "platform/windowhost.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

WindowHost::~WindowHost()
{
    if (platform::Host() == this)
        platform::SetHost(nullptr);
}

QMdiSubWindow* WindowHost::MDISubWindow(const QString& className) const
{
    const QMdiArea* area = ChildArea();
    if (!area)
        return nullptr;
    for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::CreationOrder)) {
        if (QWidget* content = sub->widget(); content && className == QLatin1String(content->metaObject()->className()))
            return sub;
        if (sub->metaObject() != &QMdiSubWindow::staticMetaObject &&
            className == QLatin1String(sub->metaObject()->className()))
            return sub;
    }
    return nullptr;
}

QWidget* WindowHost::MDIChild(const QString& className) const
{
    QMdiSubWindow* sub = MDISubWindow(className);
    if (!sub)
        return nullptr;
    QWidget* content = sub->widget();
    if (content && className == QLatin1String(content->metaObject()->className()))
        return content;
    return sub;
}

bool WindowHost::IsMDIChildOpen(const QString& className) const { return MDISubWindow(className) != nullptr; }

int WindowHost::MDIChildCount() const
{
    const QMdiArea* area = ChildArea();
    return area ? int(area->subWindowList().size()) : 0;
}

QMdiSubWindow* WindowHost::AddMDIChild(QWidget* window)
{
    QMdiSubWindow* sub = ChildArea()->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->show();
    return sub;
}

bool WindowHost::ActivateMDIChild(const QString& className)
{
    QMdiSubWindow* sub = MDISubWindow(className);
    if (!sub)
        return false;
    if (sub->isMinimized())
        sub->showNormal();
    ChildArea()->setActiveSubWindow(sub);
    sub->raise();
    return true;
}

namespace platform {

namespace {
WindowHost*& CurrentHost()
{
    static WindowHost* host = nullptr;
    return host;
}
}  // namespace

WindowHost* Host() { return CurrentHost(); }

void SetHost(WindowHost* host) { CurrentHost() = host; }

QWidget* ShowSingleChild(const char* className, const QSize& size, const std::function<QWidget*()>& create)
{
    const QString name = QString::fromLatin1(className);
    WindowHost* host = Host();
    if (host) {
        if (host->ActivateMDIChild(name))
            return host->MDIChild(name);
    } else {
        // No main window: a top-level window of that class still exists only once.
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qstrcmp(w->metaObject()->className(), className) == 0 && w->isVisible()) {
                w->raise();
                w->activateWindow();
                return w;
            }
        }
    }

    QWidget* window = create();
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (host) {
        // Sized before it is shown, so that the area places it at that size.
        QMdiArea* area = host->ChildArea();
        QMdiSubWindow* sub = area->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowTitle(window->windowTitle());
        sub->resize(size);
        sub->show();
        area->setActiveSubWindow(sub);
    } else {
        window->resize(size);
        window->show();
    }
    return window;
}

}  // namespace platform
