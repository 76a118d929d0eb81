#include "shell/artwork.h"

#include "controls/ButtonComps.h"

#include <QCoreApplication>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>

namespace artwork {
namespace {

// ---- Theme -----------------------------------------------------------------

const QColor kAccent(0xff, 0x6a, 0x13);
const QColor kAccentHi(0xff, 0x8d, 0x45);
const QColor kAccentLo(0xc4, 0x4b, 0x06);
const QColor kInk(0xd6, 0xd9, 0xde);
const QColor kInkDim(0x8e, 0x94, 0x9c);
const QColor kText(0xf0, 0xf2, 0xf4);
const QColor kTextGrey(0xa8, 0xae, 0xb6);

QColor WithAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QPen Pen(const QColor& c, qreal width)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QFont BrandFont(int pixelSize, bool italic = true)
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
QImage Canvas(QSize size, bool opaque = false)
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
void FadeLayer(QImage& layer, qreal x0, qreal x1, qreal y0 = 0, qreal y1 = 0)
{
    QPainter p(&layer);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    QLinearGradient g(x0, y0, x1, y1);
    g.setColorAt(0, QColor(0, 0, 0, 0));
    g.setColorAt(1, QColor(0, 0, 0, 255));
    p.fillRect(layer.rect(), g);
}

// The program's name as a path (bold italic), baseline at `origin`.
QPainterPath NamePath(const QPointF& origin, int pixelSize, const QString& text = QStringLiteral("Pitrova"))
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

// ---- Icons (drawn on a 24 x 24 grid) ---------------------------------------

struct Ink {
    QColor line;    // outlines
    QColor accent;  // the one orange part of an icon
    QColor soft;    // faint fill inside outlines
    QColor back;    // the face the icon sits on (separating rings)
    qreal stroke = 1.9;
};

using IconFn = void (*)(QPainter&, const Ink&);

void Outline(QPainter& p, const Ink& k, qreal factor = 1.0)
{
    p.setPen(Pen(k.line, k.stroke * factor));
}

void IconNewProject(QPainter& p, const Ink& k)
{
    QPainterPath doc;
    doc.moveTo(5, 2.5);
    doc.lineTo(13.5, 2.5);
    doc.lineTo(19, 8);
    doc.lineTo(19, 21.5);
    doc.lineTo(5, 21.5);
    doc.closeSubpath();
    Outline(p, k);
    p.setBrush(k.soft);
    p.drawPath(doc);
    p.setBrush(Qt::NoBrush);
    QPainterPath fold;
    fold.moveTo(13.5, 2.5);
    fold.lineTo(13.5, 8);
    fold.lineTo(19, 8);
    p.drawPath(fold);
    p.setPen(Pen(WithAlpha(k.line, 150), k.stroke * 0.7));
    p.drawLine(QPointF(8, 11.5), QPointF(14.5, 11.5));
    p.drawLine(QPointF(8, 14.8), QPointF(11, 14.8));
    p.setPen(Pen(k.back, 1.6));
    p.setBrush(k.accent);
    p.drawEllipse(QPointF(17.3, 17.3), 5.6, 5.6);
    p.setPen(Pen(Qt::white, 1.9));
    p.drawLine(QPointF(17.3, 14.6), QPointF(17.3, 20.0));
    p.drawLine(QPointF(14.6, 17.3), QPointF(20.0, 17.3));
}

void IconOpenProject(QPainter& p, const Ink& k)
{
    QPainterPath back;
    back.moveTo(2.5, 19.5);
    back.lineTo(2.5, 5.5);
    back.quadTo(2.5, 4.5, 3.5, 4.5);
    back.lineTo(9, 4.5);
    back.lineTo(11, 6.8);
    back.lineTo(19, 6.8);
    back.quadTo(20, 6.8, 20, 7.8);
    back.lineTo(20, 11);
    Outline(p, k);
    p.setBrush(k.soft);
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(2.5, 19.5);
    front.lineTo(5.8, 11);
    front.lineTo(22.4, 11);
    front.lineTo(19.2, 19.5);
    front.closeSubpath();
    p.setBrush(k.accent);
    p.drawPath(front);
}

void IconSave(QPainter& p, const Ink& k)
{
    QPainterPath body;
    body.moveTo(5, 3);
    body.lineTo(16.5, 3);
    body.lineTo(21, 7.5);
    body.lineTo(21, 19);
    body.quadTo(21, 21, 19, 21);
    body.lineTo(5, 21);
    body.quadTo(3, 21, 3, 19);
    body.lineTo(3, 5);
    body.quadTo(3, 3, 5, 3);
    body.closeSubpath();
    Outline(p, k);
    p.setBrush(k.soft);
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(7.2, 3, 8.4, 5.6));
    p.setPen(Qt::NoPen);
    p.setBrush(k.line);
    p.drawRect(QRectF(12.2, 4.4, 1.9, 2.8));
    Outline(p, k, 0.8);
    p.setBrush(k.accent);
    p.drawRoundedRect(QRectF(6.5, 12.4, 11, 6.6), 1, 1);
}

void IconHelmet(QPainter& p, const Ink& k)
{
    QPainterPath shell;
    shell.moveTo(3.2, 15);
    shell.cubicTo(3.2, 8.4, 8.4, 3.4, 14, 3.4);
    shell.cubicTo(18.9, 3.4, 21.3, 7, 21.3, 11.5);
    shell.lineTo(21.3, 15.2);
    shell.quadTo(21.3, 16.7, 19.8, 17.1);
    shell.lineTo(9.5, 20.1);
    shell.quadTo(7.6, 20.6, 6, 19.8);
    shell.quadTo(3.2, 18.4, 3.2, 15);
    shell.closeSubpath();
    Outline(p, k);
    p.setBrush(k.soft);
    p.drawPath(shell);
    QPainterPath visor;
    visor.moveTo(11.2, 8.2);
    visor.lineTo(21.1, 8.2);
    visor.lineTo(21.3, 13.3);
    visor.lineTo(12.9, 13.3);
    visor.quadTo(11.2, 13.3, 11.2, 11.6);
    visor.closeSubpath();
    p.setBrush(k.accent);
    p.drawPath(visor);
    p.setBrush(Qt::NoBrush);
    p.setPen(Pen(WithAlpha(k.line, 170), k.stroke * 0.75));
    QPainterPath stripe;
    stripe.moveTo(5.4, 14.6);
    stripe.cubicTo(5.9, 10.6, 8.2, 7.6, 11.2, 6.1);
    p.drawPath(stripe);
}

void IconTrack(QPainter& p, const Ink& k)
{
    // a circuit with a hairpin and an infield loop
    QPainterPath track;
    track.moveTo(3.6, 17.2);
    track.cubicTo(3.6, 19.8, 5.2, 20.8, 7.4, 20.8);
    track.lineTo(17.8, 20.8);
    track.cubicTo(20.6, 20.8, 21.6, 19.0, 20.9, 16.9);
    track.lineTo(19.6, 12.9);
    track.cubicTo(19.0, 10.8, 16.9, 10.7, 15.9, 12.2);
    track.lineTo(14.6, 14.0);
    track.cubicTo(13.6, 15.3, 11.5, 14.8, 11.5, 13.0);
    track.lineTo(11.5, 11.3);
    track.cubicTo(11.5, 9.7, 12.6, 8.9, 14.1, 8.6);
    track.lineTo(18.6, 7.6);
    track.cubicTo(21.0, 7.0, 20.8, 3.4, 18.2, 3.4);
    track.lineTo(8.0, 3.4);
    track.cubicTo(5.3, 3.4, 3.6, 5.1, 3.6, 7.8);
    track.closeSubpath();
    p.setBrush(k.soft);
    p.setPen(Pen(k.line, k.stroke * 1.3));
    p.drawPath(track);
    // start / finish line across the straight, and a car on the loop
    p.setPen(Pen(k.accent, k.stroke * 1.15));
    p.drawLine(QPointF(10.5, 18.4), QPointF(10.5, 23.2));
    p.setPen(Qt::NoPen);
    p.setBrush(k.accent);
    p.drawEllipse(QPointF(3.6, 12.4), 1.8, 1.8);
}

void IconVehicle(QPainter& p, const Ink& k)
{
    // wheel: tyre, rim and spokes
    const QPointF hub(9.4, 14.6);
    p.setPen(Pen(k.line, k.stroke * 1.6));
    p.setBrush(k.soft);
    p.drawEllipse(hub, 6.6, 6.6);
    p.setPen(Pen(k.line, k.stroke * 0.7));
    for (int i = 0; i < 5; ++i) {
        const qreal a = (i * 72 - 90) * std::numbers::pi / 180;
        p.drawLine(hub + QPointF(std::cos(a), std::sin(a)) * 1.6, hub + QPointF(std::cos(a), std::sin(a)) * 4.9);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(k.line);
    p.drawEllipse(hub, 1.6, 1.6);
    // open-end spanner across it
    QPainterPath head;
    head.addEllipse(QPointF(0, 0), 3.8, 3.8);
    QPainterPath slot;
    slot.addRect(QRectF(0.2, -1.35, 5, 2.7));
    QPainterPath handle;
    handle.addRoundedRect(QRectF(-11.5, -1.5, 9.5, 3.0), 1.5, 1.5);
    const QPainterPath spanner = head.subtracted(slot).united(handle);
    p.save();
    p.translate(18.6, 5.4);
    p.rotate(-45);
    p.setPen(Pen(k.back, 1.5));
    p.setBrush(k.accent);
    p.drawPath(spanner);
    p.restore();
}

void IconTemplate(QPainter& p, const Ink& k)
{
    Outline(p, k);
    p.setBrush(k.soft);
    p.drawRoundedRect(QRectF(3, 3, 18, 18), 2.2, 2.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(Pen(k.accent, k.stroke * 0.95));
    const QPointF chart[] = {{6, 11}, {9, 7.6}, {12, 9.6}, {15, 5.8}, {18, 8.2}};
    p.drawPolyline(chart, 5);
    for (qreal y : {14.3, 17.6}) {
        p.setPen(Qt::NoPen);
        p.setBrush(k.line);
        p.drawEllipse(QPointF(6.6, y), 1.05, 1.05);
        p.setPen(Pen(WithAlpha(k.line, 170), k.stroke * 0.75));
        p.drawLine(QPointF(9.2, y), QPointF(18, y));
    }
}

// A USB key lying flat, connector pointing left or right.
void UsbKey(QPainter& p, const Ink& k, const QRectF& body, bool connectorRight)
{
    const qreal ch = body.height() * 0.56;
    const qreal cw = body.height() * 0.62;
    const QRectF conn(connectorRight ? body.right() : body.left() - cw,
                      body.center().y() - ch / 2, cw, ch);
    Outline(p, k, 0.85);
    p.setBrush(Qt::NoBrush);
    p.drawRect(conn);
    p.setPen(Qt::NoPen);
    p.setBrush(k.line);
    const qreal pad = ch * 0.22;
    const qreal sq = ch * 0.24;
    const qreal sx = conn.left() + conn.width() * 0.5 - sq / 2;
    p.drawRect(QRectF(sx, conn.top() + pad, sq, sq));
    p.drawRect(QRectF(sx, conn.bottom() - pad - sq, sq, sq));
    Outline(p, k);
    p.setBrush(k.soft);
    p.drawRoundedRect(body, 1.6, 1.6);
}

void IconReadKey(QPainter& p, const Ink& k)
{
    // computer
    Outline(p, k);
    p.setBrush(k.soft);
    p.drawRoundedRect(QRectF(8.6, 2.4, 14, 10.2), 1.3, 1.3);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(13.6, 12.6), QPointF(13.6, 14.8));
    p.drawLine(QPointF(10.8, 15.0), QPointF(16.4, 15.0));
    // key
    UsbKey(p, k, QRectF(1.3, 17.0, 7.0, 4.8), true);
    // arrow from the key up into the screen
    p.setPen(Pen(k.accent, k.stroke * 1.05));
    QPainterPath arrow;
    arrow.moveTo(11.8, 19.4);
    arrow.lineTo(17.4, 19.4);
    arrow.quadTo(19.4, 19.4, 19.4, 17.4);
    arrow.lineTo(19.4, 6.0);
    p.drawPath(arrow);
    QPainterPath head;
    head.moveTo(16.6, 8.8);
    head.lineTo(19.4, 6.0);
    head.lineTo(22.2, 8.8);
    p.drawPath(head);
}

void IconSaveToKey(QPainter& p, const Ink& k)
{
    UsbKey(p, k, QRectF(7.6, 13.2, 14, 7.6), false);
    p.setPen(Pen(WithAlpha(k.line, 150), k.stroke * 0.7));
    p.drawLine(QPointF(11.5, 17), QPointF(17.8, 17));
    p.setPen(Pen(k.accent, k.stroke * 1.15));
    p.drawLine(QPointF(14.6, 2.0), QPointF(14.6, 11.0));
    QPainterPath head;
    head.moveTo(11.2, 7.8);
    head.lineTo(14.6, 11.2);
    head.lineTo(18.0, 7.8);
    p.setBrush(Qt::NoBrush);
    p.drawPath(head);
}

// One small window: frame and title bar.
void MiniWindow(QPainter& p, const Ink& k, const QRectF& r, bool front)
{
    p.setPen(Pen(k.line, k.stroke * 0.8));
    p.setBrush(k.back);
    p.drawRoundedRect(r, 1.1, 1.1);
    p.setBrush(k.soft);
    p.drawRoundedRect(r, 1.1, 1.1);
    p.setPen(Qt::NoPen);
    p.setBrush(front ? k.accent : WithAlpha(k.line, 190));
    QPainterPath bar;
    bar.addRoundedRect(QRectF(r.left(), r.top(), r.width(), 3.0), 1.1, 1.1);
    p.drawPath(bar);
}

void IconCascade(QPainter& p, const Ink& k)
{
    for (int i = 0; i < 3; ++i)
        MiniWindow(p, k, QRectF(2.5 + i * 4.2, 3 + i * 4.4, 11.5, 9), i == 2);
}

void IconTile(QPainter& p, const Ink& k)
{
    for (int i = 0; i < 4; ++i)
        MiniWindow(p, k, QRectF(3 + (i % 2) * 9.6, 3 + (i / 2) * 9.6, 8.4, 8.4), i == 0);
}

void IconExit(QPainter& p, const Ink& k)
{
    QPainterPath door;
    door.moveTo(10, 20.5);
    door.lineTo(5.5, 20.5);
    door.quadTo(3.5, 20.5, 3.5, 18.5);
    door.lineTo(3.5, 5.5);
    door.quadTo(3.5, 3.5, 5.5, 3.5);
    door.lineTo(10, 3.5);
    Outline(p, k);
    p.setBrush(Qt::NoBrush);
    p.drawPath(door);
    p.setPen(Pen(k.accent, k.stroke * 1.05));
    p.drawLine(QPointF(9.5, 12), QPointF(20.5, 12));
    QPainterPath head;
    head.moveTo(16, 7.5);
    head.lineTo(20.5, 12);
    head.lineTo(16, 16.5);
    p.drawPath(head);
}

void IconOk(QPainter& p, const Ink& k)
{
    p.setPen(Pen(k.accent, k.stroke * 1.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(5, 12.6);
    tick.lineTo(9.8, 17.4);
    tick.lineTo(19.2, 6.8);
    p.drawPath(tick);
}

void IconCancel(QPainter& p, const Ink& k)
{
    p.setPen(Pen(k.line, k.stroke * 1.5));
    p.drawLine(QPointF(6.6, 6.6), QPointF(17.4, 17.4));
    p.drawLine(QPointF(17.4, 6.6), QPointF(6.6, 17.4));
}

void IconAdd(QPainter& p, const Ink& k)
{
    Outline(p, k);
    p.setBrush(k.soft);
    p.drawEllipse(QPointF(12, 12), 8.8, 8.8);
    p.setPen(Pen(k.accent, k.stroke * 1.25));
    p.drawLine(QPointF(12, 7.4), QPointF(12, 16.6));
    p.drawLine(QPointF(7.4, 12), QPointF(16.6, 12));
}

void IconEdit(QPainter& p, const Ink& k)
{
    QPainterPath pencil;
    pencil.moveTo(15.6, 4.2);
    pencil.lineTo(19.8, 8.4);
    pencil.lineTo(8.8, 19.4);
    pencil.lineTo(3.6, 20.4);
    pencil.lineTo(4.6, 15.2);
    pencil.closeSubpath();
    Outline(p, k);
    p.setBrush(k.accent);
    p.drawPath(pencil);
    p.drawLine(QPointF(13.3, 6.5), QPointF(17.5, 10.7));
    p.drawLine(QPointF(4.6, 15.2), QPointF(8.8, 19.4));
    p.setPen(Pen(WithAlpha(k.line, 150), k.stroke * 0.7));
    p.drawLine(QPointF(12.5, 20.6), QPointF(20.5, 20.6));
}

void IconDelete(QPainter& p, const Ink& k)
{
    QPainterPath can;
    can.moveTo(6, 7);
    can.lineTo(7.1, 19.8);
    can.quadTo(7.2, 21, 8.4, 21);
    can.lineTo(15.6, 21);
    can.quadTo(16.8, 21, 16.9, 19.8);
    can.lineTo(18, 7);
    Outline(p, k);
    p.setBrush(k.soft);
    p.drawPath(can);
    p.setPen(Pen(WithAlpha(k.line, 170), k.stroke * 0.75));
    p.drawLine(QPointF(10, 10.5), QPointF(10.3, 17.6));
    p.drawLine(QPointF(14, 10.5), QPointF(13.7, 17.6));
    p.setPen(Pen(k.accent, k.stroke * 1.05));
    p.drawLine(QPointF(4, 6.5), QPointF(20, 6.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath grip;
    grip.moveTo(9.5, 6.3);
    grip.lineTo(9.5, 4.2);
    grip.lineTo(14.5, 4.2);
    grip.lineTo(14.5, 6.3);
    p.drawPath(grip);
}

// Chart axes shared by the three analysis toggles.
void Axes(QPainter& p, const Ink& k)
{
    p.setPen(Pen(WithAlpha(k.line, 150), k.stroke * 0.75));
    p.setBrush(Qt::NoBrush);
    const QPointF axes[] = {{3, 3}, {3, 21}, {21.5, 21}};
    p.drawPolyline(axes, 3);
}

void IconLapTimes(QPainter& p, const Ink& k)
{
    Axes(p, k);
    const qreal heights[] = {12.5, 15, 9, 13.5};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(i == 2 ? k.accent : WithAlpha(k.line, 220));
        QPainterPath bar;
        bar.addRoundedRect(QRectF(5.3 + i * 4.2, 19.6 - heights[i], 3.0, heights[i] + 1), 0.8, 0.8);
        p.drawPath(bar);
    }
}

void IconWholeSession(QPainter& p, const Ink& k)
{
    Axes(p, k);
    p.setPen(Pen(WithAlpha(k.line, 200), k.stroke * 0.7));
    const QPointF second[] = {{4.5, 18}, {8, 16.8}, {12, 18.2}, {16, 16.6}, {21, 17.6}};
    p.drawPolyline(second, 5);
    p.setPen(Pen(k.accent, k.stroke * 0.85));
    const QPointF first[] = {{4.5, 14.5}, {6, 8.5},  {7.6, 12},   {9.2, 5.8}, {11, 12.6}, {12.6, 9.4},
                             {14.2, 15}, {15.8, 7.5}, {17.6, 11}, {19.2, 5},  {21, 11.5}};
    p.drawPolyline(first, 11);
}

void IconLapOverlay(QPainter& p, const Ink& k)
{
    Axes(p, k);
    auto lap = [&](qreal dx, qreal dy) {
        QPainterPath path;
        path.moveTo(4.5 + dx, 17 + dy);
        path.cubicTo(7.5 + dx, 3 + dy, 11 + dx, 21 + dy, 14.5 + dx, 8.5 + dy);
        path.cubicTo(16.5 + dx, 2.5 + dy, 19 + dx, 12 + dy, 21 + dx, 10 + dy);
        return path;
    };
    p.setBrush(Qt::NoBrush);
    p.setPen(Pen(WithAlpha(k.line, 120), k.stroke * 0.8));
    p.drawPath(lap(0.6, 3.0));
    p.setPen(Pen(WithAlpha(k.line, 230), k.stroke * 0.8));
    p.drawPath(lap(0.2, 1.5));
    p.setPen(Pen(k.accent, k.stroke * 0.9));
    p.drawPath(lap(-0.2, 0));
}

void IconCamera(QPainter& p, const Ink& k)
{
    QPainterPath body;
    body.addRoundedRect(QRectF(2.5, 7, 19, 13), 2.2, 2.2);
    QPainterPath hump;
    hump.moveTo(7.6, 7.4);
    hump.lineTo(9.3, 4.6);
    hump.lineTo(14.7, 4.6);
    hump.lineTo(16.4, 7.4);
    hump.closeSubpath();
    Outline(p, k);
    p.setBrush(k.soft);
    p.drawPath(body.united(hump));
    p.drawEllipse(QPointF(12, 13.5), 4.2, 4.2);
    p.setBrush(k.soft);
    p.drawEllipse(QPointF(12, 13.5), 1.9, 1.9);
    p.setPen(Qt::NoPen);
    p.setBrush(k.accent);
    p.drawEllipse(QPointF(18.3, 10.2), 1.0, 1.0);
}

void DrawIcon(QPainter& p, IconFn icon, const QRectF& box, const Ink& ink)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 24.0, box.height() / 24.0);
    icon(p, ink);
    p.restore();
}

// ---- Button faces ----------------------------------------------------------

enum class Face { Normal, Over, Down, Up, On };

QColor FaceMid(Face f)
{
    switch (f) {
    case Face::Normal: return QColor(0x29, 0x2c, 0x31);
    case Face::Over: return QColor(0x38, 0x3c, 0x43);
    case Face::Down: return QColor(0x1b, 0x1d, 0x20);
    case Face::Up: return QColor(0x36, 0x35, 0x36);
    case Face::On: return QColor(0x3e, 0x27, 0x18);
    }
    return {};
}

void DrawFace(QPainter& p, const QRectF& rect, Face f, qreal radius)
{
    const QRectF r = rect.adjusted(1, 1, -1, -1);
    QPainterPath shape;
    shape.addRoundedRect(r, radius, radius);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    QColor border;
    qreal borderWidth = 1.0;
    switch (f) {
    case Face::Normal:
        g.setColorAt(0, QColor(0x36, 0x3a, 0x41));
        g.setColorAt(1, QColor(0x1d, 0x1f, 0x23));
        border = QColor(0x4d, 0x52, 0x5b);
        break;
    case Face::Over:
        g.setColorAt(0, QColor(0x4a, 0x4f, 0x58));
        g.setColorAt(1, QColor(0x29, 0x2c, 0x32));
        border = kAccent;
        borderWidth = 1.6;
        break;
    case Face::Down:
        g.setColorAt(0, QColor(0x12, 0x13, 0x15));
        g.setColorAt(1, QColor(0x26, 0x29, 0x2e));
        border = kAccentLo;
        borderWidth = 1.6;
        break;
    case Face::Up:
        g.setColorAt(0, QColor(0x47, 0x46, 0x48));
        g.setColorAt(1, QColor(0x2a, 0x28, 0x27));
        border = kAccentHi;
        borderWidth = 1.6;
        break;
    case Face::On:
        g.setColorAt(0, QColor(0x5c, 0x33, 0x18));
        g.setColorAt(1, QColor(0x2a, 0x1b, 0x11));
        border = kAccent;
        borderWidth = 1.6;
        break;
    }
    // soft drop shadow below raised faces
    if (f != Face::Down) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawRoundedRect(r.translated(0, 1), radius, radius);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(shape);
    p.save();
    p.setClipPath(shape);
    if (f == Face::Down) {
        // pressed: inner shadow along the top and left
        QLinearGradient sh(r.topLeft(), r.topLeft() + QPointF(0, r.height() * 0.3));
        sh.setColorAt(0, QColor(0, 0, 0, 150));
        sh.setColorAt(1, QColor(0, 0, 0, 0));
        p.fillRect(r, sh);
    } else {
        // raised: a light sheen on the upper half
        QLinearGradient sheen(r.topLeft(), r.topLeft() + QPointF(0, r.height() * 0.5));
        sheen.setColorAt(0, QColor(255, 255, 255, f == Face::Normal ? 22 : 34));
        sheen.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(r, sheen);
    }
    if (f == Face::Up) {
        // released over the button: an accent bar marks the action taken
        p.setBrush(kAccent);
        p.drawRoundedRect(QRectF(r.left() + r.width() * 0.22, r.bottom() - 4.2, r.width() * 0.56, 2.4), 1.2,
                          1.2);
    }
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(border, borderWidth));
    p.drawRoundedRect(r.adjusted(borderWidth / 2 - 0.5, borderWidth / 2 - 0.5, 0.5 - borderWidth / 2,
                                 0.5 - borderWidth / 2),
                      radius, radius);
}

Ink InkFor(Face f, qreal stroke)
{
    Ink k;
    k.stroke = stroke;
    k.back = FaceMid(f);
    switch (f) {
    case Face::Normal:
        k.line = kInk;
        k.accent = kAccent;
        break;
    case Face::Over:
    case Face::Up:
    case Face::On:
        k.line = QColor(0xff, 0xff, 0xff);
        k.accent = kAccentHi;
        break;
    case Face::Down:
        k.line = QColor(0xb8, 0xbd, 0xc4);
        k.accent = kAccent;
        break;
    }
    k.soft = WithAlpha(k.line, f == Face::Down ? 26 : 38);
    return k;
}

struct ButtonStyle {
    QSize size;
    qreal radius;
    qreal iconSize;
    qreal stroke;
};

ButtonStyle StyleOf(ButtonId id)
{
    switch (id) {
    case ButtonId::NewProject:
    case ButtonId::OpenProject:
    case ButtonId::SaveProject:
    case ButtonId::Drivers:
    case ButtonId::Tracks:
    case ButtonId::Vehicle:
    case ButtonId::Template:
    case ButtonId::ReadKey:
    case ButtonId::SaveToKey: return {QSize(48, 45), 7, 30, 1.75};
    case ButtonId::ChooserOpen:
    case ButtonId::ChooserNew:
    case ButtonId::ChooserExit: return {QSize(100, 100), 16, 56, 1.45};
    case ButtonId::Cascade:
    case ButtonId::Tile: return {QSize(40, 40), 6, 26, 1.6};
    case ButtonId::Ok:
    case ButtonId::Cancel:
    case ButtonId::ListAdd:
    case ButtonId::ListEdit:
    case ButtonId::ListDelete:
    case ButtonId::Count: break;
    }
    return {QSize(40, 40), 6, 26, 1.75};
}

IconFn IconOf(ButtonId id)
{
    switch (id) {
    case ButtonId::NewProject: return IconNewProject;
    case ButtonId::OpenProject: return IconOpenProject;
    case ButtonId::SaveProject: return IconSave;
    case ButtonId::Drivers: return IconHelmet;
    case ButtonId::Tracks: return IconTrack;
    case ButtonId::Vehicle: return IconVehicle;
    case ButtonId::Template: return IconTemplate;
    case ButtonId::ReadKey: return IconReadKey;
    case ButtonId::SaveToKey: return IconSaveToKey;
    case ButtonId::Cascade: return IconCascade;
    case ButtonId::Tile: return IconTile;
    case ButtonId::ChooserOpen: return IconOpenProject;
    case ButtonId::ChooserNew: return IconNewProject;
    case ButtonId::ChooserExit: return IconExit;
    case ButtonId::Ok: return IconOk;
    case ButtonId::Cancel: return IconCancel;
    case ButtonId::ListAdd: return IconAdd;
    case ButtonId::ListEdit: return IconEdit;
    case ButtonId::ListDelete: return IconDelete;
    case ButtonId::Count: break;
    }
    return IconOk;
}

QImage ButtonFace(const ButtonStyle& st, IconFn icon, Face f)
{
    QImage img = Canvas(st.size);
    QPainter p(&img);
    Smooth(p);
    const QRectF rect(QPointF(0, 0), QSizeF(st.size));
    DrawFace(p, rect, f, st.radius);
    QRectF box((rect.width() - st.iconSize) / 2, (rect.height() - st.iconSize) / 2, st.iconSize, st.iconSize);
    if (f == Face::Down)
        box.translate(1, 1);
    DrawIcon(p, icon, box, InkFor(f, st.stroke));
    return img;
}

ButtonArt MakeButton(ButtonId id)
{
    const ButtonStyle st = StyleOf(id);
    const IconFn icon = IconOf(id);
    const QImage normal = ButtonFace(st, icon, Face::Normal);
    ButtonArt b;
    b.normal = QPixmap::fromImage(normal);
    b.over = QPixmap::fromImage(ButtonFace(st, icon, Face::Over));
    b.down = QPixmap::fromImage(ButtonFace(st, icon, Face::Down));
    b.up = QPixmap::fromImage(ButtonFace(st, icon, Face::Up));
    b.disabled = QPixmap::fromImage(Disabled(normal));
    return b;
}

// ---- Single pictures ---------------------------------------------------------

QImage Toggle(IconFn icon, bool on)
{
    const ButtonStyle st{QSize(48, 45), 7, 30, 1.75};
    QImage img = Canvas(st.size);
    QPainter p(&img);
    Smooth(p);
    const QRectF rect(0, 0, 48, 45);
    const Face f = on ? Face::On : Face::Normal;
    DrawFace(p, rect, f, st.radius);
    Ink k = InkFor(f, st.stroke);
    if (!on) {
        k.line = kInkDim;
        k.accent = QColor(0xb0, 0xb5, 0xbc);
        k.soft = WithAlpha(k.line, 26);
    }
    DrawIcon(p, icon, QRectF(8, 8.5, 29, 29), k);
    // indicator lamp at the upper right
    const QPointF lamp(40.5, 7.0);
    if (on) {
        QRadialGradient glow(lamp, 5.5);
        glow.setColorAt(0, WithAlpha(kAccentHi, 200));
        glow.setColorAt(1, WithAlpha(kAccentHi, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(lamp, 5.5, 5.5);
        p.setBrush(QColor(0xff, 0xc0, 0x8a));
        p.drawEllipse(lamp, 2.1, 2.1);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x14, 0x15, 0x17));
        p.drawEllipse(lamp, 2.4, 2.4);
        p.setBrush(QColor(0x48, 0x4c, 0x53));
        p.drawEllipse(lamp, 1.6, 1.6);
    }
    return img;
}

QImage Logo()
{
    QImage img = Canvas(QSize(190, 52));
    QPainter p(&img);
    Smooth(p);
    SpeedBars(p, QPointF(38, 15), 22, 5);
    const QPainterPath name = NamePath(QPointF(44, 35), 27);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 120));
    p.drawPath(name.translated(1, 1.5));
    QLinearGradient g(0, 14, 0, 36);
    g.setColorAt(0, QColor(0xff, 0xff, 0xff));
    g.setColorAt(1, QColor(0xc9, 0xcd, 0xd3));
    p.setBrush(g);
    p.drawPath(name);
    // underline swoosh, tapering to the right
    const qreal right = std::min(186.0, name.boundingRect().right() + 4);
    QPainterPath swoosh;
    swoosh.moveTo(42, 39.5);
    swoosh.lineTo(right, 38.3);
    swoosh.lineTo(right - 2, 39.4);
    swoosh.lineTo(41.2, 42.2);
    swoosh.closeSubpath();
    QLinearGradient sg(42, 0, right, 0);
    sg.setColorAt(0, kAccent);
    sg.setColorAt(1, WithAlpha(kAccent, 40));
    p.setBrush(sg);
    p.drawPath(swoosh);
    return img;
}

