#include "controls/ButtonComps.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

TImageButton::TImageButton(QWidget* parent) : QWidget(parent)
{
    resize(50, 50);
}

void TImageButton::SetBitmap(const QPixmap& picture)
{
    bitmap_ = picture;
    ShowState(bitmap_);
}

void TImageButton::SetBitmapOver(const QPixmap& picture)
{
    over_ = picture;
    update();
}

void TImageButton::SetBitmapDown(const QPixmap& picture)
{
    down_ = picture;
    update();
}

void TImageButton::SetBitmapUp(const QPixmap& picture)
{
    up_ = picture;
    update();
}

void TImageButton::SetBitmapDisabled(const QPixmap& picture)
{
    disabled_ = picture;
    if (ShowsDisabledPicture())
        ApplySize();
    update();
}

QPixmap TImageButton::ShownPicture() const
{
    if (ShowsDisabledPicture())
        return disabled_;
    return current_.isNull() ? bitmap_ : current_;
}

void TImageButton::ShowState(const QPixmap& picture)
{
    current_ = picture;
    ApplySize();
    update();
}

void TImageButton::ApplySize()
{
    // While disabled with a disabled picture, that picture sets the size;
    // the state pictures keep changing underneath and show again later.
    const QPixmap& shown = ShowsDisabledPicture() ? disabled_ : current_;
    resize(shown.size());
}

bool TImageButton::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && !showHint_) {
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

void TImageButton::paintEvent(QPaintEvent*)
{
    if (current_.isNull())
        current_ = bitmap_;
    QPainter p(this);
    p.fillRect(rect(), palette().brush(QPalette::Button));
    p.drawPixmap(0, 0, ShownPicture());
}

void TImageButton::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (!isEnabled())
        return;
    if (!over_.isNull())
        ShowState(over_);
    emit mouseEnter();
}

void TImageButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (!isEnabled())
        return;
    if (!bitmap_.isNull())
        ShowState(bitmap_);
    emit mouseLeave();
}

void TImageButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressed_ = true;
    QPointer<TImageButton> self(this);
    emit mouseDown();
    if (!self)
        return;
    if (!down_.isNull())
        ShowState(down_);
}

void TImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool wasPressed = pressed_;
    pressed_ = false;
    const bool over = rect().contains(event->position().toPoint());
    QPointer<TImageButton> self(this);
    emit mouseUp();
    if (!self)
        return;
    if (!up_.isNull())
        ShowState(over ? up_ : bitmap_);
    else if (over && !over_.isNull())
        ShowState(over_);  // no release picture: back to the mouse-over one
    else if (!bitmap_.isNull())
        ShowState(bitmap_);
    // A press that ends off the button is no click.
    if (wasPressed && over) {
        update();
        emit clicked();
    }
}

void TImageButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        pressed_ = false;
        if (!ShowsDisabledPicture() && current_.isNull())
            current_ = bitmap_;
        if (ShowsDisabledPicture() || !current_.isNull())
            ApplySize();
        update();
    }
}
