// The multi-channel charts over simulated sessions imported into the test
// database and loaded by the session panel: what the charts compute and
// what their read-outs show is checked against the stored rows, read back
// with SQL.
#include <QLabel>

#include <climits>

#include "analysis/chartcore.h"
#include "analysis/sessionload.h"
#include "analysis/uwykrescale.h"
#include "analysis/uwykresczasyMDI.h"
#include "analysis/uwykresmdilapy.h"
#include "chart_support.h"
#include "platform/dialogs.h"
#include "shell/data/ibquery.h"
#include "sim_sessions.h"
#include "support/areahost.h"

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using charttest::ChartFixture;
using charttest::Choose;
using namespace simsessions;

// The value V of a query with the session id as :N (and :L when given).
int Scalar(const QString& sql, int sessionId, int lap = 0)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(sql);
    q.ParamByName(QStringLiteral("N"), sessionId);
    if (sql.contains(QStringLiteral(":L")))
        q.ParamByName(QStringLiteral("L"), lap);
    q.Open();
    return q.FieldByName(QStringLiteral("V")).AsInteger();
}

class ImportedSessions : public ChartFixture {
protected:
    std::vector<int> ids;

    void Load(const std::vector<kromsim::SessionOptions>& sessions)
    {
        ids = ImportSessions(sessions);
        DM->memWybraneSesje.Close();
        DM->memWybraneSesje.Open();
        for (int id : ids)
            DM->memWybraneSesje.SetIntAt(DM->memWybraneSesje.AppendRow(), 0, id);
        Panel().LoadSessions();
    }
};

TEST_F(ImportedSessions, RunsExtremesLapsAndReadOutMatchTheStoredRows)
{
    Load({Session(5, 3, 61), Session(4, 2, 62, SampleFormat::Plain), Session(6, 4, 63)});
    ASSERT_EQ(ids.size(), 3u);
    const std::vector<SampleRun> runs = SessionRuns(DM->memGPS);
    ASSERT_EQ(runs.size(), ids.size());
    const std::vector<SessionExtremes> extremes =
        ComputeExtremes(DM->memGPS, runs, QStringLiteral("obroty"), &Panel().Tree().memokrazenia);
    ASSERT_EQ(extremes.size(), ids.size());

    for (size_t n = 0; n < ids.size(); ++n) {
        const int id = ids[n];
        SCOPED_TRACE(id);
        EXPECT_EQ(runs[n].sessionId, id);
        EXPECT_EQ(runs[n].count, Scalar(QStringLiteral("select count(*) as V from POZYCJE where ID_NAGLOWKA = :N"), id));

        // Extremes over the laps between the first lap line and the last lap.
        const std::vector<StoredLap> laps = Laps(id);
        const int highest = laps.back().nr;
        EXPECT_EQ(HighestLap(Panel().Tree().memokrazenia, id), highest);
        const QString where = QStringLiteral(" from POZYCJE where ID_NAGLOWKA = :N and OKRAZENIE > 0 and OKRAZENIE < :L");
        const int min = Scalar(QStringLiteral("select min(OBROTY) as V") + where, id, highest);
        const int max = Scalar(QStringLiteral("select max(OBROTY) as V") + where, id, highest);
        ASSERT_TRUE(extremes[n].found);
        EXPECT_EQ(extremes[n].min, min);
        EXPECT_EQ(extremes[n].max, max);
        EXPECT_EQ(extremes[n].minTime,
                  Scalar(QStringLiteral("select min(DATA_SS) as V") + where + QStringLiteral(" and OBROTY = %1").arg(min), id,
                         highest));
        EXPECT_EQ(extremes[n].maxTime,
                  Scalar(QStringLiteral("select min(DATA_SS) as V") + where + QStringLiteral(" and OBROTY = %1").arg(max), id,
                         highest));

        // Laps: each from its start line, which lies before its first sample.
        const std::vector<LapRun> lapRuns = LapRuns(DM->memGPS, id, Panel().Tree().memokrazenia);
        int start = FirstLapStart(id);
        size_t k = 0;
        int fastest = 0, best = INT_MAX;
        for (const StoredLap& lap : laps) {
            if (lap.time < best) {
                best = lap.time;
                fastest = lap.nr;
            }
            const int samples =
                Scalar(QStringLiteral("select count(*) as V from POZYCJE where ID_NAGLOWKA = :N and OKRAZENIE = :L"), id, lap.nr);
            if (samples > 0) {
                ASSERT_LT(k, lapRuns.size());
                const LapRun& run = lapRuns[k++];
                EXPECT_EQ(run.lap, lap.nr);
                EXPECT_EQ(run.lapStart, start);
                EXPECT_EQ(run.count, samples);
                const int first = DM->memGPS.IntAt(run.first, DM->memGPS.FieldIndex(QStringLiteral("data")));
                EXPECT_GE(first - start, 0) << "lap " << lap.nr;
                EXPECT_LT(first - start, 100) << "lap " << lap.nr;
            }
            // Just after the lap's line the read-out names the lap.
            const SessionReadOut r = ReadOutTexts(Panel().Tree(), id, start + 1);
            EXPECT_EQ(r.lapNumber, lap.nr);
            EXPECT_EQ(r.lap, QStringLiteral("00:00:01"));
            start += lap.time;
        }
        EXPECT_EQ(k, lapRuns.size());

        // The strip: a box per lap, the fastest lime.
        const ChartMapping mapping(QRect(0, 0, 1001, 40), {0, double(start + 1000)}, {0, 1000});
        const std::vector<LapBox> boxes = LapStripBoxes(Panel().Tree().memokrazenia, id, mapping);
        ASSERT_EQ(boxes.size(), laps.size());
        for (size_t i = 0; i < laps.size(); ++i)
            EXPECT_EQ(boxes[i].brush == QColor(0, 255, 0), laps[i].nr == fastest && laps.size() > 1) << laps[i].nr;
    }
}