QPainterPath TabShape()
{
    QPainterPath s;
    s.moveTo(0, 53);
    s.lineTo(8.2, 12.5);
    s.quadTo(9.4, 7, 15, 7);
    s.lineTo(167, 7);
    s.quadTo(172.6, 7, 173.8, 12.5);
    s.lineTo(182, 53);
    s.closeSubpath();
    return s;
}

QImage Tab(bool selected)
{
    QImage img = Canvas(QSize(182, 53));
    QPainter p(&img);
    Smooth(p);
    const QPainterPath shape = TabShape();
    QLinearGradient g(0, 7, 0, 53);
    if (selected) {
        g.setColorAt(0, QColor(0xff, 0x84, 0x34));
        g.setColorAt(0.45, QColor(0xea, 0x5f, 0x12));
        g.setColorAt(1, QColor(0xc4, 0x48, 0x06));
    } else {
        g.setColorAt(0, QColor(0x35, 0x39, 0x40));
        g.setColorAt(1, QColor(0x1f, 0x21, 0x25));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(shape);
    p.save();
    p.setClipPath(shape);
    // top highlight
    QLinearGradient hl(0, 7, 0, 20);
    hl.setColorAt(0, QColor(255, 255, 255, selected ? 90 : 30));
    hl.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, 7, 182, 13), hl);
    if (!selected) {
        // unselected tabs sit slightly back: a shade towards the bottom
        QLinearGradient shade(0, 36, 0, 53);
        shade.setColorAt(0, QColor(0, 0, 0, 0));
        shade.setColorAt(1, QColor(0, 0, 0, 70));
        p.fillRect(QRectF(0, 36, 182, 17), shade);
    }
    p.restore();
    // outline on the top and sides only
    QPainterPath edge;
    edge.moveTo(0.5, 53);
    edge.lineTo(8.7, 12.6);
    edge.quadTo(9.8, 7.5, 15, 7.5);
    edge.lineTo(167, 7.5);
    edge.quadTo(172.2, 7.5, 173.3, 12.6);
    edge.lineTo(181.5, 53);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(selected ? QColor(0xff, 0xa0, 0x62) : QColor(0x4e, 0x53, 0x5c), 1));
    p.drawPath(edge);
    // the bottom row continues the strip's accent line
    p.setPen(Qt::NoPen);
    p.setBrush(selected ? QColor(0xc4, 0x48, 0x06) : kAccent);
    p.drawRect(QRectF(0, 52, 182, 1));
    return img;
}

