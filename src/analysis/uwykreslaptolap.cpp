#include "analysis/uwykreslaptolap.h"

#include <QPushButton>

#include <algorithm>
#include <map>

#include "analysis/sessionload.h"
#include "platform/chart/chart.h"
#include "platform/dbgrid.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

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
}  // namespace

Tfwykreslaptolap::Tfwykreslaptolap(const AnalysisSession& session, QWidget* parent)
    : SessionsChartWindow(session, parent)
{
    fwykreslaptolap = this;
    setWindowTitle(QStringLiteral("Lap comparision"));
    ShowTree(Tree.memdane, QStringLiteral("2"), QColor(0, 255, 0), GridColumns(), kGridWidth);
    connect(Chart1, &Chart::MouseMoved, this, &Tfwykreslaptolap::Chart1MouseMove);
    connect(Button2, &QPushButton::clicked, this, &Tfwykreslaptolap::Button2Click);
}

Tfwykreslaptolap::~Tfwykreslaptolap()
{
    if (fwykreslaptolap == this)
        fwykreslaptolap = nullptr;
    RxDBGrid1->SetTable(nullptr);  // the tree goes before the grid
}

void Tfwykreslaptolap::LoadChart()
{
    Load(
        [this] {
            laps_.clear();
            Tree.Reset();
            const MemTable& chosen = DM->memWybraneSesje;
            const int idCol = chosen.FieldIndex(QStringLiteral("id_nag"));
            for (int r = 0; idCol >= 0 && r < chosen.RecordCount(); ++r) {
                const int id = chosen.IntAt(r, idCol);
                std::vector<ComparedLap> laps;
                LoadOneSession(id, [&] { laps = LoadLapComparisonSession(Tree, DM->memGPS, id); });
                for (const ComparedLap& lap : laps) {
                    ChartSeries* s = Chart1->AddSeries();
                    s->SetTitle(lap.title);
                    s->SetTag(lap.Tag());
                    s->SetColour(LapColour(lap.colour));
                    laps_.push_back(lap);
                }
            }
        },
        [this] {
            laps_.clear();
            Tree.Reset();
        });
}

bool Tfwykreslaptolap::RowDraws(int row, int series) const
{
    const MemTable& t = Tree.memdane;
    return DrawsLap(series, t.IntAt(row, t.FieldIndex(QStringLiteral("id_naglowka"))),
                    t.IntAt(row, t.FieldIndex(QStringLiteral("id_okrazenia"))));
}

bool Tfwykreslaptolap::DrawsLap(int series, int sessionId, int lap) const
{
    return series >= 0 && size_t(series) < laps_.size() && laps_[size_t(series)].sessionId == sessionId &&
           laps_[size_t(series)].lap == lap;
}

int Tfwykreslaptolap::CurrentLapRow() const
{
    const MemTable& t = Tree.memdane;
    const int row = t.RecNo();
    if (row < 0 || row >= t.RecordCount() ||
        t.StringAt(row, t.FieldIndex(QStringLiteral("typ_rekordu"))) != QLatin1String("2"))
        return -1;
    return row;
}

void Tfwykreslaptolap::BindSamples()
{
    if (!DM)
        return;
    const MemTable& memGPS = DM->memGPS;
    // The rows loaded here count from each lap's start.
    const std::vector<LapSampleRun> runs = LapSampleRuns(memGPS);
    const int dataCol = memGPS.FieldIndex(QStringLiteral("data"));
    const int rpmCol = memGPS.FieldIndex(QStringLiteral("obroty"));
    // A lap number a session lists again (stored before laps were counted
    // on) draws the next run of that number.
    std::map<std::pair<int, int>, int> seen;
    for (int i = 0; i < Chart1->SeriesCount() && size_t(i) < laps_.size(); ++i) {
        const ComparedLap& lap = laps_[size_t(i)];
        ChartSeries* s = Chart1->Series(i);
        int skip = seen[{lap.sessionId, lap.lap}]++;
        const auto run = std::find_if(runs.begin(), runs.end(), [&lap, &skip](const LapSampleRun& r) {
            return r.sessionId == lap.sessionId && r.lap == lap.lap && skip-- == 0;
        });
        if (run == runs.end())
            s->Clear();
        else
            s->SetTableData(&memGPS, dataCol, rpmCol, run->first, run->count);
    }
}

void Tfwykreslaptolap::Chart1MouseMove(const QPoint& pos)
{
    if (!MoveCursorLine(pos))
        return;
    const ChartSeries* s = nullptr;
    for (int i = 0; i < Chart1->SeriesCount() && !s; ++i)
        if (DrawsLap(i, gpsSession_, gpsLap_))
            s = Chart1->Series(i);
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

void Tfwykreslaptolap::DataSource1DataChange()
{
    const int row = CurrentLapRow();
    if (row < 0)
        return;  // on a session row the widths stay
    for (int i = 0; i < Chart1->SeriesCount(); ++i)
        Chart1->Series(i)->SetPenWidth(RowDraws(row, i) ? 2 : 1);
}

void Tfwykreslaptolap::Button2Click()
{
    const int row = CurrentLapRow();
    if (row < 0)
        return;
    const MemTable& t = Tree.memdane;
    gpsSession_ = t.IntAt(row, t.FieldIndex(QStringLiteral("id_naglowka")));
    gpsLap_ = t.IntAt(row, t.FieldIndex(QStringLiteral("id_okrazenia")));
    gps_.Show(gpsSession_, gpsLap_, QStringLiteral("GPS LAP: ") + QString::number(gpsLap_));
}

void ShowLapComparison(const AnalysisSession& session) { ShowMaximisedChart<Tfwykreslaptolap>(session); }
