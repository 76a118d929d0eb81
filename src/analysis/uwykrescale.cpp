#include "analysis/uwykrescale.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "analysis/analysishooks.h"
#include "analysis/chartcore.h"
#include "platform/chart/chart.h"
#include "platform/dialogs.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

Tfwykrescale* fwykrescale = nullptr;

namespace {
constexpr int kStripHeight = 41;
// Narrowest lap box of the strip drawn with its outline.
constexpr int kOutlinedBox = 3;

std::vector<FieldDef> ExtremeFields()
{
    return {{QStringLiteral("id_nag"), FieldType::Integer},
            {QStringLiteral("data_ss"), FieldType::Integer},
            {QStringLiteral("wartosc"), FieldType::Float}};
}
}  // namespace

// The lap strip: painted by the window from the chart's mapping.
class LapStrip : public QWidget {
public:
    explicit LapStrip(Tfwykrescale* window) : QWidget(window), window_(window)
    {
        setObjectName(QStringLiteral("Image1"));
        setFixedHeight(kStripHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        window_->PaintLapStrip(p);
    }

private:
    Tfwykrescale* window_;
};

Tfwykrescale::Tfwykrescale(AnalysisSession& session, QWidget* parent)
    : ChannelChartWindow(session, parent),
      memMin(QStringLiteral("memMin"), ExtremeFields()),
      memMaks(QStringLiteral("memMaks"), ExtremeFields())
{
    fwykrescale = this;
    memMin.Open();
    memMaks.Open();

    // Top strip: a grey block over the silver column, then the lap strip
    // over the chart.
    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    auto* block = new QWidget(this);
    block->setFixedSize(Panel4->width(), kStripHeight);
    QPalette grey = block->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    block->setPalette(grey);
    block->setAutoFillBackground(true);
    Image1 = new LapStrip(this);
    top->addWidget(block);
    top->addWidget(Image1, 1);
    Outer->insertLayout(0, top);

    StaticText1 = AddReadOutBox(QStringLiteral("Lap time:"), 84);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText2 = AddReadOutBox(QStringLiteral("Sector time:"), 84);
    StaticText2->setObjectName(QStringLiteral("StaticText2"));

    // The plot starts at the chart's left edge, right under the strip; the
    // markers' values are written above it.
    Chart1->SetMargins(0, 30, 8, 6);
}

Tfwykrescale::~Tfwykrescale()
{
    LeaveSession();  // told nothing while it goes
    if (fwykrescale == this)
        fwykrescale = nullptr;
}

void Tfwykrescale::LoadChart()
{
    const platform::HourGlass hourglass;

    Chart1->RemoveAllSeries();
    memMin.Close();
    memMin.Open();
    memMaks.Close();
    memMaks.Open();
    highlightValid_ = false;
    ShowChannelRows();
    if (!DM)
        return;

    const MemTable& gps = DM->memGPS;
    const int dataCol = gps.FieldIndex(QStringLiteral("data"));
    const std::vector<SampleRun> runs = SessionRuns(gps);
    AddChannelLines(gps, ChannelLines(gps, DM->memMinMax, runs, ChosenChannels()));

    samplesSpan_.reset();
    if (!runs.empty() && dataCol >= 0) {
        const ColumnView data = gps.View(dataCol);
        AxisRange span{data.At(runs.front().first), data.At(runs.front().first)};
        for (const SampleRun& run : runs) {
            span.min = std::min(span.min, data.At(run.first));
            span.max = std::max(span.max, data.At(run.first + run.count - 1));
        }
        samplesSpan_ = span;
    }

    // Extremes of the current channel, one row each per session.
    for (const SessionExtremes& e : ComputeExtremes(gps, runs, session_.CurrentChannel, &session_.tree.memokrazenia)) {
        for (auto [table, time, value] : {std::tuple(&memMin, e.minTime, e.min), std::tuple(&memMaks, e.maxTime, e.max)}) {
            const int r = table->AppendRow();
            table->SetIntAt(r, 0, e.sessionId);
            table->SetIntAt(r, 1, time);
            table->SetFloatAt(r, 2, value);
        }
    }

    // Visibility from the panel's check column.
    for (const TreeCheck& c : TreeChecks(session_.tree, QStringLiteral("1")))
        SetSessionVisible(c.sessionId, c.checked);
    UpdateTimeAxis();
}

void Tfwykrescale::CurrentRowChanged(int sessionId, int) { HighlightSession(sessionId); }
void Tfwykrescale::SessionShown(int sessionId, int check) { SetSessionVisible(sessionId, check); }

void Tfwykrescale::SetSessionVisible(int sessionId, int check)
{
    for (int i = 0; i < Chart1->SeriesCount(); ++i)
        if (Chart1->Series(i)->Tag() == sessionId)
            Chart1->Series(i)->SetVisible(check == 1);
    UpdateTimeAxis();
}

// The time axis follows the shown lines; with none shown (no channel
// chosen, every session unticked) it spans the samples, so that the lap
// strip and the markers stay where the session is.
void Tfwykrescale::UpdateTimeAxis()
{
    bool shown = false;
    for (int i = 0; i < Chart1->SeriesCount() && !shown; ++i)
        shown = Chart1->Series(i)->Visible();
    if (!shown && samplesSpan_)
        Chart1->BottomAxis().SetMinMax(samplesSpan_->min, samplesSpan_->max);
    else if (!Chart1->BottomAxis().Automatic())
        Chart1->BottomAxis().SetAutomatic(true);
}

void Tfwykrescale::HighlightSession(int sessionId)
{
    for (int i = 0; i < Chart1->SeriesCount(); ++i) {
        ChartSeries* s = Chart1->Series(i);
        s->SetPenWidth(s->Tag() == sessionId ? HighlightPenWidth : 1);
    }
    // The strip and the markers show the current session: repaint them
    // when it changed, even where no pen did.
    if (!highlightValid_ || highlighted_ != sessionId) {
        highlighted_ = sessionId;
        highlightValid_ = true;
        Chart1->Invalidate();
    }
}

// --------------------------------------------------------------- drawing

void Tfwykrescale::AfterDraw(QPainter& painter)
{
    DrawMarkers(painter);
    Image1->update();
}

void Tfwykrescale::PaintLapStrip(QPainter& p)
{
    const QColor grey(128, 128, 128);
    p.fillRect(Image1->rect(), grey);
    const int session = CurrentTreeRow(session_.tree).sessionId;
    const int h = Image1->height();
    p.setFont(QFont(QStringLiteral("Arial"), 8));
    const QFontMetrics fm(p.font());
    const std::vector<LapBox> boxes = LapStripBoxes(session_.tree.memokrazenia, session, Chart1->Mapping());
    // Zoomed out, the laps of a long session are a pixel wide or less: their
    // outlines would make the strip one black band.  Such boxes are filled
    // only, at least a pixel wide, the fastest and slowest over the others.
    for (const bool marked : {false, true})
        for (const LapBox& b : boxes)
            if (b.x2 - b.x1 < kOutlinedBox && b.marked == marked)
                p.fillRect(QRect(b.x1, 0, std::max(1, b.x2 - b.x1), h + 1), b.brush);
    for (const LapBox& b : boxes) {
        if (b.x2 - b.x1 < kOutlinedBox)
            continue;
        p.setPen(Qt::black);
        p.setBrush(b.brush);
        p.drawRect(QRect(QPoint(b.x1, 0), QPoint(b.x2 - 1, h)));
        // The lap time only where it fits its box: zoomed out, the boxes of a
        // long session are narrower than their texts, which would overwrite
        // each other.
        if (fm.horizontalAdvance(b.caption) + 2 > b.x2 - b.x1)
            continue;
        p.setPen(b.text);
        p.drawText(b.x1 + 1, 10 + fm.ascent(), b.caption);
    }
}

void Tfwykrescale::DrawMarkers(QPainter& p)
{
    const int session = CurrentTreeRow(session_.tree).sessionId;
    const ChartMapping& m = Chart1->Mapping();
    const int plotTop = m.Plot().top();
    const int right = m.XToScreen(m.X().max);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setFont(QFont(QStringLiteral("Arial"), 8));
    const QFontMetrics fm(p.font());
    struct Marker {
        const MemTable* table;
        QColor colour;
        double none;
    };
    for (const Marker& mk : {Marker{&memMin, QColor(255, 0, 0), kNoMinimum}, Marker{&memMaks, QColor(0, 128, 0), kNoMaximum}}) {
        const int row = mk.table->Find(QStringLiteral("id_nag"), {session});
        if (row < 0)
            continue;
        const double value = mk.table->FloatAt(row, 2);
        if (value == mk.none)
            continue;  // no sample of the session qualified
        const int x = m.XToScreen(mk.table->IntAt(row, 1));
        if (!(0 < x && x < right))
            continue;
        p.setPen(mk.colour);
        p.drawLine(x, 0, x, plotTop);
        const QString text = FormatValue(session_.CurrentChannelFormat, value);
        const QRect box(x + 1, plotTop / 2 - fm.height() / 2, fm.horizontalAdvance(text) + 4, fm.height());
        p.fillRect(box, mk.colour);
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, text);
    }
}

// -------------------------------------------------------------- read-out

void Tfwykrescale::ReadOut(const QPoint& pos)
{
    const int session = CurrentTreeRow(session_.tree).sessionId;
    ChartSeries* first = Chart1->SeriesByTag(session);
    if (!first)
        return;
    int lap = 0;
    if (!first->Visible()) {
        st_czas->setText(QStringLiteral("-"));
    } else {
        try {
            const double x = Chart1->ScreenToX(pos.x());
            const SessionReadOut texts = ReadOutTexts(session_.tree, session, x);
            st_czas->setText(texts.time);
            StaticText1->setText(texts.lap);
            lap = texts.lapNumber;
            StaticText2->setText(texts.sector);
            ShowValuesAt(session, x);
        } catch (const std::exception&) {
            // Boxes written so far keep their texts.
        }
    }
    session_.NotifyCursor(cursorTime_, lap, session);
}

// ---------------------------------------------------------------- opener

void ShowWholeSessionChart(AnalysisSession& session) { ShowStackedChart<Tfwykrescale>(session, WholeSessionChartClass); }