QImage TickImage()
{
    QImage img = Canvas(QSize(29, 19));
    QPainter p(&img);
    Smooth(p);
    p.setPen(Pen(kAccent, 2.8));
    QPainterPath tick;
    tick.moveTo(9, 9.8);
    tick.lineTo(12.8, 13.6);
    tick.lineTo(20, 5.2);
    p.drawPath(tick);
    return img;
}

QImage CheckImage(bool ticked)
{
    QImage img = Canvas(QSize(29, 19));
    QPainter p(&img);
    Smooth(p);
    const QRectF box(7.5, 2.5, 14, 14);
    if (ticked) {
        QLinearGradient g(box.topLeft(), box.bottomLeft());
        g.setColorAt(0, kAccentHi);
        g.setColorAt(1, kAccentLo);
        p.setPen(QPen(QColor(0xff, 0xa8, 0x70), 1));
        p.setBrush(g);
        p.drawRoundedRect(box, 3, 3);
        p.setPen(Pen(Qt::white, 2.1));
        QPainterPath tick;
        tick.moveTo(10.8, 9.8);
        tick.lineTo(13.5, 12.5);
        tick.lineTo(18.4, 6.6);
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    } else {
        p.setPen(QPen(QColor(0x8e, 0x94, 0x9c), 1.4));
        p.setBrush(QColor(255, 255, 255, 14));
        p.drawRoundedRect(box, 3, 3);
    }
    return img;
}

