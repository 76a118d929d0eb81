#pragma once
// Bulk rows on the Firebird client API, beside the Qt SQL connection and on
// the same attachment: transactions started with explicit parameters, and
// prepared statements whose values travel in the statement's own typed
// buffers (no variant per value, no conversion layer of the driver).  Used
// where rows are many: sample loading, session import.
//
// Parameters are written ":NAME" in the statement text, as in the queries; a
// name used twice binds both places.  ParamIndex gives the index of a name
// once, and the Set... calls take that index.  A text without names may use
// plain "?" markers instead, indexed 0, 1, ... in order.
//
// Text goes in and out as UTF-8 (the connection's character set).  Errors
// are DatabaseError carrying the engine's own message (its lines joined by
// line breaks).
#include <QByteArray>
#include <QSqlDatabase>
#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/tdatetime.h"
#include "shell/data/dbcommon.h"

class FbStatement;

// A transaction of its own on the attachment of a QIBASE connection.  It is
// independent of the Qt connection's own transaction.
class FbTransaction {
public:
    // The attachment is taken from db (an open QIBASE connection) when the
    // transaction starts, so a reopened connection is followed.
    explicit FbTransaction(QSqlDatabase db);
    ~FbTransaction();  // rolls back a transaction still active
    FbTransaction(const FbTransaction&) = delete;
    FbTransaction& operator=(const FbTransaction&) = delete;

    // Read-only, read committed with record versions, no wait: every read
    // sees the latest committed version of each row.
    void StartRead();
    // Read-write, concurrency (snapshot), wait: a write that needs a row held
    // by another transaction waits at most lockTimeoutSeconds and then fails;
    // 0 waits without limit.
    void StartWrite(int lockTimeoutSeconds);

    bool Active() const { return tr_ != 0; }
    // Changes every time a transaction starts on this object.
    uint64_t Generation() const { return generation_; }
    // Ends the transaction whatever happens: when the commit itself fails,
    // the transaction is rolled back (its locks released) and the commit's
    // error is thrown.
    void Commit();
    // Never throws; nothing happens when no transaction is active.
    void Rollback();

private:
    friend class FbStatement;
    void start(const char* tpb, short length);
    unsigned int& handle() { return tr_; }
    unsigned int& attachment() { return db_; }

    QSqlDatabase qdb_;
    unsigned int db_ = 0;  // isc_db_handle of the connection
    unsigned int tr_ = 0;  // isc_tr_handle; 0 = not active
    uint64_t generation_ = 0;
};

// A statement prepared once on a transaction's attachment and run any
// number of times, each time in the transaction as it is then (a statement
// may outlive one transaction and run in the next).
class FbStatement {
public:
    // Prepares the statement; the transaction must be active.  Throws
    // DatabaseError for a statement the engine refuses.
    FbStatement(FbTransaction& transaction, const QString& sql);
    ~FbStatement();
    FbStatement(const FbStatement&) = delete;
    FbStatement& operator=(const FbStatement&) = delete;

    FbTransaction& Transaction() const;

    // Input parameters.  ParamIndex: -1 for a name the text does not have.
    // Values stay bound until set again, so a loop sets only what changes.
    int ParamCount() const;
    int ParamIndex(const QString& name) const;
    void SetNull(int param);
    void SetInt(int param, int32_t value);
    void SetInt64(int param, int64_t value);
    void SetDouble(int param, double value);
    void SetText(int param, std::string_view utf8);
    void SetText(int param, const QString& value);
    void SetTimestamp(int param, TDateTime value);
    void SetBlob(int param, const QByteArray& bytes);  // blob contents; written when the statement runs

    // Runs a statement that returns no rows (or one row, for
    // "insert ... returning" and procedures: read it with the getters); a
    // select is opened as by Open.
    void Execute();
    // Runs a select and opens its forward-only cursor; Fetch moves to the
    // next row and gives false after the last one (the cursor is then
    // closed).  Opening again closes a cursor still open.
    void Open();
    bool Fetch();
    void Close();

    // Rows straight into caller arrays: BindInts / BindDoubles send a
    // result column's values to an array, the k-th row of each FetchBlock
    // to index k; the array must take as many values as a block asks for
    // and live while it is bound.  INTEGER columns bind to ints, DOUBLE
    // PRECISION ones to doubles; other columns throw DatabaseError.  NULL
    // arrives as 0.  FetchBlock fetches up to `rows` rows of the open
    // cursor and gives how many (fewer only at the end, then the cursor is
    // closed; 0 after that).  The getters do not read the rows of a block.
    void BindInts(int column, int32_t* values);
    void BindDoubles(int column, double* values);
    int FetchBlock(int rows);

    // Rows the last Execute inserted, updated and deleted.
    int RowsAffected() const;

    // The engine's access plan of the statement ("PLAN (T ORDER IDX)").
    QString Plan() const;

    // Result columns: index by name (case-insensitive; -1 when there is
    // none), to be looked up once before the fetch loop.  Getters read the
    // current row; a NULL value reads as 0, 0.0, "" or empty; numbers
    // convert between integer and floating types (scaled NUMERIC columns
    // too), other mismatches throw DatabaseError.
    int ColumnCount() const;
    int ColumnIndex(const QString& name) const;
    QString ColumnName(int column) const;
    // What a column holds, for readers of any statement's rows: whole
    // numbers (up to 32 and 64 bits), scaled exact numbers, floating
    // numbers, text, date-times, dates, times, blobs, booleans.
    enum class ColumnType { Int32, Int64, Scaled, Floating, Text, Timestamp, Date, Time, Blob, Boolean, Other };
    ColumnType Type(int column) const;
    bool IsNull(int column) const;
    int32_t Int(int column) const;
    int64_t Int64(int column) const;
    double Double(int column) const;
    // UTF-8 bytes in the statement's buffer, valid until the next fetch; a
    // CHAR column comes without its padding blanks.
    std::string_view TextView(int column) const;
    QString Text(int column) const;
    TDateTime Timestamp(int column) const;  // TIMESTAMP or DATE
    QByteArray Blob(int column) const;      // reads the blob's contents

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
