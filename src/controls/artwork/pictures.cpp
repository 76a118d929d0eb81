#include "controls/artwork/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

#include "controls/artwork/faces.h"
#include "controls/artwork/look.h"

namespace artwork::detail {

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

namespace {

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

}  // namespace

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

}  // namespace artwork::detail
