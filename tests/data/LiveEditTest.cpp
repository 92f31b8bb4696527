// Editing the rows of a live query: written on post, identified by the values as read,
// a row changed meanwhile by another program is not overwritten.
#include "data/DatabaseError.h"
#include "data/LiveUpdate.h"
#include "data/Udm1.h"
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
        q.Add("select zek,startedtime,midtime1,midtime2,midtime3,midtime4,midtime5,finishtime,runtime");
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

TEST_F(LiveEdit, ARowChangedMeanwhileIsNotOverwrittenAndTheEditStays) {
    db.Exec("update result set midtime1 = '   11:59.9' where tcode='R1' and zek='0001'");
    q.SetFieldText(0, Column("midtime1"), "   12:00.1");
    EXPECT_THROW(q.Post(0), DatabaseError);
    EXPECT_EQ(db.Scalar("select midtime1 from result where tcode='R1' and zek='0001'"), "   11:59.9");
    EXPECT_TRUE(q.RowModified(0));
    EXPECT_EQ(q.Value(0, Column("midtime1")), "   12:00.1");
    q.CancelRow(0);
    EXPECT_FALSE(q.RowModified(0));
    EXPECT_EQ(q.Value(0, Column("midtime1")), "   12:00.0");
}

TEST_F(LiveEdit, ValuesAreStoredExactlyAsTyped) {
    const QString typed = QStringLiteral("1'2\\3 ソ表");
    q.SetFieldText(1, Column("midtime3"), typed);
    q.Post(1);
    q.Open();
    EXPECT_EQ(q.Value(1, Column("midtime3")), typed);
    q.SetFieldText(1, Column("midtime3"), "x");
    q.Post(1); // found by the value as read, apostrophe and backslash included
    EXPECT_EQ(db.Scalar("select midtime3 from result where tcode='R1' and zek='0002'"), "x");
}

TEST_F(LiveEdit, ReadOnlyQueriesRefuseEdits) {
    q.SetRequestLive(false);
    q.Open();
    EXPECT_THROW(q.SetFieldText(0, 2, "x"), DatabaseError);
    EXPECT_FALSE(ParseLiveSelect("update result set a = 1").has_value());
    const auto select = ParseLiveSelect("select a,b\r\nfrom result where tcode='R1'\r\norder by zek");
    ASSERT_TRUE(select.has_value());
    EXPECT_EQ(select->Table, "result");
    EXPECT_EQ(select->Condition, "tcode='R1'");
}

} // namespace
