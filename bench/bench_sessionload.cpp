// Loading sessions for the analysis against the engine's own fetch speed.
//
// A database holds about a million POZYCJE rows: 64 simulated sessions of
// 1700 s each (GPS and plain format), written by the data-key simulator and
// stored by the session import.  Load: LoadSessions of all of them (memGPS,
// memMinMax and the session tree).  Raw fetch: the same columns of the same
// rows in the same order on the bare client API, into a plain array of
// structs.  The two run interleaved, five times each; the medians are
// printed with the memory memGPS holds per sample.
//
// Usage: bench_sessionload [folder]  -- with a folder, the database is kept
// there and reused by later runs.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QTemporaryDir>

#include <ibase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include <unistd.h>

#include "clientapi.h"
#include "analysis/sessionload.h"
#include "analysis/sessiontree.h"
#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "kromsim.h"
#include "shell/data/dbcreate.h"
#include "shell/data/schemaupgrade.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"

namespace {

constexpr int kDumps = 4;
constexpr int kSessionsPerDump = 16;
constexpr int kSessionSeconds = 1700;
constexpr int kRuns = 5;

void EnsureLockFolder()
{
    if (::geteuid() != 0 && qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) {
        const QString lock = QDir::tempPath() + QStringLiteral("/firebird-%1").arg(::geteuid());
        QDir().mkpath(lock);
        qputenv("FIREBIRD_LOCK", lock.toLocal8Bit());
    }
}

// Simulates the sessions into dump files and imports them.
void FillDatabase(const QString& dumpFolder)
{
    for (int k = 0; k < kDumps; ++k) {
        kromsim::DumpOptions dump;
        dump.slot = k + 1;
        dump.serial = QString::number(77 + k);
        for (int s = 0; s < kSessionsPerDump; ++s) {
            kromsim::SessionOptions o;
            o.format = s % 4 == 3 ? SampleFormat::Plain : SampleFormat::Gps;
            o.seconds = kSessionSeconds;
            o.seed = uint32_t(100 * k + s + 1);
            dump.sessions.push_back(o);
        }
        QString error;
        if (kromsim::WriteDumpFile(dumpFolder, dump, &error).fileName.isEmpty())
            throw std::runtime_error(error.toStdString());
    }
    BuildSessionList(dumpFolder, {});
    ImportCallbacks cb;
    cb.confirmHeader = [](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                          FbTransaction& session) {
        d = serial.toInt() - 76;  // one driver per key: the files share their session times
        t = 1;
        return InsertHeader(serial, h, d, t, nullptr, &session);
    };
    QString last;
    cb.message = [&](const QString& m) { last = m; };
    const ImportSummary sum = ImportSessions(dumpFolder, cb);
    if (sum.imported != kDumps * kSessionsPerDump)
        throw std::runtime_error(QStringLiteral("%1 of %2 sessions imported, %3 failed: %4")
                                     .arg(sum.imported)
                                     .arg(kDumps * kSessionsPerDump)
                                     .arg(sum.failed)
                                     .arg(last)
                                     .toStdString());
}

std::vector<int> SessionIds()
{
    std::vector<int> ids;
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select ID_NAG from NAGLOWKI order by ID_NAG"));
    for (q.Open(); !q.Eof(); q.Next())
        ids.push_back(q.FieldByName(QStringLiteral("ID_NAG")).AsInteger());
    return ids;
}

using bench::Median;
using bench::RawSample;
using bench::Seconds;

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    EnsureLockFolder();
    try {
        QTemporaryDir temp;
        const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/KROMDB.GDB");
        const bool fresh = !QFileInfo::exists(path);
        QString error;
        if (fresh && !CreateDatabaseFile(path, &error))
            throw std::runtime_error(error.toStdString());
        TDM dm;
        DM = &dm;
        if (!dm.OpenDatabase(path))
            throw std::runtime_error(dm.LastOpenError().toStdString());
        if (fresh) {
            UpgradeSchema(dm);
            QTemporaryDir dumps;
            const auto t0 = std::chrono::steady_clock::now();
            FillDatabase(dumps.path());
            std::printf("filled by the import in %.1f s\n", Seconds(t0));
        }
        const std::vector<int> ids = SessionIds();
        for (int id : ids) {
            dm.memWybraneSesje.Open();
            dm.memWybraneSesje.Append();
            dm.memWybraneSesje.FieldByName(QStringLiteral("id_nag")).SetAsInteger(id);
            dm.memWybraneSesje.Post();
        }

        std::vector<RawSample> raw;
        bench::FetchSamples(ids, raw);  // warms the page cache and sizes the array
        SessionTree tree;
        ProjectRecord record;
        std::vector<double> loads, raws;
        size_t bytes = 0;
        long long rows = 0;
        int loadedRows = 0;
        // Interleaved, run after run: both meet the same state of the machine.
        for (int run = 0; run < kRuns; ++run) {
            auto t0 = std::chrono::steady_clock::now();
            rows = static_cast<long long>(bench::FetchSamples(ids, raw));
            raws.push_back(Seconds(t0));

            dm.memGPS.Close();
            dm.memGPS.Open();
            t0 = std::chrono::steady_clock::now();
            LoadSessions(dm.memWybraneSesje, dm.memGPS, dm.memMinMax, tree, TreeFilters{}, record);
            loads.push_back(Seconds(t0));
            bytes = dm.memGPS.MemoryBytes();
            loadedRows = dm.memGPS.RecordCount();
            std::printf("run %d: load %.3f s, raw fetch %.3f s\n", run + 1, loads.back(), raws.back());
        }
        if (loadedRows != rows)
            throw std::runtime_error("the load and the fetch saw different rows");
        const double load = Median(loads), fetch = Median(raws);
        std::printf("%zu sessions, tree rows %d\n", ids.size(), tree.memdane.RecordCount());
        std::printf("load %.3f s, raw fetch %.3f s, ratio %.2f (%lld rows, %.1f bytes per sample)\n", load, fetch,
                    load / fetch, rows, double(bytes) / double(rows));
        DM = nullptr;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_sessionload: %s\n", e.what());
        return 1;
    }
    return 0;
}
