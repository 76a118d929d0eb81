// Loading sessions for the analysis against the engine's own fetch speed.
//
// A database holds about a million POZYCJE rows: 64 simulated sessions of
// 1700 s each (GPS and plain format), written by the data-key simulator and
// stored by the session import.  Load: LoadSessions of all of them (memGPS,
// memMinMax and the session tree).  Raw fetch: the same statement run per
// session on the client API with one typed buffer, each row's values copied
// into local variables.  Each is timed several times; the medians are
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

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

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

using bench::Check;

// The plainest read of the same rows: one statement per session in a
// read-only read-committed transaction, fetched into the statement's own
// buffers and copied into local variables.
long long RawFetch(const std::vector<int>& ids, long long& checksum)
{
    const QVariant h = DM->TransBrowse.Database().driver()->handle();
    isc_db_handle db = *static_cast<const isc_db_handle*>(h.constData());
    ISC_STATUS_ARRAY st;
    long long rows = 0;
    for (int id : ids) {
        isc_tr_handle tr = 0;
        static const char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed, isc_tpb_rec_version,
                                   isc_tpb_nowait};
        isc_start_transaction(st, &tr, 1, &db, short(sizeof tpb), tpb);
        Check(st);
        isc_stmt_handle stmt = 0;
        isc_dsql_allocate_statement(st, &db, &stmt);
        Check(st);
        std::vector<char> outMem(XSQLDA_LENGTH(32));
        auto* out = reinterpret_cast<XSQLDA*>(outMem.data());
        out->version = SQLDA_VERSION1;
        out->sqln = 32;
        isc_dsql_prepare(st, &tr, &stmt, 0, "select * from POZYCJE where ID_NAGLOWKA = ? order by data_ss",
                         SQL_DIALECT_V6, out);
        Check(st);
        std::vector<char> buf(size_t(out->sqld) * 40);
        std::vector<short> ind(size_t(out->sqld));
        for (int c = 0; c < out->sqld; ++c) {
            out->sqlvar[c].sqldata = buf.data() + 40 * c;
            out->sqlvar[c].sqlind = &ind[size_t(c)];
            out->sqlvar[c].sqltype |= 1;
        }
        char inMem[XSQLDA_LENGTH(1)] = {};
        auto* in = reinterpret_cast<XSQLDA*>(inMem);
        in->version = SQLDA_VERSION1;
        in->sqln = in->sqld = 1;
        int32_t param = id;
        short paramInd = 0;
        in->sqlvar[0].sqltype = SQL_LONG | 1;
        in->sqlvar[0].sqllen = 4;
        in->sqlvar[0].sqldata = reinterpret_cast<char*>(&param);
        in->sqlvar[0].sqlind = &paramInd;
        isc_dsql_execute(st, &tr, &stmt, SQL_DIALECT_V6, in);
        Check(st);
        // Column positions by name, once.
        auto column = [&](const char* name) {
            for (int c = 0; c < out->sqld; ++c)
                if (std::string(out->sqlvar[c].aliasname, size_t(out->sqlvar[c].aliasname_length)) == name)
                    return c;
            throw std::runtime_error(name);
        };
        const int cInt[] = {column("TYP_PROBKI"), column("OBROTY"), column("ACCX"),    column("ACCY"),
                            column("GPSX"),       column("GPSY"),   column("GYRO1"),   column("GYRO2"),
                            column("SEKTOR"),     column("DATA_SS"), column("OKRAZENIE"), column("PREDKOSC_GPS")};
        const int cT1 = column("TEMP1"), cT2 = column("TEMP2");
        while (isc_dsql_fetch(st, &stmt, SQL_DIALECT_V6, out) == 0) {
            int32_t v[12];
            for (int k = 0; k < 12; ++k)
                v[k] = ind[size_t(cInt[k])] < 0 ? 0 : *reinterpret_cast<const int32_t*>(out->sqlvar[cInt[k]].sqldata);
            const double t1 = ind[size_t(cT1)] < 0 ? 0 : *reinterpret_cast<const double*>(out->sqlvar[cT1].sqldata);
            const double t2 = ind[size_t(cT2)] < 0 ? 0 : *reinterpret_cast<const double*>(out->sqlvar[cT2].sqldata);
            for (int32_t x : v)
                checksum += x;
            checksum += static_cast<long long>(t1 + t2);
            ++rows;
        }
        isc_dsql_free_statement(st, &stmt, DSQL_drop);
        isc_commit_transaction(st, &tr);
        Check(st);
    }
    return rows;
}

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

        long long checksum = 0;
        long long rows = RawFetch(ids, checksum);  // warms the page cache
        SessionTree tree;
        ProjectRecord record;
        std::vector<double> loads, raws;
        size_t bytes = 0;
        int loadedRows = 0;
        for (int run = 0; run < kRuns; ++run) {
            auto t0 = std::chrono::steady_clock::now();
            rows = RawFetch(ids, checksum);
            raws.push_back(Seconds(t0));

            dm.memGPS.Close();
            dm.memGPS.Open();
            const size_t before = dm.memGPS.MemoryBytes();
            t0 = std::chrono::steady_clock::now();
            LoadSessions(dm.memWybraneSesje, dm.memGPS, dm.memMinMax, tree, TreeFilters{}, record);
            loads.push_back(Seconds(t0));
            bytes = dm.memGPS.MemoryBytes() - before;
            loadedRows = dm.memGPS.RecordCount();
            std::printf("run %d: load %.3f s, raw fetch %.3f s\n", run + 1, loads.back(), raws.back());
        }
        if (loadedRows != rows)
            throw std::runtime_error("the load and the fetch saw different rows");
        const double load = Median(loads), raw = Median(raws);
        std::printf("%zu sessions, tree rows %d, checksum %lld\n", ids.size(), tree.memdane.RecordCount(), checksum);
        std::printf("load %.3f s, raw fetch %.3f s, ratio %.2f (%lld rows, %.1f bytes per sample)\n", load, raw,
                    load / raw, rows, double(bytes) / double(rows));
        DM = nullptr;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_sessionload: %s\n", e.what());
        return 1;
    }
    return 0;
}
