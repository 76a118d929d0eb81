#include "analysis/uwykreslaptolap.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/chart/chart.h"
#include "platform/dbgrid.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"
#include "shell/umain.h"

Tfwykreslaptolap* fwykreslaptolap = nullptr;

namespace {
constexpr int kGridWidth = 273;

// The tree's columns as designed: start or lap, driver or time, tick.
std::vector<GridColumn> GridColumns()
{
    return {{QStringLiteral("Pole1"), QString(), 106},
            {QStringLiteral("Pole2"), QString(), 111},
            {QStringLiteral("wybrany"), QStringLiteral("."), 29}};
}
}

Tfwykreslaptolap::Tfwykreslaptolap(QWidget* parent) : QWidget(parent)
{
    fwykreslaptolap = this;
    setWindowTitle(QStringLiteral("Lap comparision"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    QHBoxLayout* top = nullptr;
    outer->addWidget(NewTopStrip(this, top));
    Button2 = new QPushButton(QStringLiteral("GPS"));
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setFocusPolicy(Qt::NoFocus);
    Button2->setMinimumWidth(80);
    top->addWidget(Button2);
    top->addStretch(1);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    RxDBGrid1 = new DBGrid(this);
    SetUpTreeGrid(*RxDBGrid1, Tree.memdane, QStringLiteral("2"), QColor(0, 255, 0));
    FitTreeGrid(*RxDBGrid1, GridColumns(), kGridWidth);
    Chart1 = NewAnalysisChart(this);
    Chart1->SetMargins(10, 12, 8, 6);
    middle->addWidget(RxDBGrid1);
    middle->addWidget(Chart1, 1);
    outer->addLayout(middle, 1);

    connect(Chart1, &Chart::MouseMoved, this, &Tfwykreslaptolap::Chart1MouseMove);
    connect(Chart1, &Chart::MouseLeft, this, [this] { Chart1->SetCursorLine(-1); });
    connect(Button2, &QPushButton::clicked, this, &Tfwykreslaptolap::Button2Click);
    connect(RxDBGrid1, &DBGrid::CellClick, this, &Tfwykreslaptolap::RxDBGrid1CellClick);
    connect(RxDBGrid1, &DBGrid::DataChange, this, &Tfwykreslaptolap::DataSource1DataChange);
    new SampleWatch(this, [this] { BindSamples(); });
}

Tfwykreslaptolap::~Tfwykreslaptolap()
{
    if (fwykreslaptolap == this)
        fwykreslaptolap = nullptr;
}

void Tfwykreslaptolap::LoadChart()
{
    if (!DM)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    MemTable& memGPS = DM->memGPS;
    // Whatever happens, the window ends up showing what it loaded.
    struct Done {
        Tfwykreslaptolap* w;
        ~Done()
        {
            w->BindSamples();
            FitTreeGrid(*w->RxDBGrid1, GridColumns(), kGridWidth);
            w->RxDBGrid1->EnableControls();
            w->Tree.memdane.First();
            w->DataSource1DataChange();
            QApplication::restoreOverrideCursor();
        }
    } done{this};
    const SampleOwnership::Load load(this, SampleTimes::SinceLapStart);
    RxDBGrid1->DisableControls();
    Chart1->RemoveAllSeries();
    laps_.clear();
    Tree.Reset();
    memGPS.Close();
    memGPS.Open();

    const MemTable& chosen = DM->memWybraneSesje;
    const int idCol = chosen.FieldIndex(QStringLiteral("id_nag"));
    for (int r = 0; idCol >= 0 && r < chosen.RecordCount(); ++r) {
        for (const ComparedLap& lap : LoadLapComparisonSession(Tree, memGPS, chosen.IntAt(r, idCol))) {
            ChartSeries* s = Chart1->AddSeries();
            s->SetTitle(lap.title);
            s->SetTag(lap.Tag());
            s->SetColour(LapColour(lap.colour));
            laps_.push_back(lap);
        }
    }
}

void Tfwykreslaptolap::BindSamples()
{
    if (!DM)
        return;
    const MemTable& memGPS = DM->memGPS;
    // Rows loaded here count from the lap's start; rows of another loader
    // count session time, from which the lap's start is taken off.
    const bool fromLapStart = SampleOwnership::Times() == SampleTimes::SinceLapStart;
    const std::vector<LapSampleRun> runs = LapSampleRuns(memGPS);
    const int dataCol = memGPS.FieldIndex(QStringLiteral("data"));
    const int rpmCol = memGPS.FieldIndex(QStringLiteral("obroty"));
    for (int i = 0; i < Chart1->SeriesCount() && size_t(i) < laps_.size(); ++i) {
        const ComparedLap& lap = laps_[size_t(i)];
        ChartSeries* s = Chart1->Series(i);
        const auto run = std::find_if(runs.begin(), runs.end(), [&lap](const LapSampleRun& r) {
            return r.sessionId == lap.sessionId && r.lap == lap.lap;
        });
        if (run == runs.end())
            s->Clear();
        else
            s->SetTableData(&memGPS, dataCol, rpmCol, run->first, run->count,
                            Affine{fromLapStart ? 0.0 : double(lap.start), 1});
    }
}

void Tfwykreslaptolap::Chart1MouseMove(const QPoint& pos)
{
    Chart1->SetCursorLine(-1);
    if (!Chart1->PlotRect().contains(pos))
        return;
    Chart1->SetCursorLine(pos.x());
    const ChartSeries* s = Chart1->SeriesByTag(gpsSession_ * 100 + gpsLap_);
    if (!s || gpsLap_ == 0)
        return;  // "GPS" not pressed on a lap yet
    if (s->Visible()) {
        try {
            const int k = s->NearestPoint(Chart1->ScreenToX(pos.x()));
            if (k >= 0)
                cursorTime_ = RoundHalfEven(s->XValue(k));
        } catch (const std::exception&) {
            // The cursor time stays.
        }
    }
    gps_.CursorAt(cursorTime_);
}

void Tfwykreslaptolap::RxDBGrid1CellClick(int row, const QString& field)
{
    MemTable& t = Tree.memdane;
    const int tickCol = t.FieldIndex(field);
    if (tickCol < 0 || t.Def(tickCol).tag != 1 || row < 0 || row >= t.RecordCount())
        return;
    if (t.StringAt(row, t.FieldIndex(QStringLiteral("typ_rekordu"))) != QLatin1String("2"))
        return;
    const int shown = !t.IsNullAt(row, tickCol) && t.IntAt(row, tickCol) == 0 ? 1 : 0;
    t.SetIntAt(row, tickCol, shown);
    const int tag = t.IntAt(row, t.FieldIndex(QStringLiteral("id_naglowka"))) * 100 +
                    t.IntAt(row, t.FieldIndex(QStringLiteral("id_okrazenia")));
    for (int i = 0; i < Chart1->SeriesCount(); ++i)
        if (Chart1->Series(i)->Tag() == tag)
            Chart1->Series(i)->SetVisible(shown == 1);
}

void Tfwykreslaptolap::DataSource1DataChange()
{
    const MemTable& t = Tree.memdane;
    const int row = t.RecNo();
    if (row < 0 || row >= t.RecordCount() ||
        t.StringAt(row, t.FieldIndex(QStringLiteral("typ_rekordu"))) != QLatin1String("2"))
        return;
    const int tag = t.IntAt(row, t.FieldIndex(QStringLiteral("id_naglowka"))) * 100 +
                    t.IntAt(row, t.FieldIndex(QStringLiteral("id_okrazenia")));
    for (int i = 0; i < Chart1->SeriesCount(); ++i) {
        ChartSeries* s = Chart1->Series(i);
        s->SetPenWidth(s->Tag() == tag ? 2 : 1);
    }
}

void Tfwykreslaptolap::Button2Click()
{
    const MemTable& t = Tree.memdane;
    const int row = t.RecNo();
    if (row < 0 || row >= t.RecordCount() ||
        t.StringAt(row, t.FieldIndex(QStringLiteral("typ_rekordu"))) != QLatin1String("2"))
        return;
    gpsSession_ = t.IntAt(row, t.FieldIndex(QStringLiteral("id_naglowka")));
    gpsLap_ = t.IntAt(row, t.FieldIndex(QStringLiteral("id_okrazenia")));
    gps_.Show(gpsSession_, gpsLap_, QStringLiteral("GPS LAP: ") + QString::number(gpsLap_));
}

void Tfwykreslaptolap::closeEvent(QCloseEvent* event)
{
    gps_.Close();
    QWidget::closeEvent(event);
}

void ShowLapComparison()
{
    if (!Form1 || Form1->ActivateMDIChild(QString::fromLatin1(Tfwykreslaptolap::staticMetaObject.className())))
        return;
    auto* window = new Tfwykreslaptolap;
    ShowMaximisedChild(window);
    // A database error ends the load at that session and reaches the
    // error report; the sessions loaded before it stay.
    window->LoadChart();
}
