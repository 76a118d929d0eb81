#pragma once
// A window host over a plain multi-document area, for tests and tools of
// child windows that need no main window: the host of the run while it
// lives.
#include <QMdiArea>

#include "platform/windowhost.h"

class AreaHost : public WindowHost {
public:
    explicit AreaHost(QMdiArea& area) : area_(area) { platform::SetHost(this); }
    QMdiArea* ChildArea() const override { return &area_; }
    QSize ClientSize() const override { return area_.viewport()->size(); }

private:
    QMdiArea& area_;
};
