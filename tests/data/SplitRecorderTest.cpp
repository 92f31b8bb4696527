// Recording splits on a race that other workstations write too: what they wrote meanwhile is
// never overwritten, and a refused key press leaves nothing behind.
#include "data/SplitRecorder.h"
#include "common/uComm.h"
#include "data/Udm1.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

class SplitRecording : public testing::Test {
protected:
    void SetUp() override {
        uComm::RaceCode = "R1";
        db.Exec("insert into env (tcode,class,lapn) values ('R1','M',3)");
        db.Exec("insert into result (tcode,zek,bib,class1,startedtime) values "
                "('R1','0012','12','M','10:00:00.0000'), ('R1','0013','13','M','10:00:00.0000')");
        db.Exec("insert into tdc_mid (tcode,dt,getstr,bib,st,tm,tstat) values "
                "('R1', now(), '', '0000', 'C1', '10:12:34.5678', ' ')");
    }
    // A key press takes a pending time; a hand assignment ("") a time in any state.
    SplitRequest Take(const QString& bib, const QString& takes = "0") const {
        return {bib, "10:12:34.5678", "1", 5, takes, {}};
    }
    QList<QStringList> Written() const {
        return db.Rows(
                   "select zek, midtime1, midfin1 from result where midfin1 <> '' order by zek") +
               db.Rows("select sumi from tdc_mid") + db.Rows("select bib, mtime, tod from midjyun");
    }

    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
    SplitRecorder recorder{dm.DB};
};

TEST_F(SplitRecording, WritesSplitTimeAndPassingTogetherFromOneRead) {
    const CompetitorSplits competitor = recorder.ReadCompetitor("0012");
    EXPECT_TRUE(competitor.registered);
    EXPECT_EQ(competitor.lapn, 3);
    const SplitOutcome outcome = recorder.Record(Take("0012"), competitor);
    ASSERT_TRUE(outcome.recorded) << qPrintable(outcome.refusal);
    EXPECT_EQ(outcome.split, 1);
    EXPECT_EQ(Written(), QList<QStringList>({{"0012", "   12:34.5", "10:12:34.5678"},
                                             {"1"},
                                             {"012", "   12:34.5", "10:12:34.5678"}}));
    // The time is used now: a key press cannot take it again, a hand assignment can.
    EXPECT_EQ(recorder.Record(Take("0013")).refusal,
              "この時刻は他の端末で処理されたか、削除されています。");
    EXPECT_TRUE(recorder.Record(Take("0013", "")).recorded);
}

TEST_F(SplitRecording, WhatAnotherWorkstationWroteMeanwhileIsNeitherOverwrittenNorHalfWritten) {
    // The split column filled between the read and the write.
    CompetitorSplits competitor = recorder.ReadCompetitor("0012");
    db.Exec(
        "update result set midtime1 = '   11:00.0', midfin1 = '10:11:00.0000' where zek = '0012'");
    SplitOutcome outcome = recorder.Record(Take("0012"), competitor);
    EXPECT_FALSE(outcome.recorded);
    EXPECT_EQ(outcome.refusal,
              "ビブNo.0012 の中間1 は他の端末で記録されました。もう一度入力してください。");
    const QList<QStringList> before = Written();
    EXPECT_EQ(before.value(0), QStringList({"0012", "   11:00.0", "10:11:00.0000"}));

    // The pending time taken meanwhile: the split written first is rolled back.
    competitor = recorder.ReadCompetitor("0013");
    db.Exec("update tdc_mid set sumi = '1'");
    outcome = recorder.Record(Take("0013"), competitor);
    EXPECT_FALSE(outcome.recorded);
    EXPECT_EQ(db.Scalar("select concat('[', midtime1, ']') from result where zek = '0013'"), "[]");
    EXPECT_EQ(db.Scalar("select count(*) from midjyun"), "0");

    // Gone altogether, even a hand assignment is refused.
    db.Exec("delete from tdc_mid");
    EXPECT_FALSE(recorder.Record(Take("0013", "")).recorded);
    EXPECT_EQ(db.Scalar("select count(*) from midjyun"), "0");
}

TEST_F(SplitRecording, DiscardTakesOnlyAPendingTime) {
    EXPECT_FALSE(recorder.DiscardPending("10:12:34.5678").empty());
    EXPECT_EQ(db.Scalar("select sumi from tdc_mid"), "2");
    db.Exec("update tdc_mid set sumi = '1'");
    EXPECT_TRUE(recorder.DiscardPending("10:12:34.5678").empty());
    EXPECT_EQ(db.Scalar("select sumi from tdc_mid"), "1");
}

} // namespace
