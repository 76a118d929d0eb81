// Computations of the multi-channel charts on small hand-made tables: the
// channel scaling and its inverse, range labels, extremes, the lap strip,
// the read-out texts and the lap overlay's runs.
#include "analysis/chartcore.h"

#include <gtest/gtest.h>

#include <memory>

#include "analysis/sessiontree.h"
#include "tree_support.h"
#include "platform/memtable.h"
#include "shell/projectrecord.h"

namespace {

using namespace treetest;

std::unique_ptr<MemTable> SampleTable()
{
    auto t = std::make_unique<MemTable>(QStringLiteral("memGPS"),
               std::vector<FieldDef>{{QStringLiteral("obroty"), FieldType::Integer},
                {QStringLiteral("accx"), FieldType::Integer},
                {QStringLiteral("temp1"), FieldType::Float},
                {QStringLiteral("data"), FieldType::Integer},
                {QStringLiteral("okrazenie"), FieldType::Integer},
                {QStringLiteral("id_nag"), FieldType::Integer}});
    t->Open();
    return t;
}

struct Sample {
    int id, data, lap, rpm;
    double temp = 0;
    int acc = 0;
};

void Add(MemTable& t, const Sample& s)
{
    const int r = t.AppendRow();
    t.SetIntAt(r, 0, s.rpm);
    t.SetIntAt(r, 1, s.acc);
    t.SetFloatAt(r, 2, s.temp);
    t.SetIntAt(r, 3, s.data);
    t.SetIntAt(r, 4, s.lap);
    t.SetIntAt(r, 5, s.id);
}

std::unique_ptr<MemTable> RangeTable()
{
    std::vector<FieldDef> fields{{QStringLiteral("nr_nag"), FieldType::Integer}};
    for (const char* c : {"obroty", "temp1", "accx", "accy", "temp2", "predkosc_gps"})
        for (const char* end : {"_min", "_max"})
            fields.push_back({QString::fromLatin1(c) + QString::fromLatin1(end), FieldType::Float});
    auto t = std::make_unique<MemTable>(QStringLiteral("memMinMax"), fields);
    t->Open();
    return t;
}

void AddRanges(MemTable& t, int id, double rpmMax)
{
    const int r = t.AppendRow();
    t.SetIntAt(r, 0, id);
    const double values[] = {0, rpmMax, 0, 70, -3, 3, -3, 3, 0, 70, 0, 120};
    for (int i = 0; i < 12; ++i)
        t.SetFloatAt(r, i + 1, values[i]);
}

// Session 7: start line at 1500, laps of 6000, 5900 and 6100 (lap 3 the
// slowest, lap 2 the fastest), three sectors per lap.
void SevenTree(SessionTree& tree)
{
    AddLap(tree, {7, 1500, 0, QStringLiteral("S"), 0, 0});
    AddLap(tree, {7, 1500, 1, QStringLiteral("01:00:00"), 0, 7500});
    AddLap(tree, {7, 7500, 2, QStringLiteral("00:59:00"), 2, 13400});
    AddLap(tree, {7, 13400, 3, QStringLiteral("01:01:00"), 1, 19500});
    AddSector(tree, 7, 0, 1500);
    int end = 1500;
    for (int lap = 1; lap <= 3; ++lap)
        for (int s = 0; s < 3; ++s) {
            end += 2000;
            AddSector(tree, 7, lap, end);
        }
}

// ----------------------------------------------------------- scaling

TEST(ChannelScaling, HeightsAndReadings)
{
    struct Case {
        const char* channel;
        double stored;
        ChannelRange range;
        double height;
        double value;  // the reading (g for acceleration)
    };
    const Case cases[] = {
        {"accx", 150, {-3, 3}, 750, 1.5},        // hundredths of g against a range in g
        {"ACCY", -300, {-3, 3}, 0, -3},          // either case
        {"obroty", 7500, {0, 15000}, 500, 7500},
        {"temp1", 35, {0, 70}, 500, 35},
        {"obroty", 20000, {0, 15000}, 1333.333333333333, 20000},  // not clamped
        {"temp2", -7, {0, 70}, -100, -7},
        {"obroty", 9000, {5000, 5000}, 0, 9000},  // an empty range draws flat at 0, reads as stored
    };
    for (const Case& c : cases) {
        const QString channel = QString::fromLatin1(c.channel);
        const double h = ChannelHeight(c.stored, channel, c.range);
        EXPECT_NEAR(h, c.height, 1e-9) << c.channel << " " << c.stored;
        EXPECT_NEAR(HeightMap(channel, c.range)(c.stored), c.height, 1e-9) << c.channel;
        EXPECT_EQ(ChannelReading(c.stored, channel), c.value) << c.channel;
    }
    EXPECT_DOUBLE_EQ(ChannelHeight(150, QStringLiteral("accx"), {-3, 3}), 750);
    EXPECT_DOUBLE_EQ(ChannelReading(150, QStringLiteral("accx")), 1.5);
}

TEST(ChannelScaling, RangeRowOfASession)
{
    const auto rangeTable = RangeTable();
    MemTable& ranges = *rangeTable;
    EXPECT_EQ(MinMaxRow(ranges, 5), -1);
    const ChannelRange none = ChannelRangeAt(ranges, MinMaxRow(ranges, 5), QStringLiteral("obroty"));
    EXPECT_EQ(ChannelHeight(9000, QStringLiteral("obroty"), none), 0);  // no range: flat at 0

    AddRanges(ranges, 5, 15000);
    AddRanges(ranges, 6, 12000);
    EXPECT_EQ(MinMaxRow(ranges, 6), 1);
    EXPECT_EQ(MinMaxRow(ranges, 99), 0);  // not there: the first row
    EXPECT_EQ(ChannelRangeAt(ranges, 1, QStringLiteral("obroty")).max, 12000);
    EXPECT_EQ(ChannelRangeAt(ranges, 0, QStringLiteral("accy")).min, -3);
    EXPECT_EQ(ChannelRangeAt(ranges, 0, QStringLiteral("gyro1")).max, 0);  // no range kept
}

TEST(ChannelScaling, ValueTexts)
{
    EXPECT_EQ(FormatValue(QStringLiteral("%1.1f"), 1.5), QStringLiteral("1.5"));
    EXPECT_EQ(FormatValue(QStringLiteral("%0.0f"), 7499.6), QStringLiteral("7500"));
    EXPECT_EQ(FormatValue(QStringLiteral("%2.2f"), -0.257), QStringLiteral("-0.26"));
    // A value that shows as zero shows no sign.
    EXPECT_EQ(FormatValue(QStringLiteral("%0.0f"), -1e-13), QStringLiteral("0"));
    EXPECT_EQ(FormatValue(QStringLiteral("%1.1f"), -0.04), QStringLiteral("0.0"));
    EXPECT_EQ(FormatValue(QStringLiteral("%1.1f"), -0.0), QStringLiteral("0.0"));
    EXPECT_EQ(FormatValue(QStringLiteral("%1.1f"), -0.06), QStringLiteral("-0.1"));
    // Patterns that do not take one floating value are not handed to printf.
    EXPECT_EQ(FormatValue(QStringLiteral("%d"), 3), QStringLiteral("3"));
    EXPECT_EQ(FormatValue(QStringLiteral("%s%s"), 2.5), QStringLiteral("2.5"));
    EXPECT_EQ(FormatValue(QString(), 2.5), QStringLiteral("2.5"));
}

// ------------------------------------------------------------ range labels

TEST(RangeLabelTexts, FromTheRecordAndTheLeftAxis)
{
    ProjectRecord record;
    record.SetRpmMin(0);
    record.SetRpmMax(15000);
    record.SetTemp1Min(0);
    record.SetTemp1Max(70);
    record.SetTemp2Min(-5);
    record.SetTemp2Max(-5);  // empty range: the same text top and bottom
    record.SetAccMin(-3);
    record.SetAccMax(3);
    record.SetVGpsMin(0);
    record.SetVGpsMax(5);

    struct Case {
        AxisRange axis;
        std::vector<std::pair<QString, QString>> texts;  // top, bottom: RPM, Temp1, Temp2, Acc, V
    };
    const Case cases[] = {
        {{0, 1000}, {{"15000", "0"}, {"70.0", "0.0"}, {"-5.0", "-5.0"}, {"3.0", "-3.0"}, {"5", "0"}}},
        // Zoomed: 250..500; 0.5 km/h rounds to 0 and 2.5 to 2 (halves to even).
        {{100, 500}, {{"7500", "1500"}, {"35.0", "7.0"}, {"-5.0", "-5.0"}, {"0.0", "-2.4"}, {"2", "0"}}},
        {{300, 700}, {{"10500", "4500"}, {"49.0", "21.0"}, {"-5.0", "-5.0"}, {"1.2", "-1.2"}, {"4", "2"}}},
    };
    for (const Case& c : cases) {
        const std::vector<RangeLabel> labels = RangeLabels(record, c.axis);
        ASSERT_EQ(labels.size(), 5u);
        for (size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(labels[i].top, c.texts[i].first) << c.axis.min << " " << i;
            EXPECT_EQ(labels[i].bottom, c.texts[i].second) << c.axis.min << " " << i;
        }
    }
    const std::vector<RangeLabel> labels = RangeLabels(record, {0, 1000});
    EXPECT_EQ(labels[0].colour, QColor(0, 0, 0));
    EXPECT_FALSE(labels[1].rightColumn);
    EXPECT_EQ(labels[1].row, 2);
    EXPECT_TRUE(labels[4].rightColumn);
    EXPECT_EQ(labels[4].row, 3);
    EXPECT_EQ(labels[4].colour, QColor(128, 0, 128));
}

// ---------------------------------------------------------------- extremes

TEST(SessionExtremesOfAChannel, LeaveOutTheOutLapAndTheLastLap)
{
    const auto gpsTable = SampleTable();
    MemTable& gps = *gpsTable;
    // Session 7: laps 0..3, highest lap 3: only laps 1 and 2 count.
    Add(gps, {7, 100, 0, 100, 90});    // before the first lap line
    Add(gps, {7, 200, 1, 9000, 20.7});
    Add(gps, {7, 300, 1, 4000, 20.6});
    Add(gps, {7, 400, 2, 9000, 20.2});  // as high as the first: the earliest wins
    Add(gps, {7, 500, 2, 4000, 19.6});  // as low as the first
    Add(gps, {7, 600, 3, 12000, 99});   // the last lap
    // Session 8: no lap table rows beyond lap 1: nothing qualifies.
    Add(gps, {8, 100, 1, 5000, 30});
    // Session 7 again later in the table: a run of its own.
    Add(gps, {7, 700, 2, 9500, 21});

    SessionTree tree;
    SevenTree(tree);
    AddLap(tree, {8, 0, 1, QStringLiteral("01:00:00"), 0, 6000});

    const std::vector<SampleRun> runs = SessionRuns(gps);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].count, 6);
    EXPECT_EQ(runs[1].first, 6);
    EXPECT_EQ(HighestLap(tree.memokrazenia, 7), 3);
    EXPECT_EQ(HighestLap(tree.memokrazenia, 99), 0);

    const auto rpm = ComputeExtremes(gps, runs, QStringLiteral("obroty"), &tree.memokrazenia);
    ASSERT_EQ(rpm.size(), 3u);
    EXPECT_TRUE(rpm[0].found);
    EXPECT_EQ(rpm[0].min, 4000);
    EXPECT_EQ(rpm[0].minTime, 300);
    EXPECT_EQ(rpm[0].max, 9000);
    EXPECT_EQ(rpm[0].maxTime, 200);
    EXPECT_FALSE(rpm[1].found);
    EXPECT_EQ(rpm[1].min, kNoMinimum);
    EXPECT_EQ(rpm[1].max, kNoMaximum);
    EXPECT_EQ(rpm[2].max, 9500);

    // Fractional values compare as they are: 20.7 stays the maximum though
    // the later 20.6 rounds to the same whole number.
    const auto temp = ComputeExtremes(gps, runs, QStringLiteral("temp1"), &tree.memokrazenia);
    EXPECT_DOUBLE_EQ(temp[0].max, 20.7);
    EXPECT_EQ(temp[0].maxTime, 200);
    EXPECT_DOUBLE_EQ(temp[0].min, 19.6);

    // Without a lap table no sample qualifies; session ids of 0 give no row.
    EXPECT_FALSE(ComputeExtremes(gps, runs, QStringLiteral("obroty"), nullptr)[0].found);
    Add(gps, {0, 800, 1, 1});
    EXPECT_EQ(ComputeExtremes(gps, SessionRuns(gps), QStringLiteral("obroty"), &tree.memokrazenia).size(), 3u);
}

