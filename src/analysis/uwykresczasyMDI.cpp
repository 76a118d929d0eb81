#include "analysis/uwykresczasyMDI.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "analysis/analysishooks.h"
#include "analysis/channelchartwindow.h"
#include "analysis/chartcore.h"
#include "analysis/chartpanels.h"
#include "platform/chart/chart.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

TfwykresCzasy* fwykresCzasy = nullptr;

namespace {
constexpr int kColumnWidth = 145;
constexpr int kStripHeight = 41;
}  // namespace

TfwykresCzasy::TfwykresCzasy(AnalysisSession& session, QWidget* parent)
    : QWidget(parent), SessionView(session), session_(session)
{
    fwykresCzasy = this;
    setWindowTitle(QStringLiteral("Lap time diagram"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    outer->addLayout(middle, 1);

    // The chart: bars over the lap numbers, the values in the marks.
    Chart1 = NewAnalysisChart(this);
    Chart1->SetLegendVisible(false);
    Chart1->LeftAxis().SetLabelsVisible(false);
    Chart1->BottomAxis().SetIncrement(1);
    Chart1->SetMarkAngle(90);
    Chart1->SetMargins(12, 16, 12, 6);
    middle->addWidget(Chart1, 1);

    // Right-hand column: the switches and the sector choice.
    auto* column = new ControlStrip(this, Qt::LeftEdge);
    column->setObjectName(QStringLiteral("Panel1"));
    column->setFixedWidth(kColumnWidth);
    auto* controls = new QVBoxLayout(column);
    controls->setContentsMargins(12, 10, 8, 10);
    controls->setSpacing(6);
    auto box = [column, controls](const char* name, const char* caption, bool checked) {
        auto* b = new QCheckBox(QString::fromLatin1(caption), column);
        b->setObjectName(QString::fromLatin1(name));
        b->setChecked(checked);
        b->setFocusPolicy(Qt::NoFocus);
        controls->addWidget(b);
        return b;
    };
    CheckBox3 = box("CheckBox3", "Diff", true);
    CheckBox2 = box("CheckBox2", "Sectors", true);
    CheckBox1 = box("CheckBox1", "Laps", true);
    CheckBox4 = box("CheckBox4", "Show marks", true);
    controls->addSpacing(4);
    RadioGroup1 = new QGroupBox(QStringLiteral(" Sectors "), column);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* grid = new QGridLayout(RadioGroup1);
    grid->setContentsMargins(8, 6, 6, 6);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    RadioItems = new QButtonGroup(RadioGroup1);
    static const char* const items[] = {"All", "1", "2", "3", "4", "5"};
    for (int i = 0; i < 6; ++i) {
        auto* item = new QRadioButton(QString::fromLatin1(items[i]), RadioGroup1);
        item->setFocusPolicy(Qt::NoFocus);
        RadioItems->addButton(item, i);
        // Two columns, filled down the first column first.
        grid->addWidget(item, i % 3, i / 3);
    }
    RadioItems->button(0)->setChecked(true);
    controls->addWidget(RadioGroup1);
    controls->addStretch(1);
    middle->addWidget(column);

    // Bottom strip: the read-out of the bar under the mouse.
    auto* bottom = new ControlStrip(this, Qt::TopEdge);
    bottom->setObjectName(QStringLiteral("Panel2"));
    bottom->setFixedHeight(kStripHeight);
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(12, 2, 12, 0);
    StaticText1 = ChartReadOutBox(bottom, "StaticText1");
    row->addWidget(StaticText1);
    row->addStretch(1);
    outer->addWidget(bottom);

    connect(CheckBox3, &QCheckBox::clicked, this, &TfwykresCzasy::CheckBox3Click);
    for (QCheckBox* b : {CheckBox2, CheckBox1})
        connect(b, &QCheckBox::clicked, this, &TfwykresCzasy::FiltersChanged);
    connect(RadioItems, &QButtonGroup::idClicked, this, &TfwykresCzasy::FiltersChanged);
    connect(CheckBox4, &QCheckBox::clicked, this, &TfwykresCzasy::CheckBox4Click);
    connect(Chart1, &Chart::MouseMoved, this, &TfwykresCzasy::Chart1MouseMove);
    connect(Chart1, &Chart::MouseLeft, this, [this] { Chart1->HideToolTip(); });
}

TfwykresCzasy::~TfwykresCzasy()
{
    LeaveSession();
    if (fwykresCzasy == this)
        fwykresCzasy = nullptr;
}

DiagramFilters TfwykresCzasy::Filters() const
{
    DiagramFilters f;
    f.laps = CheckBox1->isChecked();
    f.sectors = CheckBox2->isChecked();
    f.sectorItem = std::max(0, RadioItems->checkedId());
    return f;
}

void TfwykresCzasy::LoadChart()
{
    Chart1->RemoveAllSeries();
    sessionShown_.clear();

    // The chosen sessions, in table order, over the panel's tree.
    std::vector<int> sessions;
    if (DM) {
        const MemTable& chosen = DM->memWybraneSesje;
        const int idCol = chosen.FieldIndex(QStringLiteral("id_nag"));
        for (int r = 0; idCol >= 0 && r < chosen.RecordCount(); ++r)
            sessions.push_back(chosen.IntAt(r, idCol));
    }
    Diagram.Load(session_.tree, sessions);

    for (const DiagramSeries& d : Diagram.series) {
        ChartSeries* s = Chart1->AddSeries(SeriesKind::Bar);
        s->SetTag(d.tag);
        s->SetTitle(QString::number(d.sessionId));
        s->SetColour(LapColour(d.colour));
        s->SetMarksVisible(CheckBox4->isChecked());
    }

    // The panel's check column decides which sessions show.
    for (const TreeCheck& c : TreeChecks(session_.tree, QStringLiteral("1")))
        sessionShown_[c.sessionId] = c.checked == 1;
    ApplyVisibility();
    CheckBox3Click();
}

void TfwykresCzasy::AnalysisClosed() { CloseChartWindow(this); }

void TfwykresCzasy::closeEvent(QCloseEvent* event)
{
    LeaveSession();
    QWidget::closeEvent(event);
}

void TfwykresCzasy::SetSessionVisible(int sessionId, int check)
{
    sessionShown_[sessionId] = check == 1;
    ApplyVisibility();
}

void TfwykresCzasy::ApplyVisibility()
{
    const DiagramFilters filters = Filters();
    for (int i = 0; i < Chart1->SeriesCount(); ++i) {
        ChartSeries* s = Chart1->Series(i);
        bool ok = false;
        const int session = s->Title().toInt(&ok);
        const auto ticked = sessionShown_.find(ok ? session : 0);
        const bool shown = ticked == sessionShown_.end() || ticked->second;
        s->SetVisible(shown && PassesFilters(s->Tag(), filters));
    }
}

void TfwykresCzasy::CheckBox3Click()
{
    const std::vector<std::vector<DiagramBar>> bars = Diagram.Bars(CheckBox3->isChecked());
    for (int i = 0; i < Chart1->SeriesCount() && size_t(i) < bars.size(); ++i) {
        ChartSeries* s = Chart1->Series(i);
        s->Clear();
        for (const DiagramBar& b : bars[size_t(i)])
            s->AddPoint(b.x, b.y, b.label);
    }
}

void TfwykresCzasy::FiltersChanged() { ApplyVisibility(); }

void TfwykresCzasy::CheckBox4Click()
{
    for (int i = 0; i < Chart1->SeriesCount(); ++i)
        Chart1->Series(i)->SetMarksVisible(CheckBox4->isChecked());
}

void TfwykresCzasy::Chart1MouseMove(const QPoint& pos)
{
    StaticText1->clear();
    for (int i = 0; i < Chart1->SeriesCount(); ++i) {
        const ChartSeries* s = Chart1->Series(i);
        if (!s->Visible())
            continue;
        const int k = Chart1->PointAt(s, pos);
        if (k < 0)
            continue;
        const QString label = s->Label(k);
        if (label != Chart1->ToolTipText())
            Chart1->ShowToolTip(label, pos);
        StaticText1->setText(label);
        return;
    }
    Chart1->HideToolTip();
}

void ShowLapTimeDiagram(AnalysisSession& session) { ShowStackedChart<TfwykresCzasy>(session, LapTimeDiagramClass); }
