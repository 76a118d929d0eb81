#include "controls/artwork/look.h"

#include <QLinearGradient>
#include <QPainter>

#include <cmath>

namespace artwork::detail {

QColor WithAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QPen Pen(const QColor& c, qreal width)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QFont BrandFont(int pixelSize, bool italic)
{
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("Arial")});
    f.setStyleHint(QFont::SansSerif);
    f.setBold(true);
    f.setItalic(italic);
    f.setPixelSize(pixelSize);
    return f;
}

QFont PlainFont(int pixelSize)
{
    QFont f = BrandFont(pixelSize, false);
    f.setBold(false);
    return f;
}

// A transparent canvas, or an opaque one for backgrounds.
QImage Canvas(QSize size, bool opaque)
{
    QImage img(size, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    img.fill(opaque ? Qt::black : Qt::transparent);
    return img;
}

void Smooth(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// Dim, desaturated copy for disabled buttons.
QImage Disabled(const QImage& src)
{
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = line[x];
            const int lum = (qRed(c) * 11 + qGreen(c) * 16 + qBlue(c) * 5) / 32;
            const int v = 22 + lum * 38 / 100;
            line[x] = qRgba(v, v, v + 2, qAlpha(c) * 85 / 100);
        }
    }
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// A chequered field of `cell`-sized squares, light squares only.
void Chequer(QPainter& p, const QRectF& area, qreal cell, const QColor& light)
{
    const int cols = int(std::ceil(area.width() / cell));
    const int rows = int(std::ceil(area.height() / cell));
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            if ((r + c) % 2 == 0)
                p.drawRect(QRectF(area.left() + c * cell, area.top() + r * cell, cell, cell));
}

// Fades a layer horizontally: transparent at x0, opaque from x1 on (or the
// reverse when x1 < x0).
void FadeLayer(QImage& layer, qreal x0, qreal x1, qreal y0, qreal y1)
{
    QPainter p(&layer);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    QLinearGradient g(x0, y0, x1, y1);
    g.setColorAt(0, QColor(0, 0, 0, 0));
    g.setColorAt(1, QColor(0, 0, 0, 255));
    p.fillRect(layer.rect(), g);
}

// The program's name as a path (bold italic), baseline at `origin`.
QPainterPath NamePath(const QPointF& origin, int pixelSize, const QString& text)
{
    QPainterPath path;
    path.addText(origin, BrandFont(pixelSize), text);
    return path;
}

// Three slanted speed bars, the brand mark that precedes the name.
void SpeedBars(QPainter& p, const QPointF& topRight, qreal height, qreal barWidth)
{
    p.setPen(Qt::NoPen);
    const qreal slant = height * 0.32;
    for (int i = 0; i < 3; ++i) {
        const qreal right = topRight.x() - i * barWidth * 1.7;
        const qreal top = topRight.y() + i * height * 0.16;
        const qreal bottom = topRight.y() + height;
        QPolygonF bar;
        bar << QPointF(right - barWidth, top) << QPointF(right, top)
            << QPointF(right - slant * (bottom - top) / height, bottom)
            << QPointF(right - barWidth - slant * (bottom - top) / height, bottom);
        QColor c = kAccent;
        c.setAlpha(255 - i * 70);
        p.setBrush(c);
        p.drawPolygon(bar);
    }
}

}  // namespace artwork::detail
