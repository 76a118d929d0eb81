// The session import against the engine's own speed.
//
// One run measures, each into a fresh embedded database with the program's
// schema:
//   import  the import engine (ImportSessions) on a simulated session that
//           fills a whole slot's ring (about 283,000 sample rows);
//   road    the program's own road for the same dump file ("Read from
//           files": session list, check list and header form accepted
//           programmatically, the progress window shown, offscreen);
//   raw     a bare loop of one prepared insert on the Firebird client API
//           storing the same POZYCJE rows from plain typed buffers;
// and the time of TDM::NextPositionId on a database holding 2,000,000
// POZYCJE rows.  The three stores run five times each, interleaved, and
// the best time of each counts (other work on the machine only slows a run
// down); the next-id time is the median of 11 calls.  The last line reads
//   import <s> s, road <s> s, raw client loop <s> s, ratio <r>, road ratio <r>, next id <ms> ms (<rows> rows)
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QSqlDriver>
#include <QTemporaryDir>

#include <ibase.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <stdexcept>
#include <vector>

#include <unistd.h>

#include "intake/headerstore.h"
#include "intake/intakeflow.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "intake/ulistazodczytu.h"
#include "intake/unaglowekRejestracji.h"
#include "chooser_support.h"
#include "clientapi.h"
#include "kromsim.h"
#include "platform/dialogs.h"
#include "shell/common/stale.h"
#include "shell/data/dbcreate.h"
#include "shell/data/fbbulk.h"
#include "shell/data/schemaupgrade.h"
#include "shell/data/ubazy.h"
#include "freshdb.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

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

// ------------------------------------------------------------- (a) import

double ImportEngine(int& rows)
{
    FreshDatabase db;
    BuildSessionList(DumpFolder(), {});
    ImportCallbacks cb;
    cb.confirmHeader = [](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                          FbTransaction& session) {
        d = 1;
        t = 1;
        return InsertHeader(serial, h, d, t, nullptr, &session);
    };
    const auto t0 = Clock::now();
    const ImportSummary sum = ImportSessions(DumpFolder(), cb);
    const double seconds = SecondsSince(t0);
    if (sum.imported != 1)
        throw std::runtime_error("the session was not imported");
    rows = db.Count("POZYCJE");
    return seconds;
}

// --------------------------------------------------------------- (b) road

double ProgramRoad(int expectedRows)
{
    FreshDatabase db;
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO, USUNIETY) values (1, 'Jan', 'Kowalski', 0)"));
    db.Exec(QStringLiteral("insert into KROM_KIEROWCY (ID_KIEROWCY, NR_SER_KROM) values (1, '77')"));
    db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (100001, 'Boruta', 0)"));
    SetProgramFolder(DumpFolder());
    platform::testing::SetScripted(true);
    platform::testing::OnModal(QStringLiteral("TfListaZOdczytu"),
                               [](QDialog& d) { static_cast<TfListaZOdczytu&>(d).SpeedButton3Click(); });
    platform::testing::OnModal(QStringLiteral("TfNaglowekRejestracji"), [](QDialog& d) {
        auto& form = static_cast<TfNaglowekRejestracji&>(d);
        choosertest::AnswerChooser(QStringLiteral("TfListaTorow"), 100001);
        form.Button2Click();
        form.SpeedButton3Click();
    });

    const auto t0 = Clock::now();
    ReadFromFiles();
    const double seconds = SecondsSince(t0);

    const QStringList messages = platform::testing::Messages();
    platform::testing::ClearModalHandlers();
    platform::testing::SetScripted(false);
    SetProgramFolder({});
    if (messages.isEmpty() || !messages.last().startsWith(QStringLiteral("Finished")) ||
        db.Count("POZYCJE") != expectedRows)
        throw std::runtime_error(("the road did not store the session: " + messages.join(u'|')).toStdString());
    return seconds;
}

// ----------------------------------------------------------- (c) raw loop

// One POZYCJE row in plain typed buffers.
struct RawRow {
    int32_t ints[16];  // ACCX ACCY GPSX GPSY GYRO1 GYRO2 ID_NAGLOWKA ID_POZYCJI OBROTY OKRAZENIE SEKTOR
                       // TYP_PROBKI WILGOTNOSC DATA_SS PREDKOSC_GPS (15 used)
    double temps[3];   // TEMP_OTOCZENIA TEMP1 TEMP2
    char data[16];
    short dataLength;
};

