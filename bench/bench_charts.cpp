// The whole-session chart at telemetry scale: 4 sessions x 300,000 samples
// in memGPS (laid out as the session panel loads them), 6 channels chosen,
// the window at 1600 x 900 offscreen.  Medians of: LoadChart until
// painted, a rubber-band zoom to 10 % of the width until painted, one undo
// until painted, one mouse move with its read-out until painted, and
// HighlightSession until painted.  The last line reads
//   load <ms> ms, zoom <ms> ms, undo <ms> ms, cursor <ms> ms, highlight <ms> ms
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "analysis/upanelsesji.h"
#include "analysis/uwykrescale.h"
#include "platform/chart/chart.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

namespace {

constexpr int kSessions = 4;
constexpr int kSamples = 300000;
constexpr int kLapHundredths = 6000;  // one lap a minute
constexpr int kStep = 10;             // ten samples a second

// Samples of one session in the field layout of the sample loader.
void AppendSession(MemTable& gps, int id)
{
    auto col = [&](const char* name) { return gps.FieldIndex(QString::fromLatin1(name)); };
    const int typ = col("typ_probki"), obroty = col("obroty"), accx = col("accx"), accy = col("accy");
    const int gpsx = col("gpsx"), gpsy = col("gpsy"), gyro1 = col("gyro1"), gyro2 = col("gyro2");
    const int sektor = col("sektor"), temp1 = col("temp1"), temp2 = col("temp2"), data = col("data");
    const int datas = col("datas"), xobr = col("xobr"), yobr = col("yobr"), okrazenie = col("okrazenie");
    const int idNag = col("id_nag"), gx = col("gpsx_wyl"), gy = col("gpsy_wyl"), speed = col("predkosc_gps");
    const int start = 3000 + id * 100;  // first lap line
    const QString blank = QStringLiteral(" ");
    for (int i = 0; i < kSamples; ++i) {
        const int t = i * kStep;
        const double phase = 2 * M_PI * double(t - start) / kLapHundredths;
        const int lap = t < start ? 0 : 1 + (t - start) / kLapHundredths;
        const int r = gps.AppendRow();
        gps.SetIntAt(r, typ, 1);
        gps.SetIntAt(r, obroty, int(9000 + 3500 * std::sin(phase * 3) + 800 * std::sin(phase * 17 + id)));
        gps.SetIntAt(r, accx, int(120 * std::sin(phase * 5)));
        gps.SetIntAt(r, accy, int(90 * std::cos(phase * 3)));
        gps.SetIntAt(r, gpsx, 0x32121A0B);
        gps.SetIntAt(r, gpsy, 0x12345678);
        gps.SetIntAt(r, gyro1, 0);
        gps.SetIntAt(r, gyro2, 0);
        gps.SetIntAt(r, sektor, 1 + (std::max(0, t - start) % kLapHundredths) / 2000);
        gps.SetFloatAt(r, temp1, 45 + 10 * std::sin(double(t) / 90000) + 0.3 * std::sin(phase));
        gps.SetFloatAt(r, temp2, 30 + 5 * std::cos(double(t) / 70000));
        gps.SetIntAt(r, data, t);
        gps.SetStringAt(r, datas, blank);
        gps.SetIntAt(r, xobr, 0);
        gps.SetIntAt(r, yobr, 0);
        gps.SetIntAt(r, okrazenie, lap);
        gps.SetIntAt(r, idNag, id);
        gps.SetIntAt(r, gx, 186667);
        gps.SetIntAt(r, gy, 200000);
        gps.SetIntAt(r, speed, int(70 + 30 * std::sin(phase * 3)));
    }
}

void AppendRanges(MemTable& ranges, int id)
{
    const int r = ranges.AppendRow();
    ranges.SetIntAt(r, 0, id);
    const double values[] = {0, 15000, 0, 70, -3, 3, -3, 3, 0, 70, 0, 120};
    for (int i = 0; i < 12; ++i)
        ranges.SetFloatAt(r, i + 1, values[i]);
}

// The session's rows of the session tree: a session row and its laps.
void AppendTree(SessionTree& tree, int id)
{
    MemTable& d = tree.memdane;
    const int s = d.AppendRow();
    d.SetStringAt(s, d.FieldIndex(QStringLiteral("typ_rekordu")), QStringLiteral("1"));
    d.SetIntAt(s, d.FieldIndex(QStringLiteral("id_naglowka")), id);
    d.SetIntAt(s, d.FieldIndex(QStringLiteral("wybrany")), 1);
    MemTable& l = tree.memokrazenia;
    const int start = 3000 + id * 100;
    const int laps = (kSamples * kStep - start) / kLapHundredths;
    for (int lap = 0; lap <= laps; ++lap) {
        const int r = l.AppendRow();
        l.SetIntAt(r, 0, id);
        l.SetIntAt(r, 1, lap == 0 ? start : start + (lap - 1) * kLapHundredths);
        l.SetStringAt(r, 3, lap == 0 ? QStringLiteral("S") : SessionTimeText(kLapHundredths));
        l.SetIntAt(r, 4, lap);
        if (lap > 0)
            l.SetIntAt(r, 6, start + lap * kLapHundredths);
    }
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Runs the pending work of the event loop: the posted repaint and what it
// sets off.
void Settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons, {});
    QCoreApplication::sendEvent(w, &e);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TDM dm;
    DM = &dm;
    dm.memGPS.Open();
    dm.memMinMax.Open();
    AnalysisSession session;
    TFPanelSesji panel(session);

