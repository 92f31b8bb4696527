// Editing the rows of a live query: written on post, identified by the values as read (byte
// for byte, NULL included), a row changed meanwhile by another program is not overwritten,
// two rows alike are not both changed, and a change that waits outlives reopening the list.
#include "data/Udm1.h"
#include "data/sql/DatabaseError.h"
#include "data/sql/LiveUpdate.h"
#include "data/sql/SqlValue.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

class LiveEdit : public testing::Test {
protected:
    void SetUp() override {
        db.Exec("insert into result (tcode,zek,midtime1,startedtime) values"
                " ('R1','0001','   12:00.0','09:00:00.0000'), ('R1','0002','',''),"
                " ('R2','0001','   12:00.0','09:00:00.0000')");
        q.SetRequestLive(true);
        q.Clear();
        q.Add("select "
              "zek,startedtime,midtime1,midtime2,midtime3,midtime4,midtime5,finishtime,runtime");
        q.Add("from result where tcode='R1'");
        q.Add("order by zek");
        q.Open();
    }
    int Column(const char* name) { return q.FieldIndex(name); }

    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
    TQuery& q = dm.Qcheck;
};

TEST_F(LiveEdit, PostWritesTheChangedFieldOfThatRowOnly) {
    q.SetFieldText(0, Column("midtime2"), "   20:00.0");
    EXPECT_TRUE(q.RowModified(0));
    EXPECT_EQ(db.Scalar("select midtime2 from result where tcode='R1' and zek='0001'"), "");
    q.Post(0);
    EXPECT_FALSE(q.RowModified(0));
    EXPECT_EQ(db.Rows("select tcode,zek,midtime2 from result where midtime2 <> '' order by tcode"),
              QList<QStringList>({{"R1", "0001", "   20:00.0"}})); // not the other race's 0001
    q.Open();
    EXPECT_EQ(q.Value(0, Column("midtime2")), "   20:00.0");
}

TEST_F(LiveEdit, ARowChangedMeanwhileEvenInCaseOrTrailingBlanksIsNotOverwritten) {
    db.Exec("update result set midtime4 = 'dnf' where zek='0001'");
    const char* meanwhile[] = {"midtime1 = '   11:59.9'", "midtime1 = '   12:00.0 '",
                               "midtime4 = 'DNF'", "zek = '0001 '"};
    for (const char* change : meanwhile) {
        db.Exec("update result set midtime1 = '   12:00.0', midtime4 = 'dnf', zek = '0001'");
        q.Open();
        db.Exec(QString("update result set %1 where tcode='R1' and zek='0001'").arg(change));
        q.SetFieldText(0, Column("midtime2"), "   20:00.0");
        try {
            q.Post(0);
            ADD_FAILURE() << "posted over " << change;
        } catch (const DatabaseError& error) {
            EXPECT_TRUE(error.message().contains("他のプログラム")) << error.what();
        }
        EXPECT_EQ(db.Scalar("select count(*) from result where midtime2 <> ''"), "0") << change;
        EXPECT_TRUE(q.RowModified(0));
        EXPECT_EQ(q.Value(0, Column("midtime2")), "   20:00.0");
    }
    q.CancelRow(0);
    EXPECT_FALSE(q.RowModified(0));
    EXPECT_EQ(q.Value(0, Column("midtime2")), "");
}

TEST_F(LiveEdit, ARowWithNullColumnsIsWrittenAndNullIsNotTheEmptyText) {
    db.Exec("alter table result modify midtime3 varchar(20) null, modify runtime varchar(20) null");
    db.Exec("update result set midtime3 = null, runtime = null where zek='0002'");
    q.Open();
    q.SetFieldText(1, Column("midtime2"), "   20:00.0");
    q.Post(1);
    EXPECT_EQ(db.Rows("select midtime2, midtime3 is null, runtime is null from result "
                      "where tcode='R1' and zek='0002'"),
              QList<QStringList>({{"   20:00.0", "1", "1"}}));
    db.Exec("update result set midtime3 = '' where zek='0002'"); // another program
    q.SetFieldText(1, Column("midtime2"), "   21:00.0");
    EXPECT_THROW(q.Post(1), DatabaseError);
    EXPECT_EQ(db.Scalar("select midtime2 from result where tcode='R1' and zek='0002'"),
              "   20:00.0");
}

