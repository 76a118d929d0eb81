#include "controls/artwork/faces.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "controls/artwork/look.h"

namespace artwork::detail {

namespace {

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

}  // namespace

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

namespace {

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

}  // namespace

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

}  // namespace artwork::detail