QImage SearchImage()
{
    QImage img = Canvas(QSize(34, 39));
    QPainter p(&img);
    Smooth(p);
    p.setPen(Pen(kAccent, 5.2));
    p.drawLine(QPointF(20.8, 23.2), QPointF(27.6, 31.0));
    p.setPen(Pen(kInk, 2.8));
    p.setBrush(QColor(255, 255, 255, 30));
    p.drawEllipse(QPointF(14.5, 16.5), 8.6, 8.6);
    p.setPen(Pen(QColor(255, 255, 255, 150), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(9.3, 11.3, 10.4, 10.4), 100 * 16, 70 * 16);
    return img;
}

QImage PlaceholderPhoto()
{
    QImage img = Canvas(QSize(200, 200), true);
    QPainter p(&img);
    Smooth(p);
    QRadialGradient g(QPointF(100, 84), 150);
    g.setColorAt(0, QColor(0x33, 0x37, 0x3e));
    g.setColorAt(1, QColor(0x14, 0x15, 0x18));
    p.fillRect(img.rect(), g);
    // viewfinder corners
    p.setPen(Pen(QColor(0x55, 0x5b, 0x64), 2.2));
    const qreal m = 20, len = 20;
    for (int cx = 0; cx < 2; ++cx)
        for (int cy = 0; cy < 2; ++cy) {
            const qreal x = cx ? 200 - m : m, y = cy ? 200 - m : m;
            const qreal dx = cx ? -len : len, dy = cy ? -len : len;
            const QPointF corner[] = {{x + dx, y}, {x, y}, {x, y + dy}};
            p.drawPolyline(corner, 3);
        }
    Ink k;
    k.line = QColor(0x86, 0x8c, 0x95);
    k.accent = kAccent;
    k.soft = WithAlpha(k.line, 30);
    k.back = QColor(0x2a, 0x2d, 0x33);
    k.stroke = 1.2;
    DrawIcon(p, IconCamera, QRectF(56, 50, 88, 88), k);
    return img;
}

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

QImage MakeArt(ArtId id)
{
    switch (id) {
    case ArtId::Logo: return Logo();
    case ArtId::TabNormal: return Tab(false);
    case ArtId::TabSelected: return Tab(true);
    case ArtId::LapTimesOff: return Toggle(IconLapTimes, false);
    case ArtId::LapTimesOn: return Toggle(IconLapTimes, true);
    case ArtId::WholeSessionOff: return Toggle(IconWholeSession, false);
    case ArtId::WholeSessionOn: return Toggle(IconWholeSession, true);
    case ArtId::LapOverlayOff: return Toggle(IconLapOverlay, false);
    case ArtId::LapOverlayOn: return Toggle(IconLapOverlay, true);
    case ArtId::Tick: return TickImage();
    case ArtId::CheckTicked: return CheckImage(true);
    case ArtId::CheckUnticked: return CheckImage(false);
    case ArtId::PlaceholderPhoto: return PlaceholderPhoto();
    case ArtId::Search: return SearchImage();
    case ArtId::Splash: return Splash();
    case ArtId::ChooserBackground: return ChooserBackground();
    case ArtId::Count: break;
    }
    return {};
}

// ---- Cache -----------------------------------------------------------------

struct Cache {
    std::array<std::optional<QPixmap>, size_t(ArtId::Count)> art;
    std::array<std::optional<ButtonArt>, size_t(ButtonId::Count)> buttons;
    bool hooked = false;
};

Cache& TheCache()
{
    static Cache cache;
    return cache;
}

// Pixmaps must go before the application object does.
void ReleaseCache()
{
    Cache& c = TheCache();
    for (auto& a : c.art)
        a.reset();
    for (auto& b : c.buttons)
        b.reset();
    c.hooked = false;
}

void HookRelease(Cache& c)
{
    if (!c.hooked) {
        qAddPostRoutine(ReleaseCache);
        c.hooked = true;
    }
}

}  // namespace

