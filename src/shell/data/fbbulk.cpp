#include "shell/data/fbbulk.h"

#include <QSqlDriver>
#include <QVariant>

#include <ibase.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

static_assert(std::is_same_v<FB_API_HANDLE, unsigned int>, "client API handles are held as unsigned int");

namespace {

// The error codes of a status vector, in order (the arguments between them
// skipped).
std::vector<long> StatusCodes(const ISC_STATUS* status)
{
    std::vector<long> codes;
    for (const ISC_STATUS* p = status; *p != isc_arg_end;) {
        const ISC_STATUS kind = *p++;
        if (kind == isc_arg_gds)
            codes.push_back(static_cast<long>(*p));
        p += kind == isc_arg_cstring ? 2 : 1;
    }
    return codes;
}

// The engine's message of a failed call: its lines joined by line breaks.
[[noreturn, gnu::cold]] void ThrowStatus(const ISC_STATUS* status)
{
    std::vector<long> codes = StatusCodes(status);
    const ISC_STATUS* p = status;
    char buf[1024];
    QString text;
    while (fb_interpret(buf, sizeof buf, &p) > 0) {
        if (!text.isEmpty())
            text += u'\n';
        text += QString::fromUtf8(buf);
    }
    if (text.isEmpty())
        text = QStringLiteral("Database error");
    throw DatabaseError(text.toStdString(), std::move(codes));
}

inline void Check(const ISC_STATUS* status)
{
    if (status[0] == 1 && status[1] != 0) [[unlikely]]
        ThrowStatus(status);
}

[[noreturn, gnu::cold]] void Fail(const char* text) { throw DatabaseError(text); }

// Day 0 of the program's date-time convention (30 December 1899) as a
// Modified Julian Day, the engine's day count.
constexpr int kDayZeroMjd = 15018;
constexpr double kTicksPerDay = 86400.0 * ISC_TIME_SECONDS_PRECISION;

ISC_TIMESTAMP ToIscTimestamp(TDateTime value)
{
    double whole = std::trunc(value);
    int64_t ticks = std::llround(std::fabs(value - whole) * kTicksPerDay);
    if (ticks >= int64_t(kTicksPerDay)) {  // rounding reached the next midnight
        ticks -= int64_t(kTicksPerDay);
        whole += 1;
    }
    ISC_TIMESTAMP ts;
    ts.timestamp_date = ISC_DATE(int64_t(whole) + kDayZeroMjd);
    ts.timestamp_time = ISC_TIME(ticks);
    return ts;
}

TDateTime FromIscTimestamp(ISC_DATE date, ISC_TIME time)
{
    const double days = double(int64_t(date) - kDayZeroMjd);
    const double frac = double(time) / kTicksPerDay;
    // Before day 0 the fraction is stored with the sign of the whole part.
    return days >= 0 ? days + frac : days - frac;
}

// An XSQLDA for n variables in a buffer of its own.
struct Sqlda {
    std::vector<char> mem;
    XSQLDA* p = nullptr;

    void resize(int n)
    {
        mem.assign(XSQLDA_LENGTH(std::max(n, 1)), 0);
        p = reinterpret_cast<XSQLDA*>(mem.data());
        p->version = SQLDA_VERSION1;
        p->sqln = short(std::max(n, 1));
    }
};

double Pow10(int e)
{
    static const double table[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    return e >= 0 && e <= 18 ? table[e] : std::pow(10.0, e);
}

}  // namespace

// ------------------------------------------------------------- FbTransaction

FbTransaction::FbTransaction(QSqlDatabase db) : qdb_(std::move(db)) {}

FbTransaction::~FbTransaction() { Rollback(); }

void FbTransaction::start(const char* tpb, short length)
{
    if (tr_ != 0)
        Fail("Transaction is already active");
    if (!qdb_.isOpen())
        Fail("Database is not open");
    // The QIBASE driver hands out its isc_db_handle; Qt may name the type
    // by what the typedef stands for ("uint").
    const QVariant h = qdb_.driver()->handle();
    if (qdb_.driverName() != QLatin1String("QIBASE") || !h.isValid() ||
        h.metaType().sizeOf() != qsizetype(sizeof(isc_db_handle)))
        Fail("The connection is not a Firebird connection");
    db_ = *static_cast<const isc_db_handle*>(h.constData());
    if (db_ == 0)
        Fail("Database is not open");
    ISC_STATUS_ARRAY status;
    isc_tr_handle tr = 0;
    isc_start_transaction(status, &tr, 1, &db_, length, tpb);
    Check(status);
    tr_ = tr;
    ++generation_;
}

void FbTransaction::StartRead()
{
    static const char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed, isc_tpb_rec_version,
                               isc_tpb_nowait};
    start(tpb, sizeof tpb);
}

