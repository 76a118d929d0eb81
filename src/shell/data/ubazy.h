#pragma once
// The data module: the one database connection of the run with its read
// and write transactions, and the in-memory tables several windows share.
#include <QString>

#include <functional>
#include <optional>

#include "platform/memtable.h"
#include "shell/data/ibquery.h"

class TDM {
public:
    TDM();
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    // (Re)connects to a connection string: a plain path opens the file
    // through the embedded engine; "localhost:" + path goes to the server on
    // this machine and, when no server answers there, opens the same file
    // through the embedded engine; any other "host:path" goes to that
    // server only.  False on any failure, without a message.
    bool OpenDatabase(const QString& name);
    bool Connected() const;
    // The connection string in use after OpenDatabase (the embedded path when
    // the localhost fallback was taken).
    const QString& DatabaseName() const { return databaseName_; }
    // The database's message of the last failed OpenDatabase.
    const QString& LastOpenError() const { return lastOpenError_; }

    // Whether the database file is still where the connection found it: for
    // a file on this machine, its path still names the file that was
    // attached (same device and inode).  An engine writing into a file that
    // was deleted or replaced meanwhile loses everything at the end, so
    // writers check this before they commit.  A file on another machine's
    // server is not checked (true).
    bool AttachedFileInPlace() const;
    // Throws DatabaseFileGone when AttachedFileInPlace is false.
    void CheckAttachedFile() const;

    // Runs one writing query (bound to TransEdit, text and parameters set)
    // in its transaction, starting it when needed, and commits.  On any
    // error rolls back and returns false without a message; the error's
    // text stays readable in LastEditError.
    bool ExecEdit(TIBQuery& query);
    const QString& LastEditError() const { return lastEditError_; }

    // Runs several writes as one: starts TransEdit (when it is not active),
    // calls work (whose queries on TransEdit run with ExecSQL and throw on
    // failure) and commits.  On any error rolls everything back, keeps the
    // error's text in LastEditError and returns false, so nothing
    // half-written stays.
    bool ExecEditAll(const std::function<void()>& work);

    // The next free ID_POZYCJI of POZYCJE (1 on an empty table).  Database
    // errors reach the caller as DatabaseError.
    int NextPositionId();

    // New row ids are the table's largest id plus one: runs maxStatement
    // (a "select max(...) as maks from ..." text) on TransBrowse and returns
    // maks + 1 (1 on an empty table).  Errors reach the caller.
    int NextId(const QString& maxStatement);

    // Read-only, read-committed, no wait: every read sees the latest
    // committed data; a statement that would write through it is refused.
    TTransaction TransBrowse;
    // Read-write, waits at most kWriteLockTimeoutSeconds for a row another
    // transaction holds: every write.
    TTransaction TransEdit;

    // Shared in-memory tables.
    MemTable memWybraneSesje;
    MemTable memPrzejazdy;
    MemTable memGPS;
    MemTable memWybraniKierowcy;
    MemTable memwybraneTory;
    MemTable memToryImport;
    MemTable memWybraneDni;
    MemTable memMinMax;

private:
    explicit TDM(const QString& connectionPrefix);
    bool openConnections(const QString& path, const QString& host);
    void closeConnections();

    // The attached file on this machine: its path, device and inode.
    struct FileIdentity {
        QString path;
        quint64 device = 0;
        quint64 inode = 0;
    };
    std::optional<FileIdentity> attachedFile_;
    QString databaseName_;
    QString lastOpenError_;
    QString lastEditError_;
    bool connected_ = false;
};

// The database file was deleted or replaced while it was attached.
class DatabaseFileGone : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// The one instance of the run (created by the program entry right after the
// main window; tests create their own).
extern TDM* DM;

// The embedded database engine keeps its lock files in FIREBIRD_LOCK; a user
// other than root needs a writable folder of their own there.  Sets it when
// it is not set (the temporary folder's "firebird-<user id>", as the run
// script uses) and creates the folder.  Call before the first database
// connection.
void EnsureFirebirdLockFolder();

// Database credentials of the program.
inline constexpr const char* kDbUser = "SYSDBA";
inline constexpr const char* kDbPassword = "zeriridaz";