TEST_F(LiveEdit, TwoRowsAlikeAreRefusedAndNeitherIsChanged) {
    db.Exec("insert into result (tcode,zek) values ('R1','0003'), ('R1','0003')");
    q.Open();
    q.SetFieldText(2, Column("midtime1"), "   12:00.0");
    try {
        q.Post(2);
        ADD_FAILURE() << "posted to two rows";
    } catch (const DatabaseError& error) {
        EXPECT_TRUE(error.message().contains("2 行")) << error.what();
    }
    EXPECT_EQ(db.Scalar("select count(*) from result where zek='0003' and midtime1 = ''"), "2");
    EXPECT_TRUE(q.RowModified(2));
}

TEST_F(LiveEdit, HostileTextsAreStoredAsTypedOrRefusedAndTouchNothingElse) {
    // Every cell but the one edited, to see that nothing else moved.
    const QString others = "select tcode,zek,startedtime,midtime1,midtime3,midtime4,midtime5,"
                           "finishtime,runtime,if(tcode='R1' and zek='0002','',hex(midtime2)) "
                           "from result order by tcode,zek";
    db.Exec("alter table result modify midtime2 varchar(60) not null default ''");
    const QList<QStringList> before = db.Rows(others);
    const QString stored[] = {
        QString::fromUtf8("\u00a5', runtime=0x58, tcode=0x323032363132303632 -- "),
        "\\",
        "'",
        "--",
        QStringLiteral("ソ"),
        QStringLiteral("表"),
        QStringLiteral("能")};
    for (const QString& text : stored) {
        q.SetFieldText(1, Column("midtime2"), text);
        q.Post(1);
        EXPECT_EQ(db.Scalar("select hex(midtime2) from result where tcode='R1' and zek='0002'"),
                  ShiftJisBytes(text).toHex().toUpper());
        EXPECT_EQ(db.Rows(others), before) << text.toStdString();
        q.Open(); // found again by the value as read back
        q.SetFieldText(1, Column("midtime2"), "");
        q.Post(1);
    }
    for (const QString& text : {QString("a") + QChar(0) + "b", QStringLiteral("한")}) {
        q.SetFieldText(1, Column("midtime2"), text);
        try {
            q.Post(1);
            ADD_FAILURE() << "stored " << text.toStdString();
        } catch (const UnstorableTextError& error) {
            EXPECT_TRUE(error.message().contains(text)) << error.what();
        }
        q.CancelRow(1);
        EXPECT_EQ(db.Rows(others), before) << text.toStdString();
    }
}

TEST_F(LiveEdit, ARefusedChangeOutlivesReopeningUntilCancelled) {
    q.SetFieldText(0, Column("midtime1"), "   12:00.1");
    db.Exec("update result set midtime1 = '   11:59.9' where tcode='R1' and zek='0001'");
    EXPECT_THROW(q.Post(0), DatabaseError);
    db.Exec("insert into result (tcode,zek) values ('R1','0000')"); // rows move down
    q.SetSQL(q.SQL());
    q.Open();
    EXPECT_TRUE(q.RowModified(1));
    EXPECT_EQ(q.Value(1, Column("midtime1")), "   12:00.1");
    EXPECT_THROW(q.Post(1), DatabaseError); // still what was read first that counts
    q.CancelRow(1);
    EXPECT_EQ(q.Value(1, Column("midtime1")), "   11:59.9"); // as read again
    q.SetFieldText(1, Column("midtime1"), "   12:00.1");
    q.Post(1);
    EXPECT_EQ(db.Scalar("select midtime1 from result where tcode='R1' and zek='0001'"),
              "   12:00.1");

    q.SetFieldText(1, Column("midtime2"), "x"); // another statement drops what waits
    q.SetSQL({"select zek,midtime2 from result where tcode='R1'", "order by zek"});
    q.Open();
    EXPECT_FALSE(q.RowModified(1));
}

TEST_F(LiveEdit, ReadOnlyQueriesRefuseEdits) {
    q.SetRequestLive(false);
    q.Open();
    EXPECT_THROW(q.SetFieldText(0, 2, "x"), DatabaseError);
    EXPECT_FALSE(ParseLiveSelect("update result set a = 1").has_value());
    const auto select =
        ParseLiveSelect("select a,b\r\nfrom result where tcode='R1'\r\norder by zek");
    ASSERT_TRUE(select.has_value());
    EXPECT_EQ(select->Table, "result");
    EXPECT_EQ(select->Condition, "tcode='R1'");
}

} // namespace