// The POZYCJE rows of the dump, as the import's sample writer makes them.
class CollectingSink final : public SessionRowSink {
public:
    std::vector<RawRow> rows;
    void WritePosition(const PositionRow& r) override
    {
        RawRow raw{};
        const int32_t ints[15] = {r.accx,      r.accy,   r.gpsx,      r.gpsy,       r.gyro1,
                                  r.gyro2,     r.idNaglowka, r.idPozycji, r.obroty, r.okrazenie,
                                  r.sektor,    r.typProbki, r.wilgotnosc, r.dataSs, r.predkoscGps};
        std::copy(std::begin(ints), std::end(ints), raw.ints);
        raw.temps[0] = r.tempOtoczenia;
        raw.temps[1] = r.temp1;
        raw.temps[2] = r.temp2;
        const QByteArray text = r.data.toLatin1();
        raw.dataLength = static_cast<short>(std::min<qsizetype>(text.size(), sizeof raw.data));
        std::memcpy(raw.data, text.constData(), static_cast<size_t>(raw.dataLength));
        rows.push_back(raw);
    }
    void WriteLap(const LapRow&) override {}
    void WriteSector(const SectorRow&) override {}
    void WriteFirstLapStart(int, int) override {}
};

std::vector<RawRow> RowsOfDump()
{
    KeyDumpFile file;
    if (!file.Open(DumpFolder() + QStringLiteral("/dane1_77.bin")))
        throw std::runtime_error(file.ErrorText().toStdString());
    const SessionHeaderRecord header = file.ReadHeader(1);
    SessionSampleWriter writer;
    writer.BeginSession(1, 1, header.RaceIndex());
    CollectingSink sink;
    SampleRing ring(file, header.StartOffset());
    uint8_t record[kDumpRecordSize];
    const SampleFormat format = header.IsGpsFormat() ? SampleFormat::Gps : SampleFormat::Plain;
    for (;;) {
        ring.Next(record);
        const bool ended = format == SampleFormat::Gps
                               ? writer.WriteGpsSample(record, sink) || writer.WriteGpsSample(record + kSampleRecordSize, sink)
                               : writer.WritePlainSample(record, sink) ||
                                     writer.WritePlainSample(record + kSampleRecordSize, sink);
        if (ended)
            break;
    }
    return std::move(sink.rows);
}

using bench::Check;

double RawClientLoop(const std::vector<RawRow>& rows)
{
    FreshDatabase db;
    QSqlDatabase conn = db.dm->TransEdit.Database();
    isc_db_handle attachment = *static_cast<const isc_db_handle*>(conn.driver()->handle().constData());

    // Parameters in the order of the statement; each points into one row.
    static const char* const kColumns[19] = {"ACCX",      "ACCY",    "GPSX",       "GPSY",       "GYRO1",
                                             "GYRO2",     "ID_NAGLOWKA", "ID_POZYCJI", "OBROTY", "OKRAZENIE",
                                             "SEKTOR",    "TYP_PROBKI", "WILGOTNOSC", "DATA_SS", "PREDKOSC_GPS",
                                             "TEMP_OTOCZENIA", "TEMP1", "TEMP2",    "DATA"};
    std::string sql = "insert into POZYCJE (";
    for (int i = 0; i < 19; ++i)
        sql += std::string(i ? ", " : "") + kColumns[i];
    sql += ") values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

    const auto t0 = Clock::now();
    ISC_STATUS_ARRAY status;
    isc_tr_handle tr = 0;
    static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency, isc_tpb_wait};
    isc_start_transaction(status, &tr, 1, &attachment, short(sizeof tpb), tpb);
    Check(status);
    isc_stmt_handle stmt = 0;
    isc_dsql_allocate_statement(status, &attachment, &stmt);
    Check(status);
    isc_dsql_prepare(status, &tr, &stmt, 0, sql.c_str(), SQL_DIALECT_V6, nullptr);
    Check(status);

    std::vector<char> daMemory(XSQLDA_LENGTH(19), 0);
    auto* da = reinterpret_cast<XSQLDA*>(daMemory.data());
    da->version = SQLDA_VERSION1;
    da->sqln = da->sqld = 19;
    RawRow current{};
    short nullFlag = 0;
    for (int i = 0; i < 19; ++i) {
        XSQLVAR& v = da->sqlvar[i];
        v.sqlind = &nullFlag;
        if (i < 15) {
            v.sqltype = SQL_LONG + 1;
            v.sqllen = 4;
            v.sqldata = reinterpret_cast<char*>(&current.ints[i]);
        } else if (i < 18) {
            v.sqltype = SQL_DOUBLE + 1;
            v.sqllen = 8;
            v.sqldata = reinterpret_cast<char*>(&current.temps[i - 15]);
        } else {
            v.sqltype = SQL_TEXT + 1;
            v.sqldata = current.data;
        }
    }
    for (const RawRow& row : rows) {
        current = row;
        da->sqlvar[18].sqllen = row.dataLength;
        isc_dsql_execute(status, &tr, &stmt, SQL_DIALECT_V6, da);
        Check(status);
    }
    isc_dsql_free_statement(status, &stmt, DSQL_drop);
    isc_commit_transaction(status, &tr);
    Check(status);
    const double seconds = SecondsSince(t0);
    if (db.Count("POZYCJE") != static_cast<int>(rows.size()))
        throw std::runtime_error("the raw loop did not store every row");
    return seconds;
}

