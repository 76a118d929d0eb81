#include "analysis/channelchartwindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

#include "analysis/chartcore.h"
#include "analysis/upanelsesji.h"
#include "platform/chart/chart.h"
#include "platform/windowhost.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"

namespace {

const QColor kSilver(192, 192, 192);
constexpr int kColumnWidth = 96;
constexpr int kPanelHeight = 41;

// Black text on silver, whatever the program's dark palette says.
void Silver(QWidget* w)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, kSilver);
    p.setColor(QPalette::WindowText, Qt::black);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QFont ChartFont(int points, bool bold = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

}  // namespace

QLabel* ReadOutLabel(QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    QFont f(QStringLiteral("Verdana"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(8);
    f.setBold(true);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, QColor(236, 236, 236));
    p.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(p);
    l->setAutoFillBackground(true);
    return l;
}

ChannelChartWindow::ChannelChartWindow(AnalysisSession& session, QWidget* parent)
    : QWidget(parent), SessionView(session), session_(session)
{
    Outer = new QVBoxLayout(this);
    Outer->setContentsMargins(0, 0, 0, 0);
    Outer->setSpacing(0);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    Panel4 = new QWidget(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFixedWidth(kColumnWidth);
    Silver(Panel4);
    Chart1 = new Chart(this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    middle->addWidget(Panel4);
    middle->addWidget(Chart1, 1);
    Outer->addLayout(middle, 1);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(kPanelHeight);
    Silver(Panel2);
    BottomRow = new QHBoxLayout(Panel2);
    BottomRow->setContentsMargins(10, 0, 10, 0);
    BottomRow->setSpacing(6);
    BottomRow->addStretch(1);
    Outer->addWidget(Panel2);
    st_czas = AddReadOutBox(QStringLiteral("Time:"), 84);
    st_czas->setObjectName(QStringLiteral("st_czas"));

    // The chart: flat, white back wall on a silver-to-white background,
    // the left axis fixed at 0..1000 without labels (each channel is
    // scaled into it), time along the bottom with upright labels.
    Chart1->SetGradient(kSilver, Qt::white);
    Chart1->SetBackWall(Qt::white);
    Chart1->LeftAxis().SetMinMax(0, kChannelHeight);
    Chart1->LeftAxis().SetLabelsVisible(false);
    Chart1->BottomAxis().SetLabelAngle(90);
    Chart1->BottomAxis().SetLabelFont(ChartFont(8));
    Chart1->SetLegendFont(ChartFont(8));
    Chart1->SetMargins(10, 10, 8, 6);
    Chart1->AfterDraw = [this](QPainter& p) {
        AfterDraw(p);
        // The labels beside the plot follow its rectangle and the left
        // axis; they are placed once the chart has been painted.
        if (!labelsPending_) {
            labelsPending_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    labelsPending_ = false;
                    PlaceRangeLabels();
                },
                Qt::QueuedConnection);
        }
    };
    connect(Chart1, &Chart::MouseMoved, this, &ChannelChartWindow::Chart1MouseMove);
    connect(Chart1, &Chart::MouseLeft, this, [this] { Chart1->SetCursorLine(-1); });

    // Channel rows: caption and value box; slot 6 uses Label6 / StaticText9.
    static const char* const captionNames[7] = {"", "Label7", "Label8", "Label9", "Label10", "Label11", "Label6"};
    for (int i = 1; i <= MaxSelectedChannels; ++i) {
        auto* caption = new QLabel(Panel4);
        caption->setObjectName(QString::fromLatin1(captionNames[i]));
        caption->setFont(ChartFont(7, true));
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* value = ReadOutLabel(Panel4);
        value->setObjectName(QStringLiteral("StaticText%1").arg(i + 3));
        caption->hide();
        value->hide();
        ChannelCaptions[size_t(i)] = caption;
        ChannelValues[size_t(i)] = value;
    }

    // Range labels, coloured by channel.
    auto rangeLabel = [this](const char* name) {
        auto* l = new QLabel(Panel4);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(ChartFont(7, true));
        return l;
    };
    Label13 = rangeLabel("Label13");
    Label20 = rangeLabel("Label20");
    Label5 = rangeLabel("Label5");
    Label18 = rangeLabel("Label18");
    Label12 = rangeLabel("Label12");
    Label19 = rangeLabel("Label19");
    Label14 = rangeLabel("Label14");
    Label17 = rangeLabel("Label17");
    Label16 = rangeLabel("Label16");
    Label15 = rangeLabel("Label15");
}

ChannelChartWindow::~ChannelChartWindow() { LeaveSession(); }

void ChannelChartWindow::SessionLoading() { Chart1->RemoveAllSeries(); }
void ChannelChartWindow::SessionLoaded() { LoadChart(); }
void ChannelChartWindow::ChannelsChanged() { LoadChart(); }
void ChannelChartWindow::AnalysisClosed() { CloseChartWindow(this); }

void ChannelChartWindow::closeEvent(QCloseEvent* event)
{
    LeaveSession();
    QWidget::closeEvent(event);
}

void CloseChartWindow(QWidget* window)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        sub->close();
    else
        window->close();
}

QLabel* ChannelChartWindow::AddReadOutBox(const QString& caption, int width)
{
    auto* label = new QLabel(caption, Panel2);
    label->setFont(ChartFont(8));
    auto* box = ReadOutLabel(Panel2);
    box->setFixedSize(width, 21);
    const int at = BottomRow->count() - 1;  // before the closing stretch
    BottomRow->insertWidget(at, label);
    BottomRow->insertWidget(at + 1, box);
    if (at > 0)
        BottomRow->insertSpacing(at, 14);
    return box;
}

