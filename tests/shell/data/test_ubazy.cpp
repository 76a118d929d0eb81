// The data module against a real Firebird database file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "shell/data/dbcreate.h"
#include "shell/data/schemaupgrade.h"
#include "shell/data/ubazy.h"
#include "support/testdb.h"

namespace {

int Count(TestDatabase& db, const QString& sql) { return db.Scalar(sql).toInt(); }

void InsertHeader(TDM& dm, int id, bool expectOk = true)
{
    TIBQuery q(dm.TransEdit);
    q.SetSQL(QStringLiteral("insert into NAGLOWKI (ID_NAG, NR_SERYJNY_KROM) values (:ID_NAG, :NR)"));
    q.ParamByName(QStringLiteral("ID_NAG"), id);
    q.ParamByName(QStringLiteral("NR"), QStringLiteral("77"));
    EXPECT_EQ(dm.ExecEdit(q), expectOk) << dm.LastEditError().toStdString();
}

}  // namespace

TEST(DataModule, ExecEditOnConstraintViolationRollsBackAndTheNextCallWorks)
{
    TestDatabase db;
    InsertHeader(db.dm(), 1);
    InsertHeader(db.dm(), 1, /*expectOk=*/false);
    EXPECT_FALSE(db.dm().TransEdit.Active());
    EXPECT_FALSE(db.dm().LastEditError().isEmpty());
    InsertHeader(db.dm(), 2);
    EXPECT_FALSE(db.dm().TransEdit.Active());
    EXPECT_EQ(Count(db, QStringLiteral("select count(*) from NAGLOWKI")), 2);
}

TEST(DataModule, ExecEditAllWritesEverythingOrNothing)
{
    TestDatabase db;
    TIBQuery q(db.dm().TransEdit);
    q.SetSQL(QStringLiteral("insert into NAGLOWKI (ID_NAG) values (:ID)"));
    auto insert = [&](std::initializer_list<int> ids) {
        return db.dm().ExecEditAll([&] {
            for (int id : ids) {
                q.ParamByName(QStringLiteral("ID"), id);
                q.ExecSQL();
            }
        });
    };
    EXPECT_TRUE(insert({1, 2}));
    EXPECT_FALSE(insert({3, 1}));  // the duplicate undoes 3 as well
    EXPECT_FALSE(db.dm().LastEditError().isEmpty());
    EXPECT_FALSE(db.dm().TransEdit.Active());
    EXPECT_EQ(Count(db, QStringLiteral("select count(*) from NAGLOWKI")), 2);
    EXPECT_TRUE(insert({3}));
    EXPECT_EQ(Count(db, QStringLiteral("select count(*) from NAGLOWKI")), 3);
}

TEST(DataModule, ExecEditCommitsAWriteThatTheBrowseTransactionSeesAtOnce)
{
    TestDatabase db;
    TIBQuery reader(db.dm().TransBrowse);
    reader.SetSQL(QStringLiteral("select count(*) as ile from NAGLOWKI"));
    reader.Open();
    EXPECT_EQ(reader.FieldByName(QStringLiteral("ile")).AsInteger(), 0);
    reader.Close();
    InsertHeader(db.dm(), 5);
    reader.Open();
    EXPECT_EQ(reader.FieldByName(QStringLiteral("ile")).AsInteger(), 1);
}

