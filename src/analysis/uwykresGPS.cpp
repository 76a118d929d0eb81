#include "analysis/uwykresGPS.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "analysis/gpscanvas.h"
#include "platform/dialogs.h"
#include "shell/common/stale.h"
#include "shell/projectrecord.h"

TfwykresGPS* fwykresGPS = nullptr;

namespace {

constexpr int kClientWidth = 889;
constexpr int kClientHeight = 653;
constexpr int kMapHeight = 470;  // the picture; the white panel adds a pixel on each side
constexpr int kLowerHeight = 181;
constexpr int kMargin = 10;

// The black g-force cross with its white bars; the dot lies on it.
class GForceCross : public QWidget {
public:
    explicit GForceCross(QWidget* parent) : QWidget(parent) { setFixedSize(160, 160); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        p.fillRect(QRect(0, 79, 160, 3), Qt::white);
        p.fillRect(QRect(79, 0, 3, 160), Qt::white);
    }
};

// Saved Left and Top of the linked charts in the project record.
struct LinkedPlace {
    int left, top;
};
LinkedPlace PlaceOf(LinkedChannel c)
{
    switch (c) {
    case LinkedChannel::Rpm: return {ProjectRecord::OffRpmChartLeft, ProjectRecord::OffRpmChartTop};
    case LinkedChannel::Temp1: return {ProjectRecord::OffTemp1ChartLeft, ProjectRecord::OffTemp1ChartTop};
    case LinkedChannel::Temp2: return {ProjectRecord::OffTemp2ChartLeft, ProjectRecord::OffTemp2ChartTop};
    case LinkedChannel::GForce: break;
    }
    return {ProjectRecord::OffGForceChartLeft, ProjectRecord::OffGForceChartTop};
}

}  // namespace

