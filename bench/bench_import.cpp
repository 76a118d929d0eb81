// The session import against the plainest way to store the same rows.
//
// Import: a simulated session filling a whole slot's ring (about 283,000
// sample rows) through BuildSessionList and ImportSessions into a fresh
// embedded database.  Bare loop: the same POZYCJE rows inserted by one
// prepared QSqlQuery with positional binds in one transaction, into another
// fresh database.  Both run once per iteration; the ratio is printed at the
// end.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include <unistd.h>

#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "kromsim.h"
#include "shell/data/dbcreate.h"
#include "shell/data/schemaupgrade.h"
#include "shell/data/ubazy.h"
#include "freshdb.h"

namespace {

double g_importSeconds = 0;
double g_bareSeconds = 0;
int g_rows = 0;


// The dump file of the benchmark, written once.
const QString& DumpFolder()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        QString error;
        if (kromsim::WriteDumpFile(dir.path(), kromsim::FullSlotDump(1, 77), &error).fileName.isEmpty())
            throw std::runtime_error(error.toStdString());
        return dir.path();
    }();
    return path;
}

// The POZYCJE rows of the dump, as the import's sample writer makes them.
class CollectingSink final : public SessionRowSink {
public:
    std::vector<PositionRow> rows;
    void WritePosition(const PositionRow& row) override { rows.push_back(row); }
    void WriteLap(const LapRow&) override {}
    void WriteSector(const SectorRow&) override {}
    void WriteFirstLapStart(int, int) override {}
};

std::vector<PositionRow> RowsOfDump()
{
    const QString path = DumpFolder() + QStringLiteral("/dane1_77.bin");
    KeyDumpFile file;
    if (!file.Open(path))
        throw std::runtime_error(file.ErrorText().toStdString());
    const SessionHeaderRecord header = file.ReadHeader(1);
    SessionSampleWriter writer;
    writer.BeginSession(1, 1, header.RaceIndex());
    CollectingSink sink;
    SampleRing ring(file, header.StartOffset());
    uint8_t record[kDumpRecordSize];
    for (;;) {
        ring.Next(record);
        if (writer.WriteGpsSample(record, sink) || writer.WriteGpsSample(record + kSampleRecordSize, sink))
            break;
    }
    return std::move(sink.rows);
}

void BM_ImportSessions(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        FreshDatabase db;
        BuildSessionList(DumpFolder(), {});
        ImportCallbacks cb;
        cb.confirmHeader = [](const QString& serial, const SessionHeaderRecord& h, int& d, int& t) {
            d = 1;
            t = 1;
            return InsertHeader(serial, h, d, t);
        };
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        const ImportSummary sum = ImportSessions(DumpFolder(), cb);
        g_importSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.PauseTiming();
        if (sum.imported != 1)
            state.SkipWithError("the session was not imported");
        TIBQuery q(DM->TransBrowse);
        q.SetSQL(QStringLiteral("select count(*) as n from POZYCJE"));
        q.Open();
        g_rows = q.FieldByName(QStringLiteral("n")).AsInteger();
        q.Close();
        state.ResumeTiming();
    }
    state.counters["rows"] = g_rows;
    state.counters["rows/s"] = g_rows / g_importSeconds;
}

void BM_BarePreparedInserts(benchmark::State& state)
{
    const std::vector<PositionRow> rows = RowsOfDump();
    for (auto _ : state) {
        state.PauseTiming();
        FreshDatabase db;
        QSqlDatabase conn = DM->TransEdit.Database();
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        conn.transaction();
        QSqlQuery q(conn);
        q.prepare(QStringLiteral(
            "insert into POZYCJE (ACCX, ACCY, DATA, GPSX, GPSY, GYRO1, GYRO2, ID_NAGLOWKA, ID_POZYCJI, OBROTY, "
            "OKRAZENIE, SEKTOR, TEMP_OTOCZENIA, TEMP1, TEMP2, TYP_PROBKI, WILGOTNOSC, DATA_SS, PREDKOSC_GPS) "
            "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const PositionRow& r : rows) {
            q.bindValue(0, r.accx);
            q.bindValue(1, r.accy);
            q.bindValue(2, r.data);
            q.bindValue(3, r.gpsx);
            q.bindValue(4, r.gpsy);
            q.bindValue(5, r.gyro1);
            q.bindValue(6, r.gyro2);
            q.bindValue(7, r.idNaglowka);
            q.bindValue(8, r.idPozycji);
            q.bindValue(9, r.obroty);
            q.bindValue(10, r.okrazenie);
            q.bindValue(11, r.sektor);
            q.bindValue(12, r.tempOtoczenia);
            q.bindValue(13, r.temp1);
            q.bindValue(14, r.temp2);
            q.bindValue(15, r.typProbki);
            q.bindValue(16, r.wilgotnosc);
            q.bindValue(17, r.dataSs);
            q.bindValue(18, r.predkoscGps);
            if (!q.exec()) {
                state.SkipWithError(q.lastError().text().toStdString().c_str());
                break;
            }
        }
        q.finish();
        conn.commit();
        g_bareSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.counters["rows"] = static_cast<double>(rows.size());
    state.counters["rows/s"] = rows.size() / g_bareSeconds;
}

BENCHMARK(BM_ImportSessions)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BarePreparedInserts)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_importSeconds > 0 && g_bareSeconds > 0)
        std::printf("import %.2f s, bare prepared inserts %.2f s, ratio %.2f (%d rows)\n", g_importSeconds,
                    g_bareSeconds, g_importSeconds / g_bareSeconds, g_rows);
    return 0;
}
