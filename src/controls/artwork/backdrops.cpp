#include "controls/artwork/backdrops.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

#include "controls/artwork.h"
#include "controls/artwork/look.h"

namespace artwork {
namespace detail {
namespace {

// The racing track across the splash: asphalt with kerbs, an orange line.
void SplashTrack(QPainter& p)
{
    QPainterPath centre;
    centre.moveTo(-60, 262);
    centre.cubicTo(150, 352, 360, 300, 640, 168);
    QPen kerbWhite(QColor(0xe8, 0xe8, 0xe8), 76, Qt::SolidLine, Qt::FlatCap);
    p.setPen(kerbWhite);
    p.setBrush(Qt::NoBrush);
    p.drawPath(centre);
    QPen kerbRed(kAccentLo, 76, Qt::CustomDashLine, Qt::FlatCap);
    kerbRed.setDashPattern({0.26, 0.26});
    p.setPen(kerbRed);
    p.drawPath(centre);
    p.setPen(QPen(QColor(0x1a, 0x1b, 0x1e), 68, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(centre);
    QPen asphalt(QColor(0x2c, 0x2f, 0x34), 64, Qt::SolidLine, Qt::FlatCap);
    p.setPen(asphalt);
    p.drawPath(centre);
    // centre dashes
    QPen dashes(QColor(255, 255, 255, 70), 2, Qt::CustomDashLine, Qt::FlatCap);
    dashes.setDashPattern({9, 9});
    p.setPen(dashes);
    p.drawPath(centre);
    // racing line, hugging the inside of the bend
    QPainterPath line;
    line.moveTo(-60, 274);
    line.cubicTo(160, 356, 360, 282, 640, 180);
    p.setPen(QPen(WithAlpha(kAccent, 60), 10, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(line);
    p.setPen(QPen(kAccentHi, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(line);
}

// A waving chequered flag, drawn cell by cell on a warped grid.
QImage WavingFlag(QSize size, QPointF origin, qreal cell, int cols, int rows)
{
    QImage layer = Canvas(size);
    QPainter p(&layer);
    Smooth(p);
    auto at = [&](qreal c, qreal r) {
        const qreal wave = std::sin(c * 0.62 + r * 0.18);
        return QPointF(origin.x() + c * cell + r * cell * 0.28, origin.y() + r * cell * 0.92 + 9 * wave - c * 2.2);
    };
    p.setPen(Qt::NoPen);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const qreal shade = 0.72 + 0.28 * std::cos(c * 0.62 + r * 0.18 + 0.8);
            QPolygonF q;
            q << at(c, r) << at(c + 1, r) << at(c + 1, r + 1) << at(c, r + 1);
            const bool light = (r + c) % 2 == 0;
            const int v = light ? int(235 * shade) : int(22 + 18 * shade);
            p.setBrush(QColor(v, v, v + (light ? 0 : 2)));
            p.drawPolygon(q);
        }
    return layer;
}

}  // namespace

QImage Splash()
{
    const QSize size(568, 328);
    QImage img = Canvas(size, true);
    QPainter p(&img);
    Smooth(p);
    QLinearGradient bg(0, 0, 568, 328);
    bg.setColorAt(0, QColor(0x26, 0x29, 0x2f));
    bg.setColorAt(1, QColor(0x0c, 0x0d, 0x0f));
    p.fillRect(img.rect(), bg);
    // warm glow behind the track
    QRadialGradient glow(QPointF(150, 300), 300);
    glow.setColorAt(0, WithAlpha(kAccent, 46));
    glow.setColorAt(1, WithAlpha(kAccent, 0));
    p.fillRect(img.rect(), glow);
    // fine pinstripes
    p.setPen(QPen(QColor(255, 255, 255, 7), 1));
    for (int x = -328; x < 568; x += 7)
        p.drawLine(QPointF(x, 328), QPointF(x + 328 * 0.6, 0));

    QImage flag = WavingFlag(size, QPointF(300, -38), 25, 13, 8);
    FadeLayer(flag, 300, 470);
    {
        QPainter fp(&flag);
        fp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient down(0, 100, 0, 190);
        down.setColorAt(0, QColor(0, 0, 0, 255));
        down.setColorAt(1, QColor(0, 0, 0, 0));
        fp.fillRect(flag.rect(), down);
    }
    p.drawImage(0, 0, flag);

    SplashTrack(p);

    // the name
    const QPainterPath name = NamePath(QPointF(92, 142), 70);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 150));
    p.drawPath(name.translated(2, 3));
    QLinearGradient ng(0, 88, 0, 142);
    ng.setColorAt(0, QColor(0xff, 0xff, 0xff));
    ng.setColorAt(1, QColor(0xc8, 0xcc, 0xd2));
    p.setBrush(ng);
    p.drawPath(name);
    SpeedBars(p, QPointF(84, 90), 52, 11);
    const qreal right = name.boundingRect().right();
    QPainterPath swoosh;
    swoosh.moveTo(88, 152);
    swoosh.lineTo(right + 10, 149);
    swoosh.lineTo(right + 4, 152);
    swoosh.lineTo(86, 157);
    swoosh.closeSubpath();
    QLinearGradient sg(88, 0, right + 10, 0);
    sg.setColorAt(0, kAccent);
    sg.setColorAt(1, WithAlpha(kAccent, 30));
    p.setBrush(sg);
    p.drawPath(swoosh);

    p.setFont(PlainFont(15));
    p.setPen(kTextGrey);
    p.drawText(QPointF(94, 182), QStringLiteral("Kart & car racing data acquisition"));
    return img;
}

QRect ChooserButton(int index)
{
    static const int lefts[] = {55, 207, 360};
    return QRect(lefts[std::clamp(index, 0, 2)], 90, 100, 100);
}

QImage ChooserBackground()
{
    QImage img = Canvas(QSize(515, 302), true);
    QPainter p(&img);
    Smooth(p);
    QLinearGradient bg(0, 0, 0, 302);
    bg.setColorAt(0, QColor(0x25, 0x28, 0x2e));
    bg.setColorAt(1, QColor(0x11, 0x12, 0x14));
    p.fillRect(img.rect(), bg);
    p.setPen(QPen(QColor(255, 255, 255, 6), 1));
    for (int x = -302; x < 515; x += 7)
        p.drawLine(QPointF(x, 302), QPointF(x + 302 * 0.6, 0));

    // chequered band at the upper right, fading to the left
    QImage band = Canvas(img.size());
    {
        QPainter bp(&band);
        Chequer(bp, QRectF(290, 3, 230, 66), 11, QColor(255, 255, 255, 40));
    }
    FadeLayer(band, 300, 515);
    p.drawImage(0, 0, band);

    // header: brand mark and name
    SpeedBars(p, QPointF(44, 24), 28, 6.5);
    const QPainterPath name = NamePath(QPointF(50, 50), 34);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 130));
    p.drawPath(name.translated(1, 2));
    p.setBrush(kText);
    p.drawPath(name);
    QLinearGradient rule(24, 0, 491, 0);
    rule.setColorAt(0, kAccent);
    rule.setColorAt(0.6, WithAlpha(kAccent, 60));
    rule.setColorAt(1, WithAlpha(kAccent, 0));
    p.fillRect(QRectF(24, 68, 467, 2), rule);

    // recessed plates behind the three buttons and their captions
    for (int i = 0; i < 3; ++i) {
        const QRectF plate = QRectF(ChooserButton(i)).adjusted(-9, -9, 9, 42);
        QLinearGradient pg(plate.topLeft(), plate.bottomLeft());
        pg.setColorAt(0, QColor(0, 0, 0, 70));
        pg.setColorAt(1, QColor(0, 0, 0, 30));
        p.setBrush(pg);
        p.setPen(QPen(QColor(255, 255, 255, 20), 1));
        p.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
    }

    // low track line along the bottom
    QPainterPath line;
    line.moveTo(-20, 300);
    line.cubicTo(160, 262, 340, 292, 540, 258);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(WithAlpha(kAccent, 50), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(line);
    p.setPen(QPen(WithAlpha(kAccentHi, 200), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(line);

    // frame of the borderless window, accent along the top
    p.setPen(QPen(QColor(0x42, 0x46, 0x4e), 1));
    p.drawRect(QRectF(0.5, 0.5, 514, 301));
    p.fillRect(QRectF(0, 0, 515, 3), kAccent);
    return img;
}

}  // namespace detail

// ---- Stretched backgrounds --------------------------------------------------

using namespace detail;

QPixmap Banner(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    QImage img = Canvas(QSize(width, height), true);
    QPainter p(&img);
    Smooth(p);
    QLinearGradient bg(0, 0, 0, height);
    bg.setColorAt(0, QColor(0x2b, 0x2e, 0x34));
    bg.setColorAt(1, QColor(0x16, 0x17, 0x1a));
    p.fillRect(img.rect(), bg);
    p.setPen(QPen(QColor(255, 255, 255, 7), 1));
    for (int x = -height; x < width; x += 7)
        p.drawLine(QPointF(x, height), QPointF(x + height * 0.6, 0));
    // chequered end, fading in towards the right edge
    const qreal cell = height / 4.0;
    const qreal reach = std::min<qreal>(320, width * 0.5);
    QImage band = Canvas(img.size());
    {
        QPainter bp(&band);
        Chequer(bp, QRectF(width - reach, 0, reach + cell, height), cell, QColor(255, 255, 255, 34));
    }
    FadeLayer(band, width - reach, width);
    p.drawImage(0, 0, band);
    p.fillRect(QRectF(0, 0, width, 1), QColor(255, 255, 255, 20));
    p.fillRect(QRectF(0, height - 1, width, 1), QColor(0x0a, 0x0a, 0x0b));
    return QPixmap::fromImage(img);
}

QPixmap Strip(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    QImage img = Canvas(QSize(width, height), true);
    QPainter p(&img);
    QLinearGradient bg(0, 0, 0, height);
    bg.setColorAt(0, QColor(0x25, 0x28, 0x2d));
    bg.setColorAt(1, QColor(0x13, 0x14, 0x16));
    p.fillRect(img.rect(), bg);
    p.fillRect(QRectF(0, 0, width, std::min(2, height)), kAccent);
    p.fillRect(QRectF(0, 2, width, 1), WithAlpha(kAccentLo, 110));
    p.fillRect(QRectF(0, 3, width, 1), QColor(255, 255, 255, 14));
    p.fillRect(QRectF(0, height - 1, width, 1), QColor(0x08, 0x08, 0x09));
    return QPixmap::fromImage(img);
}

QPixmap Workspace(QSize size)
{
    size = size.expandedTo(QSize(1, 1));
    QImage img = Canvas(size, true);
    QPainter p(&img);
    Smooth(p);
    const qreal w = size.width(), h = size.height();
    QRadialGradient bg(QPointF(w * 0.45, h * 0.3), std::max(w, h) * 0.9);
    bg.setColorAt(0, QColor(0x20, 0x23, 0x28));
    bg.setColorAt(1, QColor(0x0d, 0x0e, 0x10));
    p.fillRect(img.rect(), bg);
    // faint chart grid
    p.setPen(QPen(QColor(255, 255, 255, 6), 1));
    for (int x = 40; x < size.width(); x += 40)
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, h));
    for (int y = 40; y < size.height(); y += 40)
        p.drawLine(QPointF(0, y + 0.5), QPointF(w, y + 0.5));
    // watermark at the lower right
    const int px = std::clamp(int(h / 5), 24, 140);
    QPainterPath mark = NamePath(QPointF(0, 0), px);
    const QRectF br = mark.boundingRect();
    mark.translate(w - br.right() - px * 0.4, h - br.bottom() - px * 0.35);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 10));
    p.drawPath(mark);
    return QPixmap::fromImage(img);
}

}  // namespace artwork