TEST_F(ImportedSessions, BothChartsDrawEveryLoadedSample)
{
    Choose({{"obroty", "%0.0f"}, {"accx", "%1.1f"}, {"predkosc_gps", "%0.0f"}});
    Load({Session(4, 3, 71), Session(5, 2, 72)});
    Tfwykrescale whole(Analysis());
    whole.resize(1200, 600);
    whole.show();
    whole.LoadChart();
    Settle();
    ASSERT_EQ(whole.Chart1->SeriesCount(), 6);
    for (int i = 0; i < 6; ++i) {
        const ChartSeries* s = whole.Chart1->Series(i);
        EXPECT_EQ(s->Count(), Scalar(QStringLiteral("select count(*) as V from POZYCJE where ID_NAGLOWKA = :N"), s->Tag()));
    }

    Tfwykresmdilapy laps(Analysis());
    laps.resize(1200, 600);
    laps.show();
    laps.LoadChart();
    Settle();
    int expected = 0;
    for (int id : ids)
        for (const StoredLap& lap : Laps(id))
            if (Scalar(QStringLiteral("select count(*) as V from POZYCJE where ID_NAGLOWKA = :N and OKRAZENIE = :L"), id,
                       lap.nr) > 0)
                expected += 3;
    EXPECT_EQ(laps.Chart1->SeriesCount(), expected);
    for (int i = 0; i < laps.Chart1->SeriesCount(); ++i) {
        const ChartSeries* s = laps.Chart1->Series(i);
        EXPECT_GE(s->XValue(0), 0);
        EXPECT_LT(s->XValue(0), 100);
    }
}

