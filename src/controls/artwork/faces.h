#pragma once
// Image button faces: the raised, hovered, pressed, released and switched-on
// looks, the ink an icon takes on each, and the five pictures of a button.
#include <QRectF>
#include <QSize>

#include "controls/artwork.h"
#include "controls/artwork/icons.h"

class QPainter;

namespace artwork::detail {

enum class Face { Normal, Over, Down, Up, On };

void DrawFace(QPainter& p, const QRectF& rect, Face f, qreal radius);
Ink InkFor(Face f, qreal stroke);

struct ButtonStyle {
    QSize size;
    qreal radius;
    qreal iconSize;
    qreal stroke;
};

ButtonStyle StyleOf(ButtonId id);
ButtonArt MakeButton(ButtonId id);

}  // namespace artwork::detail
