#pragma once
// Transactions and queries on the program's Firebird database, in the shape
// the rest of the program works with: a query object with a statement text,
// named parameters (":NAME") and fields read by name, bound to one of the
// data module's two transactions.
//
// Each transaction belongs to a Qt SQL connection of its own, which gives
// the attachment; queries and transactions run on it through the client API
// (shell/data/fbbulk.h).  Qt's own transactions are never used: they wait
// for locks without limit and cannot end a transaction whose commit failed.
//
// A read-only transaction (the data module's TransBrowse) is read committed
// with record versions and waits for no lock: every read sees the latest
// committed data, and a statement that would write is refused.  Its queries
// share one transaction that lasts while queries are open on it (or from
// StartTransaction to Commit), so no long-lived transaction keeps others
// from changing the tables.
//
// A read-write transaction (TransEdit) is a snapshot that waits at most
// kWriteLockTimeoutSeconds for a row another transaction holds, then fails.
// Between StartTransaction and Commit or Rollback its queries run in it;
// outside, every statement runs in a transaction of its own, committed when
// the statement is done.
#include <QByteArray>
#include <QDateTime>
#include <QMetaType>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/tdatetime.h"
#include "shell/data/dbcommon.h"

// How long a write waits for a row another transaction holds before it
// fails with a lock time-out.
inline constexpr int kWriteLockTimeoutSeconds = 3;

class FbTransaction;
class FbStatement;

class TTransaction {
public:
    enum class Mode {
        ReadWrite,  // snapshot, waits for locks at most kWriteLockTimeoutSeconds
        ReadOnly,   // read-only, read committed, record versions, no wait
    };

    // connectionName: the Qt SQL connection this transaction runs on.
    explicit TTransaction(QString connectionName, Mode mode = Mode::ReadWrite);
    ~TTransaction();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;

    Mode GetMode() const { return mode_; }
    QSqlDatabase Database() const;
    const QString& ConnectionName() const { return connection_; }

    // An explicit transaction of the connection.
    bool Active() const { return active_; }
    void StartTransaction();  // throws DatabaseError
    // Ends the transaction whatever happens: when the commit fails, the
    // transaction is rolled back (its locks released) and the commit's
    // error is thrown as DatabaseError.
    void Commit();
    void Rollback();  // never throws; leaves the transaction inactive

    // A query's hold on the client-API transaction its statement runs in,
    // from Begin to End.
    struct Lease {
        FbTransaction* tr = nullptr;         // null: nothing held
        std::unique_ptr<FbTransaction> own;  // a read-write statement's own transaction
        quint64 epoch = 0;                   // of the connection when begun
        bool counted = false;                // one user of the shared read transaction
        Lease();
        ~Lease();
    };
    // Read-only: the shared read transaction, started for its first user.
    // Read-write: the explicit transaction while one is active, else a
    // write transaction for the statement alone.  Throws DatabaseError
    // when no transaction can be started.
    FbTransaction& Begin(Lease& lease);
    // The statement is done: its own transaction is committed (commit true;
    // a failed commit is rolled back and throws) or rolled back; the shared
    // read transaction is committed after its last user.  A lease from
    // before the connection was closed ends nothing.
    void End(Lease& lease, bool commit);
    // Changes whenever the connection is closed or reopened; a statement
    // prepared before belongs to an attachment that is gone.
    quint64 Epoch() const { return epoch_; }

    // Called when the connection is closed or reopened.
    void Reset();

private:
    FbTransaction& Transaction();

    QString connection_;
    Mode mode_;
    // The explicit transaction, and in read-only mode the one its queries
    // share.
    std::unique_ptr<FbTransaction> tr_;
    int users_ = 0;
    quint64 epoch_ = 0;
    bool active_ = false;
};

// A lease on the read transaction for the life of a scope (TTransaction::
// Begin and End): the statements run meanwhile share one transaction
// instead of starting one each.  Its end never throws.
class TTransactionScope {
public:
    explicit TTransactionScope(TTransaction& transaction) : t_(transaction), tr_(transaction.Begin(lease_)) {}
    ~TTransactionScope() { t_.End(lease_, true); }
    TTransactionScope(const TTransactionScope&) = delete;
    TTransactionScope& operator=(const TTransactionScope&) = delete;
    FbTransaction& Transaction() { return tr_; }

private:
    TTransaction& t_;
    TTransaction::Lease lease_;
    FbTransaction& tr_;
};

