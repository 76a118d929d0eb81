#include "platform/mdichild.h"

#include <QMdiArea>
#include <QMdiSubWindow>

QMdiSubWindow* FindMdiSubWindow(const QMdiArea* area, const QString& className)
{
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