void FbTransaction::StartWrite(int lockTimeoutSeconds)
{
    char tpb[16];
    short n = 0;
    tpb[n++] = isc_tpb_version3;
    tpb[n++] = isc_tpb_write;
    tpb[n++] = isc_tpb_concurrency;
    tpb[n++] = isc_tpb_wait;
    if (lockTimeoutSeconds > 0) {
        tpb[n++] = isc_tpb_lock_timeout;
        tpb[n++] = 4;
        for (int i = 0; i < 4; ++i)  // little-endian, as every parameter block
            tpb[n++] = char((uint32_t(lockTimeoutSeconds) >> (8 * i)) & 0xFF);
    }
    start(tpb, n);
}

void FbTransaction::Commit()
{
    if (tr_ == 0)
        Fail("Transaction is not active");
    ISC_STATUS_ARRAY status;
    isc_tr_handle tr = tr_;
    if (isc_commit_transaction(status, &tr) == 0) {
        tr_ = 0;
        return;
    }
    // The failed transaction still holds its locks on the server: end it here.
    ISC_STATUS_ARRAY ignored;
    isc_rollback_transaction(ignored, &tr);
    tr_ = 0;
    ThrowStatus(status);
}

void FbTransaction::Rollback()
{
    if (tr_ == 0)
        return;
    ISC_STATUS_ARRAY status;
    isc_tr_handle tr = tr_;
    isc_rollback_transaction(status, &tr);
    tr_ = 0;
}

// --------------------------------------------------------------- FbStatement

namespace {

// How a result column is read.
enum class Kind : uint8_t { Short, Long, Int64, Float, Double, Text, Varying, Timestamp, Date, Time, Blob, Boolean, Other };

struct OutCol {
    Kind kind = Kind::Other;
    short scale = 0;
    short len = 0;
    const char* data = nullptr;
    const short* ind = nullptr;
};

// Storage of one input variable.
struct InVar {
    union {
        int32_t i32;
        int64_t i64;
        double f64;
        ISC_TIMESTAMP ts;
        ISC_QUAD blobId;
    } num{};
    std::string text;
    QByteArray blob;
    bool pendingBlob = false;
    short ind = -1;
    short described = 0;  // the engine's type of the marker
};

}  // namespace

struct FbStatement::Impl {
    FbTransaction* tr = nullptr;
    isc_stmt_handle stmt = 0;
    Sqlda in, out;
    std::vector<InVar> ins;
    std::vector<std::vector<int>> paramVars;  // per parameter: its variables
    QStringList names;
    std::vector<char> outData;
    std::vector<short> outInd;
    std::vector<OutCol> outs;
    // Result columns bound to caller arrays (BindInts, BindDoubles).
    struct Bound {
        int column;
        char* base;
        size_t size;
    };
    std::vector<Bound> bound;
    int stmtType = 0;
    bool cursorOpen = false;

    isc_tr_handle* trHandle()
    {
        if (!tr->Active())
            Fail("Transaction is not active");
        return &tr->handle();
    }

    XSQLVAR& var(int v) { return in.p->sqlvar[v]; }

    template <class F>
    void each(int param, F&& f)
    {
        if (param < 0 || param >= int(paramVars.size())) [[unlikely]]
            Fail("Parameter index out of range");
        for (int v : paramVars[size_t(param)]) {
            XSQLVAR& x = var(v);
            InVar& s = ins[size_t(v)];
            s.pendingBlob = false;
            s.ind = 0;
            x.sqlind = &s.ind;
            x.sqlscale = 0;
            x.sqlsubtype = 0;
            f(x, s);
        }
    }

