#pragma once
// The look shared by all drawn pictures: the graphite theme's colours with
// its one racing-orange accent, the fonts, canvases and the painting helpers
// (chequers, fades, the brand mark and name).
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

namespace artwork::detail {

inline const QColor kAccent(0xff, 0x6a, 0x13);
inline const QColor kAccentHi(0xff, 0x8d, 0x45);
inline const QColor kAccentLo(0xc4, 0x4b, 0x06);
inline const QColor kInk(0xd6, 0xd9, 0xde);
inline const QColor kInkDim(0x8e, 0x94, 0x9c);
inline const QColor kText(0xf0, 0xf2, 0xf4);
inline const QColor kTextGrey(0xa8, 0xae, 0xb6);

QColor WithAlpha(QColor c, int alpha);
// A round-capped, round-joined pen.
QPen Pen(const QColor& c, qreal width);
QFont BrandFont(int pixelSize, bool italic = true);
QFont PlainFont(int pixelSize);

// A transparent canvas, or an opaque one for backgrounds.
QImage Canvas(QSize size, bool opaque = false);
void Smooth(QPainter& p);
// Dim, desaturated copy for disabled buttons.
QImage Disabled(const QImage& src);
// A chequered field of `cell`-sized squares, light squares only.
void Chequer(QPainter& p, const QRectF& area, qreal cell, const QColor& light);
// Fades a layer horizontally: transparent at x0, opaque from x1 on (or the
// reverse when x1 < x0).
void FadeLayer(QImage& layer, qreal x0, qreal x1, qreal y0 = 0, qreal y1 = 0);
// The program's name as a path (bold italic), baseline at `origin`.
QPainterPath NamePath(const QPointF& origin, int pixelSize, const QString& text = QStringLiteral("Pitrova"));
// Three slanted speed bars, the brand mark that precedes the name.
void SpeedBars(QPainter& p, const QPointF& topRight, qreal height, qreal barWidth);

}  // namespace artwork::detail
