#pragma once
// Transactions and queries on the program's Firebird database, in the shape
// the rest of the program works with: a query object with a statement text,
// named parameters (":NAME") and fields read by name, bound to one of the
// data module's two transactions.
//
// Each transaction is a Qt SQL connection of its own.  A query prepares its
// statement lazily, inside the transaction it runs in, and prepares again
// when that transaction has been restarted, because a statement prepared
// outside a running transaction would run in a private transaction of the
// driver and escape commit and rollback.
//
// A read-only transaction (the data module's TransBrowse) runs its queries
// through the client API (shell/data/fbbulk.h) on its connection's
// attachment, in a transaction that is read-only, read committed with
// record versions and waits for no lock: every read sees the latest
// committed data, and a statement that would write is refused.  It lasts
// while queries are open on it (or from StartTransaction to Commit), so no
// long-lived transaction keeps others from changing the tables.
#include <QByteArray>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>
#include <memory>
#include <stdexcept>

#include "platform/tdatetime.h"

// An error reported by the database (or by misuse of a query); the text is
// the database's own message.
class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A statement text with its ":NAME" parameters (outside quotes and
// comments) turned into "?" markers: the distinct names, upper-cased, in
// order of first appearance, and per marker the index of its name.
struct PositionalSql {
    QString text;
    QStringList names;
    std::vector<int> occurrences;
};
PositionalSql ToPositionalSql(const QString& sql);

class FbTransaction;
class FbStatement;

class TTransaction {
public:
    enum class Mode {
        ReadWrite,  // the server's default: read-write, snapshot, waits for locks
        ReadOnly,   // read-only, read committed, record versions, no wait
    };

    // connectionName: the Qt SQL connection this transaction runs on.
    explicit TTransaction(QString connectionName, Mode mode = Mode::ReadWrite);
    ~TTransaction();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;

    Mode GetMode() const { return mode_; }
    // The client-API transaction a read-only transaction's queries run in:
    // BeginRead starts it when no query uses it yet (throws DatabaseError
    // when it cannot be started) and counts one more user; EndRead, with the
    // epoch BeginRead gave, counts one less and ends it when the last user
    // is gone and no StartTransaction holds it.  An epoch from before the
    // connection was closed counts nothing.
    FbTransaction& BeginRead(quint64& epoch);
    void EndRead(quint64 epoch);
    // Changes when the connection is closed (the read transaction object
    // goes with it).
    quint64 ReadEpoch() const { return readEpoch_; }

    QSqlDatabase Database() const;
    const QString& ConnectionName() const { return connection_; }

    // An explicit transaction of the connection.  Without one, every
    // statement runs and commits on its own (each read sees the latest
    // committed data).
    bool Active() const { return active_; }
    void StartTransaction();  // throws DatabaseError
    void Commit();            // throws DatabaseError
    void Rollback();          // never throws; leaves the transaction inactive

    // Changes every time a transaction starts; queries use it to know when
    // to prepare again.
    quint64 Generation() const { return generation_; }

    // Called when the connection is closed or reopened.
    void Reset();

private:
    QString connection_;
    Mode mode_;
    std::unique_ptr<FbTransaction> read_;
    int readUsers_ = 0;
    quint64 readEpoch_ = 0;
    bool active_ = false;
    quint64 generation_ = 0;
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
    void PrepareIfNeeded();
    void BindParams();
    // The read-only road: the statement on the client API with the
    // parameters bound, and the current row taken over as values.
    std::unique_ptr<FbStatement> PrepareRead();
    void FetchRead();
    void CloseRead();

    TTransaction* trans_;
    QString sql_;
    QStringList paramNames_;        // distinct parameter names, upper-cased, in order of appearance
    std::vector<QVariant> params_;  // value per distinct name
    std::vector<int> occurrences_;  // per "?" of the prepared text: index into params_
    QString positionalSql_;         // the text with every ":NAME" replaced by "?"
    std::unique_ptr<QSqlQuery> q_;
    std::unique_ptr<FbStatement> read_;  // the open statement of a read-only transaction
    quint64 readEpoch_ = 0;              // of the transaction's BeginRead for it
    // A closed statement kept for the next Open of the same text while the
    // read transaction it ran in goes on (a loop reopening a query with new
    // parameters prepares it once); dropped when that transaction ends.
    std::unique_ptr<FbStatement> kept_;
    const FbTransaction* keptOn_ = nullptr;
    quint64 keptGeneration_ = 0;
    quint64 keptEpoch_ = 0;
    bool readRoad_ = false;              // open on the read-only road (rows in row_)
    std::vector<QVariant> row_;          // its current row
    std::vector<QMetaType> types_;       // its column types
    QString preparedSql_;
    quint64 preparedGeneration_ = ~0ull;
    bool preparedInTransaction_ = false;
    QStringList fieldNames_;  // of the open result, for lookups by name
    int rowsAffected_ = 0;
    bool active_ = false;
    bool eof_ = true;
    bool hadRow_ = false;
};