// Two connections to one database: this test's data module (DM) and
// another program's, writing the same rows of a small table.
class TwoConnections : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.Exec(QStringLiteral("create table T (I integer not null primary key, V varchar(20))"));
        db.Exec(QStringLiteral("insert into T (I, V) values (1, 'a')"));
        db.Exec(QStringLiteral("insert into T (I, V) values (2, 'b')"));
        ASSERT_TRUE(other.OpenDatabase(db.Path())) << other.LastOpenError().toStdString();
    }

    // The values of T in the order of I, as committed.
    QString Values()
    {
        TIBQuery q(db.dm().TransBrowse);
        q.SetSQL(QStringLiteral("select list(V, ',') from (select V from T order by I)"));
        q.Open();
        return q.FieldValue(0).toString();
    }

    // Sets V of row i through a data module, each write its own ExecEdit.
    static bool Set(TDM& dm, int i, const QString& v)
    {
        TIBQuery q(dm.TransEdit);
        q.SetSQL(QStringLiteral("update T set V = :V where I = :I"));
        q.ParamByName(QStringLiteral("V"), v);
        q.ParamByName(QStringLiteral("I"), i);
        return dm.ExecEdit(q);
    }

    // Sets V of rows 2 and then 1 in one ExecEditAll.
    static bool SetBoth(TDM& dm, const QString& v)
    {
        TIBQuery q(dm.TransEdit);
        q.SetSQL(QStringLiteral("update T set V = :V where I = :I"));
        return dm.ExecEditAll([&] {
            for (int i : {2, 1}) {
                q.ParamByName(QStringLiteral("V"), v);
                q.ParamByName(QStringLiteral("I"), i);
                q.ExecSQL();
            }
        });
    }

    // Both ways of writing: row 1 alone, and rows 2 and 1 together.
    struct WriteCase {
        const char* name;
        std::function<bool(TDM&)> write;
    };
    static std::vector<WriteCase> Writes(const QString& v)
    {
        return {{"ExecEdit", [v](TDM& dm) { return Set(dm, 1, v); }},
                {"ExecEditAll", [v](TDM& dm) { return SetBoth(dm, v); }}};
    }

    TestDatabase db;
    TDM other;
};

// A commit the database refuses ends the transaction: nothing of it is
// stored, and its rows are free at once for another connection (a write
// still holding them would make the other's write fail on its lock time-out).
TEST_F(TwoConnections, ARefusedCommitEndsItsTransactionAndFreesItsRows)
{
    db.Exec(QStringLiteral("create exception E_REFUSED 'commit refused here'"));
    db.Exec(QStringLiteral("create trigger T_MARK for T after update as declare variable r integer; begin "
                           "if (new.V = 'refused') then r = rdb$set_context('USER_TRANSACTION', 'REFUSE', '1'); end"));
    db.Exec(QStringLiteral("create trigger T_REFUSE on transaction commit as begin "
                           "if (rdb$get_context('USER_TRANSACTION', 'REFUSE') = '1') then exception E_REFUSED; end"));
    for (const WriteCase& c : Writes(QStringLiteral("refused"))) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(c.write(db.dm()));
        EXPECT_TRUE(db.dm().LastEditError().contains(QStringLiteral("commit refused here")))
            << db.dm().LastEditError().toStdString();
        EXPECT_FALSE(db.dm().TransEdit.Active());
        EXPECT_EQ(Values(), QStringLiteral("a,b"));

        EXPECT_TRUE(SetBoth(other, QStringLiteral("other"))) << other.LastEditError().toStdString();
        EXPECT_EQ(Values(), QStringLiteral("other,other"));
        ASSERT_TRUE(SetBoth(db.dm(), QStringLiteral("a"))) << db.dm().LastEditError().toStdString();
        ASSERT_TRUE(Set(db.dm(), 2, QStringLiteral("b")));
    }
}

// A row another connection holds uncommitted makes a write fail after the
// lock time-out, with the database's message, instead of waiting for it;
// nothing of the write is stored, also what came before the held row.
TEST_F(TwoConnections, AWriteToAHeldRowFailsInsteadOfWaiting)
{
    other.TransEdit.StartTransaction();
    TIBQuery hold(other.TransEdit);
    hold.SetSQL(QStringLiteral("update T set V = 'held' where I = 1"));
    hold.ExecSQL();

    for (const WriteCase& c : Writes(QStringLiteral("mine"))) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(c.write(db.dm()));
        const QString error = db.dm().LastEditError();
        EXPECT_TRUE(error.contains(QStringLiteral("lock time-out")) ||
                    error.contains(QStringLiteral("concurrent update")))
            << error.toStdString();
        EXPECT_FALSE(db.dm().TransEdit.Active());
        EXPECT_EQ(Values(), QStringLiteral("a,b"));
    }

    // Once the other connection lets the row go, the write goes through.
    other.TransEdit.Rollback();
    EXPECT_TRUE(SetBoth(db.dm(), QStringLiteral("mine"))) << db.dm().LastEditError().toStdString();
    EXPECT_EQ(Values(), QStringLiteral("mine,mine"));
}