TfwykresGPS::TfwykresGPS(QWidget* parent)
    : QDialog(parent, platform::ToolWindowFlags()), memdane(QStringLiteral("memdane"), GpsPointFields(false))
{
    fwykresGPS = this;
    memdane.Open();
    setWindowTitle(QStringLiteral("GPS"));
    setFixedSize(kClientWidth, kClientHeight);
    setStyleSheet(gpslook::StyleSheet());

    // Map: a white panel around the picture.
    auto* mapPanel = new QWidget(this);
    mapPanel->setGeometry(0, 0, kClientWidth, kMapHeight + 2);
    mapPanel->setAutoFillBackground(true);
    QPalette white = mapPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    mapPanel->setPalette(white);
    paintbox1 = new GpsMapCanvas(mapPanel);
    paintbox1->setGeometry(1, 1, kClientWidth - 2, kMapHeight);

    // Lower panel: scroll bar, read-outs, extents, buttons and the cross.
    auto* lower = new QWidget(this);
    lower->setObjectName(QStringLiteral("lowerPanel"));
    lower->setAttribute(Qt::WA_StyledBackground);
    lower->setGeometry(0, kMapHeight + 2, kClientWidth, kLowerHeight);
    ScrollBar1 = new QScrollBar(Qt::Horizontal, lower);
    ScrollBar1->setGeometry(0, 1, kClientWidth, 18);
    ScrollBar1->setRange(0, 0);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { ScrollBar1Change(); });

    auto readout = [lower](const QString& caption, int x, int y, int captionWidth, int valueWidth) {
        QLabel* c = gpslook::Caption(caption, lower, 16);
        c->setGeometry(x, y, captionWidth, 24);
        QLabel* v = gpslook::Value(lower, 16);
        v->setGeometry(x + captionWidth, y, valueWidth, 24);
        return v;
    };
    RpmValue = readout(QStringLiteral("RPM:"), 18, 28, 86, 120);
    LapTimeValue = readout(QStringLiteral("Lap time:"), 18, 54, 86, 120);
    Temp1Value = readout(QStringLiteral("Temp 1:"), 18, 80, 86, 120);
    Temp2Value = readout(QStringLiteral("Temp 2:"), 18, 106, 86, 120);
    GForceXValue = readout(QStringLiteral("G-Force X"), 270, 28, 96, 90);
    GForceYValue = readout(QStringLiteral("G-Force Y"), 270, 54, 96, 90);

    // Extents of the trace in metres: east-west (across the picture) and
    // north-south (up it).
    QLabel* extentCaption = gpslook::Caption(QStringLiteral("Trace extent (m)"), lower, 13);
    extentCaption->setGeometry(500, 32, 180, 18);
    auto extent = [lower](const QString& glyph, int y) {
        QLabel* g = gpslook::Caption(glyph, lower, 16);
        g->setGeometry(500, y, 20, 24);
        QLabel* v = gpslook::Value(lower, 16);
        v->setGeometry(524, y, 160, 24);
        return v;
    };
    UpperExtent = extent(QStringLiteral("\u2194"), 54);
    LowerExtent = extent(QStringLiteral("\u2195"), 80);
    UpperExtent->setToolTip(QStringLiteral("East-west extent of the trace, across the map"));
    LowerExtent->setToolTip(QStringLiteral("North-south extent of the trace, up the map"));

    auto button = [lower](const QString& text, int x) {
        auto* b = new QPushButton(text, lower);
        b->setGeometry(x, 140, 100, 28);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    SpeedButton1 = button(QStringLiteral("RPM"), 18);
    SpeedButton2 = button(QStringLiteral("Temp1"), 130);
    SpeedButton4 = button(QStringLiteral("Temp2"), 242);
    SpeedButton3 = button(QStringLiteral("GForce"), 354);
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(SpeedButton4, &QPushButton::clicked, this, [this] { SpeedButton4Click(); });
    connect(SpeedButton3, &QPushButton::clicked, this, [this] { SpeedButton3Click(); });

    auto* cross = new GForceCross(lower);
    cross->move(kClientWidth - 160 - 14, 20);
    Panel4 = new QWidget(cross);
    Panel4->setGeometry(74, 74, 12, 12);
    Panel4->setAutoFillBackground(true);
    QPalette red = Panel4->palette();
    red.setColor(QPalette::Window, QColor(255, 0, 0));
    Panel4->setPalette(red);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    platform::CentreOnScreen(*this);
}

TfwykresGPS::~TfwykresGPS()
{
    if (fwykresGPS == this)
        fwykresGPS = nullptr;
}

bool TfwykresGPS::LoadTrace()
{
    platform::HourGlass wait;
    paintbox1->Blacken();
    TraceExtent extent;
    int scrollMax = 0;
    if (!LoadTracePoints(idNag, lap, memdane, extent, scrollMax)) {
        platform::ShowMessage(gpslook::NoGpsDataText());
        return false;
    }
    {
        const QSignalBlocker quiet(ScrollBar1);
        ScrollBar1->setRange(0, scrollMax);
        ScrollBar1->setValue(0);
    }

    // The rows come in time order from the query.
    ProjectPoints(memdane, FitToBox(paintbox1->width(), paintbox1->height(), kMargin, extent.map));
    if (lap >= 1)
        paintbox1->DrawTrace(memdane, 2, [](int) { return QColor(255, 255, 0); });
    else
        paintbox1->DrawTrace(memdane, 1, [this](int row) { return MapLapColour(memdane.IntAt(row, gpOkrazenie)); });

    ScrollBar1Change();
    UpperExtent->setText(extent.UpperLabel());
    LowerExtent->setText(extent.LowerLabel());
    return true;
}

