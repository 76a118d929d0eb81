#include "analysis/ugpspowiazany.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "analysis/gpscanvas.h"
#include "analysis/gpsmap.h"
#include "platform/dialogs.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"


namespace {
constexpr int kMargin = 25;
constexpr int kPenWidth = 2;
constexpr int kFont = 13;
}  // namespace

Tfgpspowiazany::Tfgpspowiazany(const AnalysisSession& session, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      memdane(QStringLiteral("memdane"), GpsPointFields(true)),
      session_(session)
{
    memdane.Open();
    setWindowTitle(QStringLiteral("GPS"));
    setStyleSheet(gpslook::StyleSheet());
    resize(542, 422);
    setMinimumSize(300, 240);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Map: the picture fills the panel.
    mapPanel = new QWidget(this);
    auto* mapLayout = new QVBoxLayout(mapPanel);
    mapLayout->setContentsMargins(0, 0, 0, 0);
    paintbox1 = new GpsMapCanvas(mapPanel);
    mapLayout->addWidget(paintbox1);
    column->addWidget(mapPanel, 1);

    // Lower panel: the scroll bar and six read-outs in two rows.
    auto* lower = new QWidget(this);
    lower->setObjectName(QStringLiteral("lowerPanel"));
    lower->setAttribute(Qt::WA_StyledBackground);
    lower->setFixedHeight(68);
    auto* lowerColumn = new QVBoxLayout(lower);
    lowerColumn->setContentsMargins(0, 1, 0, 4);
    lowerColumn->setSpacing(3);
    ScrollBar1 = new QScrollBar(Qt::Horizontal, lower);
    ScrollBar1->setRange(0, 0);
    lowerColumn->addWidget(ScrollBar1);
    auto* grid = new QGridLayout();
    grid->setContentsMargins(12, 0, 12, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    lowerColumn->addLayout(grid);
    auto readout = [lower, grid](const QString& caption, int row, int col) {
        grid->addWidget(gpslook::Caption(caption, lower, kFont), row, col * 2);
        QLabel* v = gpslook::Value(lower, kFont);
        v->setMinimumWidth(64);
        grid->addWidget(v, row, col * 2 + 1);
        return v;
    };
    RpmValue = readout(QStringLiteral("RPM:"), 0, 0);
    TimeValue = readout(QStringLiteral("Time:"), 0, 1);
    GfxValue = readout(QStringLiteral("GF X:"), 0, 2);
    Temp1Value = readout(QStringLiteral("Temp 1:"), 1, 0);
    Temp2Value = readout(QStringLiteral("Temp 2:"), 1, 1);
    GfyValue = readout(QStringLiteral("GF Y:"), 1, 2);
    for (int c = 1; c < 6; c += 2)
        grid->setColumnStretch(c, 1);
    column->addWidget(lower);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { ScrollBar1Change(); });

    timerresize = new QTimer(this);
    timerresize->setInterval(500);
    connect(timerresize, &QTimer::timeout, this, [this] {
        timerresize->stop();
        Button1Click();
    });
}

Tfgpspowiazany::~Tfgpspowiazany() = default;

bool Tfgpspowiazany::GpsDraw(int sessionId, int lap, const QString& caption)
{
    const gpslook::BusyScope busy(busy_);
    if (!busy.Taken())
        return false;

    paintbox1->ClearPictures();
    shownLap_ = lap;
    shownId_ = sessionId;
    setWindowTitle(caption);
    caption_ = caption;
    drawnSize_ = size();
    // A draw before the window was first shown lays it out first, so the
    // map is drawn at the size it will show.
    layout()->activate();
    mapPanel->layout()->activate();
    // The map goes black inside a one-pixel white frame.
    paintbox1->Blacken();
    platform::HourGlass wait;
    memdane.Close();
    memdane.Open();

    const int lapStart = gpslook::SessionLapStart(session_, sessionId, lap);
    MapExtent extent;
    const PointFill fill =
        FillPointsFromMemGps(DM->memGPS, sessionId, lap, true, false, lapStart, memdane, extent);
    if (fill.rows == 0) {
        paintbox1->ShowNotice(gpslook::NoGpsDataText());
        return false;
    }
    {
        const QSignalBlocker quiet(ScrollBar1);
        ScrollBar1->setMaximum(fill.lastSinceLapStart / 10);
    }

    memdane.SortOn(QStringLiteral("data"));
    ProjectPoints(memdane, FitToBox(paintbox1->width(), paintbox1->height(), kMargin, extent));
    if (lap == 0)
        paintbox1->DrawTrace(memdane, kPenWidth, [this](int row) { return MapLapColour(memdane.IntAt(row, gpOkrazenie)); });
    else
        paintbox1->DrawTrace(memdane, kPenWidth, [](int) { return QColor(255, 255, 0); });
    for (const MapMarker& m : MapMarkers(memdane, lap != 0, true))
        paintbox1->AddPicture(m.kind, QPoint(memdane.IntAt(m.row, gpXobr), memdane.IntAt(m.row, gpYobr)));
    return true;
}

void Tfgpspowiazany::GpsCursor(int time, int lap, int sessionId)
{
    if (shownLap_ != 0 && lap >= 1 && (lap != shownLap_ || sessionId != shownId_))
        GpsDraw(sessionId, lap, QStringLiteral(" LAP-") + QString::number(lap));
    const int row = FindTime(memdane, time);
    if (row >= 0)
        ShowRow(row, true);
}

void Tfgpspowiazany::GpsCursorAt(int time)
{
    const int row = FindTime(memdane, time);
    if (row >= 0)
        ShowRow(row, false);
}

void Tfgpspowiazany::ShowRow(int row, bool arrow)
{
    const LinkedReadout o = LinkedViewReadout(memdane, row, shownLap_ != 0);
    RpmValue->setText(o.rpm);
    TimeValue->setText(o.time);
    Temp1Value->setText(o.temp1);
    Temp2Value->setText(o.temp2);
    GfxValue->setText(o.gfX);
    GfyValue->setText(o.gfY);
    paintbox1->ClearMarkers();
    paintbox1->AddMarker(o.marker, QColor(255, 0, 0), kPenWidth);
    if (arrow)
        paintbox1->SetArrow(AccelerationArrow(memdane, row, mapPanel->width() / 5, paintbox1->Line().height()),
                            kPenWidth);
}

void Tfgpspowiazany::SetResizeAllowed(bool allowed) { resizeAllowed_ = allowed; }

void Tfgpspowiazany::ScrollBar1Change()
{
    if (memdane.IsEmpty())
        return;
    GpsCursor(memdane.IntAt(0, gpData) + ScrollBar1->value() * 10, shownLap_, shownId_);
}

void Tfgpspowiazany::Button1Click() { GpsDraw(shownId_, shownLap_, caption_); }

void Tfgpspowiazany::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    timerresize->stop();
}

void Tfgpspowiazany::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Redrawn only once the size has stayed the same for a while.
    if (size() != drawnSize_ && resizeAllowed_) {
        timerresize->stop();
        timerresize->start();
    }
}

void Tfgpspowiazany::closeEvent(QCloseEvent* event)
{
    Project().SetLinkedGpsViewLeft(x());
    Project().SetLinkedGpsViewTop(y());
    Project().SetLinkedGpsViewHeight(height());
    Project().SetLinkedGpsViewWidth(width());
    QWidget::closeEvent(event);  // hidden, kept for the next use
}
