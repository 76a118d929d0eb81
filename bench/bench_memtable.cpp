// In-memory table at the scale of memGPS: the bulk load of every sample of
// a few sessions, and the (id_nag, data) lookups the chart and GPS windows
// make against it.
#include "platform/memtable.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <random>
#include <vector>

namespace {

constexpr int kSessions = 3;
constexpr int kSamplesPerSession = 1'000'000;
constexpr int kRows = kSessions * kSamplesPerSession;

std::vector<FieldDef> gpsFields()
{
    return {{"typ_probki", FieldType::Integer},    {"obroty", FieldType::Integer},
            {"accx", FieldType::Integer},          {"accy", FieldType::Integer},
            {"gpsx", FieldType::Integer},          {"gpsy", FieldType::Integer},
            {"gyro1", FieldType::Integer},         {"gyro2", FieldType::Integer},
            {"sektor", FieldType::Integer},        {"temp1", FieldType::Float},
            {"temp2", FieldType::Float},           {"data", FieldType::Integer},
            {"datas", FieldType::String, 15},      {"xobr", FieldType::Integer},
            {"yobr", FieldType::Integer},          {"okrazenie", FieldType::Integer},
            {"id_nag", FieldType::Integer},        {"gpsx_wyl", FieldType::Integer},
            {"gpsy_wyl", FieldType::Integer},      {"predkosc_gps", FieldType::Integer},
            {"brakOkrazenia", FieldType::Boolean}};
}

// Session s, sample i: times in hundredths, 10 per sample.
int sampleTime(int i) { return i * 10; }
int sessionId(int s) { return 1000 + s; }

void loadGps(MemTable& t)
{
    t.Close();
    t.Open();
    t.BeginBulk();
    t.Reserve(kRows);
    for (int s = 0; s < kSessions; ++s) {
        for (int i = 0; i < kSamplesPerSession; ++i) {
            const int r = t.AppendRow();
            const int time = sampleTime(i);
            t.SetIntAt(r, 0, i % 4 == 0 ? 1 : 0);
            t.SetIntAt(r, 1, 8000 + i % 5000);
            t.SetIntAt(r, 2, i % 300 - 150);
            t.SetIntAt(r, 3, i % 200 - 100);
            t.SetIntAt(r, 4, 0x2E0A1234 + i);
            t.SetIntAt(r, 5, 0x13221234 + i);
            t.SetIntAt(r, 6, i % 100);
            t.SetIntAt(r, 7, i % 90);
            t.SetIntAt(r, 8, (i / 1000) % 3 + 1);
            t.SetFloatAt(r, 9, 40.0 + (i % 100) * 0.1);
            t.SetFloatAt(r, 10, 60.0 + (i % 50) * 0.2);
            t.SetIntAt(r, 11, time);
            t.SetStringAt(r, 12, QString::asprintf("%02d:%02d:%02d", time / 6000 % 100, time / 100 % 60, time % 100));
            t.SetIntAt(r, 13, i % 1024);
            t.SetIntAt(r, 14, i % 768);
            t.SetIntAt(r, 15, i / 6000 + 1);
            t.SetIntAt(r, 16, sessionId(s));
            t.SetIntAt(r, 17, 101234 + i % 60000);
            t.SetIntAt(r, 18, 221234 + i % 60000);
            t.SetIntAt(r, 19, i % 180);
            t.SetBoolAt(r, 20, false);
        }
    }
    t.EndBulk();
}

MemTable& sharedGps()
{
    static MemTable* t = [] {
        auto* table = new MemTable("memGPS", gpsFields());
        loadGps(*table);
        return table;
    }();
    return *t;
}

void BM_BulkLoadGps(benchmark::State& state)
{
    MemTable t("memGPS", gpsFields());
    for (auto _ : state) {
        loadGps(t);
        benchmark::DoNotOptimize(t.RecordCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    state.counters["rows"] = kRows;
}
BENCHMARK(BM_BulkLoadGps)->Unit(benchmark::kMillisecond)->Iterations(3);

// First locate after a change: the hash index is rebuilt over every row.
void BM_LocateGpsFirstAfterChange(benchmark::State& state)
{
    MemTable& t = sharedGps();
    int flip = 0;
    for (auto _ : state) {
        t.SetIntAt(0, 19, flip++ % 180);  // a change in another column keeps the index
        t.SetIntAt(0, 11, 0);             // one in a key column drops it
        benchmark::DoNotOptimize(t.Locate("id_nag;data", {sessionId(1), sampleTime(500000)}));
    }
}
BENCHMARK(BM_LocateGpsFirstAfterChange)->Unit(benchmark::kMillisecond);

void BM_LocateGps(benchmark::State& state)
{
    MemTable& t = sharedGps();
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> session(0, kSessions - 1), sample(0, kSamplesPerSession - 1);
    std::vector<std::pair<int, int>> keys(1 << 16);
    for (auto& k : keys)
        k = {sessionId(session(rng)), sampleTime(sample(rng))};
    t.Locate("id_nag;data", {keys[0].first, keys[0].second});  // index built outside the timing
    size_t n = 0, found = 0;
    for (auto _ : state) {
        const auto& k = keys[n++ & (keys.size() - 1)];
        found += t.Locate("id_nag;data", {k.first, k.second});
    }
    if (found != n)
        state.SkipWithError("a key was not found");
    state.SetItemsProcessed(int64_t(n));
}
BENCHMARK(BM_LocateGps);

// Keys in table order, as a window walking a session's samples asks them.
void BM_LocateGpsInOrder(benchmark::State& state)
{
    MemTable& t = sharedGps();
    t.Locate("id_nag;data", {sessionId(0), 0});
    int64_t n = 0;
    for (auto _ : state) {
        const int r = int(n++ % kRows);
        benchmark::DoNotOptimize(
            t.Locate("id_nag;data", {sessionId(r / kSamplesPerSession), sampleTime(r % kSamplesPerSession)}));
    }
    state.SetItemsProcessed(n);
}
BENCHMARK(BM_LocateGpsInOrder);

void BM_LocateGpsMissing(benchmark::State& state)
{
    MemTable& t = sharedGps();
    t.Locate("id_nag;data", {sessionId(0), 0});
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(t.Locate("id_nag;data", {sessionId(0), sampleTime(i++ % kSamplesPerSession) + 5}));
}
BENCHMARK(BM_LocateGpsMissing);

}  // namespace

BENCHMARK_MAIN();