const QPixmap& Art(ArtId id)
{
    static const QPixmap none;
    if (id < ArtId::Logo || id >= ArtId::Count)
        return none;
    Cache& c = TheCache();
    auto& slot = c.art[size_t(id)];
    if (!slot) {
        HookRelease(c);
        slot = QPixmap::fromImage(MakeArt(id));
    }
    return *slot;
}

const ButtonArt& ButtonPictures(ButtonId id)
{
    static const ButtonArt none;
    if (id < ButtonId::NewProject || id >= ButtonId::Count)
        return none;
    Cache& c = TheCache();
    auto& slot = c.buttons[size_t(id)];
    if (!slot) {
        HookRelease(c);
        slot = MakeButton(id);
    }
    return *slot;
}

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

QSize ArtSize(ArtId id)
{
    switch (id) {
    case ArtId::Logo: return {190, 52};
    case ArtId::TabNormal:
    case ArtId::TabSelected: return {182, 53};
    case ArtId::LapTimesOff:
    case ArtId::LapTimesOn:
    case ArtId::WholeSessionOff:
    case ArtId::WholeSessionOn:
    case ArtId::LapOverlayOff:
    case ArtId::LapOverlayOn: return {48, 45};
    case ArtId::Tick:
    case ArtId::CheckTicked:
    case ArtId::CheckUnticked: return {29, 19};
    case ArtId::PlaceholderPhoto: return {200, 200};
    case ArtId::Search: return {34, 39};
    case ArtId::Splash: return {568, 328};
    case ArtId::ChooserBackground: return {515, 302};
    case ArtId::Count: break;
    }
    return {};
}

