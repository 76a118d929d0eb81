#pragma once
// Child windows of a multi-document area found by the exact (case-sensitive)
// class name of the window, as the single-instance windows look for
// themselves.
#include <QString>

class QMdiArea;
class QMdiSubWindow;

// The first child window, in creation order, whose content widget has
// exactly this class name, or whose frame is a window class of its own of
// that name; null when there is none.
QMdiSubWindow* FindMdiSubWindow(const QMdiArea* area, const QString& className);
