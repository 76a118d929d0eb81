#include "controls/EDBImage.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>

TEDBImage::TEDBImage(QWidget* parent) : QFrame(parent)
{
    resize(105, 105);
    setFocusPolicy(Qt::StrongFocus);
    setBackgroundRole(QPalette::Base);
    SetBorderStyle(TBorderStyle::Single);
}

// ---- binding ----

void TEDBImage::SetBlob(const QByteArray& bytes)
{
    stored_ = bytes;
    modified_ = false;
    loaded_ = false;
    SetPictureImage(QImage());
    if (autoDisplay_)
        LoadPicture();
}

QByteArray TEDBImage::Blob() const
{
    if (!modified_)
        return stored_;
    if (picture_.isNull())
        return QByteArray();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture_.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP");
    return bytes;
}

void TEDBImage::Reset()
{
    SetBlob(stored_);
}

void TEDBImage::SetDisplayLabel(const QString& label)
{
    label_ = label;
    update();
}

void TEDBImage::LoadPicture()
{
    if (loaded_)
        return;
    SetPictureImage(LoadPictureFromBlob(stored_, onLoadCustomImage_));
    loaded_ = true;
}

void TEDBImage::SetPictureImage(const QImage& picture)
{
    picture_ = picture;
    drawn_ = QPixmap();
    update();
}

void TEDBImage::PictureChanged(const QImage& picture)
{
    SetPictureImage(picture);
    loaded_ = true;
    modified_ = true;
    emit changed();
}

// ---- properties ----

void TEDBImage::SetCenter(bool value)
{
    center_ = value;
    update();
}

void TEDBImage::SetShrinkToFit(bool value)
{
    shrinkToFit_ = value;
    update();
}

void TEDBImage::SetZoomToFit(bool value)
{
    zoomToFit_ = value;
    update();
}

void TEDBImage::SetAutoDisplay(bool value)
{
    autoDisplay_ = value;
    if (autoDisplay_)
        LoadPicture();
}

void TEDBImage::SetBorderStyle(TBorderStyle value)
{
    borderStyle_ = value;
    setFrameStyle(value == TBorderStyle::Single ? (QFrame::StyledPanel | QFrame::Sunken)
                                                : QFrame::NoFrame);
    update();
}

// ---- clipboard ----

void TEDBImage::CopyToClipboard()
{
    if (!picture_.isNull())
        QGuiApplication::clipboard()->setImage(picture_);
}

void TEDBImage::CutToClipboard()
{
    if (picture_.isNull() || !Editable())
        return;
    CopyToClipboard();
    PictureChanged(QImage());
}

void TEDBImage::PasteFromClipboard()
{
    if (!Editable())
        return;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return;
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (!image.isNull())
        PictureChanged(image);
}

void TEDBImage::ClearPicture()
{
    if (Editable() && !(loaded_ && picture_.isNull()))
        PictureChanged(QImage());
}

// ---- events ----

void TEDBImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    drawFrame(&p);
    const QRect client = contentsRect();
    p.fillRect(client, palette().brush(backgroundRole()));

    if (!loaded_) {
        p.setPen(palette().color(foregroundRole()));
        p.setFont(font());
        p.drawText(client, Qt::AlignCenter,
                   QLatin1Char('(') + (label_.isEmpty() ? objectName() : label_) + QLatin1Char(')'));
        return;
    }
    if (picture_.isNull() || picture_.width() <= 0 || picture_.height() <= 0)
        return;

    const QRect target = PictureDrawRect(client, picture_.size(), center_, shrinkToFit_, zoomToFit_);
    if (target.isEmpty())
        return;
    // Scaling a large photo is costly: keep the last scaled copy.
    if (drawn_.size() != target.size()) {
        drawn_ = target.size() == picture_.size()
                     ? QPixmap::fromImage(picture_)
                     : QPixmap::fromImage(picture_.scaled(target.size(), Qt::IgnoreAspectRatio,
                                                          Qt::SmoothTransformation));
    }
    p.setClipRect(client);
    p.drawPixmap(target.topLeft(), drawn_);

    if (hasFocus()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.setBrush(Qt::NoBrush);
        p.drawRect(client.adjusted(0, 0, -1, -1));
    }
}

void TEDBImage::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const int key = event->key();
    const bool ctrl = mods == Qt::ControlModifier;
    const bool shift = mods == Qt::ShiftModifier;

    if ((ctrl && key == Qt::Key_C) || (ctrl && key == Qt::Key_Insert))
        CopyToClipboard();
    else if ((ctrl && key == Qt::Key_X) || (shift && key == Qt::Key_Delete))
        CutToClipboard();
    else if ((ctrl && key == Qt::Key_V) || (shift && key == Qt::Key_Insert))
        PasteFromClipboard();
    else if (ctrl && key == Qt::Key_Delete)
        ClearPicture();
    else if (ctrl && key == Qt::Key_Z)
        Reset();
    else if (mods == Qt::NoModifier && key == Qt::Key_Escape && modified_)
        Reset();
    else if (mods == Qt::NoModifier && (key == Qt::Key_Return || key == Qt::Key_Enter) && !loaded_)
        LoadPicture();
    else {
        // Escape with nothing to undo and Enter with the picture loaded go
        // on to the window (cancel and default buttons).
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TEDBImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    LoadPicture();
    QFrame::mouseDoubleClickEvent(event);
}

void TEDBImage::focusInEvent(QFocusEvent* event)
{
    QFrame::focusInEvent(event);
    update();
}

void TEDBImage::focusOutEvent(QFocusEvent* event)
{
    QFrame::focusOutEvent(event);
    update();
    if (modified_ && event->reason() != Qt::PopupFocusReason &&
        event->reason() != Qt::ActiveWindowFocusReason)
        emit editingFinished();
}
