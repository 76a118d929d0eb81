#pragma once
// What the three GPS windows share on screen: the map picture with the
// drawn line, the markers, the acceleration arrow and the start and sector
// pictures over it; the two pictures themselves; and the windows' look.
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "analysis/gpsmap.h"

class AnalysisSession;
class MemTable;
class QLabel;

namespace gpsart {
// 22 x 22 on a transparent ground: a chequered flag on a pole (lap start)
// and a green map pin with a yellow head showing a black S (sector line).
// Both stand on their point with the bottom edge.
const QPixmap& StartFlag();
const QPixmap& SectorPin();
}  // namespace gpsart

namespace gpslook {
// Style sheet of the GPS windows' panels, read-outs and buttons.
QString StyleSheet();
// What the GPS windows say for a session or lap without a fix.
QString NoGpsDataText();
// A read-out caption and a value label (the value in the accent colour).
QLabel* Caption(const QString& text, QWidget* parent, int pixelSize);
QLabel* Value(QWidget* parent, int pixelSize);

// Holds a window's busy flag for a scope: Taken() is false when the flag was
// set already (a draw inside a draw), and the flag is cleared at the end of
// the scope that set it, also on failure.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag), taken_(!flag) { flag_ = true; }
    ~BusyScope()
    {
        if (taken_)
            flag_ = false;
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    bool Taken() const { return taken_; }

private:
    bool& flag_;
    bool taken_;
};

// Start of a lap in session time from the analysis session's lap table
// (0 for lap 0 or a lap it does not hold).
int SessionLapStart(const AnalysisSession& session, int sessionId, int lap);
}  // namespace gpslook

// The map: the line picture (a copy of the drawn line that stays as it
// is) and, shown over it, the position markers, the acceleration arrow and
// the pictures.  A cursor step only changes what lies over the line, so the
// line is never drawn again for it.  Pixel heights count from the bottom.
class GpsMapCanvas : public QWidget {
    Q_OBJECT
public:
    explicit GpsMapCanvas(QWidget* parent = nullptr);

    // Black picture of the canvas's size with a one-pixel white frame, and
    // nothing over it.
    void Blacken();
    // A line of text in the middle of the map (why it stays black), until
    // the next Blacken().
    void ShowNotice(const QString& text);
    const QString& Notice() const { return notice_; }
    const QImage& Line() const { return line_; }

    // Draws the points of a table in row order, each segment in the colour
    // of its end row, from the stored pixel x and height (xobr, yobr).
    void DrawTrace(const MemTable& points, int penWidth, const std::function<QColor(int row)>& colour);

    // What lies over the line.
    struct Marker {
        QPoint point;  // pixel x and height
        QColor colour;
        int penWidth = 1;
    };
    struct Picture {
        QPixmap pixmap;
        QPoint topLeft;  // screen position
        MapMarkerKind kind;
    };
    void ClearMarkers();
    void AddMarker(QPoint point, const QColor& colour, int penWidth);
    void SetArrow(const std::optional<AccelArrow>& arrow, int penWidth);
    void ClearPictures();
    void AddPicture(MapMarkerKind kind, QPoint point);
    const std::vector<Marker>& Markers() const { return markers_; }
    const std::optional<AccelArrow>& Arrow() const { return arrow_; }
    const std::vector<Picture>& Pictures() const { return pictures_; }

    // Screen row of a pixel height.
    int Row(int height) const { return line_.height() - height; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage line_;
    std::vector<Marker> markers_;
    std::optional<AccelArrow> arrow_;
    int arrowPen_ = 2;
    std::vector<Picture> pictures_;
    QString notice_;
};
