#pragma once
// The window the program's child windows open in (the main window), as the
// windows of every area see it: they find, open and bring forward child
// windows by the exact (case-sensitive) class name of the window, and place
// theirs in its client area, without knowing the main window itself.
//
// One window of a class at a time: the routine that opens such a window
// asks ActivateMDIChild first, which brings an open one to the front, and
// creates a new one only when none is open.
#include <QSize>
#include <QString>

#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

class WindowHost {
public:
    virtual ~WindowHost();

    // The multi-document area the child windows are added to.
    virtual QMdiArea* ChildArea() const = 0;
    // The client area in which windows are placed: its width and height
    // are that space.
    virtual QSize ClientSize() const = 0;

    // The first child window, in creation order, whose content widget has
    // exactly this class name, or whose frame is a window class of its own
    // of that name; null when there is none.
    QMdiSubWindow* MDISubWindow(const QString& className) const;
    // Its content widget (the frame when the frame has the name), or null.
    QWidget* MDIChild(const QString& className) const;
    bool IsMDIChildOpen(const QString& className) const;
    int MDIChildCount() const;
    // Makes window a child window that frees itself when closed, and shows it.
    QMdiSubWindow* AddMDIChild(QWidget* window);
    // Brings the open child window of this class to the front, restoring it
    // when minimised; false when none is open.
    bool ActivateMDIChild(const QString& className);
};

namespace platform {

// The host of the run: the main window sets itself when it is created and
// clears itself when it goes; null in tools and tests without one.
WindowHost* Host();
void SetHost(WindowHost* host);

// Opens a window of which one at a time exists: when one of that class is
// open it is brought to the front (nothing else happens); otherwise
// create() builds the window, which is shown at the given size as a child
// of the host (freed when closed), or as a top-level window when there is
// no host.  Returns the window shown or brought forward.
QWidget* ShowSingleChild(const char* className, const QSize& size, const std::function<QWidget*()>& create);

}  // namespace platform