    void writeBlobs()
    {
        for (size_t v = 0; v < ins.size(); ++v) {
            InVar& s = ins[v];
            if (!s.pendingBlob)
                continue;
            ISC_STATUS_ARRAY status;
            isc_blob_handle blob = 0;
            s.num.blobId = ISC_QUAD{};
            isc_create_blob2(status, &tr->attachment(), trHandle(), &blob, &s.num.blobId, 0, nullptr);
            Check(status);
            const char* p = s.blob.constData();
            qsizetype left = s.blob.size();
            while (left > 0) {
                const unsigned short n = static_cast<unsigned short>(std::min<qsizetype>(left, 32768));
                if (isc_put_segment(status, &blob, n, p) != 0) {
                    ISC_STATUS_ARRAY ignored;
                    isc_cancel_blob(ignored, &blob);
                    ThrowStatus(status);
                }
                p += n;
                left -= n;
            }
            isc_close_blob(status, &blob);
            Check(status);
        }
    }

    XSQLDA* inputs() { return in.p->sqld > 0 ? in.p : nullptr; }

    const OutCol& col(int c) const
    {
        if (c < 0 || c >= int(outs.size())) [[unlikely]]
            Fail("Column index out of range");
        return outs[size_t(c)];
    }
};

FbStatement::FbStatement(FbTransaction& transaction, const QString& sql) : d(std::make_unique<Impl>())
{
    d->tr = &transaction;
    ISC_STATUS_ARRAY status;
    isc_tr_handle* tr = d->trHandle();
    PositionalSql ps = ToPositionalSql(sql);
    d->names = std::move(ps.names);
    const QByteArray text = ps.text.toUtf8();

    isc_dsql_allocate_statement(status, &transaction.attachment(), &d->stmt);
    Check(status);
    try {
        d->out.resize(24);
        isc_dsql_prepare(status, tr, &d->stmt, 0, text.constData(), SQL_DIALECT_V6, d->out.p);
        Check(status);
        if (d->out.p->sqld > d->out.p->sqln) {
            d->out.resize(d->out.p->sqld);
            isc_dsql_describe(status, &d->stmt, SQL_DIALECT_V6, d->out.p);
            Check(status);
        }
        d->in.resize(8);
        isc_dsql_describe_bind(status, &d->stmt, SQL_DIALECT_V6, d->in.p);
        Check(status);
        if (d->in.p->sqld > d->in.p->sqln) {
            d->in.resize(d->in.p->sqld);
            isc_dsql_describe_bind(status, &d->stmt, SQL_DIALECT_V6, d->in.p);
            Check(status);
        }

        const char item = isc_info_sql_stmt_type;
        char info[16] = {};
        isc_dsql_sql_info(status, &d->stmt, 1, &item, sizeof info, info);
        Check(status);
        if (info[0] == isc_info_sql_stmt_type) {
            const short len = short(isc_vax_integer(info + 1, 2));
            d->stmtType = int(isc_vax_integer(info + 3, len));
        }
    } catch (...) {
        ISC_STATUS_ARRAY ignored;
        isc_dsql_free_statement(ignored, &d->stmt, DSQL_drop);
        throw;
    }

    // Inputs: every variable starts NULL; named parameters map to the
    // markers that use them.
    const int nin = d->in.p->sqld;
    d->ins.resize(size_t(nin));
    for (int v = 0; v < nin; ++v) {
        XSQLVAR& x = d->var(v);
        d->ins[size_t(v)].described = short(x.sqltype & ~1);
        x.sqltype = short(SQL_LONG | 1);
        x.sqllen = 4;
        x.sqlscale = 0;
        x.sqldata = reinterpret_cast<char*>(&d->ins[size_t(v)].num);
        x.sqlind = &d->ins[size_t(v)].ind;
    }
    if (d->names.isEmpty()) {
        for (int v = 0; v < nin; ++v)
            d->paramVars.push_back({v});
    } else {
        if (int(ps.occurrences.size()) != nin) {
            ISC_STATUS_ARRAY ignored;
            isc_dsql_free_statement(ignored, &d->stmt, DSQL_drop);
            Fail("A statement with :NAME parameters cannot also use \"?\" markers");
        }
        d->paramVars.resize(size_t(d->names.size()));
        for (int v = 0; v < nin; ++v)
            d->paramVars[size_t(ps.occurrences[size_t(v)])].push_back(v);
    }

    // Outputs: one block of buffers, every column asked to report NULL.
    const int nout = d->out.p->sqld;
    size_t total = 0;
    std::vector<size_t> offsets(static_cast<size_t>(nout), 0);
    for (int c = 0; c < nout; ++c) {
        XSQLVAR& x = d->out.p->sqlvar[c];
        size_t size = size_t(x.sqllen) + ((x.sqltype & ~1) == SQL_VARYING ? 2 : 0);
        offsets[size_t(c)] = total;
        total += (size + 7) & ~size_t(7);
    }
    d->outData.assign(std::max<size_t>(total, 8), 0);
    d->outInd.assign(size_t(nout), -1);
    d->outs.resize(size_t(nout));
    for (int c = 0; c < nout; ++c) {
        XSQLVAR& x = d->out.p->sqlvar[c];
        x.sqltype |= 1;
        x.sqldata = d->outData.data() + offsets[size_t(c)];
        x.sqlind = &d->outInd[size_t(c)];
        OutCol& o = d->outs[size_t(c)];
        o.data = x.sqldata;
        o.ind = x.sqlind;
        o.scale = x.sqlscale;
        o.len = x.sqllen;
        switch (x.sqltype & ~1) {
        case SQL_SHORT: o.kind = Kind::Short; break;
        case SQL_LONG: o.kind = Kind::Long; break;
        case SQL_INT64: o.kind = Kind::Int64; break;
        case SQL_FLOAT: o.kind = Kind::Float; break;
        case SQL_DOUBLE:
        case SQL_D_FLOAT: o.kind = Kind::Double; break;
        case SQL_TEXT: o.kind = Kind::Text; break;
        case SQL_VARYING: o.kind = Kind::Varying; break;
        case SQL_TIMESTAMP: o.kind = Kind::Timestamp; break;
        case SQL_TYPE_DATE: o.kind = Kind::Date; break;
        case SQL_TYPE_TIME: o.kind = Kind::Time; break;
        case SQL_BLOB: o.kind = Kind::Blob; break;
        case SQL_BOOLEAN: o.kind = Kind::Boolean; break;
        default: o.kind = Kind::Other; break;
        }
    }
}