// A panel load that fails part-way (the engine stops in the middle of a
// session's samples, as a lost connection would) leaves no part of a
// session passing for the whole: the samples, the ranges and the tree are
// empty, the open charts drawing them are cleared, and the message names
// the session.  Once the database answers again, Update loads it all.
TEST_F(ImportedSessions, AFailedPanelLoadClearsTheChartsAndNamesTheSession)
{
    Choose({{"obroty", "%0.0f"}, {"temp1", "%1.1f"}});
    Load({Session(3, 2, 91), Session(4, 2, 92), Session(3, 2, 93)});
    QMdiArea area;
    area.resize(1400, 900);
    AreaHost host(area);
    ShowWholeSessionChart(Analysis());
    ShowLapsChart(Analysis());
    ShowLapTimeDiagram(Analysis());
    ASSERT_TRUE(fwykrescale && fwykresmdilapy && fwykresCzasy);
    auto points = [](const Chart* chart) {
        int n = 0;
        for (int i = 0; i < chart->SeriesCount(); ++i)
            n += chart->Series(i)->Count();
        return n;
    };
    const int samples = DM->memGPS.RecordCount();
    EXPECT_EQ(points(fwykrescale->Chart1), 2 * samples);
    EXPECT_GT(points(fwykresmdilapy->Chart1), 0);
    EXPECT_GT(points(fwykresCzasy->Chart1), 0);

    const int cut = Db().Scalar(QStringLiteral("select min(ID_POZYCJI) + count(*) / 2 from POZYCJE where ID_NAGLOWKA = %1")
                                    .arg(ids[1]))
                        .toInt();
    // A column the load reads fails from that row on.
    Db().Exec(QStringLiteral("alter table POZYCJE alter TEMP2 to TEMP2_STORED"));
    Db().Exec(QStringLiteral("alter table POZYCJE add TEMP2 computed by (TEMP2_STORED + 0 * (1 / (ID_POZYCJI - %1)))").arg(cut));
    platform::testing::ClearMessages();
    Panel().SpeedButton1Click();
    EXPECT_EQ(DM->memGPS.RecordCount(), 0);
    EXPECT_EQ(DM->memMinMax.RecordCount(), 0);
    EXPECT_EQ(Panel().Tree().memdane.RecordCount(), 0);
    EXPECT_EQ(Panel().Tree().memokrazenia.RecordCount(), 0);
    EXPECT_EQ(fwykrescale->Chart1->SeriesCount(), 0);
    EXPECT_EQ(fwykresmdilapy->Chart1->SeriesCount(), 0);
    EXPECT_EQ(points(fwykresCzasy->Chart1), 0);
    ASSERT_EQ(platform::testing::Messages().size(), 1);
    const QString message = platform::testing::Messages().front();
    EXPECT_TRUE(message.startsWith(QStringLiteral("Session %1 could not be loaded, so no session is shown").arg(ids[1])))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("divide by zero"), Qt::CaseInsensitive)) << message.toStdString();

    Db().Exec(QStringLiteral("alter table POZYCJE drop TEMP2"));
    Db().Exec(QStringLiteral("alter table POZYCJE alter TEMP2_STORED to TEMP2"));
    Panel().SpeedButton1Click();
    EXPECT_EQ(DM->memGPS.RecordCount(), samples);
    EXPECT_EQ(points(fwykrescale->Chart1), 2 * samples);
    EXPECT_GT(points(fwykresmdilapy->Chart1), 0);
    EXPECT_GT(points(fwykresCzasy->Chart1), 0);
    EXPECT_EQ(platform::testing::Messages().size(), 1);
}

// A stored value of a sample of a session at a time, as a double.
double StoredAt(const char* column, int sessionId, int dataSs)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select %1 as V from POZYCJE where ID_NAGLOWKA = :N and DATA_SS = :T").arg(QLatin1String(column)));
    q.ParamByName(QStringLiteral("N"), sessionId);
    q.ParamByName(QStringLiteral("T"), dataSs);
    q.Open();
    EXPECT_FALSE(q.Eof()) << column << " at " << dataSs;
    return q.FieldByName(QStringLiteral("V")).AsFloat();
}

class ImportedReadOut : public ImportedSessions {
protected:
    std::unique_ptr<Tfwykrescale> window;

    // The whole-session chart over the loaded sessions, the first session
    // current, a pixel column given to each sample time.
    Tfwykrescale& Open()
    {
        Tfwykrescale& w = Show(window, 1200, 600);
        w.HighlightSession(ids.front());
        Current(0);
        return w;
    }
    // The read-out at every step-th column of the plot: the cursor time and
    // the texts of the first slots boxes.
    template <class F>
    void Sweep(int step, F check)
    {
        const QRect plot = window->Chart1->PlotRect();
        for (int x = plot.left() + 1; x < plot.right(); x += step) {
            MoveMouse(window->Chart1, {x, plot.center().y()});
            check(window->CursorTime());
        }
    }
};

// A new project shows GPS speed in 0..120, as an opened project file does:
// the line follows the speeds and the read-out gives them as stored.
TEST_F(ImportedReadOut, NewProjectShowsTheStoredSpeeds)
{
    Project() = ProjectRecord();
    Project().ResetForNewProject();
    Choose({{"predkosc_gps", "%0.0f"}});
    Load({Session(3, 2, 81)});
    EXPECT_EQ(DM->memMinMax.FloatAt(0, DM->memMinMax.FieldIndex(QStringLiteral("predkosc_gps_max"))), 120);
    Tfwykrescale& w = Open();
    EXPECT_EQ(w.Label16->text(), QStringLiteral("120"));
    EXPECT_EQ(w.Label15->text(), QStringLiteral("0"));

    const ChartSeries* speed = w.Chart1->Series(0);
    double lowest = 1e9, highest = -1e9;
    for (int i = 0; i < speed->Count(); i += 50) {
        EXPECT_DOUBLE_EQ(speed->YValue(i), speed->StoredYValue(i) * 1000 / 120) << i;
        lowest = std::min(lowest, speed->YValue(i));
        highest = std::max(highest, speed->YValue(i));
    }
    EXPECT_GT(highest - lowest, 200) << "the line is not flat";

    int readOuts = 0;
    Sweep(7, [&](int time) {
        EXPECT_EQ(Box(1), QString::number(StoredAt("PREDKOSC_GPS", ids.front(), time))) << "at " << time;
        ++readOuts;
    });
    EXPECT_GT(readOuts, 100);
}

