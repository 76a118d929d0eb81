#pragma once
// The icons of the buttons, toggles and placeholder photo, drawn on a
// 24 x 24 grid in the colours of an Ink.
#include <QColor>
#include <QRectF>

class QPainter;

namespace artwork::detail {

struct Ink {
    QColor line;    // outlines
    QColor accent;  // the one orange part of an icon
    QColor soft;    // faint fill inside outlines
    QColor back;    // the face the icon sits on (separating rings)
    qreal stroke = 1.9;
};

using IconFn = void (*)(QPainter&, const Ink&);

void IconNewProject(QPainter& p, const Ink& k);
void IconOpenProject(QPainter& p, const Ink& k);
void IconSave(QPainter& p, const Ink& k);
void IconHelmet(QPainter& p, const Ink& k);
void IconTrack(QPainter& p, const Ink& k);
void IconVehicle(QPainter& p, const Ink& k);
void IconTemplate(QPainter& p, const Ink& k);
void IconReadKey(QPainter& p, const Ink& k);
void IconSaveToKey(QPainter& p, const Ink& k);
void IconCascade(QPainter& p, const Ink& k);
void IconTile(QPainter& p, const Ink& k);
void IconExit(QPainter& p, const Ink& k);
void IconOk(QPainter& p, const Ink& k);
void IconCancel(QPainter& p, const Ink& k);
void IconAdd(QPainter& p, const Ink& k);
void IconEdit(QPainter& p, const Ink& k);
void IconDelete(QPainter& p, const Ink& k);
void IconLapTimes(QPainter& p, const Ink& k);
void IconWholeSession(QPainter& p, const Ink& k);
void IconLapOverlay(QPainter& p, const Ink& k);
void IconCamera(QPainter& p, const Ink& k);

// Draws an icon scaled from its grid into `box`.
void DrawIcon(QPainter& p, IconFn icon, const QRectF& box, const Ink& ink);

}  // namespace artwork::detail
