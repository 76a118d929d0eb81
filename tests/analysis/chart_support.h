#pragma once
// Test support for the chart windows: a data module on a fresh database,
// an analysis session with a session panel on it, the chosen channels, and
// small hand-made sessions written into memGPS, memMinMax and the tree.
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <memory>

#include "analysis/channelchartwindow.h"
#include "analysis/upanelsesji.h"
#include "platform/chart/chart.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"
#include "support/testdb.h"
#include "tree_support.h"

namespace charttest {

using namespace treetest;

struct Channel {
    const char* name;
    const char* format;
};

// The chosen channels, as the session panel's check boxes set them.
inline void Choose(AnalysisSession& session, std::initializer_list<Channel> channels)
{
    session.SelectedChannelCount = 0;
    for (const Channel& c : channels) {
        ++session.SelectedChannelCount;
        session.SelectedChannels[size_t(session.SelectedChannelCount)] = QString::fromLatin1(c.name);
        session.SelectedChannelFormats[size_t(session.SelectedChannelCount)] = QString::fromLatin1(c.format);
    }
}

class ChartFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        db_ = std::make_unique<TestDatabase>();
        DM->memGPS.Open();
        DM->memMinMax.Open();
        DM->memWybraneSesje.Open();
        session_ = std::make_unique<AnalysisSession>();
        panel_ = std::make_unique<TFPanelSesji>(*session_);
        Project() = ProjectRecord();
        Project().SetRpmMax(15000);
        Project().SetTemp1Max(70);
        Project().SetAccMin(-3);
        Project().SetAccMax(3);
        Project().SetTemp2Max(70);
        Project().SetVGpsMax(120);
        Choose({{"obroty", "%0.0f"}});
        Analysis().CurrentChannel = QStringLiteral("obroty");
        Analysis().CurrentChannelFormat = QStringLiteral("%0.0f");
    }

    void TearDown() override
    {
        panel_.reset();
        session_.reset();
        db_.reset();
        Project() = ProjectRecord();
    }

    TFPanelSesji& Panel() { return *panel_; }
    AnalysisSession& Analysis() { return *session_; }
    SessionTree& Tree() { return session_->tree; }
    void Choose(std::initializer_list<Channel> channels) { charttest::Choose(Analysis(), channels); }
    TestDatabase& Db() { return *db_; }

    // One sample row in the loader's layout.
    static void Sample(int id, int data, int lap, int rpm, int acc = 0, double temp = 30)
    {
        MemTable& g = DM->memGPS;
        const int r = g.AppendRow();
        auto set = [&](const char* f, int v) { g.SetIntAt(r, g.FieldIndex(QString::fromLatin1(f)), v); };
        set("typ_probki", 1);
        set("obroty", rpm);
        set("accx", acc);
        set("accy", -acc);
        set("data", data);
        set("okrazenie", lap);
        set("id_nag", id);
        set("predkosc_gps", 60);
        g.SetFloatAt(r, g.FieldIndex(QStringLiteral("temp1")), temp);
        g.SetFloatAt(r, g.FieldIndex(QStringLiteral("temp2")), temp / 2);
    }

    static void Ranges(int id)
    {
        MemTable& m = DM->memMinMax;
        const int r = m.AppendRow();
        m.SetIntAt(r, 0, id);
        const double values[] = {0, 15000, 0, 70, -3, 3, -3, 3, 0, 70, 0, 120};
        for (int i = 0; i < 12; ++i)
            m.SetFloatAt(r, i + 1, values[i]);
        const int c = DM->memWybraneSesje.AppendRow();
        DM->memWybraneSesje.SetIntAt(c, 0, id);
    }

    // Session 12: start line at 1500, laps 1..3 of 6000, 5900 and 6100
    // (lap 2 fastest, lap 3 slowest), two sectors a lap, samples every
    // 100 from 0 to 21000 with RPM rising 1 per sample time unit from 2000
    // and acceleration 150 (1.5 g) on lap 2.  Session 13: start line at
    // 1000, laps of 5000, samples from 0 to 11000, RPM 8000, unticked.
    void TwoSessions()
    {
        const int bounds[] = {1500, 7500, 13400, 19500};
        for (int t = 0; t <= 21000; t += 100) {
            int lap = 0;
            while (lap < 4 && t >= bounds[lap])
                ++lap;
            Sample(12, t, lap, 2000 + t, lap == 2 ? 150 : 0, 20 + t / 1000.0);
        }
        for (int t = 0; t <= 11000; t += 100)
            Sample(13, t, t < 1000 ? 0 : 1 + (t - 1000) / 5000, 8000);
        Ranges(12);
        Ranges(13);

        AddTreeRow(Tree(), "1", 12, 0, 1);
        AddTreeRow(Tree(), "2", 12, 1, 1);
        AddTreeRow(Tree(), "3", 12, 1, -1);
        AddTreeRow(Tree(), "2", 12, 2, 1);
        AddTreeRow(Tree(), "2", 12, 3, 1);
        AddTreeRow(Tree(), "1", 13, 0, 0);
        AddTreeRow(Tree(), "2", 13, 1, 0);
        AddTreeRow(Tree(), "2", 13, 2, 0);
        AddLap(Tree(), {12, 1500, 0, QStringLiteral("S"), 0, 0});
        AddLap(Tree(), {12, 1500, 1, QStringLiteral("01:00:00"), 0, 7500});
        AddLap(Tree(), {12, 7500, 2, QStringLiteral("00:59:00"), 2, 13400});
        AddLap(Tree(), {12, 13400, 3, QStringLiteral("01:01:00"), 1, 19500});
        AddLap(Tree(), {13, 1000, 0, QStringLiteral("S"), 0, 0});
        AddLap(Tree(), {13, 1000, 1, QStringLiteral("00:50:00"), 2, 6000});
        AddLap(Tree(), {13, 6000, 2, QStringLiteral("00:50:00"), 1, 11000});
        AddSector(Tree(), 12, 0, 1500);
        AddSector(Tree(), 12, 1, 4500);
        AddSector(Tree(), 12, 1, 7500);
        AddSector(Tree(), 12, 2, 10500);
        AddSector(Tree(), 12, 2, 13400);
        AddSector(Tree(), 12, 3, 16400);
        AddSector(Tree(), 12, 3, 19500);
        AddSector(Tree(), 13, 0, 1000);
        Current(0);
    }

    // Creates, shows and loads a chart window; the helpers below work on it.
    template <class Window>
    Window& Show(std::unique_ptr<Window>& window, int width, int height)
    {
        window = std::make_unique<Window>(Analysis());
        window->resize(width, height);
        window->show();
        window->LoadChart();
        Settle();
        shown_ = window.get();
        return *window;
    }

    // A view of 100 hundredths per pixel from 0, so that a pixel names a
    // whole time.
    void ExactView()
    {
        const QRect plot = shown_->Chart1->PlotRect();
        shown_->Chart1->ZoomToView({{0, (plot.width() - 1) * 100.0}, {0, 1000}, false, false});
        Settle();
    }
    // The point of a time, half way down the plot.
    QPoint At(double time) const
    {
        return {shown_->Chart1->XToScreen(time), shown_->Chart1->PlotRect().center().y()};
    }
    // The text of a channel slot's value box.
    QString Box(int slot) const { return shown_->ChannelValues[size_t(slot)]->text(); }

    // Moves the panel's current row.
    void Current(int row) { Tree().memdane.SetRecNo(row); }

    static void Settle()
    {
        QApplication::processEvents();
        QApplication::processEvents();
    }

    static void MoveMouse(Chart* chart, QPoint pos)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(pos), chart->mapToGlobal(QPointF(pos)), Qt::NoButton, Qt::NoButton,
                      {});
        QApplication::sendEvent(chart, &e);
    }

private:
    ChannelChartWindow* shown_ = nullptr;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<AnalysisSession> session_;
    std::unique_ptr<TFPanelSesji> panel_;
};

}  // namespace charttest