// --------------------------------------------------------------- lap strip

TEST(LapStrip, BoxesOfTheSessionsLaps)
{
    SessionTree tree;
    SevenTree(tree);
    AddLap(tree, {7, 19500, 4, QStringLiteral("00:30:00"), 0, 0});  // no end known
    AddLap(tree, {9, 1000, 1, QStringLiteral("x"), 0, 2000});       // another session

    // One pixel per 100 hundredths from 0 at x = 0.
    const ChartMapping whole(QRect(0, 0, 301, 100), {0, 30000}, {0, 1000});
    const std::vector<LapBox> boxes = LapStripBoxes(tree.memokrazenia, 7, whole);
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].x1, 15);
    EXPECT_EQ(boxes[0].x2, 75);
    EXPECT_EQ(boxes[0].brush, QColor(0, 0, 255));
    EXPECT_EQ(boxes[0].text, QColor(255, 255, 255));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("01:00:00"));
    EXPECT_FALSE(boxes[0].marked);
    EXPECT_TRUE(boxes[1].marked);
    EXPECT_TRUE(boxes[2].marked);
    EXPECT_EQ(boxes[1].brush, QColor(0, 255, 0));  // fastest
    EXPECT_EQ(boxes[1].text, QColor(0, 0, 0));
    EXPECT_EQ(boxes[2].brush, QColor(255, 0, 0));  // slowest
    EXPECT_EQ(boxes[2].text, QColor(255, 255, 255));
    EXPECT_EQ(boxes[3].x1, 195);
    EXPECT_EQ(boxes[3].x2, 300);  // no end: to the axis maximum

    // Zoomed to 10000..20000: lap 1 ended left of the plot and has no box
    // (it would otherwise cover the whole strip); lap 2 starts left of the
    // plot and begins at the axis minimum.
    const ChartMapping zoomed(QRect(0, 0, 101, 100), {10000, 20000}, {0, 1000});
    const std::vector<LapBox> z = LapStripBoxes(tree.memokrazenia, 7, zoomed);
    ASSERT_EQ(z.size(), 3u);
    EXPECT_EQ(z[0].caption, QStringLiteral("00:59:00"));
    EXPECT_EQ(z[0].x1, 0);
    EXPECT_EQ(z[0].x2, 34);
    EXPECT_EQ(z[1].x1, 34);
    EXPECT_EQ(z[1].x2, 95);
    EXPECT_EQ(z[2].x1, 95);
    EXPECT_EQ(z[2].x2, 100);
    // Zoomed past the last lap line: only the lap without an end shows.
    const ChartMapping late(QRect(0, 0, 101, 100), {25000, 26000}, {0, 1000});
    ASSERT_EQ(LapStripBoxes(tree.memokrazenia, 7, late).size(), 1u);
}

