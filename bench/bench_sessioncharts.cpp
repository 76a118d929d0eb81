// The loaders of the Sessions chart and the lap comparison chart against a
// bare fetch of the same samples.
//
// A simulated session filling a whole slot's ring (about 283,000 samples)
// is imported once into a fresh embedded database.  Raw fetch: the POZYCJE
// columns the loaders use, of the session's rows in DATA_SS order, on the
// bare client API into a plain array of structs.  Sessions chart: the
// samples into memGPS in session time and the session's tree.  Lap
// comparison: the samples of every lap into memGPS from the lap's start and
// the tree.  The three run interleaved, five times each; the medians and
// the ratios to the raw fetch are printed at the end.
#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <vector>

#include "analysis/sessioncharts.h"
#include "clientapi.h"
#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "kromsim.h"
#include "shell/data/fbbulk.h"
#include "shell/data/ubazy.h"
#include "support/testdb.h"

namespace {

constexpr int kRuns = 5;

// A fresh database with the imported session, opened as DM.
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

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        Database db;
        const std::vector<int> ids{db.sessionId};
        std::vector<bench::RawSample> raw;
        bench::FetchSamples(ids, raw);  // warms the page cache and sizes the array

        std::vector<double> raws, charts, comparisons;
        size_t rows = 0;
        int chartRows = 0, comparisonRows = 0, laps = 0;
        // Interleaved, run after run: all three meet the same state of the machine.
        for (int run = 0; run < kRuns; ++run) {
            auto t0 = std::chrono::steady_clock::now();
            rows = bench::FetchSamples(ids, raw);
            raws.push_back(bench::Seconds(t0));

            {
                SessionsChartTree tree;
                DM->memGPS.Close();
                DM->memGPS.Open();
                t0 = std::chrono::steady_clock::now();
                const ChartSession s = LoadSessionsChartSession(tree, DM->memGPS, db.sessionId);
                charts.push_back(bench::Seconds(t0));
                chartRows = s.count;
            }
            {
                LapComparisonTree tree;
                DM->memGPS.Close();
                DM->memGPS.Open();
                t0 = std::chrono::steady_clock::now();
                laps = int(LoadLapComparisonSession(tree, DM->memGPS, db.sessionId).size());
                comparisons.push_back(bench::Seconds(t0));
                comparisonRows = DM->memGPS.RecordCount();
            }
            std::printf("run %d: sessions chart %.1f ms, lap comparison %.1f ms, raw fetch %.1f ms\n", run + 1,
                        charts.back() * 1000, comparisons.back() * 1000, raws.back() * 1000);
        }
        if (size_t(chartRows) != rows)
            throw std::runtime_error("the Sessions chart and the fetch saw different rows");
        const double fetch = bench::Median(raws), chart = bench::Median(charts), comparison = bench::Median(comparisons);
        std::printf("%zu samples; the lap comparison shows %d of them in %d laps\n", rows, comparisonRows, laps);
        std::printf("sessions chart %.1f ms, lap comparison %.1f ms, raw fetch %.1f ms, ratios %.2f, %.2f\n",
                    chart * 1000, comparison * 1000, fetch * 1000, chart / fetch, comparison / fetch);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_sessioncharts: %s\n", e.what());
        return 1;
    }
    return 0;
}