    QElapsedTimer fill;
    fill.start();
    dm.memGPS.Reserve(kSessions * kSamples);
    dm.memGPS.BeginBulk();
    for (int id = 1; id <= kSessions; ++id) {
        AppendSession(dm.memGPS, id);
        AppendRanges(dm.memMinMax, id);
        AppendTree(session.tree, id);
    }
    dm.memGPS.EndBulk();
    session.tree.memdane.SetRecNo(0);
    std::printf("memGPS: %d rows filled in %lld ms\n", dm.memGPS.RecordCount(), fill.elapsed());

    const char* channels[] = {"obroty", "temp1", "temp2", "accx", "accy", "predkosc_gps"};
    const char* formats[] = {"%0.0f", "%1.1f", "%1.1f", "%1.1f", "%1.1f", "%0.0f"};
    session.SelectedChannelCount = 6;
    for (int i = 1; i <= 6; ++i) {
        session.SelectedChannels[size_t(i)] = QString::fromLatin1(channels[i - 1]);
        session.SelectedChannelFormats[size_t(i)] = QString::fromLatin1(formats[i - 1]);
    }

    Tfwykrescale window(session);
    window.resize(1600, 900);
    window.show();
    Settle();
    Chart* chart = window.Chart1;
    QElapsedTimer t;

    std::vector<double> load;
    for (int rep = 0; rep < 7; ++rep) {
        const int renders = chart->RenderCount();
        t.start();
        window.LoadChart();
        Settle();
        load.push_back(t.nsecsElapsed() / 1e6);
        if (chart->RenderCount() == renders)
            std::fprintf(stderr, "bench_charts: the chart was not painted\n");
    }
    window.HighlightSession(1);
    Settle();
    std::printf("series: %d, plot %dx%d\n", chart->SeriesCount(), chart->PlotRect().width(), chart->PlotRect().height());

    const QRect plot = chart->PlotRect();
    std::vector<double> zoom, undo;
    for (int rep = 0; rep < 9; ++rep) {
        const int x0 = plot.left() + plot.width() * (rep % 5 + 1) / 10;
        const QPoint from(x0, plot.top() + 1), to(x0 + plot.width() / 10, plot.bottom() - 1);
        t.start();
        Mouse(chart, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Mouse(chart, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Mouse(chart, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        Settle();
        zoom.push_back(t.nsecsElapsed() / 1e6);
        if (chart->ZoomDepth() != 1)
            std::fprintf(stderr, "bench_charts: the zoom did not take\n");

        t.start();
        Mouse(chart, QEvent::MouseButtonPress, plot.center(), Qt::RightButton, Qt::RightButton);
        Mouse(chart, QEvent::MouseButtonRelease, plot.center(), Qt::RightButton, Qt::NoButton);
        Settle();
        undo.push_back(t.nsecsElapsed() / 1e6);
        if (chart->ZoomDepth() != 0)
            std::fprintf(stderr, "bench_charts: the undo did not take\n");
    }

    std::vector<double> cursor;
    for (int i = 0; i < 60; ++i) {
        const QPoint at(plot.left() + 5 + (i * 97) % (plot.width() - 10), plot.center().y());
        t.start();
        Mouse(chart, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
        Settle();
        cursor.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("read-out: %s %s %s, RPM %s\n", qPrintable(window.st_czas->text()),
                qPrintable(window.StaticText1->text()), qPrintable(window.StaticText2->text()),
                qPrintable(window.ChannelValues[1]->text()));

    std::vector<double> highlight;
    for (int rep = 0; rep < 8; ++rep) {
        t.start();
        window.HighlightSession(2 + rep % (kSessions - 1));
        Settle();
        highlight.push_back(t.nsecsElapsed() / 1e6);
        window.HighlightSession(1);
        Settle();
    }

    std::printf("load %.1f ms, zoom %.1f ms, undo %.1f ms, cursor %.1f ms, highlight %.1f ms\n", Median(load),
                Median(zoom), Median(undo), Median(cursor), Median(highlight));
    DM = nullptr;
    return 0;
}