// The read transaction refuses writes: a statement that would change data
// through it fails and nothing is stored.
TEST(DataModule, TheBrowseTransactionIsReadOnly)
{
    TestDatabase db;
    const char* writes[] = {
        "insert into NAGLOWKI (ID_NAG, NR_SERYJNY_KROM) values (1, '77')",
        "update TORY set NAZWA = 'Changed'",
        "delete from TORY",
    };
    db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA) values (100000, 'Stays')"));
    for (const char* sql : writes) {
        SCOPED_TRACE(sql);
        TIBQuery q(db.dm().TransBrowse);
        q.SetSQL(QString::fromLatin1(sql));
        try {
            q.ExecSQL();
            ADD_FAILURE() << "the write went through";
        } catch (const DatabaseError& e) {
            EXPECT_NE(std::string(e.what()).find("read-only"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(Count(db, QStringLiteral("select count(*) from NAGLOWKI")), 0);
    EXPECT_EQ(Count(db, QStringLiteral("select count(*) from TORY")), 1);
    // Reading goes on as before.
    EXPECT_EQ(db.Scalar(QStringLiteral("select NAZWA from TORY")).toString(), QStringLiteral("Stays"));
}

// Within one read transaction every statement sees what was committed
// meanwhile (read committed), also while a query of it is still open.
TEST(DataModule, TheBrowseTransactionSeesEveryCommit)
{
    TestDatabase db;
    TTransaction& browse = db.dm().TransBrowse;
    browse.StartTransaction();
    EXPECT_EQ(Count(db, QStringLiteral("select count(*) from NAGLOWKI")), 0);
    TIBQuery open(browse);
    open.SetSQL(QStringLiteral("select * from RDB$DATABASE"));
    open.Open();
    InsertHeader(db.dm(), 1);
    EXPECT_EQ(Count(db, QStringLiteral("select count(*) from NAGLOWKI")), 1);
    browse.Commit();
    InsertHeader(db.dm(), 2);
    EXPECT_EQ(Count(db, QStringLiteral("select count(*) from NAGLOWKI")), 2);
    open.Close();
}

// A query reopened with new parameters in one read transaction reads each
// time what its parameters and the latest commits say; once the
// transaction ends it holds nothing that keeps the tables from changing.
TEST(Queries, AReopenedBrowseQueryFollowsItsParametersAndCommits)
{
    TestDatabase db;
    InsertHeader(db.dm(), 1);
    TTransaction& browse = db.dm().TransBrowse;
    TIBQuery q(browse);
    q.SetSQL(QStringLiteral("select ID_NAG from NAGLOWKI where ID_NAG >= :LO order by ID_NAG"));
    for (bool held : {true, false}) {
        SCOPED_TRACE(held ? "in a held transaction" : "each open on its own");
        if (held)
            browse.StartTransaction();
        for (int lo : {1, 2, 1}) {
            q.ParamByName(QStringLiteral("LO"), lo);
            q.Open();
            std::vector<int> ids;
            for (; !q.Eof(); q.Next())
                ids.push_back(q.FieldByName(QStringLiteral("ID_NAG")).AsInteger());
            q.Close();
            EXPECT_EQ(ids, lo == 1 ? std::vector<int>{1} : std::vector<int>{}) << lo;
        }
        InsertHeader(db.dm(), 2);  // committed while the query is closed
        q.ParamByName(QStringLiteral("LO"), 2);
        q.Open();
        EXPECT_EQ(q.FieldByName(QStringLiteral("ID_NAG")).AsInteger(), 2);
        q.Close();
        if (held)
            browse.Commit();
        db.Exec(QStringLiteral("delete from NAGLOWKI where ID_NAG = 2"));
        // The table's layout can change now, and the query reads on.
        db.Exec(QStringLiteral("alter table NAGLOWKI add EXTRA%1 integer").arg(held ? 1 : 2));
        q.ParamByName(QStringLiteral("LO"), 1);
        q.Open();
        EXPECT_EQ(q.FieldByName(QStringLiteral("ID_NAG")).AsInteger(), 1);
        q.Close();
    }
}

// Polish text is stored and read back as written, in the database's own
// WIN1250 columns (one byte per letter on disk) and in columns without a
// declared character set, as databases from other installations may have.
TEST(DataModule, PolishTextRoundTripsInWin1250AndUndeclaredColumns)
{
    TestDatabase db;
    db.Exec(QStringLiteral("create table OLD_TEXTS (ID integer, T varchar(60) character set NONE)"));
    const QString polish = QStringLiteral("Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ");
    for (const char* table : {"KIEROWCY", "OLD_TEXTS"}) {
        SCOPED_TRACE(table);
        TIBQuery q(db.dm().TransEdit);
        const bool drivers = QLatin1String(table) == QLatin1String("KIEROWCY");
        q.SetSQL(drivers ? QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, NAZWISKO) values (1, :T)")
                         : QStringLiteral("insert into OLD_TEXTS (ID, T) values (1, :T)"));
        q.ParamByName(QStringLiteral("T"), polish);
        ASSERT_TRUE(db.dm().ExecEdit(q)) << db.dm().LastEditError().toStdString();
        const QString column = drivers ? QStringLiteral("NAZWISKO") : QStringLiteral("T");
        EXPECT_EQ(db.Scalar(QStringLiteral("select %1 from %2").arg(column, QString::fromLatin1(table))).toString(),
                  polish);
        // A search with the text as a parameter finds the row.
        TIBQuery find(db.dm().TransBrowse);
        find.SetSQL(QStringLiteral("select count(*) as ILE from %1 where %2 = :T").arg(QString::fromLatin1(table), column));
        find.ParamByName(QStringLiteral("T"), polish);
        find.Open();
        EXPECT_EQ(find.FieldByName(QStringLiteral("ILE")).AsInteger(), 1);
    }
    EXPECT_EQ(Count(db, QStringLiteral("select octet_length(NAZWISKO) from KIEROWCY")), polish.size());
}

TEST(DataModule, NextPositionIdIsOneOnAnEmptyTableThenMaxPlusOne)
{
    TestDatabase db;
    EXPECT_EQ(db.dm().NextPositionId(), 1);
    db.Exec(QStringLiteral("insert into POZYCJE (ID_POZYCJI, ID_NAGLOWKA) values (41, 1)"));
    EXPECT_EQ(db.dm().NextPositionId(), 42);
}

// A new database file of the program writes every change through to the
// disk, so a crash loses nothing committed; only the tests' throw-away
// copies skip that.
TEST(DataModule, ANewDatabaseFileForcesItsWrites)
{
    auto forcedWrites = [](TDM& dm) {
        TIBQuery q(dm.TransBrowse);
        q.SetSQL(QStringLiteral("select MON$FORCED_WRITES from MON$DATABASE"));
        q.Open();
        return q.FieldValue(0).toInt();
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("KROMDB.GDB"));
    QString error;
    ASSERT_TRUE(CreateDatabaseFile(path, &error)) << error.toStdString();
    TDM dm;
    ASSERT_TRUE(dm.OpenDatabase(path)) << dm.LastOpenError().toStdString();
    EXPECT_EQ(forcedWrites(dm), 1);

    TestDatabase db;
    EXPECT_EQ(forcedWrites(db.dm()), 0);
}

TEST(DataModule, OpenDatabaseWithABadNameFailsAndLeavesTheConnectionClosed)
{
    TestDatabase db;
    EXPECT_TRUE(db.dm().Connected());
    EXPECT_FALSE(db.dm().OpenDatabase(db.Folder() + QStringLiteral("missing.gdb")));
    EXPECT_FALSE(db.dm().Connected());
    EXPECT_FALSE(db.dm().LastOpenError().isEmpty());
    // The same data module opens the good file again.
    EXPECT_TRUE(db.dm().OpenDatabase(db.Path()));
    EXPECT_TRUE(db.dm().OpenDatabase(db.Path()));  // reopening an open connection
    EXPECT_EQ(db.dm().NextPositionId(), 1);
}

TEST(DataModule, OtherHostsGoToTheirServerOnly)
{
    TestDatabase db;
    EXPECT_FALSE(db.dm().OpenDatabase(QStringLiteral("no-such-host.invalid:") + db.Path()));
    EXPECT_FALSE(db.dm().Connected());
}

TEST(DataModule, LocalhostWithoutAServerFallsBackToTheEmbeddedEngine)
{
    TestDatabase db;
    // Port 3 on the loopback has no Firebird server.
    ASSERT_TRUE(db.dm().OpenDatabase(QStringLiteral("localhost/3:") + db.Path()))
        << db.dm().LastOpenError().toStdString();
    EXPECT_EQ(db.dm().DatabaseName(), db.Path());
    InsertHeader(db.dm(), 3);
    EXPECT_EQ(Count(db, QStringLiteral("select count(*) from NAGLOWKI")), 1);
}

// Needs a Firebird server on localhost:3050 whose SYSDBA password is the
// program's (the CI script starts one); skipped elsewhere unless required.
TEST(DataModule, LocalhostWithAServerGoesThroughTheServer)
{
    const bool required = qEnvironmentVariableIntValue("PITROVA_REQUIRE_FB_SERVER") == 1;
    if (!required)
        GTEST_SKIP() << "set PITROVA_REQUIRE_FB_SERVER=1 with a running server to test the server road";
    // The server runs as its own user: the file and its folder must be theirs.
    const passwd* pw = ::getpwnam("firebird");
    ASSERT_NE(pw, nullptr);
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pitrova-server-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("KROMDB.GDB"));
    QString error;
    ASSERT_TRUE(CreateDatabaseFile(path, &error)) << error.toStdString();
    ASSERT_EQ(::chown(QFile::encodeName(dir.path()).constData(), pw->pw_uid, pw->pw_gid), 0);
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), pw->pw_uid, pw->pw_gid), 0);

    TDM dm;
    ASSERT_TRUE(dm.OpenDatabase(QStringLiteral("localhost:") + path)) << dm.LastOpenError().toStdString();
    EXPECT_EQ(dm.DatabaseName(), QStringLiteral("localhost:") + path);
    UpgradeSchema(dm);
    InsertHeader(dm, 9);
    TIBQuery q(dm.TransBrowse);
    q.SetSQL(QStringLiteral("select count(*) from NAGLOWKI"));
    q.Open();
    EXPECT_EQ(q.FieldValue(0).toInt(), 1);
    // The attachment really is a remote one.
    q.SetSQL(QStringLiteral("select MON$REMOTE_PROTOCOL from MON$ATTACHMENTS where MON$ATTACHMENT_ID = CURRENT_CONNECTION"));
    q.Open();
    EXPECT_FALSE(q.FieldByName(QStringLiteral("MON$REMOTE_PROTOCOL")).AsString().trimmed().isEmpty());
}