int ChannelChartWindow::CursorX() const { return Chart1->CursorLine(); }

void ChannelChartWindow::ShowChannelRows()
{
    for (int i = 1; i <= MaxSelectedChannels; ++i) {
        ChannelCaptions[size_t(i)]->hide();
        ChannelValues[size_t(i)]->hide();
    }
    for (int i = 1; i <= std::min(session_.SelectedChannelCount, MaxSelectedChannels); ++i) {
        QString caption;
        ChannelShortCaption(session_.SelectedChannels[size_t(i)], caption);
        ChannelCaptions[size_t(i)]->setText(caption);
        ChannelCaptions[size_t(i)]->show();
        ChannelValues[size_t(i)]->show();
    }
}

std::vector<QString> ChannelChartWindow::ChosenChannels() const
{
    const int count = std::clamp(session_.SelectedChannelCount, 0, MaxSelectedChannels);
    return {session_.SelectedChannels.begin() + 1, session_.SelectedChannels.begin() + 1 + count};
}

void ChannelChartWindow::AddChannelLines(const MemTable& memGPS, const std::vector<ChannelLine>& lines)
{
    for (const ChannelLine& line : lines) {
        ChartSeries* s = Chart1->AddSeries();
        s->SetTitle(line.title);
        s->SetTag(line.tag);
        s->SetColour(LapColour(line.colour));
        s->SetValueFormat(QString::number(line.slot));
        if (line.HasData())
            s->SetTableData(&memGPS, line.xColumn, line.yColumn, line.first, line.count, line.xMap, line.yMap);
    }
}

void ChannelChartWindow::AfterDraw(QPainter&) {}

void ChannelChartWindow::PlaceRangeLabels()
{
    const QRect plot = Chart1->PlotRect();
    const int dy = Chart1->mapTo(this, QPoint(0, 0)).y() - Panel4->mapTo(this, QPoint(0, 0)).y();
    const int top = plot.top() + dy, bottom = plot.bottom() + dy;
    const int lh = QFontMetrics(Label13->font()).height() + 1;
    const int half = kColumnWidth / 2;

    QLabel* const tops[] = {Label13, Label5, Label12, Label14, Label16};
    QLabel* const bottoms[] = {Label20, Label18, Label19, Label17, Label15};
    const std::vector<RangeLabel> labels = RangeLabels(Project(), Chart1->LeftAxis().Range());
    for (size_t i = 0; i < labels.size(); ++i) {
        const RangeLabel& r = labels[i];
        const int x = r.rightColumn ? half + 1 : 3;
        for (QLabel* l : {tops[i], bottoms[i]}) {
            QPalette p = l->palette();
            p.setColor(QPalette::WindowText, r.colour);
            l->setPalette(p);
        }
        tops[i]->setText(r.top);
        bottoms[i]->setText(r.bottom);
        tops[i]->setGeometry(x, top + (r.row - 1) * lh, half - 4, lh);
        bottoms[i]->setGeometry(x, bottom + (r.row - 1) * lh, half - 4, lh);
    }

    // Channel rows below the top labels.
    const int rowsTop = top + 3 * lh + 8;
    for (int i = 1; i <= MaxSelectedChannels; ++i) {
        const int y = rowsTop + (i - 1) * 22;
        ChannelCaptions[size_t(i)]->setGeometry(0, y, 35, 19);
        ChannelValues[size_t(i)]->setGeometry(38, y, kColumnWidth - 41, 19);
    }
}

void ChannelChartWindow::Chart1MouseMove(const QPoint& pos)
{
    if (Chart1->CursorLine() != -1)
        Chart1->SetCursorLine(-1);
    if (!Chart1->PlotRect().contains(pos))
        return;
    Chart1->SetCursorLine(pos.x());
    mouseY_ = pos.y();
    ReadOut(pos);
}

void ChannelChartWindow::ShowPointValue(const ChartSeries& series, int k)
{
    const int slot = series.ValueFormat().toInt();
    if (slot < 1 || slot > MaxSelectedChannels)
        return;
    // The sample's value as stored, not turned back from its height: no
    // rounding of the way there and back, and right whatever the range.
    const double value = ChannelReading(series.StoredYValue(k), session_.SelectedChannels[size_t(slot)]);
    ChannelValues[size_t(slot)]->setText(FormatValue(session_.SelectedChannelFormats[size_t(slot)], value));
}

void ChannelChartWindow::ShowValuesAt(int tag, double x)
{
    ShowValuesAt([this, tag](int i) { return Chart1->Series(i)->Tag() == tag; }, x);
}

void ChannelChartWindow::ShowValuesAt(const std::function<bool(int)>& belongs, double x)
{
    for (int i = 0; i < Chart1->SeriesCount(); ++i) {
        const ChartSeries* s = Chart1->Series(i);
        if (!belongs(i))
            continue;
        const int k = s->NearestPoint(x);
        if (k < 0)
            continue;
        cursorTime_ = RoundHalfEven(s->XValue(k));
        ShowPointValue(*s, k);
    }
}

bool ActivateChartChild(const char* className)
{
    WindowHost* host = platform::Host();
    return !host || host->ActivateMDIChild(QString::fromLatin1(className));
}

void ShowChartChild(QWidget* window)
{
    WindowHost* host = platform::Host();
    QMdiSubWindow* sub = host->AddMDIChild(window);
    sub->setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint);
    sub->show();
    const int panel = SessionPanelWidth();
    const QSize client = host->ClientSize();
    sub->setGeometry(panel, 0, client.width() - panel - 5, client.height() - 5);
}
