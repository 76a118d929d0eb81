#include "controls/uEDBR.h"

#include "platform/jpegio.h"

#include <QBuffer>
#include <QImageReader>

PictureKind PictureKindOf(const QByteArray& bytes)
{
    if (bytes.size() <= 2)
        return PictureKind::None;
    const quint16 head = quint16(uchar(bytes[0])) | quint16(uchar(bytes[1])) << 8;
    switch (head) {
    case 0x4D42:
        return PictureKind::Bitmap;
    case 0xD8FF:
        return PictureKind::Jpeg;
    case 0xCDD7:
        return PictureKind::Metafile;
    case 0x0000:
        return PictureKind::Icon;
    case 0x0001:
        return PictureKind::StoredGraphic;
    default:
        return PictureKind::None;
    }
}

namespace {

// Bitmaps and icons through Qt's readers, named explicitly so that no other
// reader (and never an image plugin for JPEG) is picked by content.
QImage ReadWithQt(const QByteArray& bytes, const char* format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    return reader.read();
}

}  // namespace

QImage LoadPictureFromBlob(const QByteArray& blob, const LoadCustomImageHandler& onLoadCustomImage,
                           PictureKind* kind)
{
    const PictureKind k = PictureKindOf(blob);
    if (kind)
        *kind = k;
    if (blob.size() <= 2)
        return QImage();
    switch (k) {
    case PictureKind::Bitmap:
        return ReadWithQt(blob, "bmp");
    case PictureKind::Jpeg:
        return DecodeJpeg(blob);
    case PictureKind::Icon:
        return ReadWithQt(blob, "ico");
    case PictureKind::Metafile:
    case PictureKind::StoredGraphic:
    case PictureKind::None:
        break;
    }
    if (!onLoadCustomImage)
        return QImage();
    try {
        return onLoadCustomImage(blob);
    } catch (...) {
        return QImage();
    }
}

QRect FitRect(const QRect& box, int w, int h)
{
    if (w <= 0 || h <= 0)
        return box;
    const int W = box.width();
    const int H = box.height();
    if (double(w) / W <= double(h) / H) {
        const int width = int(qint64(w) * H / h);
        return QRect(box.left() + (W - width) / 2, box.top(), width, H);
    }
    const int height = int(qint64(h) * W / w);
    return QRect(box.left(), box.top() + (H - height) / 2, W, height);
}

QRect PictureDrawRect(const QRect& client, const QSize& picture, bool center, bool shrinkToFit,
                      bool zoomToFit)
{
    const int w = picture.width();
    const int h = picture.height();
    const int cw = client.width();
    const int ch = client.height();
    if (shrinkToFit && (w > cw || h > ch))
        return FitRect(client, w, h);
    if (zoomToFit && (w < cw || h < ch))
        return FitRect(client, w, h);
    if (center)
        return QRect(client.left() + (cw - w) / 2, client.top() + (ch - h) / 2, w, h);
    return QRect(client.topLeft(), picture);
}
