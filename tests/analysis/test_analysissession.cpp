// The analysis session: what a new one holds, the chosen channels, and
// which views are told of a change.
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

#include "analysis/analysissession.h"
#include "tree_support.h"

namespace {

// A view that writes down what it is told.
class RecordingView : public SessionView {
public:
    RecordingView(AnalysisSession& session, QString name, QStringList& log)
        : SessionView(session), name_(std::move(name)), log_(log)
    {
    }
    // Runs inside the next notification, before it is written down.
    std::function<void()> during;

    void SessionLoading() override { Note(QStringLiteral("loading")); }
    void SessionLoaded() override { Note(QStringLiteral("loaded")); }
    void ChannelsChanged() override { Note(QStringLiteral("channels")); }
    void CurrentRowChanged(int id, int lap) override { Note(QStringLiteral("row %1 %2").arg(id).arg(lap)); }
    void SessionShown(int id, int check) override { Note(QStringLiteral("session %1 %2").arg(id).arg(check)); }
    void LapShown(int id, int lap, int check) override
    {
        Note(QStringLiteral("lap %1 %2 %3").arg(id).arg(lap).arg(check));
    }
    void CursorMoved(int time, int lap, int id) override
    {
        Note(QStringLiteral("cursor %1 %2 %3").arg(time).arg(lap).arg(id));
    }
    void AnalysisClosed() override { Note(QStringLiteral("closed")); }

private:
    void Note(const QString& what)
    {
        if (during)
            std::exchange(during, {})();
        log_ << name_ + QLatin1Char(' ') + what;
    }
    QString name_;
    QStringList& log_;
};

TEST(AnalysisSession, ANewSessionDrawsRpmAndHasNoChannelsNorRange)
{
    const AnalysisSession s;
    EXPECT_EQ(s.CurrentChannel, QStringLiteral("obroty"));
    EXPECT_EQ(s.CurrentChannelCaption, QStringLiteral("RPM"));
    EXPECT_EQ(s.CurrentChannelFormat, QStringLiteral("%0.0f"));
    EXPECT_EQ(s.SelectedChannelCount, 0);
    for (int i = 1; i <= MaxSelectedChannels; ++i) {
        EXPECT_TRUE(s.SelectedChannels[i].isEmpty());
        EXPECT_TRUE(s.SelectedChannelFormats[i].isEmpty());
    }
    EXPECT_EQ(s.TemplateDateFrom, 0.0);
    EXPECT_EQ(s.TemplateDateTo, 0.0);
    EXPECT_TRUE(s.tree.memdane.Active());
    EXPECT_EQ(s.tree.memdane.RecordCount(), 0);
    EXPECT_TRUE(s.Views().empty());
}

// Positions above the count keep what they held; a seventh channel has no
// place and is left out.
TEST(AnalysisSession, ChosenChannelsFillTheSlotsInOrder)
{
    AnalysisSession s;
    const auto c = [](const char* channel, const char* format) {
        return ChosenChannel{QString::fromLatin1(channel), QString::fromLatin1(format)};
    };
    s.ChooseChannels({c("obroty", "%0.0f"), c("temp1", "%1.1f"), c("accx", "%1.1f")});
    EXPECT_EQ(s.SelectedChannelCount, 3);
    EXPECT_EQ(s.SelectedChannels[2], QStringLiteral("temp1"));
    EXPECT_EQ(s.SelectedChannelFormats[3], QStringLiteral("%1.1f"));

    s.ChooseChannels({c("temp2", "%1.1f")});
    EXPECT_EQ(s.SelectedChannelCount, 1);
    EXPECT_EQ(s.SelectedChannels[1], QStringLiteral("temp2"));
    EXPECT_EQ(s.SelectedChannels[2], QStringLiteral("temp1"));  // kept, not read

    s.ChooseChannels({});
    EXPECT_EQ(s.SelectedChannelCount, 0);

    std::vector<ChosenChannel> seven;
    for (int i = 1; i <= 7; ++i)
        seven.push_back({QStringLiteral("c%1").arg(i), QStringLiteral("%0.0f")});
    s.ChooseChannels(seven);
    EXPECT_EQ(s.SelectedChannelCount, MaxSelectedChannels);
    EXPECT_EQ(s.SelectedChannels[6], QStringLiteral("c6"));
}

TEST(AnalysisSession, EveryNotificationReachesTheViewsInTheOrderTheyCame)
{
    AnalysisSession s;
    QStringList log;
    RecordingView a(s, QStringLiteral("a"), log);
    RecordingView b(s, QStringLiteral("b"), log);
    s.NotifyLoading();
    s.NotifyLoaded();
    s.NotifyChannelsChanged();
    s.NotifyCurrentRow(12, 3);
    s.NotifySessionShown(12, 0);
    s.NotifyLapShown(12, 3, 1);
    s.NotifyCursor(4500, 3, 12);
    EXPECT_EQ(log, (QStringList{"a loading", "b loading", "a loaded", "b loaded", "a channels", "b channels",
                                "a row 12 3", "b row 12 3", "a session 12 0", "b session 12 0", "a lap 12 3 1",
                                "b lap 12 3 1", "a cursor 4500 3 12", "b cursor 4500 3 12"}));
}

// A view that leaves (a window that closes) or is freed is told nothing
// more, also when that happens while the others are being told.
TEST(AnalysisSession, AViewThatLeavesOrIsFreedIsToldNoMore)
{
    AnalysisSession s;
    QStringList log;
    RecordingView a(s, QStringLiteral("a"), log);
    auto b = std::make_unique<RecordingView>(s, QStringLiteral("b"), log);
    RecordingView c(s, QStringLiteral("c"), log);

    c.LeaveSession();
    EXPECT_FALSE(c.InSession());
    s.NotifyLoaded();
    EXPECT_EQ(log, (QStringList{"a loaded", "b loaded"}));

    log.clear();
    a.during = [&] { b.reset(); };
    s.NotifyChannelsChanged();
    EXPECT_EQ(log, (QStringList{"a channels"}));
    EXPECT_EQ(s.Views().size(), 1u);

    log.clear();
    a.during = [&] { a.LeaveSession(); };
    s.NotifyLoaded();
    s.NotifyLoaded();
    EXPECT_EQ(log, (QStringList{"a loaded"}));  // told the once it left in
    EXPECT_TRUE(s.Views().empty());
}

// The analysis ends: the tree is emptied, each view is told once to close
// and let go, and nothing reaches it afterwards; the chosen channels and
// the range stay for the next analysis.
TEST(AnalysisSession, ClearingTheSessionEmptiesTheTreeAndClosesTheViews)
{
    AnalysisSession s;
    treetest::AddTreeRow(s.tree, "1", 12, 0, 1);
    treetest::AddLap(s.tree, {12, 1500, 0, QStringLiteral("S")});
    treetest::AddSector(s.tree, 12, 0, 1500);
    s.tree.rowCounter = 1;
    s.ChooseChannels({{QStringLiteral("temp1"), QStringLiteral("%1.1f")}});
    s.TemplateDateFrom = 45000;
    QStringList log;
    RecordingView a(s, QStringLiteral("a"), log);
    RecordingView b(s, QStringLiteral("b"), log);
    // A view that leaves while the others are told to close is not told.
    a.during = [&] { b.LeaveSession(); };

    s.Clear();
    EXPECT_EQ(log, (QStringList{"a closed"}));
    EXPECT_FALSE(a.InSession());
    EXPECT_TRUE(s.Views().empty());
    for (const MemTable* t : {&s.tree.memdane, &s.tree.memokrazenia, &s.tree.memSektory}) {
        EXPECT_TRUE(t->Active());
        EXPECT_EQ(t->RecordCount(), 0);
    }
    EXPECT_EQ(s.tree.rowCounter, 0);
    EXPECT_EQ(s.SelectedChannelCount, 1);
    EXPECT_EQ(s.TemplateDateFrom, 45000);

    s.NotifyLoaded();
    EXPECT_EQ(log.size(), 1);
}

// Views may outlive their session (windows freed after it at the end):
// they are let go with it and can be freed safely.
TEST(AnalysisSession, ViewsOutlivingTheSessionAreLetGo)
{
    QStringList log;
    auto s = std::make_unique<AnalysisSession>();
    RecordingView a(*s, QStringLiteral("a"), log);
    s.reset();
    EXPECT_FALSE(a.InSession());
    a.LeaveSession();
}

}  // namespace