TEST(Queries, AStatementRunInsideATransactionIsUndoneByItsRollback)
{
    TestDatabase db;
    TIBQuery q(db.dm().TransEdit);
    q.SetSQL(QStringLiteral("insert into NAGLOWKI (ID_NAG) values (:ID)"));
    q.ParamByName(QStringLiteral("ID"), 1);
    q.ExecSQL();  // outside a transaction: committed on its own
    db.dm().TransEdit.StartTransaction();
    for (int id = 2; id <= 4; ++id) {  // the same query object, now inside the transaction
        q.ParamByName(QStringLiteral("ID"), id);
        q.ExecSQL();
    }
    db.dm().TransEdit.Rollback();
    EXPECT_EQ(Count(db, QStringLiteral("select count(*) from NAGLOWKI")), 1);

    db.dm().TransEdit.StartTransaction();  // and again in a fresh transaction
    q.ParamByName(QStringLiteral("ID"), 7);
    q.ExecSQL();
    db.dm().TransEdit.Commit();
    EXPECT_EQ(Count(db, QStringLiteral("select max(ID_NAG) from NAGLOWKI")), 7);
}

TEST(Queries, ParametersBindByNameOutsideQuotesAndNullAndBlobValues)
{
    TestDatabase db;
    TIBQuery ins(db.dm().TransEdit);
    ins.SetSQL(QStringLiteral("insert into TORY (ID_TORU, NAZWA, OPIS, ZDJECIE, DLUGOSC) values (:ID, ':ID is text', :OPIS, :ZDJECIE, :D)"));
    ins.ParamByName(QStringLiteral("id"), 100000);
    ins.ParamByName(QStringLiteral(":OPIS"), QStringLiteral("Zażółć gęślą jaźń"));
    const QByteArray blob("\x00\x01\xff\x42M", 5);
    ins.ParamByName(QStringLiteral("ZDJECIE"), blob);
    ins.ParamByName(QStringLiteral("D"), QVariant());
    ASSERT_TRUE(db.dm().ExecEdit(ins)) << db.dm().LastEditError().toStdString();
    EXPECT_THROW(ins.ParamByName(QStringLiteral("NOPE"), 1), DatabaseError);

    TIBQuery sel(db.dm().TransBrowse);
    sel.SetSQL(QStringLiteral("select * from TORY where ID_TORU = :ID and ID_TORU >= :ID"));
    sel.ParamByName(QStringLiteral("ID"), 100000);
    sel.Open();
    ASSERT_FALSE(sel.Eof());
    EXPECT_EQ(sel.FieldByName(QStringLiteral("nazwa")).AsString(), QStringLiteral(":ID is text"));
    EXPECT_EQ(sel.FieldByName(QStringLiteral("OPIS")).AsString(), QStringLiteral("Zażółć gęślą jaźń"));
    EXPECT_EQ(sel.FieldByName(QStringLiteral("ZDJECIE")).AsBytes(), blob);
    EXPECT_TRUE(sel.FieldByName(QStringLiteral("DLUGOSC")).IsNull());
    EXPECT_EQ(sel.FieldByName(QStringLiteral("DLUGOSC")).AsFloat(), 0.0);
    EXPECT_THROW(sel.FieldByName(QStringLiteral("NOPE")), DatabaseError);
    sel.Next();
    EXPECT_TRUE(sel.Eof());
}