// ---------------------------------------------------------------- read-out

TEST(ReadOut, TimeTextsTruncateOrRound)
{
    struct Case {
        double x;
        const char* session;
        const char* lap;
    };
    const Case cases[] = {
        {0, "00:00:00", "00:00:00"},
        {4500, "00:45:00", "00:45:00"},
        {4599.5, "00:45:99", "00:46:00"},  // the overlay rounds once, then takes the seconds
        {4599.7, "00:45:99", "00:46:00"},
        {4599.4, "00:45:99", "00:45:99"},
        {5999.5, "00:59:99", "01:00:00"},
        {6150.7, "01:01:50", "01:01:51"},
        {360000, "60:00:00", "60:00:00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CursorTimeText(c.x), QString::fromLatin1(c.session)) << c.x;
        EXPECT_EQ(LapCursorTimeText(c.x), QString::fromLatin1(c.lap)) << c.x;
    }
}

TEST(ReadOut, LapAndSectorTimesAtTheCursor)
{
    SessionTree tree;
    SevenTree(tree);
    AddLap(tree, {9, 0, 1, QStringLiteral("x"), 0, 99999});  // another session, appended last
    AddSector(tree, 9, 1, 50);
    struct Case {
        double x;
        const char* time;
        const char* lap;
        const char* sector;
        int lapNumber;
    };
    const Case cases[] = {
        {1000, "00:10:00", "00:10:00", "00:10:00", 0},  // before the start line: the time itself
        {1500, "00:15:00", "00:15:00", "00:15:00", 0},  // on the line: nothing starts before it
        {2000, "00:20:00", "00:05:00", "00:05:00", 1},  // first sector of lap 1
        {4000, "00:40:00", "00:25:00", "00:05:00", 1},  // after sector 1 ended at 3500
        {7600, "01:16:00", "00:01:00", "00:01:00", 2},  // just into lap 2, sector line at 7500
        {13401, "02:14:01", "00:00:01", "00:19:01", 3},
        {99999, "16:39:99", "14:25:99", "13:24:99", 3},  // after the last line
    };
    for (const Case& c : cases) {
        const SessionReadOut r = ReadOutTexts(tree, 7, c.x);
        EXPECT_EQ(r.time, QString::fromLatin1(c.time)) << c.x;
        EXPECT_EQ(r.lap, QString::fromLatin1(c.lap)) << c.x;
        EXPECT_EQ(r.sector, QString::fromLatin1(c.sector)) << c.x;
        EXPECT_EQ(r.lapNumber, c.lapNumber) << c.x;
    }
}

// ------------------------------------------------------------- lap overlay

TEST(LapOverlay, RunsOfTheKeptLapsFromTheirStartLines)
{
    const auto gpsTable = SampleTable();
    MemTable& gps = *gpsTable;
    Add(gps, {5, 0, 1, 1000});       // another session first
    Add(gps, {7, 1000, 0, 1000});    // before the first lap line
    Add(gps, {7, 1600, 1, 2000});
    Add(gps, {7, 7400, 1, 2000});
    Add(gps, {7, 7600, 2, 3000});    // lap 2: left out by the tree's filters
    Add(gps, {7, 13500, 3, 4000});
    Add(gps, {7, 19400, 3, 4000});
    Add(gps, {5, 100, 1, 1000});     // another session
    Add(gps, {7, 20000, 4, 5000});   // a second block of session 7: not read

    SessionTree tree;
    AddLap(tree, {7, 1500, 0, QStringLiteral("S"), 0, 0});
    AddLap(tree, {7, 1500, 1, QStringLiteral("01:00:00"), 0, 7500});
    AddLap(tree, {7, 13400, 3, QStringLiteral("01:01:00"), 0, 19500});
    AddLap(tree, {7, 19500, 4, QStringLiteral("00:30:00"), 0, 0});

    const std::vector<LapRun> runs = LapRuns(gps, 7, tree.memokrazenia);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].lap, 1);
    EXPECT_EQ(runs[0].lapStart, 1500);
    EXPECT_EQ(runs[0].first, 2);
    EXPECT_EQ(runs[0].count, 2);
    EXPECT_EQ(runs[1].lap, 3);
    EXPECT_EQ(runs[1].lapStart, 13400);
    EXPECT_EQ(runs[1].first, 5);
    EXPECT_EQ(runs[1].count, 2);
    EXPECT_TRUE(LapRuns(gps, 42, tree.memokrazenia).empty());

    bool found = true;
    EXPECT_EQ(LapStartTime(tree.memokrazenia, 7, 2, &found), 0);
    EXPECT_FALSE(found);
    EXPECT_EQ(LapStartTime(tree.memokrazenia, 7, 3, &found), 13400);
    EXPECT_TRUE(found);
    EXPECT_EQ(LapKey(12, 3), 1203);
    EXPECT_EQ(OverlayGpsTime(4519, 1500), 6010);
    EXPECT_EQ(OverlayGpsTime(0, 0), 0);
}