QSize ButtonSize(ButtonId id)
{
    if (id < ButtonId::NewProject || id >= ButtonId::Count)
        return {};
    return StyleOf(id).size;
}

QString ArtName(ArtId id)
{
    switch (id) {
    case ArtId::Logo: return QStringLiteral("Logo");
    case ArtId::TabNormal: return QStringLiteral("TabNormal");
    case ArtId::TabSelected: return QStringLiteral("TabSelected");
    case ArtId::LapTimesOff: return QStringLiteral("LapTimesOff");
    case ArtId::LapTimesOn: return QStringLiteral("LapTimesOn");
    case ArtId::WholeSessionOff: return QStringLiteral("WholeSessionOff");
    case ArtId::WholeSessionOn: return QStringLiteral("WholeSessionOn");
    case ArtId::LapOverlayOff: return QStringLiteral("LapOverlayOff");
    case ArtId::LapOverlayOn: return QStringLiteral("LapOverlayOn");
    case ArtId::Tick: return QStringLiteral("Tick");
    case ArtId::CheckTicked: return QStringLiteral("CheckTicked");
    case ArtId::CheckUnticked: return QStringLiteral("CheckUnticked");
    case ArtId::PlaceholderPhoto: return QStringLiteral("PlaceholderPhoto");
    case ArtId::Search: return QStringLiteral("Search");
    case ArtId::Splash: return QStringLiteral("Splash");
    case ArtId::ChooserBackground: return QStringLiteral("ChooserBackground");
    case ArtId::Count: break;
    }
    return {};
}

