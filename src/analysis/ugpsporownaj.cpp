#include "analysis/ugpsporownaj.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "analysis/gpscanvas.h"
#include "platform/dialogs.h"
#include "shell/data/ubazy.h"


namespace {
constexpr int kClientWidth = 712;
constexpr int kClientHeight = 641;
constexpr int kLowerHeight = 101;
constexpr int kMargin = 10;
const char* const kTableNames[] = {"memdane", "memDane2", "memdane3", "memDane4", "memdane5"};
}  // namespace

TfgpsPorownaj::TfgpsPorownaj(const AnalysisSession& session, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      session_(session)
{
    setWindowTitle(QStringLiteral("Compare"));
    setFixedSize(kClientWidth, kClientHeight);
    setStyleSheet(gpslook::StyleSheet() +
                  QStringLiteral("QWidget#lowerPanel { background: #000000; }"));
    for (int i = 0; i < CompareRing::kSlots; ++i) {
        tables_[i] = std::make_unique<MemTable>(QLatin1String(kTableNames[i]), GpsPointFields(true));
        tables_[i]->Open();
    }

    paintbox1 = new GpsMapCanvas(this);
    paintbox1->setGeometry(0, 0, kClientWidth, kClientHeight - kLowerHeight);

    // Lower panel: scroll bar, one coloured row per slot, "Clear data".
    auto* lower = new QWidget(this);
    lower->setObjectName(QStringLiteral("lowerPanel"));
    lower->setAttribute(Qt::WA_StyledBackground);
    lower->setGeometry(0, kClientHeight - kLowerHeight, kClientWidth, kLowerHeight);
    ScrollBar1 = new QScrollBar(Qt::Horizontal, lower);
    ScrollBar1->setGeometry(0, 1, kClientWidth, 18);
    ScrollBar1->setRange(0, 0);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { ScrollBar1Change(); });

    auto label = [lower](const QString& text, const QColor& colour, int x, int y, int w, bool bold) {
        auto* l = new QLabel(text, lower);
        QFont f = l->font();
        f.setPixelSize(12);
        f.setBold(bold);
        l->setFont(f);
        l->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
        l->setGeometry(x, y, w, 16);
        return l;
    };
    for (int s = 1; s <= CompareRing::kSlots; ++s) {
        const QColor c = SlotColour(s);
        const int y = 21 + (s - 1) * 16;
        lapLabels_[s - 1] = label(QStringLiteral("LAP:"), c, 14, y, 90, true);
        label(QStringLiteral("RPM:"), c, 110, y, 40, false);
        rpmLabels_[s - 1] = label(QString(), c, 150, y, 80, true);
    }
    Button1 = new QPushButton(QStringLiteral("Clear data"), lower);
    Button1->setGeometry(kClientWidth - 14 - 110, 44, 110, 30);
    Button1->setFocusPolicy(Qt::NoFocus);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    paintbox1->Blacken();
}

TfgpsPorownaj::~TfgpsPorownaj() = default;

QColor TfgpsPorownaj::SlotColour(int slot) const { return CompareSlotColour(slot); }
QLabel* TfgpsPorownaj::SlotLapLabel(int slot) const { return lapLabels_.at(slot - 1); }
QLabel* TfgpsPorownaj::SlotRpmLabel(int slot) const { return rpmLabels_.at(slot - 1); }
MemTable& TfgpsPorownaj::SlotTable(int slot) const { return *tables_.at(slot - 1); }

bool TfgpsPorownaj::CompareAddLap(int sessionId, int lap, const QString& caption)
{
    const gpslook::BusyScope busy(busy_);
    if (!busy.Taken())
        return false;

    const int slot = ring_.Take(lap);
    setWindowTitle(caption);
    platform::HourGlass wait;
    MemTable& t = SlotTable(slot);
    t.Close();
    t.Open();

    const int lapStart = gpslook::SessionLapStart(session_, sessionId, lap);
    MapExtent unused;
    const PointFill fill = FillPointsFromMemGps(DM->memGPS, sessionId, lap, false, true, lapStart, t, unused);
    if (fill.rows == 0) {
        // The slot stays counted, empty; the picture stays as it was, and a
        // map with no lap on it says why.
        t.Close();
        t.Open();
        if (!AnySlotDrawn())
            paintbox1->ShowNotice(gpslook::NoGpsDataText());
        return true;
    }
    if (fill.maxSinceLapStart > longest_)
        longest_ = fill.maxSinceLapStart;
    DrawLaps();
    return true;
}

bool TfgpsPorownaj::AnySlotDrawn() const
{
    for (int s = 1; s <= ring_.Count(); ++s)
        if (!SlotTable(s).IsEmpty())
            return true;
    return false;
}

void TfgpsPorownaj::ClearMap()
{
    for (int s = 1; s <= CompareRing::kSlots; ++s) {
        SlotRpmLabel(s)->clear();
        SlotLapLabel(s)->setText(QStringLiteral("LAP:"));
    }
    paintbox1->ClearPictures();
    paintbox1->Blacken();
}

void TfgpsPorownaj::DrawLaps()
{
    ClearMap();
    {
        const QSignalBlocker quiet(ScrollBar1);
        ScrollBar1->setMaximum(longest_ / 10);
    }
    // One extent and one scale for all laps.
    MapExtent extent;
    for (int s = 1; s <= ring_.Count(); ++s) {
        const MemTable& t = SlotTable(s);
        if (t.IsEmpty())
            continue;
        ExtendExtent(t, extent);
        SlotLapLabel(s)->setText(QStringLiteral("LAP:") + QString::number(ring_.LapOf(s)));
    }
    if (extent.empty)
        return;
    const FitProjection projection = FitToBox(paintbox1->width(), paintbox1->height(), kMargin, extent);
    for (int s = 1; s <= ring_.Count(); ++s) {
        MemTable& t = SlotTable(s);
        if (t.IsEmpty())
            continue;
        t.SortOn(QStringLiteral("data"));
        ProjectPoints(t, projection);
        const QColor c = SlotColour(s);
        paintbox1->DrawTrace(t, 1, [c](int) { return c; });
        if (s == 1)
            for (const MapMarker& m : MapMarkers(t, true, false))
                paintbox1->AddPicture(m.kind, QPoint(t.IntAt(m.row, gpXobr), t.IntAt(m.row, gpYobr)));
    }
}

void TfgpsPorownaj::ScrollBar1Change()
{
    const int time = ScrollBar1->value() * 10;
    paintbox1->ClearMarkers();
    for (int s = 1; s <= ring_.Count(); ++s) {
        const MemTable& t = SlotTable(s);
        const int row = FindTimeOrLater(t, time);
        if (row < 0)
            continue;
        paintbox1->AddMarker(QPoint(t.IntAt(row, gpXobr), t.IntAt(row, gpYobr)), SlotColour(s), 1);
        SlotRpmLabel(s)->setText(QString::number(t.IntAt(row, gpObroty)));
    }
}

void TfgpsPorownaj::Button1Click()
{
    ring_.Clear();
    ClearMap();
}