TEST(SessionTreeRows, CurrentRowAndChecks)
{
    SessionTree tree;
    EXPECT_EQ(CurrentTreeRow(tree).sessionId, 0);
    MemTable& t = tree.memdane;
    auto add = [&](const char* type, int id, int lap, int checked) { AddTreeRow(tree, type, id, lap, checked); };
    add("1", 7, 0, 1);
    add("2", 7, 1, 0);
    add("3", 7, 1, -1);
    add("1", 8, 0, 0);
    add("2", 8, 1, 1);
    t.SetRecNo(2);
    const TreeRow row = CurrentTreeRow(tree);
    EXPECT_EQ(row.sessionId, 7);
    EXPECT_EQ(row.lap, 1);
    EXPECT_EQ(row.type, QStringLiteral("3"));
    t.SetRecNo(0);
    EXPECT_EQ(CurrentTreeRow(tree).lap, 0);

    const std::vector<TreeCheck> sessions = TreeChecks(tree, QStringLiteral("1"));
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_EQ(sessions[1].sessionId, 8);
    EXPECT_EQ(sessions[1].checked, 0);
    const std::vector<TreeCheck> laps = TreeChecks(tree, QStringLiteral("2"));
    ASSERT_EQ(laps.size(), 2u);
    EXPECT_EQ(laps[0].lap, 1);
    EXPECT_EQ(laps[0].checked, 0);
    EXPECT_EQ(laps[1].checked, 1);
}

}  // namespace
