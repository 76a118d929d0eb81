#pragma once
// Stand-in photos drawn for the screenshot tools of the catalogue windows,
// and a picture as the bytes of an image file.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

inline QByteArray Encoded(const QImage& img, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format);
    return bytes;
}

// A driver portrait: a helmet with a visor on a coloured background.
inline QImage DriverPortrait(QColor helmet, QColor back)
{
    QImage img(200, 200, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 200);
    g.setColorAt(0, back.lighter(130));
    g.setColorAt(1, back.darker(180));
    p.fillRect(img.rect(), g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 34));
    p.drawRoundedRect(QRectF(40, 150, 120, 60), 30, 30);  // shoulders
    QRadialGradient hg(QPointF(85, 70), 90);
    hg.setColorAt(0, helmet.lighter(150));
    hg.setColorAt(1, helmet.darker(150));
    p.setBrush(hg);
    p.drawEllipse(QRectF(45, 30, 110, 120));
    p.setBrush(QColor(20, 24, 30));
    QPainterPath visor;
    visor.addRoundedRect(QRectF(58, 72, 92, 34), 16, 16);
    p.drawPath(visor);
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRoundedRect(QRectF(66, 76, 40, 8), 4, 4);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(97, 36, 8, 36));
    return img;
}

// A track seen from above: a closed ribbon of tarmac with kerbs on grass.
inline QImage TrackFromAbove(int variant)
{
    QImage img(480, 320, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 480, 320);
    g.setColorAt(0, QColor(62, 110, 48));
    g.setColorAt(1, QColor(40, 84, 36));
    p.fillRect(img.rect(), g);
    QPainterPath path;
    const double k = 1.0 + 0.15 * variant;
    path.moveTo(80, 240);
    path.cubicTo(20, 120, 120 * k, 40, 220, 80);
    path.cubicTo(300, 110, 330, 30, 410, 70);
    path.cubicTo(470, 110, 430, 200, 360, 210);
    path.cubicTo(280, 220, 300 - 30 * variant, 290, 200, 285);
    path.cubicTo(140, 282, 120, 270, 80, 240);
    p.setPen(QPen(QColor(200, 30, 30), 30, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(QColor(240, 240, 240), 30, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(QColor(70, 72, 76), 24, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1.5, Qt::DashLine));
    p.drawPath(path);
    p.fillRect(QRectF(70, 228, 26, 6), Qt::white);
    return img;
}