FbStatement::~FbStatement()
{
    ISC_STATUS_ARRAY ignored;
    if (d->stmt != 0)
        isc_dsql_free_statement(ignored, &d->stmt, DSQL_drop);
}

FbTransaction& FbStatement::Transaction() const { return *d->tr; }

int FbStatement::ParamCount() const { return int(d->paramVars.size()); }

int FbStatement::ParamIndex(const QString& name) const
{
    return int(d->names.indexOf(name.trimmed().toUpper()));
}

void FbStatement::SetNull(int param)
{
    d->each(param, [](XSQLVAR&, InVar& s) { s.ind = -1; });
}

void FbStatement::SetInt(int param, int32_t value)
{
    d->each(param, [&](XSQLVAR& x, InVar& s) {
        if (s.described == SQL_BOOLEAN) {  // the engine converts no number to a boolean
            s.num.i64 = 0;
            s.num.i32 = value != 0;
            x.sqltype = short(SQL_BOOLEAN | 1);
            x.sqllen = 1;
        } else {
            s.num.i32 = value;
            x.sqltype = short(SQL_LONG | 1);
            x.sqllen = 4;
        }
        x.sqldata = reinterpret_cast<char*>(&s.num);
    });
}

void FbStatement::SetInt64(int param, int64_t value)
{
    d->each(param, [&](XSQLVAR& x, InVar& s) {
        s.num.i64 = value;
        x.sqltype = short(SQL_INT64 | 1);
        x.sqllen = 8;
        x.sqldata = reinterpret_cast<char*>(&s.num);
    });
}

void FbStatement::SetDouble(int param, double value)
{
    d->each(param, [&](XSQLVAR& x, InVar& s) {
        s.num.f64 = value;
        x.sqltype = short(SQL_DOUBLE | 1);
        x.sqllen = 8;
        x.sqldata = reinterpret_cast<char*>(&s.num);
    });
}

