// The loaders of the Sessions chart and the lap comparison chart against a
// bare fetch of the same samples.
//
// A simulated session filling a whole slot's ring (about 283,000 samples)
// is imported once into a fresh embedded database.  Bare fetch: the
// session's POZYCJE rows read through one prepared statement of the bulk-row
// layer, values only.  Sessions chart: the samples into memGPS in session
// time and the session's tree.  Lap comparison: the samples of every lap into
// memGPS from the lap's start and the tree.  The ratios to the bare fetch are
// printed at the end.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

#include "analysis/sessioncharts.h"
#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "kromsim.h"
#include "shell/data/fbbulk.h"
#include "shell/data/ubazy.h"
#include "support/testdb.h"

namespace {

double g_bare = 0, g_sessions = 0, g_laps = 0;
int g_rows = 0;

// A fresh database with the imported session, opened as DM; made once.
struct Database {
    TestDatabase db;
    int sessionId = 0;

    Database()
    {
        QString error;
        QTemporaryDir dumps;
        if (kromsim::WriteDumpFile(dumps.path(), kromsim::FullSlotDump(1, 77), &error).fileName.isEmpty())
            throw std::runtime_error(error.toStdString());
        BuildSessionList(dumps.path(), {});
        ImportCallbacks cb;
        cb.confirmHeader = [this](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                                  FbTransaction& session) {
            d = 1;
            t = 1;
            sessionId = InsertHeader(serial, h, d, t, nullptr, &session);
            return sessionId;
        };
        if (ImportSessions(dumps.path(), cb).imported != 1)
            throw std::runtime_error("the session was not imported");
    }
};

Database& Db()
{
    static Database db;
    return db;
}

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_BareFetch(benchmark::State& state)
{
    const int id = Db().sessionId;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        FbTransaction tr(DM->TransBrowse);
        tr.StartRead();
        FbStatement st(tr, QStringLiteral("select * from POZYCJE where ID_NAGLOWKA = :NAG order by data_ss"));
        st.SetInt(st.ParamIndex(QStringLiteral("NAG")), id);
        const int rpm = st.ColumnIndex(QStringLiteral("OBROTY"));
        long long sum = 0;
        int rows = 0;
        st.Open();
        while (st.Fetch()) {
            sum += st.Int(rpm);
            ++rows;
        }
        tr.Commit();
        benchmark::DoNotOptimize(sum);
        g_bare = Seconds(t0);
        g_rows = rows;
    }
    state.counters["rows"] = g_rows;
}

void BM_SessionsChartLoad(benchmark::State& state)
{
    const int id = Db().sessionId;
    for (auto _ : state) {
        SessionsChartTree tree;
        DM->memGPS.Close();
        DM->memGPS.Open();
        const auto t0 = std::chrono::steady_clock::now();
        const ChartSession s = LoadSessionsChartSession(tree, DM->memGPS, id);
        g_sessions = Seconds(t0);
        state.counters["rows"] = s.count;
    }
}

void BM_LapComparisonLoad(benchmark::State& state)
{
    const int id = Db().sessionId;
    for (auto _ : state) {
        LapComparisonTree tree;
        DM->memGPS.Close();
        DM->memGPS.Open();
        const auto t0 = std::chrono::steady_clock::now();
        const std::vector<ComparedLap> laps = LoadLapComparisonSession(tree, DM->memGPS, id);
        g_laps = Seconds(t0);
        state.counters["laps"] = double(laps.size());
        state.counters["rows"] = DM->memGPS.RecordCount();
    }
}

BENCHMARK(BM_BareFetch)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SessionsChartLoad)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LapComparisonLoad)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_bare > 0 && g_sessions > 0 && g_laps > 0)
        std::printf("samples %d: bare fetch %.0f ms, Sessions chart load %.0f ms (x%.2f), lap comparison load %.0f ms (x%.2f)\n",
                    g_rows, g_bare * 1000, g_sessions * 1000, g_sessions / g_bare, g_laps * 1000, g_laps / g_bare);
    return 0;
}