// Values read through either transaction come in the types the rest of
// the program reads them by, NULL as a null value of its column's type.
TEST(Queries, ValuesComeInTheirColumnsTypesInBothTransactions)
{
    TestDatabase db;
    struct Case {
        const char* expression;
        QMetaType type;
        QVariant value;
    } cases[] = {
        {"cast(7 as smallint)", QMetaType::fromType<int>(), 7},
        {"cast(-8 as integer)", QMetaType::fromType<int>(), -8},
        {"cast(5000000000 as bigint)", QMetaType::fromType<qlonglong>(), qlonglong(5000000000)},
        {"count(*)", QMetaType::fromType<qlonglong>(), qlonglong(1)},
        {"cast(12.34 as numeric(9,2))", QMetaType::fromType<double>(), 12.34},
        {"cast(1.5 as float)", QMetaType::fromType<double>(), 1.5},
        {"cast('ab' as char(5))", QMetaType::fromType<QString>(), QStringLiteral("ab")},
        {"cast('Łódź' as varchar(10))", QMetaType::fromType<QString>(), QStringLiteral("Łódź")},
        {"cast('2024-06-20 10:11:12.345' as timestamp)", QMetaType::fromType<QDateTime>(),
         QDateTime(QDate(2024, 6, 20), QTime(10, 11, 12, 345))},
        {"cast('2024-06-20' as date)", QMetaType::fromType<QDate>(), QDate(2024, 6, 20)},
        {"true", QMetaType::fromType<bool>(), true},
        {"cast(null as integer)", QMetaType::fromType<int>(), QVariant()},
    };
    for (const Case& c : cases) for (TTransaction* t : {&db.dm().TransBrowse, &db.dm().TransEdit}) {
        SCOPED_TRACE(c.expression);
        SCOPED_TRACE(t->ConnectionName().toStdString());
        TIBQuery q(*t);
        q.SetSQL(QStringLiteral("select %1 as V from RDB$DATABASE").arg(QString::fromUtf8(c.expression)));
        q.Open();
        EXPECT_EQ(q.FieldType(0), c.type);
        const QVariant v = q.FieldValue(0);
        if (c.value.isNull()) {
            EXPECT_TRUE(v.isNull());
            EXPECT_EQ(v.metaType(), c.type);
        } else {
            EXPECT_EQ(v, c.value);
        }
    }
}