QString ButtonName(ButtonId id)
{
    switch (id) {
    case ButtonId::NewProject: return QStringLiteral("NewProject");
    case ButtonId::OpenProject: return QStringLiteral("OpenProject");
    case ButtonId::SaveProject: return QStringLiteral("SaveProject");
    case ButtonId::Drivers: return QStringLiteral("Drivers");
    case ButtonId::Tracks: return QStringLiteral("Tracks");
    case ButtonId::Vehicle: return QStringLiteral("Vehicle");
    case ButtonId::Template: return QStringLiteral("Template");
    case ButtonId::ReadKey: return QStringLiteral("ReadKey");
    case ButtonId::SaveToKey: return QStringLiteral("SaveToKey");
    case ButtonId::Cascade: return QStringLiteral("Cascade");
    case ButtonId::Tile: return QStringLiteral("Tile");
    case ButtonId::ChooserOpen: return QStringLiteral("ChooserOpen");
    case ButtonId::ChooserNew: return QStringLiteral("ChooserNew");
    case ButtonId::ChooserExit: return QStringLiteral("ChooserExit");
    case ButtonId::Ok: return QStringLiteral("Ok");
    case ButtonId::Cancel: return QStringLiteral("Cancel");
    case ButtonId::ListAdd: return QStringLiteral("ListAdd");
    case ButtonId::ListEdit: return QStringLiteral("ListEdit");
    case ButtonId::ListDelete: return QStringLiteral("ListDelete");
    case ButtonId::Count: break;
    }
    return {};
}

QRect ChooserButtonRect(int index)
{
    return ChooserButton(index);
}

QRect ChooserCaptionRect(int index)
{
    const QRect b = ChooserButton(index);
    return QRect(b.left() - 6, b.bottom() + 8, b.width() + 12, 22);
}

void SetButtonPictures(TImageButton& button, ButtonId id)
{
    const ButtonArt& art = ButtonPictures(id);
    button.SetBitmap(art.normal);
    button.SetBitmapOver(art.over);
    button.SetBitmapDown(art.down);
    button.SetBitmapUp(art.up);
    button.SetBitmapDisabled(art.disabled);
}

}  // namespace artwork
