#include "analysis/uwykresmdilapy.h"

#include <QLabel>

#include "analysis/analysishooks.h"
#include "analysis/chartcore.h"
#include "platform/chart/chart.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

Tfwykresmdilapy* fwykresmdilapy = nullptr;

Tfwykresmdilapy::Tfwykresmdilapy(AnalysisSession& session, QWidget* parent) : ChannelChartWindow(session, parent)
{
    fwykresmdilapy = this;
}

Tfwykresmdilapy::~Tfwykresmdilapy()
{
    LeaveSession();  // told nothing while it goes
    if (fwykresmdilapy == this)
        fwykresmdilapy = nullptr;
}

void Tfwykresmdilapy::LoadChart()
{
    Chart1->RemoveAllSeries();
    seriesLaps_.clear();
    ShowChannelRows();
    if (!DM)
        return;
    const MemTable& chosen = DM->memWybraneSesje;
    const int idCol = chosen.FieldIndex(QStringLiteral("id_nag"));
    for (int r = 0; r < chosen.RecordCount() && idCol >= 0; ++r)
        BuildSessionSeries(chosen.IntAt(r, idCol));

    // Visibility from the panel's check column (lap rows).
    for (const TreeCheck& c : TreeChecks(session_.tree, QStringLiteral("2")))
        SetLapVisible(c.sessionId, c.lap, c.checked);
}

void Tfwykresmdilapy::BuildSessionSeries(int sessionId)
{
    const MemTable& gps = DM->memGPS;
    const std::vector<ChannelLine> lines = ChannelLines(gps, DM->memMinMax, sessionId,
                                                        LapRuns(gps, sessionId, session_.tree.memokrazenia),
                                                        ChosenChannels());
    for (const ChannelLine& line : lines)
        seriesLaps_.emplace_back(line.sessionId, line.lap);
    AddChannelLines(gps, lines);
}

bool Tfwykresmdilapy::DrawsLap(int i, int sessionId, int lap) const
{
    return size_t(i) < seriesLaps_.size() && seriesLaps_[size_t(i)] == std::pair(sessionId, lap);
}

void Tfwykresmdilapy::CurrentRowChanged(int sessionId, int lap) { HighlightLap(sessionId, lap); }
void Tfwykresmdilapy::LapShown(int sessionId, int lap, int check) { SetLapVisible(sessionId, lap, check); }

void Tfwykresmdilapy::SetLapVisible(int sessionId, int lap, int check)
{
    for (int i = 0; i < Chart1->SeriesCount(); ++i)
        if (DrawsLap(i, sessionId, lap))
            Chart1->Series(i)->SetVisible(check == 1);
}

void Tfwykresmdilapy::HighlightLap(int sessionId, int lap)
{
    for (int i = 0; i < Chart1->SeriesCount(); ++i)
        Chart1->Series(i)->SetPenWidth(DrawsLap(i, sessionId, lap) ? HighlightPenWidth : 1);
}

// The read-out of the current lap: its time since the lap start and the
// values of its channels; the linked GPS view gets the session time.
void Tfwykresmdilapy::ReadOut(const QPoint& pos)
{
    const TreeRow current = CurrentTreeRow(session_.tree);
    auto ofCurrent = [this, &current](int i) { return DrawsLap(i, current.sessionId, current.lap); };
    ChartSeries* first = nullptr;
    for (int i = 0; i < Chart1->SeriesCount() && !first; ++i)
        if (ofCurrent(i))
            first = Chart1->Series(i);
    if (!first)
        return;
    if (first->Visible()) {
        try {
            const double x = Chart1->ScreenToX(pos.x());
            st_czas->setText(LapCursorTimeText(x));
            ShowValuesAt(ofCurrent, x);
        } catch (const std::exception&) {
            // Boxes written so far keep their texts.
        }
    }
    const int lapStart = LapStartTime(session_.tree.memokrazenia, current.sessionId, current.lap);
    session_.NotifyCursor(OverlayGpsTime(cursorTime_, lapStart), current.lap, current.sessionId);
}

void ShowLapsChart(AnalysisSession& session) { ShowStackedChart<Tfwykresmdilapy>(session, LapsChartClass); }