// ------------------------------------------------------------ (d) next id

double NextIdMilliseconds(int& rows)
{
    constexpr int kRows = 2000000;
    FreshDatabase db;
    {
        // A loop inside the engine fills the table fastest.
        QSqlDatabase conn = db.dm->TransEdit.Database();
        isc_db_handle attachment = *static_cast<const isc_db_handle*>(conn.driver()->handle().constData());
        const std::string fill = "execute block as declare i integer = 1; begin while (i <= " +
                                 std::to_string(kRows) +
                                 ") do begin insert into POZYCJE (ID_POZYCJI, ID_NAGLOWKA, DATA_SS, OBROTY) "
                                 "values (:i, :i / 300000 + 1, mod(:i, 300000) * 10, 5000); i = i + 1; end end";
        ISC_STATUS_ARRAY status;
        isc_tr_handle tr = 0;
        static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency, isc_tpb_wait};
        isc_start_transaction(status, &tr, 1, &attachment, short(sizeof tpb), tpb);
        Check(status);
        isc_dsql_execute_immediate(status, &attachment, &tr, 0, fill.c_str(), SQL_DIALECT_V6, nullptr);
        Check(status);
        isc_commit_transaction(status, &tr);
        Check(status);
    }
    rows = db.Count("POZYCJE");
    std::vector<double> ms;
    for (int i = 0; i < 11; ++i) {
        const auto t0 = Clock::now();
        const int next = DM->NextPositionId();
        ms.push_back(SecondsSince(t0) * 1000.0);
        if (next != kRows + 1)
            throw std::runtime_error("NextPositionId gave a wrong id");
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (::geteuid() != 0 && qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) {
        const QString lock = QDir::tempPath() + QStringLiteral("/firebird-%1").arg(::geteuid());
        QDir().mkpath(lock);
        qputenv("FIREBIRD_LOCK", lock.toLocal8Bit());
    }
    QApplication app(argc, argv);
    try {
        DumpFolder();
        const std::vector<RawRow> rows = RowsOfDump();
        constexpr int kRuns = 5;
        double import = 1e9, road = 1e9, raw = 1e9;
        int importedRows = 0;
        for (int run = 1; run <= kRuns; ++run) {
            const double a = ImportEngine(importedRows);
            const double c = RawClientLoop(rows);
            const double b = ProgramRoad(importedRows);
            std::printf("run %d: import %.2f s, road %.2f s, raw client loop %.2f s\n", run, a, b, c);
            std::fflush(stdout);
            import = std::min(import, a);
            road = std::min(road, b);
            raw = std::min(raw, c);
        }
        if (importedRows != static_cast<int>(rows.size()))
            throw std::runtime_error("the import and the raw loop stored different row counts");
        int bigRows = 0;
        const double nextId = NextIdMilliseconds(bigRows);
        std::printf("import %.2f s, road %.2f s, raw client loop %.2f s, ratio %.2f, road ratio %.2f, next id %.2f ms (%d rows)\n",
                    import, road, raw, import / raw, road / raw, nextId, bigRows);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_import: %s\n", e.what());
        return 1;
    }
    return 0;
}