void FbStatement::SetText(int param, std::string_view utf8)
{
    // A text for a blob column (a memo) goes as blob data, whatever its
    // length; a text marker holds at most 32,767 bytes.
    bool blob = false;
    if (param >= 0 && param < int(d->paramVars.size()))
        for (int v : d->paramVars[size_t(param)])
            blob = blob || d->ins[size_t(v)].described == SQL_BLOB;
    if (blob) {
        SetBlob(param, QByteArray(utf8.data(), qsizetype(utf8.size())));
        return;
    }
    if (utf8.size() > size_t(std::numeric_limits<short>::max()))
        Fail("Text parameter too long");
    d->each(param, [&](XSQLVAR& x, InVar& s) {
        s.text.assign(utf8);  // keeps its capacity from row to row
        x.sqltype = short(SQL_TEXT | 1);
        x.sqllen = short(s.text.size());
        x.sqldata = s.text.data();
    });
}

void FbStatement::SetText(int param, const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    SetText(param, std::string_view(utf8.constData(), size_t(utf8.size())));
}

void FbStatement::SetTimestamp(int param, TDateTime value)
{
    const ISC_TIMESTAMP ts = ToIscTimestamp(value);
    d->each(param, [&](XSQLVAR& x, InVar& s) {
        s.num.ts = ts;
        x.sqltype = short(SQL_TIMESTAMP | 1);
        x.sqllen = sizeof(ISC_TIMESTAMP);
        x.sqldata = reinterpret_cast<char*>(&s.num);
    });
}

void FbStatement::SetBlob(int param, const QByteArray& bytes)
{
    d->each(param, [&](XSQLVAR& x, InVar& s) {
        s.blob = bytes;
        s.pendingBlob = true;
        x.sqltype = short(SQL_BLOB | 1);
        x.sqllen = sizeof(ISC_QUAD);
        x.sqldata = reinterpret_cast<char*>(&s.num);
    });
}

void FbStatement::Execute()
{
    if (d->stmtType == isc_info_sql_stmt_select || d->stmtType == isc_info_sql_stmt_select_for_upd) {
        Open();
        return;
    }
    isc_tr_handle* tr = d->trHandle();
    d->writeBlobs();
    ISC_STATUS_ARRAY status;
    std::fill(d->outInd.begin(), d->outInd.end(), short(-1));
    isc_dsql_execute2(status, tr, &d->stmt, SQL_DIALECT_V6, d->inputs(), d->out.p->sqld > 0 ? d->out.p : nullptr);
    Check(status);
}

void FbStatement::Open()
{
    Close();
    isc_tr_handle* tr = d->trHandle();
    d->writeBlobs();
    ISC_STATUS_ARRAY status;
    isc_dsql_execute(status, tr, &d->stmt, SQL_DIALECT_V6, d->inputs());
    Check(status);
    d->cursorOpen = true;
    std::fill(d->outInd.begin(), d->outInd.end(), short(-1));
}

bool FbStatement::Fetch()
{
    if (!d->cursorOpen)
        return false;
    ISC_STATUS_ARRAY status;
    const ISC_STATUS rc = isc_dsql_fetch(status, &d->stmt, SQL_DIALECT_V6, d->out.p);
    if (rc == 0) [[likely]]
        return true;
    if (rc == 100) {
        Close();
        std::fill(d->outInd.begin(), d->outInd.end(), short(-1));
        return false;
    }
    ThrowStatus(status);
}

namespace {

[[noreturn, gnu::cold]] void NotBindable() { Fail("The column cannot be fetched into that array"); }

}  // namespace

void FbStatement::BindInts(int column, int32_t* values)
{
    const OutCol& o = d->col(column);
    if (o.kind != Kind::Long || o.scale != 0)
        NotBindable();
    d->bound.push_back({column, reinterpret_cast<char*>(values), sizeof(int32_t)});
}

void FbStatement::BindDoubles(int column, double* values)
{
    if (d->col(column).kind != Kind::Double)
        NotBindable();
    d->bound.push_back({column, reinterpret_cast<char*>(values), sizeof(double)});
}

