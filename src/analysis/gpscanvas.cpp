#include "analysis/gpscanvas.h"

#include <QApplication>
#include <QLabel>
#include <QLine>
#include <QPainter>
#include <QPainterPath>

#include "analysis/analysissession.h"
#include "platform/memtable.h"

// --------------------------------------------------------------- pictures

namespace gpsart {
namespace {

void Smooth(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

QPixmap DrawStartFlag()
{
    QImage img(22, 22, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    Smooth(p);
    // Pole in the middle, its foot on the bottom edge: the picture stands
    // centred on its point.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2a, 0x2b, 0x2e));
    p.drawRoundedRect(QRectF(9.7, 1.0, 2.6, 21.0), 1.0, 1.0);
    p.setBrush(QColor(0xd6, 0xd9, 0xde));
    p.drawRect(QRectF(10.4, 1.5, 1.0, 20.0));
    p.setBrush(QColor(0xff, 0x6a, 0x13));
    p.drawEllipse(QPointF(11.0, 1.7), 1.7, 1.7);

    // Cloth: 3 x 3 squares on a slight wave, outlined, flying to the right.
    const int cols = 3, rows = 3;
    const qreal left = 12.3, top = 2.6, cell = 3.1;
    auto at = [&](qreal c, qreal r) {
        const qreal wave = 0.7 * std::sin(c * 1.4);
        return QPointF(left + c * cell, top + r * cell + wave);
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            QPolygonF q;
            q << at(c, r) << at(c + 1, r) << at(c + 1, r + 1) << at(c, r + 1);
            p.setBrush((r + c) % 2 == 0 ? QColor(0x12, 0x12, 0x14) : QColor(0xf4, 0xf4, 0xf4));
            p.drawPolygon(q);
        }
    QPolygonF outline;
    for (int c = 0; c <= cols; ++c)
        outline << at(c, 0);
    for (int c = cols; c >= 0; --c)
        outline << at(c, rows);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x80, 0x82, 0x88), 0.7));
    p.drawPolygon(outline);
    p.end();
    return QPixmap::fromImage(img);
}

QPixmap DrawSectorPin()
{
    QImage img(22, 22, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    Smooth(p);
    // Green pin: a round head tapering to its tip on the bottom edge.
    QPainterPath pin;
    const QPointF c(11, 8.5);
    const qreal r = 7.5;
    pin.moveTo(11, 21.8);
    pin.cubicTo(9.0, 17.5, c.x() - r, 13.0, c.x() - r, c.y());
    pin.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 180, -180);
    pin.cubicTo(c.x() + r, 13.0, 13.0, 17.5, 11, 21.8);
    p.setPen(QPen(QColor(0x0b, 0x4d, 0x17), 1.0));
    p.setBrush(QColor(0x1f, 0xb0, 0x3c));
    p.drawPath(pin);
    // Yellow head with a black S.
    p.setPen(QPen(QColor(0x8a, 0x6d, 0x00), 0.6));
    p.setBrush(QColor(0xff, 0xd8, 0x1a));
    p.drawEllipse(c, 5.4, 5.4);
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    f.setBold(true);
    f.setPixelSize(9);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRectF(c.x() - 5.4, c.y() - 5.6, 10.8, 11.0), Qt::AlignCenter, QStringLiteral("S"));
    p.end();
    return QPixmap::fromImage(img);
}

}  // namespace

const QPixmap& StartFlag()
{
    static const QPixmap pixmap = DrawStartFlag();
    return pixmap;
}

const QPixmap& SectorPin()
{
    static const QPixmap pixmap = DrawSectorPin();
    return pixmap;
}

}  // namespace gpsart

// ------------------------------------------------------------------ look

namespace gpslook {

QString StyleSheet()
{
    return QStringLiteral(
        "QWidget#lowerPanel { background: #222327; border-top: 1px solid #ff6a13; }"
        "QLabel { color: #e6e6e6; }"
        "QLabel[role=\"caption\"] { color: #9ca0a8; }"
        "QLabel[role=\"value\"] { color: #ff8d45; font-weight: bold; }"
        "QPushButton { background: #33353a; color: #e6e6e6; border: 1px solid #4a4d54; border-radius: 3px;"
        "  padding: 4px 12px; }"
        "QPushButton:hover { border-color: #ff6a13; }"
        "QPushButton:pressed { background: #1d1e21; }");
}

QString NoGpsDataText() { return QStringLiteral("There is no data from GPS"); }

QLabel* Caption(const QString& text, QWidget* parent, int pixelSize)
{
    auto* label = new QLabel(text, parent);
    label->setProperty("role", QStringLiteral("caption"));
    QFont f = label->font();
    f.setPixelSize(pixelSize);
    label->setFont(f);
    return label;
}

QLabel* Value(QWidget* parent, int pixelSize)
{
    auto* label = new QLabel(parent);
    label->setProperty("role", QStringLiteral("value"));
    QFont f = label->font();
    f.setPixelSize(pixelSize);
    f.setBold(true);
    label->setFont(f);
    return label;
}

int SessionLapStart(const AnalysisSession& session, int sessionId, int lap)
{
    return LapStart(&session.tree.memokrazenia, sessionId, lap);
}


}  // namespace gpslook

