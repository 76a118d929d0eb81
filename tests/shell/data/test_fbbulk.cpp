// The bulk-row layer against a real Firebird database: typed values in and
// out, statements reused row after row, and the transaction guarantees
// (failed commit, lock time-out, read-only).
#include <gtest/gtest.h>

#include <cmath>

#include "shell/data/fbbulk.h"
#include "support/testdb.h"

namespace {

class FbBulkTest : public ::testing::Test {
protected:
    TestDatabase db{false};

    void SetUp() override
    {
        db.Exec(QStringLiteral("create table T (I integer, S smallint, B bigint, N numeric(9,2), "
                               "D double precision, F float, V varchar(20), C char(5), TS timestamp, "
                               "DT date, BL blob sub_type 0, BO boolean)"));
    }
};

TEST_F(FbBulkTest, EveryColumnTypeGoesInAndComesBackTypedIncludingNulls)
{
    const QString text = QStringLiteral("Zażółć gęślą");  // code page 1250 letters through UTF-8
    const QByteArray bytes("\x00\x01\xff\x7f bytes", 10);
    const TDateTime stamp = 45000.75;     // 2023-03-15 18:00
    const TDateTime before = ToTDateTime(QDateTime(QDate(1898, 1, 30), QTime(6, 0)));  // before day 0
    {
        FbTransaction tr(db.dm().TransEdit.Database());
        tr.StartWrite(5);
        FbStatement ins(tr, QStringLiteral("insert into T values (:I, :S, :B, :N, :D, :F, :V, :C, :TS, :DT, :BL, :BO)"));
        ASSERT_EQ(ins.ParamCount(), 12);
        auto p = [&](const char* n) { return ins.ParamIndex(QString::fromLatin1(n)); };
        ins.SetInt(p("i"), -123456);
        ins.SetInt(p("S"), -300);
        ins.SetInt64(p("B"), int64_t(1) << 40);
        ins.SetDouble(p("N"), 12.345);
        ins.SetDouble(p("D"), 2.5);
        ins.SetDouble(p("F"), 0.25);
        ins.SetText(p("V"), text);
        ins.SetText(p("C"), std::string_view("ab"));
        ins.SetTimestamp(p("TS"), stamp);
        ins.SetTimestamp(p("DT"), before);
        ins.SetBlob(p("BL"), bytes);
        ins.SetInt(p("BO"), 1);
        ins.Execute();
        for (int i = 0; i < ins.ParamCount(); ++i)
            ins.SetNull(i);
        ins.Execute();
        tr.Commit();
    }

    FbTransaction tr(db.dm().TransBrowse.Database());
    tr.StartRead();
    FbStatement sel(tr, QStringLiteral("select * from T order by I nulls last"));
    ASSERT_EQ(sel.ColumnCount(), 12);
    const int cI = sel.ColumnIndex(QStringLiteral("i")), cS = sel.ColumnIndex(QStringLiteral("S")),
              cB = sel.ColumnIndex(QStringLiteral("B")), cN = sel.ColumnIndex(QStringLiteral("N")),
              cD = sel.ColumnIndex(QStringLiteral("D")), cF = sel.ColumnIndex(QStringLiteral("F")),
              cV = sel.ColumnIndex(QStringLiteral("V")), cC = sel.ColumnIndex(QStringLiteral("C")),
              cTS = sel.ColumnIndex(QStringLiteral("TS")), cDT = sel.ColumnIndex(QStringLiteral("DT")),
              cBL = sel.ColumnIndex(QStringLiteral("BL")), cBO = sel.ColumnIndex(QStringLiteral("BO"));
    EXPECT_EQ(sel.ColumnIndex(QStringLiteral("NOPE")), -1);
    EXPECT_EQ(sel.ColumnName(cTS), QStringLiteral("TS"));
    sel.Open();

    ASSERT_TRUE(sel.Fetch());
    EXPECT_EQ(sel.Int(cI), -123456);
    EXPECT_EQ(sel.Int(cS), -300);
    EXPECT_EQ(sel.Int64(cB), int64_t(1) << 40);
    EXPECT_THROW(sel.Int(cB), DatabaseError);  // does not fit 32 bits
    EXPECT_DOUBLE_EQ(sel.Double(cN), 12.35);   // NUMERIC(9,2) rounds on the way in
    EXPECT_EQ(sel.Int(cN), 12);
    EXPECT_DOUBLE_EQ(sel.Double(cD), 2.5);
    EXPECT_EQ(sel.Int(cD), 2);  // halves to the even neighbour
    EXPECT_DOUBLE_EQ(sel.Double(cF), 0.25);
    EXPECT_DOUBLE_EQ(sel.Double(cI), -123456.0);
    EXPECT_EQ(sel.Text(cV), text);
    EXPECT_EQ(sel.TextView(cC), "ab");  // without the CHAR padding
    EXPECT_NEAR(sel.Timestamp(cTS), stamp, 1e-9);
    EXPECT_EQ(sel.Timestamp(cDT), std::trunc(before));  // a DATE keeps the day only
    EXPECT_EQ(sel.Blob(cBL), bytes);
    EXPECT_EQ(sel.Int(cBO), 1);
    for (int c = 0; c < sel.ColumnCount(); ++c)
        EXPECT_FALSE(sel.IsNull(c)) << c;
    EXPECT_THROW(sel.Text(cI), DatabaseError);
    EXPECT_THROW(sel.Int(cV), DatabaseError);
    EXPECT_THROW(sel.Int(99), DatabaseError);

    ASSERT_TRUE(sel.Fetch());
    for (int c = 0; c < sel.ColumnCount(); ++c)
        EXPECT_TRUE(sel.IsNull(c)) << c;
    EXPECT_EQ(sel.Int(cI), 0);
    EXPECT_EQ(sel.Double(cD), 0.0);
    EXPECT_TRUE(sel.TextView(cV).empty());
    EXPECT_EQ(sel.Timestamp(cTS), 0.0);
    EXPECT_TRUE(sel.Blob(cBL).isEmpty());
    EXPECT_FALSE(sel.Fetch());
    EXPECT_FALSE(sel.Fetch());  // stays at the end
    tr.Commit();

    // Dates as the Qt side reads and writes them.
    EXPECT_EQ(db.Scalar(QStringLiteral("select TS from T where I is not null")).toDateTime(), FromTDateTime(stamp));
    EXPECT_EQ(db.Scalar(QStringLiteral("select DT from T where I is not null")).toDate(), QDate(1898, 1, 30));
    db.Exec(QStringLiteral("update T set TS = '1898-01-30 06:00:00'"));
    FbTransaction again(db.dm().TransBrowse.Database());
    again.StartRead();
    FbStatement ts(again, QStringLiteral("select TS from T where I is not null"));
    ts.Open();
    ASSERT_TRUE(ts.Fetch());
    EXPECT_NEAR(ts.Timestamp(0), before, 1e-9);
}

TEST_F(FbBulkTest, PreparedInsertIsReusedPerRowAndTheRowsReadBackInOrder)
{
    constexpr int kRows = 2000;
    FbTransaction tr(db.dm().TransEdit.Database());
    tr.StartWrite(5);
    FbStatement ins(tr, QStringLiteral("insert into T (I, D, V) values (:I, :D, :V)"));
    const int pi = ins.ParamIndex(QStringLiteral("I")), pd = ins.ParamIndex(QStringLiteral("D")),
              pv = ins.ParamIndex(QStringLiteral("V"));
    EXPECT_EQ(ins.ParamIndex(QStringLiteral("X")), -1);
    for (int i = 0; i < kRows; ++i) {
        ins.SetInt(pi, kRows - i);
        ins.SetDouble(pd, i / 10.0);
        if (i % 7 == 0)
            ins.SetNull(pv);
        else
            ins.SetText(pv, QString::number(i));
        ins.Execute();
    }
    tr.Commit();

    // A statement outlives its transaction and runs in the next; a name used
    // twice binds both places.
    tr.StartRead();
    FbStatement sel(tr, QStringLiteral("select I, D, V from T where I > :LO and I <= :LO + 1000 order by I"));
    ASSERT_EQ(sel.ParamCount(), 1);
    sel.SetInt(sel.ParamIndex(QStringLiteral("lo")), 0);
    for (int pass = 0; pass < 2; ++pass) {
        sel.Open();
        int expected = 1;
        while (sel.Fetch()) {
            const int i = kRows - expected;
            ASSERT_EQ(sel.Int(0), expected);
            ASSERT_DOUBLE_EQ(sel.Double(1), i / 10.0);
            ASSERT_EQ(sel.IsNull(2), i % 7 == 0);
            if (i % 7 != 0) {
                ASSERT_EQ(sel.Text(2), QString::number(i));
            }
            ++expected;
        }
        EXPECT_EQ(expected, 1001);
        tr.Commit();
        tr.StartRead();
    }
    // The Qt side sees the same database.
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from T")).toInt(), kRows);
}

TEST_F(FbBulkTest, TextForAMemoColumnGoesWholeAsBlobDataAndForAVarcharIsBounded)
{
    db.Exec(QStringLiteral("create table M (I integer, MEMO blob sub_type text)"));
    const QString memo = QString(QStringLiteral("Zakręt ł ")).repeated(4000);  // over 32,767 bytes in UTF-8
    {
        FbTransaction tr(db.dm().TransEdit.Database());
        tr.StartWrite(5);
        FbStatement ins(tr, QStringLiteral("insert into M values (:I, :MEMO)"));
        ins.SetInt(0, 1);
        ins.SetText(1, memo);
        ins.Execute();
        // A text marker itself still carries at most 32,767 bytes.
        FbStatement v(tr, QStringLiteral("insert into T (I, V) values (:I, :V)"));
        v.SetInt(0, 1);
        EXPECT_THROW(v.SetText(1, memo), DatabaseError);
        tr.Commit();
    }
    FbTransaction tr(db.dm().TransBrowse.Database());
    tr.StartRead();
    FbStatement sel(tr, QStringLiteral("select MEMO from M"));
    sel.Open();
    ASSERT_TRUE(sel.Fetch());
    EXPECT_EQ(QString::fromUtf8(sel.Blob(0)), memo);
}

TEST_F(FbBulkTest, RefusedStatementsCarryTheEnginesMessage)
{
    FbTransaction tr(db.dm().TransEdit.Database());
    EXPECT_THROW(FbStatement(tr, QStringLiteral("select * from T")), DatabaseError);  // not started
    tr.StartWrite(5);
    try {
        FbStatement bad(tr, QStringLiteral("select * from NO_SUCH_TABLE"));
        FAIL() << "prepared";
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("NO_SUCH_TABLE"), std::string::npos) << e.what();
    }
    EXPECT_THROW(FbStatement(tr, QStringLiteral("select * from T where I = :A or I = ?")), DatabaseError);
    FbStatement positional(tr, QStringLiteral("insert into T (I, V) values (?, ?)"));
    EXPECT_EQ(positional.ParamCount(), 2);
    positional.SetInt(0, 1);
    positional.SetText(1, std::string_view("this text is longer than twenty characters"));
    EXPECT_THROW(positional.Execute(), DatabaseError);
    EXPECT_TRUE(tr.Active());  // a failed statement leaves its transaction to the caller
    tr.Rollback();
    tr.Rollback();  // harmless when nothing is active
    EXPECT_FALSE(tr.Active());
}