int FbStatement::FetchBlock(int rows)
{
    if (!d->cursorOpen)
        return 0;
    XSQLVAR* const vars = d->out.p->sqlvar;
    // The bound columns go back to the statement's own buffers however the
    // block ends.
    struct Restore {
        Impl& d;
        ~Restore()
        {
            for (const Impl::Bound& b : d.bound)
                d.out.p->sqlvar[b.column].sqldata = const_cast<char*>(d.outs[size_t(b.column)].data);
        }
    } restore{*d};
    ISC_STATUS_ARRAY status;
    int k = 0;
    for (; k < rows; ++k) {
        for (const Impl::Bound& b : d->bound)
            vars[b.column].sqldata = b.base + size_t(k) * b.size;
        const ISC_STATUS rc = isc_dsql_fetch(status, &d->stmt, SQL_DIALECT_V6, d->out.p);
        if (rc == 100) {
            Close();
            std::fill(d->outInd.begin(), d->outInd.end(), short(-1));
            break;
        }
        if (rc != 0)
            ThrowStatus(status);
        // The engine writes nothing for NULL.
        for (const Impl::Bound& b : d->bound)
            if (d->outInd[size_t(b.column)] < 0) [[unlikely]]
                std::memset(b.base + size_t(k) * b.size, 0, b.size);
    }
    return k;
}

void FbStatement::Close()
{
    if (!d->cursorOpen)
        return;
    d->cursorOpen = false;
    ISC_STATUS_ARRAY ignored;  // a cursor of an ended transaction is closed already
    isc_dsql_free_statement(ignored, &d->stmt, DSQL_close);
}

int FbStatement::RowsAffected() const
{
    const char item = isc_info_sql_records;
    char info[64] = {};
    ISC_STATUS_ARRAY status;
    isc_dsql_sql_info(status, &d->stmt, 1, &item, sizeof info, info);
    Check(status);
    if (info[0] != isc_info_sql_records)
        return 0;
    // Counts follow as (item, 2-byte length, value) up to isc_info_end.
    int rows = 0;
    const char* p = info + 3;
    const char* const end = info + sizeof info;
    while (p + 3 <= end && *p != isc_info_end) {
        const char what = *p;
        const int length = int(isc_vax_integer(p + 1, 2));
        if (p + 3 + length > end)
            break;
        const int count = int(isc_vax_integer(p + 3, short(length)));
        if (what == isc_info_req_insert_count || what == isc_info_req_update_count ||
            what == isc_info_req_delete_count)
            rows += count;
        p += 3 + length;
    }
    return rows;
}

QString FbStatement::Plan() const
{
    const char item = isc_info_sql_get_plan;
    std::vector<char> info(1024);
    for (;;) {
        ISC_STATUS_ARRAY status;
        isc_dsql_sql_info(status, &d->stmt, 1, &item, short(info.size()), info.data());
        Check(status);
        if (info[0] == isc_info_truncated && info.size() < 32768) {
            info.resize(info.size() * 4);
            continue;
        }
        if (info[0] != isc_info_sql_get_plan)
            return {};
        const int length = int(isc_vax_integer(info.data() + 1, 2));
        return QString::fromUtf8(info.data() + 3, length).trimmed();
    }
}

int FbStatement::ColumnCount() const { return int(d->outs.size()); }