// Inside the write transaction a query reads what the transaction wrote
// before it is committed; others see it only after.  RowsAffected counts the
// rows each statement changed, inside a transaction and outside.
TEST(Queries, TheWriteTransactionReadsItsOwnWritesAndCountsTheRowsChanged)
{
    TestDatabase db;
    db.Exec(QStringLiteral("create table T (I integer not null primary key, V char(4))"));
    TTransaction& edit = db.dm().TransEdit;
    TIBQuery write(edit);
    auto run = [&](const char* sql) {
        write.SetSQL(QString::fromLatin1(sql));
        write.ExecSQL();
        return write.RowsAffected();
    };
    auto count = [&](TTransaction& t) {
        TIBQuery q(t);
        q.SetSQL(QStringLiteral("select count(*) from T"));
        q.Open();
        return q.FieldValue(0).toInt();
    };

    edit.StartTransaction();
    EXPECT_EQ(run("insert into T (I, V) values (1, 'a')"), 1);
    EXPECT_EQ(run("insert into T (I, V) select 1 + RDB$RELATION_ID, 'b' from RDB$RELATIONS where RDB$RELATION_ID in (1, 2)"), 2);
    EXPECT_EQ(run("update T set V = 'c' where I >= 2"), 2);
    EXPECT_EQ(run("delete from T where I = 99"), 0);
    EXPECT_EQ(run("select * from T"), 0);
    EXPECT_EQ(count(edit), 3);
    EXPECT_EQ(count(db.dm().TransBrowse), 0);
    {
        TIBQuery q(edit);
        q.SetSQL(QStringLiteral("select V from T where I = 1"));
        q.Open();
        EXPECT_EQ(q.FieldByName(QStringLiteral("V")).AsString(), QStringLiteral("a"));  // without CHAR padding
    }
    edit.Rollback();
    EXPECT_EQ(count(db.dm().TransBrowse), 0);

    // Outside a transaction every statement commits on its own.
    EXPECT_EQ(run("insert into T (I, V) values (1, 'a')"), 1);
    EXPECT_EQ(run("update T set V = 'd'"), 1);
    EXPECT_FALSE(edit.Active());
    EXPECT_EQ(db.Scalar(QStringLiteral("select V from T")).toString(), QStringLiteral("d"));
}