void TfwykresGPS::ScrollBar1Change()
{
    const std::optional<TraceReadout> o = TraceReplayStep(memdane, ScrollBar1->value(), Panel4->size());
    if (!o)
        return;
    RpmValue->setText(o->rpm);
    LapTimeValue->setText(o->lapTime);
    Temp1Value->setText(o->temp1);
    Temp2Value->setText(o->temp2);
    GForceXValue->setText(o->gForceX);
    GForceYValue->setText(o->gForceY);

    paintbox1->ClearMarkers();
    paintbox1->AddMarker(o->marker, QColor(255, 0, 0), penWidth());
    Panel4->move(o->dot);

    for (LinkedChannel c : {LinkedChannel::Rpm, LinkedChannel::Temp1, LinkedChannel::Temp2, LinkedChannel::GForce})
        ShowLinkedPoint(c, o->row, o->gx);
}

void TfwykresGPS::ShowLinkedPoint(LinkedChannel channel, int row, double gx)
{
    TfwykresPowiazany* w = linked_[int(channel)];
    if (!w)
        return;
    const int time = memdane.IntAt(row, gpData);
    switch (channel) {
    case LinkedChannel::Rpm: w->ShowPoint(time, false, memdane.IntAt(row, gpObroty)); break;
    case LinkedChannel::Temp1: w->ShowPoint(time, true, memdane.FloatAt(row, gpTemp1)); break;
    case LinkedChannel::Temp2: w->ShowPoint(time, true, memdane.FloatAt(row, gpTemp2)); break;
    case LinkedChannel::GForce: w->ShowPoint(time, true, gx); break;
    }
}

void TfwykresGPS::SpeedButton1Click() { OpenLinked(LinkedChannel::Rpm); }
void TfwykresGPS::SpeedButton2Click() { OpenLinked(LinkedChannel::Temp1); }
void TfwykresGPS::SpeedButton4Click() { OpenLinked(LinkedChannel::Temp2); }
void TfwykresGPS::SpeedButton3Click() { OpenLinked(LinkedChannel::GForce); }

void TfwykresGPS::OpenLinked(LinkedChannel channel)
{
    QPointer<TfwykresPowiazany>& w = linked_[int(channel)];
    if (w) {
        w->show();
        w->raise();
        w->activateWindow();
        return;
    }
    // A window of its own that stays usable beside this modal one.
    w = new TfwykresPowiazany(this);
    w->LoadChannel(channel, memdane);
    // The cursor point starts at the replay's present sample.
    if (const auto o = TraceReplayStep(memdane, ScrollBar1->value(), Panel4->size()))
        ShowLinkedPoint(channel, o->row, o->gx);
    w->show();
    const LinkedPlace place = PlaceOf(channel);
    const int left = Project().Int32At(place.left);
    const int top = Project().Int32At(place.top);
    if (left != ProjectRecord::NotSet && top != ProjectRecord::NotSet)
        w->move(left, top);
    w->raise();
    w->activateWindow();
}

void TfwykresGPS::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Timer1->start();
}

void TfwykresGPS::Timer1Timer()
{
    Timer1->stop();
    const int left = Project().GpsTraceLeft();
    const int top = Project().GpsTraceTop();
    if (left != ProjectRecord::NotSet && top != ProjectRecord::NotSet)
        move(left, top);
}

void TfwykresGPS::closeEvent(QCloseEvent* event)
{
    FormClose();
    QDialog::closeEvent(event);
}

void TfwykresGPS::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TfwykresGPS::FormClose()
{
    if (closed_)
        return;
    closed_ = true;
    Project().SetGpsTraceLeft(x());
    Project().SetGpsTraceTop(y());
    for (LinkedChannel c : {LinkedChannel::GForce, LinkedChannel::Temp1, LinkedChannel::Rpm, LinkedChannel::Temp2}) {
        QPointer<TfwykresPowiazany>& w = linked_[int(c)];
        if (!w)
            continue;
        const LinkedPlace place = PlaceOf(c);
        Project().SetInt32At(place.left, w->x());
        Project().SetInt32At(place.top, w->y());
        w->close();
    }
}

void ShowGps(int sessionId, int lap)
{
    TfwykresGPS window(QApplication::activeWindow());
    window.idNag = sessionId;
    window.lap = lap;
    if (window.LoadTrace())
        platform::ExecModal(window);
}