// ------------------------------------------------------------------ canvas

GpsMapCanvas::GpsMapCanvas(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GpsMapCanvas::Blacken()
{
    line_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    line_.fill(Qt::black);
    QPainter p(&line_);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(line_.rect().adjusted(0, 0, -1, -1));
    p.end();
    markers_.clear();
    arrow_.reset();
    notice_.clear();
    update();
}

void GpsMapCanvas::ShowNotice(const QString& text)
{
    notice_ = text;
    update();
}

void GpsMapCanvas::DrawTrace(const MemTable& points, int penWidth, const std::function<QColor(int row)>& colour)
{
    const int n = points.RecordCount();
    if (n == 0 || line_.isNull())
        return;
    QPainter p(&line_);
    const int h = line_.height();
    // Segments of one colour go to the painter together: separate segments
    // keep wide pens cheap, and the colour is set once per run.
    std::vector<QLine> run;
    run.reserve(256);
    QColor current;
    auto flush = [&]() {
        if (run.empty())
            return;
        p.setPen(QPen(current, penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLines(run.data(), int(run.size()));
        run.clear();
    };
    QPoint from(points.IntAt(0, gpXobr), h - points.IntAt(0, gpYobr));
    for (int r = 1; r < n; ++r) {
        const QPoint to(points.IntAt(r, gpXobr), h - points.IntAt(r, gpYobr));
        const QColor c = colour(r);
        if (c != current) {
            flush();
            current = c;
        }
        run.emplace_back(from, to);
        from = to;
    }
    flush();
    p.end();
    update();
}

void GpsMapCanvas::ClearMarkers()
{
    markers_.clear();
    arrow_.reset();
    update();
}

void GpsMapCanvas::AddMarker(QPoint point, const QColor& colour, int penWidth)
{
    markers_.push_back({point, colour, penWidth});
    update();
}

void GpsMapCanvas::SetArrow(const std::optional<AccelArrow>& arrow, int penWidth)
{
    arrow_ = arrow;
    arrowPen_ = penWidth;
    update();
}

void GpsMapCanvas::ClearPictures()
{
    pictures_.clear();
    update();
}

void GpsMapCanvas::AddPicture(MapMarkerKind kind, QPoint point)
{
    const QPixmap& pm = kind == MapMarkerKind::Start ? gpsart::StartFlag() : gpsart::SectorPin();
    pictures_.push_back({pm, PictureTopLeft(point.x(), point.y(), line_.height(), pm.size()), kind});
    update();
}

void GpsMapCanvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // Until the next draw after a resize, the rest of the canvas is black.
    if (line_.size() != size())
        p.fillRect(rect(), Qt::black);
    if (!line_.isNull())
        p.drawImage(0, 0, line_);
    const int h = line_.height();
    // Markers: filled circles 12 pixels across on their points.
    for (const Marker& m : markers_) {
        p.setPen(QPen(m.colour, m.penWidth));
        p.setBrush(m.colour);
        p.drawEllipse(QRect(m.point.x() - 6, h - m.point.y() - 6, 12, 12));
    }
    if (arrow_) {
        auto draw = [&](const ArrowLine& l, const QColor& c) {
            p.setPen(QPen(c, arrowPen_));
            p.drawLine(l.from, l.to);
        };
        draw(arrow_->total, QColor(255, 0, 0));
        draw(arrow_->along, QColor(0, 255, 255));
        draw(arrow_->across, QColor(0, 255, 0));
    }
    for (const Picture& pic : pictures_)
        p.drawPixmap(pic.topLeft, pic.pixmap);
    if (!notice_.isEmpty()) {
        QFont f = font();
        f.setPixelSize(16);
        p.setFont(f);
        p.setPen(QColor(0xe6, 0xe6, 0xe6));
        p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, notice_);
    }
}
