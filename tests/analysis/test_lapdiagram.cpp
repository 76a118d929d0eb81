// The lap time diagram's rows, series and bars over hand-made session
// trees, and the filters' rules.
#include "analysis/lapdiagram.h"

#include <gtest/gtest.h>

#include <climits>

#include "tree_rows.h"

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using treerows::AddSession;
using treerows::HandSession;

struct Series {
    int tag, session, colour;
    bool operator==(const Series&) const = default;
};
void PrintTo(const Series& s, std::ostream* os) { *os << "{" << s.tag << ", " << s.session << ", " << s.colour << "}"; }

struct Bar {
    int x, y;
    QString label;
    bool operator==(const Bar&) const = default;
};
void PrintTo(const Bar& b, std::ostream* os) { *os << "{" << b.x << ", " << b.y << ", " << b.label.toStdString() << "}"; }

class LapDiagramTest : public ::testing::Test {
protected:
    SessionTree tree;
    LapDiagram diagram;

    void SetUp() override
    {
        // Session 11: lap 3 is the best; lap 1 is 1.23 s slower, lap 4 61.23 s.
        AddSession(tree, {11, 1000,
                          {{1, 3465, {1269, 1137, 1059}},
                           {2, 3588, {1303, 1167, 1118}},
                           {3, 3342, {1256, 1126, 960}},
                           {4, 9465, {7379, 1126, 960}}}});
        // Session 12: two equal laps; the second lap's last sector is
        // numbered 6, which has no series.
        AddSession(tree, {12, 500, {{1, 4000, {2000, 2000}}, {2, 4000, {2000, 2000}, {1, 6}}}});
        // Session 14: in the panel but not chosen.
        AddSession(tree, {14, 0, {{1, 5000, {5000}}}});
        // Chosen: 12, 11 and 13 (no rows in the panel).
        diagram.Load(tree, {12, 11, 13});
    }

    std::vector<Bar> BarsOf(int tag, bool diff) const
    {
        const int s = diagram.SeriesIndex(tag);
        EXPECT_GE(s, 0) << "tag " << tag;
        std::vector<Bar> out;
        const std::vector<std::vector<DiagramBar>> bars = diagram.Bars(diff);
        if (s >= 0)
            for (const DiagramBar& b : bars[size_t(s)])
                out.push_back({b.x, b.y, b.label});
        return out;
    }
};

// One lap series per chosen session, then its sector series as the sector
// numbers 1..5 first occur; colours count the series of the whole load.
TEST_F(LapDiagramTest, SeriesTagsSessionsAndColoursInCreationOrder)
{
    std::vector<Series> got;
    for (const DiagramSeries& s : diagram.series)
        got.push_back({s.tag, s.sessionId, s.colour});
    const std::vector<Series> expected = {
        {100, 12, 1}, {101, 12, 2}, {102, 12, 3},                // first chosen session
        {200, 11, 4}, {201, 11, 5}, {202, 11, 6}, {203, 11, 7},  // second
        {300, 13, 8},                                            // chosen, no rows: laps only
    };
    EXPECT_EQ(got, expected);
    EXPECT_EQ(diagram.SeriesIndex(106), -1);
    EXPECT_EQ(diagram.SeriesIndex(400), -1);
}