TEST_F(FbBulkTest, ReadOnlyTransactionRefusesWrites)
{
    FbTransaction tr(db.dm().TransBrowse.Database());
    tr.StartRead();
    FbStatement ins(tr, QStringLiteral("insert into T (I) values (1)"));
    try {
        ins.Execute();
        FAIL() << "written";
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("read-only"), std::string::npos) << e.what();
    }
    tr.Rollback();
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from T")).toInt(), 0);
}

class FbLockTest : public FbBulkTest {
protected:
    void SetUp() override
    {
        FbBulkTest::SetUp();
        db.Exec(QStringLiteral("insert into T (I, V) values (1, 'start')"));
    }
    // Updates row 1 on the given transaction.
    static void Touch(FbTransaction& tr, const char* value)
    {
        FbStatement up(tr, QStringLiteral("update T set V = :V where I = 1"));
        up.SetText(0, std::string_view(value));
        up.Execute();
    }
    QString Value() { return db.Scalar(QStringLiteral("select V from T where I = 1")).toString(); }
};

TEST_F(FbLockTest, FailedCommitEndsItsTransactionAndReleasesItsLocks)
{
    db.Exec(QStringLiteral("create exception E_REFUSED 'commit refused here'"));
    db.Exec(QStringLiteral("create trigger T_REFUSE on transaction commit as begin "
                           "if (rdb$get_context('USER_TRANSACTION', 'REFUSE') = '1') then exception E_REFUSED; end"));

    FbTransaction first(db.dm().TransEdit.Database());
    first.StartWrite(1);
    Touch(first, "first");
    FbStatement refuse(first, QStringLiteral("select rdb$set_context('USER_TRANSACTION', 'REFUSE', '1') from rdb$database"));
    refuse.Open();
    ASSERT_TRUE(refuse.Fetch());
    try {
        first.Commit();
        FAIL() << "committed";
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("commit refused here"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(first.Active());

    // The other connection updates the same row at once: nothing holds it.
    FbTransaction second(db.dm().TransBrowse.Database());
    second.StartWrite(1);
    EXPECT_NO_THROW(Touch(second, "second"));
    second.Commit();
    EXPECT_EQ(Value(), QStringLiteral("second"));
}

TEST_F(FbLockTest, LockTimeoutEndsTheWaitForARowHeldElsewhere)
{
    FbTransaction holder(db.dm().TransEdit.Database());
    holder.StartWrite(1);
    Touch(holder, "held");

    FbTransaction waiter(db.dm().TransBrowse.Database());
    waiter.StartWrite(1);
    try {
        Touch(waiter, "waited");
        FAIL() << "updated a held row";
    } catch (const DatabaseError& e) {
        // The engine names the conflict the wait ended in.
        const std::string what = e.what();
        EXPECT_TRUE(what.find("lock time-out") != std::string::npos ||
                    what.find("concurrent update") != std::string::npos)
            << what;
    }
    waiter.Rollback();
    holder.Commit();
    EXPECT_EQ(Value(), QStringLiteral("held"));
}

// The failures a writer tells apart by the engine's error codes: a row
// another connection holds, a key value that is taken, anything else.
TEST_F(FbLockTest, FailuresAreToldApartByTheirCodes)
{
    db.Exec(QStringLiteral("create table K (ID integer not null primary key, X integer check (X > 0))"));
    db.Exec(QStringLiteral("insert into K (ID, X) values (1, 1)"));
    FbTransaction holder(db.dm().TransEdit.Database());
    holder.StartWrite(1);
    Touch(holder, "held");

    struct Case {
        const char* name;
        const char* sql;
        bool lock, key;
    };
    const Case cases[] = {
        {"row held elsewhere", "update T set V = 'waited' where I = 1", true, false},
        {"key taken", "insert into K (ID, X) values (1, 2)", false, true},
        {"check refused", "insert into K (ID, X) values (2, 0)", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FbTransaction tr(db.dm().TransBrowse.Database());
        tr.StartWrite(1);
        try {
            FbStatement(tr, QString::fromLatin1(c.sql)).Execute();
            ADD_FAILURE() << "written";
        } catch (const DatabaseError& e) {
            EXPECT_FALSE(e.Codes().empty());
            EXPECT_EQ(IsLockConflict(e), c.lock) << e.what();
            EXPECT_EQ(IsUniqueKeyViolation(e), c.key) << e.what();
        }
        tr.Rollback();
    }
    const std::runtime_error notTheDatabase("Read beyond end of file");
    EXPECT_FALSE(IsLockConflict(notTheDatabase));
    EXPECT_FALSE(IsUniqueKeyViolation(notTheDatabase));
    holder.Rollback();
}

}  // namespace