// The value boxes give the nearest sample's stored value: never a value
// turned back from its height, so no "-0" for a stored 0 under ranges whose
// arithmetic does not come out even.
TEST_F(ImportedReadOut, ValueBoxesShowTheStoredValueAndNoSignedZero)
{
    Project().SetAccMin(-1);
    Project().SetAccMax(2);
    Project().SetRpmMin(-1);
    Project().SetRpmMax(2);
    Project().SetTemp1Min(-7);
    Project().SetTemp1Max(3);
    Choose({{"accx", "%1.1f"}, {"obroty", "%0.0f"}, {"accy", "%2.2f"}});
    Load({Session(3, 2, 82)});
    Open();
    // What printf shows, less the minus of a zero.
    auto shown = [](const char* format, double v) {
        const QString text = QString::asprintf(format, v);
        return text.startsWith(u'-') && text.mid(1).toDouble() == 0 ? text.mid(1) : text;
    };
    int zeros = 0;
    Sweep(3, [&](int time) {
        const int id = ids.front();
        const double accx = AccToHundredthsG(int(StoredAt("ACCX", id, time))) / 100.0;
        const double accy = AccToHundredthsG(int(StoredAt("ACCY", id, time))) / 100.0;
        EXPECT_EQ(Box(1), shown("%1.1f", accx)) << "at " << time;
        EXPECT_EQ(Box(2), shown("%0.0f", StoredAt("OBROTY", id, time))) << "at " << time;
        EXPECT_EQ(Box(3), shown("%2.2f", accy)) << "at " << time;
        zeros += accx == 0 ? 1 : 0;
    });
    EXPECT_GT(zeros, 0) << "no stored 0 was read";
}

// With every session unticked the time axis keeps the samples' span, as
// with no channel chosen: the lap strip and the markers stay on screen.
TEST_F(ImportedReadOut, EverySessionUntickedKeepsTheTimeAxis)
{
    Load({Session(3, 2, 83), Session(4, 2, 84)});
    Tfwykrescale& w = Open();
    const AxisRange shown = w.Chart1->BottomAxis().Range();
    const QString span = QStringLiteral("select %1(DATA_SS) as V from POZYCJE where ID_NAGLOWKA in (%2, %3)");
    const AxisRange samples{Db().Scalar(span.arg(QLatin1String("min")).arg(ids[0]).arg(ids[1])).toDouble(),
                            Db().Scalar(span.arg(QLatin1String("max")).arg(ids[0]).arg(ids[1])).toDouble()};
    EXPECT_EQ(shown, samples);

    auto stripShowsLaps = [&] {
        Settle();
        const QImage strip = w.Image1->grab().toImage();
        int lapPixels = 0;
        for (int x = 0; x < strip.width(); ++x)
            lapPixels += strip.pixelColor(x, strip.height() - 4) != QColor(128, 128, 128) ? 1 : 0;
        return lapPixels > strip.width() / 4;
    };
    EXPECT_TRUE(stripShowsLaps());
    for (int id : ids)
        w.SetSessionVisible(id, 0);
    EXPECT_EQ(w.Chart1->BottomAxis().Range(), samples);
    EXPECT_TRUE(stripShowsLaps());
    // One session ticked again: the axis follows its lines.
    w.SetSessionVisible(ids[0], 1);
    const QString first = QStringLiteral("select %1(DATA_SS) as V from POZYCJE where ID_NAGLOWKA = :N");
    EXPECT_EQ(w.Chart1->BottomAxis().Range(),
              (AxisRange{double(Scalar(first.arg(QLatin1String("min")), ids[0])),
                         double(Scalar(first.arg(QLatin1String("max")), ids[0]))}));
}

}  // namespace
