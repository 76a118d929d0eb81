#include "analysis/analysissession.h"

#include <algorithm>

SessionView::SessionView(AnalysisSession& session) : attached_(&session) { session.Attach(this); }

SessionView::~SessionView() { LeaveSession(); }

void SessionView::LeaveSession()
{
    if (attached_)
        attached_->Detach(this);
}

AnalysisSession::AnalysisSession() = default;

AnalysisSession::~AnalysisSession()
{
    for (SessionView* view : views_)
        view->attached_ = nullptr;
}

void AnalysisSession::Attach(SessionView* view)
{
    if (std::find(views_.begin(), views_.end(), view) == views_.end())
        views_.push_back(view);
    view->attached_ = this;
}

void AnalysisSession::Detach(SessionView* view)
{
    views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
    view->attached_ = nullptr;
}

void AnalysisSession::ChooseChannels(const std::vector<ChosenChannel>& channels)
{
    SelectedChannelCount = 0;
    for (const ChosenChannel& c : channels) {
        if (SelectedChannelCount == MaxSelectedChannels)
            break;
        ++SelectedChannelCount;
        SelectedChannels[size_t(SelectedChannelCount)] = c.channel;
        SelectedChannelFormats[size_t(SelectedChannelCount)] = c.format;
    }
}

// A view may leave, or be freed, while the others are told (a chart that
// closes): the views are walked on a copy and each is told only while it
// is still attached.
template <class Call>
void AnalysisSession::Notify(const Call& call)
{
    const std::vector<SessionView*> views = views_;
    for (SessionView* view : views)
        if (std::find(views_.begin(), views_.end(), view) != views_.end())
            call(*view);
}

void AnalysisSession::NotifyLoading()
{
    Notify([](SessionView& v) { v.SessionLoading(); });
}

void AnalysisSession::NotifyLoaded()
{
    Notify([](SessionView& v) { v.SessionLoaded(); });
}

void AnalysisSession::NotifyChannelsChanged()
{
    Notify([](SessionView& v) { v.ChannelsChanged(); });
}

void AnalysisSession::NotifyCurrentRow(int sessionId, int lap)
{
    Notify([=](SessionView& v) { v.CurrentRowChanged(sessionId, lap); });
}

void AnalysisSession::NotifySessionShown(int sessionId, int check)
{
    Notify([=](SessionView& v) { v.SessionShown(sessionId, check); });
}

void AnalysisSession::NotifyLapShown(int sessionId, int lap, int check)
{
    Notify([=](SessionView& v) { v.LapShown(sessionId, lap, check); });
}

void AnalysisSession::NotifyCursor(int time, int lap, int sessionId)
{
    Notify([=](SessionView& v) { v.CursorMoved(time, lap, sessionId); });
}

void AnalysisSession::Clear()
{
    // The views go first, so that none redraws over the emptied tree.
    Notify([this](SessionView& v) {
        Detach(&v);
        v.AnalysisClosed();
    });
    tree.ResetTree();
}