class TIBQuery;

// A field of the current row of an open query.  NULL reads as 0, 0.0, ""
// or an empty array.
class TQueryField {
public:
    TQueryField(const TIBQuery* q, int index) : q_(q), index_(index) {}
    bool IsNull() const;
    int AsInteger() const;
    qint64 AsInt64() const;
    double AsFloat() const;
    QString AsString() const;
    QByteArray AsBytes() const;  // blob contents
    QDateTime AsDateTime() const;
    TDateTime AsTDateTime() const;
    QVariant Value() const;

private:
    const TIBQuery* q_;
    int index_;
};

class TIBQuery {
public:
    explicit TIBQuery(TTransaction& transaction);
    ~TIBQuery();
    TIBQuery(const TIBQuery&) = delete;
    TIBQuery& operator=(const TIBQuery&) = delete;

    TTransaction& Transaction() const { return *trans_; }

    // Statement text.  Lines are joined with line breaks.  Setting the text
    // closes the query and forgets the parameter values.
    void SetSQL(const QString& text);
    void SetSQL(const QStringList& lines);
    void AddSQL(const QString& line);  // appends a line (run-time filters)
    const QString& SQL() const { return sql_; }

    // Named parameters of the statement, without the colon, case-insensitive.
    // A null QVariant (QVariant()) binds NULL; a QVariant of type QByteArray
    // binds blob contents.
    // Throws DatabaseError for a name the statement does not have.
    void ParamByName(const QString& name, const QVariant& value);
    // Fast path for loops: the index of a parameter (-1 when unknown) and
    // setting it by index.
    int ParamIndex(const QString& name) const;
    void SetParam(int index, const QVariant& value);
    void ClearParams();
    // Binds the parameter values to the parameters of the same names of
    // another statement, one built around this query's text.
    void BindParams(FbStatement& st) const;

    // Runs a statement that returns rows and positions on the first one.
    void Open();
    // Runs a statement that returns no rows.
    void ExecSQL();
    void Close();

    bool Active() const { return active_; }
    bool Eof() const { return eof_; }
    bool IsEmpty() const { return active_ && eof_ && !hadRow_; }
    void Next();

    // Fields by name, case-insensitive; throws DatabaseError for an unknown
    // name.  After the last row (Eof) every field reads as NULL.
    TQueryField FieldByName(const QString& name) const;
    int FieldCount() const;
    QString FieldName(int index) const;
    QVariant FieldValue(int index) const;
    QMetaType FieldType(int index) const;

    // Rows affected by the last ExecSQL.
    int RowsAffected() const;

private:
    // Begins the query's lease on its transaction and gives the statement,
    // prepared there (again only when the text changed or the transaction
    // it ran in has ended) with the parameters bound.
    FbStatement& Start();
    // Ends the lease (see TTransaction::End).
    void Finish(bool commit);
    void DropStatement();
    void Fetch();

    TTransaction* trans_;
    QString sql_;
    QStringList paramNames_;        // distinct parameter names, upper-cased, in order of appearance
    std::vector<QVariant> params_;  // value per distinct name
    TTransaction::Lease lease_;
    std::unique_ptr<FbStatement> st_;
    // Where st_ was prepared: kept for the next run of the same text while
    // that transaction goes on (a loop with new parameters prepares once).
    const FbTransaction* preparedOn_ = nullptr;
    quint64 preparedGeneration_ = 0;  // of that transaction
    quint64 preparedEpoch_ = 0;       // of the connection
    std::vector<QVariant> row_;     // the current row of the open result
    std::vector<QMetaType> types_;  // its column types
    QStringList fieldNames_;        // its column names, for lookups by name
    int rowsAffected_ = 0;
    bool active_ = false;
    bool eof_ = true;
    bool hadRow_ = false;
};
