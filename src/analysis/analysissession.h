#pragma once
// The state the analysis windows share, in one place: the session tree of
// the loaded sessions, the channels chosen in the session panel, the
// current channel and the analysis date range; and the views that show
// it.  The session panel fills it and tells the views what changed; the
// chart and GPS windows are handed it when they are made and read it.
#include <QString>

#include <array>
#include <vector>

#include "analysis/sessiontree.h"
#include "platform/tdatetime.h"

class AnalysisSession;

// A window that shows the analysis session.  It attaches itself when made
// and is told of every change until it leaves (closes) or is freed.  Every
// notification does nothing unless the view overrides it.
class SessionView {
public:
    SessionView(const SessionView&) = delete;
    SessionView& operator=(const SessionView&) = delete;
    virtual ~SessionView();

    // Stops the notifications (a window that closes); the view can still
    // read the session.
    void LeaveSession();
    bool InSession() const { return attached_ != nullptr; }

    // The samples and the tree are about to be loaded again: let go of
    // drawn samples (holding them through the load would take their memory
    // twice).
    virtual void SessionLoading() {}
    // The samples and the tree were loaded again (or emptied by a load that
    // failed).
    virtual void SessionLoaded() {}
    // The chosen channels or the current channel changed.
    virtual void ChannelsChanged() {}
    // The tree's current row moved to this session and lap (0 on session
    // rows).
    virtual void CurrentRowChanged(int sessionId, int lap) {}
    // A session or one lap is shown (check 1) or hidden (anything else).
    virtual void SessionShown(int sessionId, int check) {}
    virtual void LapShown(int sessionId, int lap, int check) {}
    // A chart's cursor points at this session time.
    virtual void CursorMoved(int time, int lap, int sessionId) {}
    // The analysis ends: the view closes.  It is no longer attached.
    virtual void AnalysisClosed() {}

protected:
    explicit SessionView(AnalysisSession& session);

private:
    friend class AnalysisSession;
    AnalysisSession* attached_;
};

// Channels a chart can draw at once.
constexpr int MaxSelectedChannels = 6;

// A chosen channel: its memGPS field and the format of its values.
struct ChosenChannel {
    QString channel;
    QString format;
};

class AnalysisSession {
public:
    AnalysisSession();
    // Views still attached are let go (they are freed by their owners).
    ~AnalysisSession();
    AnalysisSession(const AnalysisSession&) = delete;
    AnalysisSession& operator=(const AnalysisSession&) = delete;

    // The loaded sessions' laps and sectors (memdane, memokrazenia,
    // memSektory).
    SessionTree tree;

    // Channels ticked in the session panel: entries 1..SelectedChannelCount
    // of the two arrays are used (index 0 is never used),
    // SelectedChannelCount is 0..6.
    int SelectedChannelCount = 0;
    std::array<QString, MaxSelectedChannels + 1> SelectedChannels;
    std::array<QString, MaxSelectedChannels + 1> SelectedChannelFormats;

    // Channel the whole-session chart marks its minimum and maximum points
    // of.
    QString CurrentChannel = QStringLiteral("obroty");
    QString CurrentChannelCaption = QStringLiteral("RPM");
    QString CurrentChannelFormat = QStringLiteral("%0.0f");

    // Analysis date range; 0 while not yet chosen.
    TDateTime TemplateDateFrom = 0;
    TDateTime TemplateDateTo = 0;

    // The chosen channels, in order; entries above the count keep what they
    // held (they are not read).  More than six keep the first six.  Views
    // are not told (NotifyChannelsChanged does that).
    void ChooseChannels(const std::vector<ChosenChannel>& channels);

    // The views attached, in the order they attached.
    const std::vector<SessionView*>& Views() const { return views_; }

    // Tell every attached view, in the order they attached.  A view that
    // leaves or is freed while others are told is not told any more.
    void NotifyLoading();
    void NotifyLoaded();
    void NotifyChannelsChanged();
    void NotifyCurrentRow(int sessionId, int lap);
    void NotifySessionShown(int sessionId, int check);
    void NotifyLapShown(int sessionId, int lap, int check);
    void NotifyCursor(int time, int lap, int sessionId);

    // The analysis ends: the tree is emptied and every view is let go and
    // told to close.  The chosen channels and the range stay.
    void Clear();

private:
    friend class SessionView;
    void Attach(SessionView* view);
    void Detach(SessionView* view);
    template <class Call>
    void Notify(const Call& call);

    std::vector<SessionView*> views_;
};
