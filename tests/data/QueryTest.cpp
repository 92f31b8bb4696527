// Query objects on a real server: text, open, execute, fields, errors, windows of rows.
#include "common/uComm.h"
#include "data/Udm1.h"
#include "data/sql/DatabaseError.h"
#include "data/sql/Transaction.h"
#include "support/TestDatabase.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class Query : public testing::Test {
protected:
    void SetUp() override {
        db.Exec("insert into result (tcode,zek,class1,startedtime) select 'R1', lpad(seq,4,'0'),"
                " 'M', '09:00:00.0000' from seq_1_to_10");
        db.Exec("insert into env (tcode,class,lapn) values ('R1','M',3)");
    }
    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
    TQuery& q = dm.qsetfin;
};

TEST_F(Query, LinesAreSentJoinedByCarriageReturnAndLineFeed) {
    q.Clear();
    q.Add("select lapn from env where tcode = 'R1'");
    q.Add("and class = 'M'");
    EXPECT_EQ(q.Text(), "select lapn from env where tcode = 'R1'\r\nand class = 'M'");
    q.Open();
    EXPECT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("LAPN").AsInteger(), 3); // names found without regard to case
    EXPECT_EQ(q.FieldByName("lapn").AsString(), "3");
    // The line break separates tokens: "a.runtime" / "and ..." stays two tokens.
    q.Clear();
    q.Add("select zek from result where tcode = 'R1' and zek");
    q.Add("and zek <> '0001' order by zek");
    q.Open();
    EXPECT_EQ(q.RecordCount(), 9);
}

TEST_F(Query, WalksRowsAndGivesEmptyValuesWithoutARow) {
    q.Clear();
    q.Add("select zek from result where tcode = 'R1' order by zek");
    q.Open();
    QStringList zeks;
    for (q.First(); !q.Eof(); q.Next())
        zeks << q.FieldByName("zek").AsString();
    EXPECT_EQ(zeks.size(), 10);
    EXPECT_EQ(zeks.front(), "0001");
    EXPECT_TRUE(q.Locate("zek", "0007"));
    EXPECT_EQ(q.RecNo(), 6);
    EXPECT_FALSE(q.Locate("zek", "7"));
    EXPECT_EQ(q.RecNo(), 6);

    q.Clear();
    q.Add("select * from result where tcode = 'R1'");
    q.Add("and zek = '9999'");
    q.Open();
    EXPECT_EQ(q.RecordCount(), 0);
    EXPECT_EQ(q.FieldByName("startedtime").AsString(), "");
    EXPECT_EQ(q.FieldByName("class1").AsString(), "");
    EXPECT_THROW(q.FieldByName("nosuchfield"), DatabaseError);
}

TEST_F(Query, ServerErrorsCarryTheServersMessage) {
    q.Clear();
    q.Add("update result set midtime6 = '' where tcode = 'R1'");
    try {
        q.ExecSQL();
        FAIL() << "no error";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains("Unknown column 'midtime6'")) << e.what();
        EXPECT_FALSE(e.message().startsWith("[")) << "driver tags left in";
        EXPECT_EQ(e.nativeCode(), "1054");
    }
    EXPECT_FALSE(q.Active());
}

// A statement the server will never run is told apart from one it cannot run now: the
// action writer refuses the first and sends the second again.
TEST_F(Query, ALockWaitIsTemporaryAndAnUnknownColumnIsNot) {
    q.SetSQL({"update result set midtime6 = '' where tcode = 'R1'"});
    try {
        q.ExecSQL();
        FAIL() << "no error";
    } catch (const DatabaseError& e) {
        EXPECT_FALSE(e.isTemporary()) << e.what();
    }
    // Another workstation holds the row; this one waits a second, then gives up.
    db.Exec("start transaction");
    db.Exec("select * from result where zek = '0001' for update");
    q.SetSQL({"set session innodb_lock_wait_timeout = 1"});
    q.ExecSQL();
    q.SetSQL({"update result set midtime1 = '' where zek = '0001'"});
    try {
        q.ExecSQL();
        FAIL() << "no lock wait";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.nativeCode(), "1205");
        EXPECT_TRUE(e.isTemporary()) << e.what();
        EXPECT_FALSE(e.isConnectionLost());
    }
    db.Exec("rollback");
}

TEST_F(Query, IntegerFieldsRefuseText) {
    q.Clear();
    q.Add("select startedtime, '' as blank from result where tcode = 'R1'");
    q.Open();
    EXPECT_THROW(q.FieldByName("startedtime").AsInteger(), ConversionError);
    EXPECT_EQ(q.FieldByName("blank").AsInteger(), 0);
}

TEST_F(Query, ExecuteKeepsTheRowsOfTheLastOpen) {
    q.Clear();
    q.Add("update result set status = 'A' where tcode = 'R1'");
    q.ExecSQL();
    EXPECT_EQ(db.Scalar("select count(*) from result where status = 'A'"), "10");
    EXPECT_FALSE(q.Active());
}

TEST_F(Query, AWindowFetchesRowsInOrderAsTheGridAsks) {
    TQuery& grid = dm.Qmidtime;
    grid.SetFetchWindow(4);
    grid.Clear();
    grid.Add("select * from result where tcode='R1' order by zek desc");
    grid.Open();
    EXPECT_EQ(grid.RecordCount(), 4);
    EXPECT_TRUE(grid.CanFetchMore());
    QSignalSpy appended(&grid, &TQuery::RowsAboutToBeAppended);
    grid.FetchMore();
    grid.FetchMore();
    EXPECT_EQ(grid.RecordCount(), 10);
    EXPECT_FALSE(grid.CanFetchMore());
    ASSERT_EQ(appended.size(), 2);
    EXPECT_EQ(appended[1][0].toInt(), 8);
    EXPECT_EQ(appended[1][1].toInt(), 9);
    QStringList zeks;
    for (int row = 0; row < grid.RecordCount(); ++row)
        zeks << grid.Value(row, grid.FieldIndex("zek"));
    EXPECT_EQ(zeks.front(), "0010");
    EXPECT_EQ(zeks.back(), "0001");
    EXPECT_EQ(zeks.removeDuplicates(), 0);
}

// A connection the server ended while it sat idle is only found by the next statement; that
// statement had not reached the server and runs on a new connection. Inside a transaction it
// is not sent again, where it would run outside the transaction.
TEST_F(Query, AConnectionEndedWhileIdleIsMadeAnewExceptInsideATransaction) {
    q.Clear();
    q.Add("select connection_id() as id");
    q.Open();
    const QString first = q.FieldByName("id").AsString();
    db.Exec("kill " + first);
    q.Open();
    const QString second = q.FieldByName("id").AsString();
    EXPECT_NE(second, first);

    {
        Transaction transaction(dm.DB);
        db.Exec("kill " + second);
        EXPECT_THROW(q.Open(), DatabaseError);
    }
    q.Open();
    EXPECT_NE(q.FieldByName("id").AsString(), second);
}

} // namespace