int FbStatement::ColumnIndex(const QString& name) const
{
    const QByteArray wanted = name.trimmed().toUtf8();
    for (int c = 0; c < int(d->outs.size()); ++c) {
        const XSQLVAR& x = d->out.p->sqlvar[c];
        const QByteArray alias(x.aliasname, x.aliasname_length);
        if (alias.compare(wanted, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

QString FbStatement::ColumnName(int column) const
{
    d->col(column);
    const XSQLVAR& x = d->out.p->sqlvar[column];
    return QString::fromUtf8(x.aliasname, x.aliasname_length);
}

bool FbStatement::IsNull(int column) const { return *d->col(column).ind < 0; }

FbStatement::ColumnType FbStatement::Type(int column) const
{
    const OutCol& o = d->col(column);
    switch (o.kind) {
    case Kind::Short:
    case Kind::Long: return o.scale == 0 ? ColumnType::Int32 : ColumnType::Scaled;
    case Kind::Int64: return o.scale == 0 ? ColumnType::Int64 : ColumnType::Scaled;
    case Kind::Float:
    case Kind::Double: return ColumnType::Floating;
    case Kind::Text:
    case Kind::Varying: return ColumnType::Text;
    case Kind::Timestamp: return ColumnType::Timestamp;
    case Kind::Date: return ColumnType::Date;
    case Kind::Time: return ColumnType::Time;
    case Kind::Blob: return ColumnType::Blob;
    case Kind::Boolean: return ColumnType::Boolean;
    case Kind::Other: break;
    }
    return ColumnType::Other;
}

namespace {

[[noreturn, gnu::cold]] void NotANumber() { Fail("The column does not hold a number"); }

template <class T>
T Load(const char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// An exact number's raw integer and scale; false for a floating column.
bool Exact(const OutCol& o, int64_t& raw)
{
    switch (o.kind) {
    case Kind::Short: raw = Load<int16_t>(o.data); return true;
    case Kind::Long: raw = Load<int32_t>(o.data); return true;
    case Kind::Int64: raw = Load<int64_t>(o.data); return true;
    case Kind::Boolean: raw = *o.data != 0; return true;
    default: return false;
    }
}

double Floating(const OutCol& o)
{
    switch (o.kind) {
    case Kind::Float: return Load<float>(o.data);
    case Kind::Double: return Load<double>(o.data);
    default: NotANumber();
    }
}

int64_t RoundToInt64(double v)
{
    if (!(std::fabs(v) < 9.2e18))
        Fail("Value out of range for an integer");
    return int64_t(std::nearbyint(v));  // halves to the even neighbour
}

}  // namespace

int64_t FbStatement::Int64(int column) const
{
    const OutCol& o = d->col(column);
    if (*o.ind < 0)
        return 0;
    int64_t raw = 0;
    if (Exact(o, raw))
        return o.scale < 0 ? RoundToInt64(double(raw) / Pow10(-o.scale)) : raw;
    return RoundToInt64(Floating(o));
}

int32_t FbStatement::Int(int column) const
{
    const OutCol& o = d->col(column);
    if (*o.ind < 0)
        return 0;
    if (o.kind == Kind::Long && o.scale == 0) [[likely]]
        return Load<int32_t>(o.data);
    const int64_t v = Int64(column);
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        Fail("Value out of range for a 32-bit integer");
    return int32_t(v);
}

double FbStatement::Double(int column) const
{
    const OutCol& o = d->col(column);
    if (*o.ind < 0)
        return 0;
    int64_t raw = 0;
    if (Exact(o, raw))
        return o.scale < 0 ? double(raw) / Pow10(-o.scale) : double(raw) * Pow10(o.scale);
    return Floating(o);
}

std::string_view FbStatement::TextView(int column) const
{
    const OutCol& o = d->col(column);
    if (*o.ind < 0)
        return {};
    if (o.kind == Kind::Varying)
        return {o.data + 2, size_t(Load<uint16_t>(o.data))};
    if (o.kind == Kind::Text) {
        size_t n = size_t(o.len);
        while (n > 0 && o.data[n - 1] == ' ')
            --n;
        return {o.data, n};
    }
    Fail("The column does not hold text");
}

QString FbStatement::Text(int column) const
{
    const std::string_view v = TextView(column);
    return QString::fromUtf8(v.data(), qsizetype(v.size()));
}

TDateTime FbStatement::Timestamp(int column) const
{
    const OutCol& o = d->col(column);
    if (*o.ind < 0)
        return 0;
    if (o.kind == Kind::Timestamp) {
        const ISC_TIMESTAMP ts = Load<ISC_TIMESTAMP>(o.data);
        return FromIscTimestamp(ts.timestamp_date, ts.timestamp_time);
    }
    if (o.kind == Kind::Date)
        return FromIscTimestamp(Load<ISC_DATE>(o.data), 0);
    Fail("The column does not hold a date");
}

QByteArray FbStatement::Blob(int column) const
{
    const OutCol& o = d->col(column);
    if (*o.ind < 0)
        return {};
    if (o.kind != Kind::Blob)
        Fail("The column does not hold a blob");
    ISC_QUAD id = Load<ISC_QUAD>(o.data);
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    isc_open_blob2(status, &d->tr->attachment(), d->trHandle(), &blob, &id, 0, nullptr);
    Check(status);
    QByteArray bytes;
    char buf[32768];
    for (;;) {
        unsigned short got = 0;
        const ISC_STATUS rc = isc_get_segment(status, &blob, &got, sizeof buf, buf);
        if (rc != 0 && rc != isc_segment) {
            if (rc == isc_segstr_eof)
                break;
            ISC_STATUS_ARRAY ignored;
            isc_close_blob(ignored, &blob);
            ThrowStatus(status);
        }
        bytes.append(buf, got);
    }
    isc_close_blob(status, &blob);
    Check(status);
    return bytes;
}
