#pragma once
// Bare client API loops of the benchmarks: a failed call ends the run with
// the engine's first message.
#include <QSqlDriver>

#include <ibase.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "shell/data/ubazy.h"

namespace bench {

inline void Check(const ISC_STATUS* status)
{
    if (status[0] == 1 && status[1] != 0) {
        char buf[512];
        const ISC_STATUS* p = status;
        fb_interpret(buf, sizeof buf, &p);
        throw std::runtime_error(buf);
    }
}

inline double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The attachment of the data module's connection.
inline isc_db_handle Attachment()
{
    const QVariant h = DM->TransBrowse.Database().driver()->handle();
    return *static_cast<const isc_db_handle*>(h.constData());
}

// One sample as the plain fetch keeps it: the POZYCJE columns the analysis
// loads use.
struct RawSample {
    int32_t typ, obroty, accx, accy, gpsx, gpsy, gyro1, gyro2, sektor, dataSs, okrazenie, predkosc;
    double temp1, temp2;
};

// The plainest read of the samples of sessions: those columns of the rows
// in DATA_SS order, one prepared statement run per session in one
// read-only read-committed transaction, each row fetched into the
// statement's buffers and copied into a plain array of structs.  The array
// keeps its capacity from run to run, so that after the first the fetch
// pays for no growth at all.  Gives the number of rows.
inline size_t FetchSamples(const std::vector<int>& ids, std::vector<RawSample>& samples)
{
    samples.clear();
    isc_db_handle db = Attachment();
    ISC_STATUS_ARRAY st;
    isc_tr_handle tr = 0;
    static const char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed, isc_tpb_rec_version,
                               isc_tpb_nowait};
    isc_start_transaction(st, &tr, 1, &db, short(sizeof tpb), tpb);
    Check(st);
    isc_stmt_handle stmt = 0;
    isc_dsql_allocate_statement(st, &db, &stmt);
    Check(st);
    constexpr int kColumns = 14;
    char outMem[XSQLDA_LENGTH(kColumns)] = {};
    auto* out = reinterpret_cast<XSQLDA*>(outMem);
    out->version = SQLDA_VERSION1;
    out->sqln = kColumns;
    isc_dsql_prepare(st, &tr, &stmt, 0,
                     "select TYP_PROBKI, OBROTY, ACCX, ACCY, GPSX, GPSY, GYRO1, GYRO2, SEKTOR, DATA_SS, OKRAZENIE, "
                     "PREDKOSC_GPS, TEMP1, TEMP2 from POZYCJE where ID_NAGLOWKA = ? order by data_ss",
                     SQL_DIALECT_V6, out);
    Check(st);
    int32_t ints[12];
    double temps[2];
    short ind[kColumns];
    for (int c = 0; c < kColumns; ++c) {
        out->sqlvar[c].sqldata = c < 12 ? reinterpret_cast<char*>(&ints[c]) : reinterpret_cast<char*>(&temps[c - 12]);
        out->sqlvar[c].sqlind = &ind[c];
        out->sqlvar[c].sqltype |= 1;
    }
    char inMem[XSQLDA_LENGTH(1)] = {};
    auto* in = reinterpret_cast<XSQLDA*>(inMem);
    in->version = SQLDA_VERSION1;
    in->sqln = in->sqld = 1;
    int32_t param = 0;
    short paramInd = 0;
    in->sqlvar[0].sqltype = SQL_LONG | 1;
    in->sqlvar[0].sqllen = 4;
    in->sqlvar[0].sqldata = reinterpret_cast<char*>(&param);
    in->sqlvar[0].sqlind = &paramInd;

    for (int id : ids) {
        param = id;
        isc_dsql_execute(st, &tr, &stmt, SQL_DIALECT_V6, in);
        Check(st);
        while (isc_dsql_fetch(st, &stmt, SQL_DIALECT_V6, out) == 0) {
            auto v = [&](int c) { return ind[c] < 0 ? 0 : ints[c]; };
            auto f = [&](int c) { return ind[c] < 0 ? 0.0 : temps[c - 12]; };
            samples.push_back({v(0), v(1), v(2), v(3), v(4), v(5), v(6), v(7), v(8), v(9), v(10), v(11), f(12), f(13)});
        }
        isc_dsql_free_statement(st, &stmt, DSQL_close);
    }
    isc_dsql_free_statement(st, &stmt, DSQL_drop);
    isc_commit_transaction(st, &tr);
    Check(st);
    return samples.size();
}

}  // namespace bench