TEST_F(LapDiagramTest, BarsShowDifferencesToTheSessionsBestOrTheTimes)
{
    struct Case {
        int tag;
        bool diff;
        std::vector<Bar> bars;
    };
    const std::vector<Case> cases = {
        {200, true, {{1, 123, "00:01:23"}, {2, 246, "00:02:46"}, {3, 0, "00:00:00"}, {4, 6123, "01:01:23"}}},
        {201, true, {{1, 13, "00:00:13"}, {2, 47, "00:00:47"}, {3, 0, "00:00:00"}, {4, 6123, "01:01:23"}}},
        {203, true, {{1, 99, "00:00:99"}, {2, 158, "00:01:58"}, {3, 0, "00:00:00"}, {4, 0, "00:00:00"}}},
        // Equal laps are both the best; sector 6 gives no bar.
        {100, true, {{1, 0, "00:00:00"}, {2, 0, "00:00:00"}}},
        {102, true, {{1, 0, "00:00:00"}}},
        {101, false, {{1, 2000, "00:20:00"}, {2, 2000, "00:20:00"}}},
        // Without "Diff": the times and the stored time texts.
        {200, false, {{1, 3465, "00:34:65"}, {2, 3588, "00:35:88"}, {3, 3342, "00:33:42"}, {4, 9465, "01:34:65"}}},
        {202, false, {{1, 1137, "00:11:37"}, {2, 1167, "00:11:67"}, {3, 1126, "00:11:26"}, {4, 1126, "00:11:26"}}},
        // A chosen session without rows has an empty lap series.
        {300, true, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BarsOf(c.tag, c.diff), c.bars) << "tag " << c.tag << (c.diff ? " diff" : " times");
}

// The rows are the panel's, in order; only chosen sessions get their place
// in the load and their differences.
TEST_F(LapDiagramTest, RowsCopyThePanelAndMarkTheChosenSessions)
{
    const MemTable& t = diagram.memdane;
    ASSERT_EQ(t.RecordCount(), tree.memdane.RecordCount());
    const int cId = t.FieldIndex(QStringLiteral("id_naglowka")), cN = t.FieldIndex(QStringLiteral("nr_kolejny"));
    const int cDiff = t.FieldIndex(QStringLiteral("diff")), cLp = t.FieldIndex(QStringLiteral("lp"));
    const int cTick = t.FieldIndex(QStringLiteral("wybrany")), cType = t.FieldIndex(QStringLiteral("typ_rekordu"));
    EXPECT_EQ(t.Def(cTick).tag, 1);
    for (int r = 0; r < t.RecordCount(); ++r) {
        EXPECT_EQ(t.IntAt(r, cLp), r + 1);
        const int id = t.IntAt(r, cId);
        if (id == 14) {
            EXPECT_TRUE(t.IsNullAt(r, cN));
            EXPECT_TRUE(t.IsNullAt(r, cDiff));
            continue;
        }
        EXPECT_EQ(t.IntAt(r, cN), id == 12 ? 1 : 2);
        // Session rows and sector 6 have nothing to measure against.
        const bool measured = t.StringAt(r, cType) != QLatin1String("1") &&
                              t.IntAt(r, t.FieldIndex(QStringLiteral("id_sektora"))) != 6;
        EXPECT_EQ(t.IsNullAt(r, cDiff), !measured) << "row " << r;
    }
}

TEST(LapDiagramEmpty, NoSessionsChosenGiveNoSeries)
{
    SessionTree tree;
    AddSession(tree, {5, 0, {{1, 3000, {1500, 1500}}}});
    LapDiagram diagram;
    diagram.Load(tree, {});
    EXPECT_TRUE(diagram.series.empty());
    EXPECT_EQ(diagram.memdane.RecordCount(), 4);
    // A second load starts over.
    diagram.Load(tree, {5});
    ASSERT_EQ(diagram.series.size(), 3u);
    EXPECT_EQ(diagram.memdane.RecordCount(), 4);
}

// Differences of out-of-range stored times end at the int range instead of
// wrapping round to other times.
TEST(LapDiagramRange, DifferencesDoNotWrapRound)
{
    SessionTree tree;
    AddSession(tree, {5, 0, {{1, 2000000000, {2000000000}}, {2, -2000000000, {-2000000000}}}});
    LapDiagram diagram;
    diagram.Load(tree, {5});
    const std::vector<std::vector<DiagramBar>> bars = diagram.Bars(true);
    for (int tag : {100, 101}) {
        const int s = diagram.SeriesIndex(tag);
        ASSERT_GE(s, 0) << tag;
        ASSERT_EQ(bars[size_t(s)].size(), 2u) << tag;
        EXPECT_EQ(bars[size_t(s)][0].y, INT_MAX) << tag;
        EXPECT_EQ(bars[size_t(s)][0].label, SessionTimeText(INT_MAX)) << tag;
        EXPECT_EQ(bars[size_t(s)][1].y, 0) << tag;
    }
}

TEST(LapDiagramFilters, LapsSectorsAndTheSectorChoice)
{
    struct Case {
        int tag;
        DiagramFilters filters;
        bool shown;
    };
    const std::vector<Case> cases = {
        {100, {true, true, 0}, true},   {100, {false, true, 0}, false}, {200, {true, false, 3}, true},
        {101, {true, true, 0}, true},   {101, {true, false, 0}, false}, {203, {false, true, 3}, true},
        {201, {true, true, 3}, false},  {203, {true, false, 3}, false}, {305, {true, true, 5}, true},
        // Sessions past the 99th: laps and sectors stay apart.
        {10100, {false, true, 0}, false}, {10100, {true, false, 0}, true}, {10101, {false, true, 1}, true},
        {30000, {true, false, 0}, true},  {30005, {true, false, 0}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PassesFilters(c.tag, c.filters), c.shown)
            << "tag " << c.tag << " laps " << c.filters.laps << " sectors " << c.filters.sectors << " item "
            << c.filters.sectorItem;
}

}  // namespace
