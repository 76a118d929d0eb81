#include "controls/artwork/icons.h"

#include <QPainter>
#include <QPainterPath>

#include "controls/artwork/look.h"

namespace artwork::detail {

namespace {

void Outline(QPainter& p, const Ink& k, qreal factor = 1.0)
{
    p.setPen(Pen(k.line, k.stroke * factor));
}

}  // namespace

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

namespace {

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

}  // namespace

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

namespace {

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

}  // namespace

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

namespace {

// Chart axes shared by the three analysis toggles.
void Axes(QPainter& p, const Ink& k)
{
    p.setPen(Pen(WithAlpha(k.line, 150), k.stroke * 0.75));
    p.setBrush(Qt::NoBrush);
    const QPointF axes[] = {{3, 3}, {3, 21}, {21.5, 21}};
    p.drawPolyline(axes, 3);
}

}  // namespace

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

}  // namespace artwork::detail
