#pragma once
// Test support for the chart windows: a data module on a fresh database,
// a session panel that is the run's FPanelSesji, the chosen channels, and
// small hand-made sessions written into memGPS, memMinMax and the tree.
#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <memory>

#include "analysis/upanelsesji.h"
#include "platform/chart/chart.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"
#include "support/testdb.h"

namespace charttest {

struct Channel {
    const char* name;
    const char* format;
};

class ChartFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        db_ = std::make_unique<TestDatabase>();
        DM->memGPS.Open();
        DM->memMinMax.Open();
        DM->memWybraneSesje.Open();
        panel_ = std::make_unique<TFPanelSesji>();
        FPanelSesji = panel_.get();
        Project() = ProjectRecord();
        Project().SetRpmMax(15000);
        Project().SetTemp1Max(70);
        Project().SetAccMin(-3);
        Project().SetAccMax(3);
        Project().SetTemp2Max(70);
        Project().SetVGpsMax(120);
        Choose({{"obroty", "%0.0f"}});
        CurrentChannel = QStringLiteral("obroty");
        CurrentChannelFormat = QStringLiteral("%0.0f");
    }

    void TearDown() override
    {
        FPanelSesji = nullptr;
        panel_.reset();
        db_.reset();
        Project() = ProjectRecord();
    }

    TFPanelSesji& Panel() { return *panel_; }
    TestDatabase& Db() { return *db_; }

    static void Choose(std::initializer_list<Channel> channels)
    {
        SelectedChannelCount = 0;
        for (const Channel& c : channels) {
            ++SelectedChannelCount;
            SelectedChannels[size_t(SelectedChannelCount)] = QString::fromLatin1(c.name);
            SelectedChannelFormats[size_t(SelectedChannelCount)] = QString::fromLatin1(c.format);
        }
    }

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

    void TreeRow(const char* type, int id, int lap, int checked)
    {
        MemTable& t = Panel().memdane;
        t.Append();
        t.FieldByName(QStringLiteral("typ_rekordu")).SetAsString(QString::fromLatin1(type));
        t.FieldByName(QStringLiteral("id_naglowka")).SetAsInteger(id);
        if (lap)
            t.FieldByName(QStringLiteral("id_okrazenia")).SetAsInteger(lap);
        if (checked >= 0)
            t.FieldByName(QStringLiteral("wybrany")).SetAsInteger(checked);
        t.FieldByName(QStringLiteral("lp")).SetAsInteger(t.RecordCount());
        t.Post();
    }

    void LapRow(int id, int lap, int start, int end, const QString& text, int status = 0)
    {
        MemTable& t = Panel().memokrazenia;
        t.Append();
        t.FieldByName(QStringLiteral("id_nag")).SetAsInteger(id);
        t.FieldByName(QStringLiteral("czas")).SetAsInteger(start);
        t.FieldByName(QStringLiteral("lap")).SetAsString(QStringLiteral("L%1").arg(lap));
        t.FieldByName(QStringLiteral("czas_t")).SetAsString(text);
        t.FieldByName(QStringLiteral("nr_lapa")).SetAsInteger(lap);
        if (status)
            t.FieldByName(QStringLiteral("status_naj")).SetAsInteger(status);
        if (lap > 0)
            t.FieldByName(QStringLiteral("czas_end")).SetAsInteger(end);
        t.Post();
    }

    void SectorRow(int id, int lap, int end)
    {
        MemTable& t = Panel().memSektory;
        t.Append();
        t.FieldByName(QStringLiteral("id_nag")).SetAsInteger(id);
        t.FieldByName(QStringLiteral("czas")).SetAsInteger(end);
        if (lap)
            t.FieldByName(QStringLiteral("nr_okr")).SetAsInteger(lap);
        t.Post();
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

        TreeRow("1", 12, 0, 1);
        TreeRow("2", 12, 1, 1);
        TreeRow("3", 12, 1, -1);
        TreeRow("2", 12, 2, 1);
        TreeRow("2", 12, 3, 1);
        TreeRow("1", 13, 0, 0);
        TreeRow("2", 13, 1, 0);
        TreeRow("2", 13, 2, 0);
        LapRow(12, 0, 1500, 0, QStringLiteral("S"));
        LapRow(12, 1, 1500, 7500, QStringLiteral("01:00:00"));
        LapRow(12, 2, 7500, 13400, QStringLiteral("00:59:00"), 2);
        LapRow(12, 3, 13400, 19500, QStringLiteral("01:01:00"), 1);
        LapRow(13, 0, 1000, 0, QStringLiteral("S"));
        LapRow(13, 1, 1000, 6000, QStringLiteral("00:50:00"), 2);
        LapRow(13, 2, 6000, 11000, QStringLiteral("00:50:00"), 1);
        SectorRow(12, 0, 1500);
        SectorRow(12, 1, 4500);
        SectorRow(12, 1, 7500);
        SectorRow(12, 2, 10500);
        SectorRow(12, 2, 13400);
        SectorRow(12, 3, 16400);
        SectorRow(12, 3, 19500);
        SectorRow(13, 0, 1000);
        Current(0);
    }

    // Moves the panel's current row.
    void Current(int row) { Panel().memdane.SetRecNo(row); }

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
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<TFPanelSesji> panel_;
};

}  // namespace charttest
