// Splits written through the lap page's key presses against the real server, as the writer
// applies them: the split, its stamp and its passing-log row together; what other
// workstations wrote meanwhile is never overwritten, and a refused key press leaves nothing
// behind.
#include "support/PressAndApply.h"

#include "common/uComm.h"
#include "data/Udm1.h"
#include "data/rules/SplitRules.h"
#include "data/sql/SqlValue.h"
#include "support/QtPrinting.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

class SplitWrites : public testing::Test {
protected:
    void SetUp() override {
        uComm::RaceCode = "R1";
        db.Exec("insert into env (tcode,class,lapn) values ('R1','M',3)");
        db.Exec("insert into result (tcode,zek,bib,class1,startedtime) values "
                "('R1','0012','12','M','10:00:00.0000'), ('R1','0013','13','M','10:00:00.0000'),"
                " ('R1','0014','14','M','10:00:00.0000')");
        AddStamp("10:12:34.5678");
        keys.Load();
    }
    void AddStamp(const QString& tm) const {
        db.Exec("insert into tdc_mid (tcode,dt,getstr,bib,st,tm,tstat) values "
                "('R1', now(), '', '0000', 'C1', " +
                SqlValue(tm) + ", ' ')");
    }
    StampRef Stamp(const QString& tm = "10:12:34.5678") const {
        return PressAndApply::Stored(db, tm);
    }
    QList<QStringList> Written() const {
        return db.Rows("select zek, midtime1, midfin1, midtime2, midfin2, midst2 from result"
                       " where midfin1 <> '' order by zek") +
               db.Rows("select tm, sumi from tdc_mid order by id") +
               db.Rows("select bib, mtime, tod from midjyun order by tod");
    }

    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
    PressAndApply keys{dm.DB};
};

TEST_F(SplitWrites, WritesSplitTimeAndPassingTogetherFromOneKeyPress) {
    EXPECT_TRUE(keys.Cache().Competitor("0012").registered);
    EXPECT_EQ(keys.Cache().Competitor("0012").lapn, 3);
    const AppliedAction split = keys.Lap("12", BibKey::Enter, Stamp());
    ASSERT_TRUE(split.Applied()) << qPrintable(split.Refusal());
    EXPECT_EQ(split.action.request.number, 1);
    EXPECT_EQ(Written(), QList<QStringList>({{"0012", "   12:34.5", "10:12:34.5678", "", "", ""},
                                             {"10:12:34.5678", "1"},
                                             {"012", "   12:34.5", "10:12:34.5678"}}));
    // The time is used now: a key press cannot take it again, a hand assignment can.
    const QList<QStringList> once = Written();
    EXPECT_EQ(keys.Lap("13", BibKey::Enter, Stamp()).Refusal(), TimeGoneMessage);
    EXPECT_EQ(Written(), once);
    const AppliedAction byHand = keys.Assign("0013", Stamp());
    EXPECT_TRUE(byHand.Applied()) << qPrintable(byHand.Refusal());
    EXPECT_EQ(db.Scalar("select midfin1 from result where zek = '0013'"), "10:12:34.5678");
}

// Written at other workstations after this one read the race: the key press is decided again
// from the rows as they are now. A split there stays, whatever the new decision is; a stamp
// taken or deleted there refuses the whole key press.
TEST_F(SplitWrites, WhatAnotherWorkstationWroteMeanwhileIsNeitherOverwrittenNorHalfWritten) {
    db.Exec(
        "update result set midtime1 = '    5:00.0', midfin1 = '10:05:00.0000' where zek = '0012'");
    db.Exec(
        "update result set midtime1 = '   11:00.0', midfin1 = '10:11:00.0000' where zek = '0013'");
    AddStamp("10:12:35.0000");

    const AppliedAction second = keys.Lap("12", BibKey::Enter, Stamp());
    ASSERT_TRUE(second.Applied()) << qPrintable(second.Refusal());
    EXPECT_EQ(second.press.action->request.number, 1); // as the copy decided it
    EXPECT_EQ(second.outcome->note,
              "0012 は中間2 として記録しました（中間1 は他の端末で記録済み）");
    EXPECT_EQ(second.action.request.number, 2);
    EXPECT_EQ(db.Rows("select midtime1, midfin1, midtime2, midfin2, midst2 from result"
                      " where zek = '0012'"),
              QList<QStringList>({{"    5:00.0", "10:05:00.0000", "   12:34.5", "10:12:34.5678",
                                   "10:00:00.0000"}}));

    // Decided again, 0013's time is too soon after the split written there.
    QList<QStringList> before = Written();
    EXPECT_EQ(keys.Lap("13", BibKey::Enter, Stamp("10:12:35.0000")).Refusal(),
              "ビブNo.0013 は 1分35秒前に中間1 を記録済みです。");
    EXPECT_EQ(Written(), before);

    // The pending time taken meanwhile: the split, which the block writes first, goes too.
    db.Exec("update tdc_mid set sumi = '1'");
    before = Written();
    EXPECT_EQ(keys.Lap("14", BibKey::Enter, Stamp("10:12:35.0000")).Refusal(), TimeGoneMessage);
    EXPECT_EQ(Written(), before);

    // Gone altogether, even a hand assignment is refused.
    const StampRef gone = Stamp("10:12:35.0000");
    db.Exec("delete from tdc_mid");
    before = Written();
    const AppliedAction byHand = keys.Assign("0014", gone);
    EXPECT_FALSE(byHand.Applied());
    EXPECT_EQ(byHand.Refusal(), TimeGoneMessage);
    EXPECT_EQ(Written(), before);
}

TEST_F(SplitWrites, DiscardTakesOnlyAPendingTime) {
    const AppliedAction discard = keys.Lap("0", BibKey::Enter, Stamp());
    EXPECT_TRUE(discard.Applied()) << qPrintable(discard.Refusal());
    EXPECT_EQ(db.Scalar("select sumi from tdc_mid"), "2");
    db.Exec("update tdc_mid set sumi = '1'");
    EXPECT_EQ(keys.Lap("0", BibKey::Enter, Stamp()).Refusal(), TimeGoneMessage);
    EXPECT_EQ(db.Scalar("select sumi from tdc_mid"), "1");
}

} // namespace
