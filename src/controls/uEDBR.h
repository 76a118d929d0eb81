#pragma once
// Picture helpers of the database picture control, usable without a widget:
// recognising and loading the picture held in a blob, and the rectangles a
// picture is drawn into (list windows drawing photos on cards use the same).
#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

#include <functional>

// Kind of picture content by its first two bytes read as a little-endian
// 16-bit number.
enum class PictureKind {
    None,           // unknown content, or 2 bytes or fewer
    Bitmap,         // 0x4D42 "BM"
    Jpeg,           // 0xD8FF
    Metafile,       // 0xCDD7 placeable metafile
    Icon,           // 0x0000
    StoredGraphic,  // 0x0001, a graphic stored with its class by another toolkit
};

PictureKind PictureKindOf(const QByteArray& bytes);

// Turns content the control does not recognise into a picture; a null image
// means "nothing".  An exception thrown by it counts as a load error.
using LoadCustomImageHandler = std::function<QImage(const QByteArray& bytes)>;

// The picture held in a blob.  Bitmaps, JPEG (through the program's JPEG
// layer) and icons (the first image of the file) load; a load error gives a
// null image.  Metafiles and stored graphics cannot be drawn here and are
// handed to onLoadCustomImage like unknown content.  A NULL or empty blob,
// or one of 2 bytes or fewer, gives a null image without asking the handler.
QImage LoadPictureFromBlob(const QByteArray& blob,
                           const LoadCustomImageHandler& onLoadCustomImage = {},
                           PictureKind* kind = nullptr);

// The largest rectangle of a w x h picture's proportions inside box, centred
// on the shorter side (integer truncation as in the stored layouts).  w or h
// not above 0 returns box unchanged.
QRect FitRect(const QRect& box, int w, int h);

// Where a picture of the given size is drawn in client (stretched when the
// result's size differs from the picture's):
// - shrinkToFit and the picture wider or taller than client: FitRect;
// - otherwise zoomToFit and the picture narrower or shorter: FitRect;
// - otherwise natural size, centred or at client's top-left.
QRect PictureDrawRect(const QRect& client, const QSize& picture, bool center, bool shrinkToFit,
                      bool zoomToFit);
