// The split point's own view read from a race on the server: who is through, who is still
// expected and when, passings per minute, the cut-off, and the relay page's exchanges.
#include "data/Udm1.h"
#include "data/reads/ExchangeCounts.h"
#include "data/reads/NotPassedList.h"
#include "data/reads/PassingsPerMinute.h"
#include "data/reads/SplitPointCounts.h"
#include "data/reads/SplitPointPassings.h"
#include "data/rules/CutOff.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

class SplitPointLists : public testing::Test {
protected:
    void SetUp() override {
        // Class 5K has one split point only; 女子 has nobody through split 2 yet.
        db.Exec("insert into env (tcode,class,lapn) values ('R1','M',3),('R1','女子',3),"
                "('R1','5K',1),('R1','M',3),('R2','M',3)");
        db.Exec("insert into result (tcode,zek,class1,status,startedtime,midfin1,midfin2,midfin3,"
                "finishtime) values "
                "('R1','0001','M','','09:00:00.0000','09:20:00.0000','09:40:00.0000','',''),"
                "('R1','0002','M','','09:00:00.0000','09:20:10.0000','09:50:00.0000','',''),"
                "('R1','0003','M','','09:00:00.0000','09:30:00.0000','','',''),"
                "('R1','0004','M','','09:00:00.0000','','','',''),"  // no split yet
                "('R1','0005','M','X','09:00:00.0000','','','','')," // out
                "('R1','0006','M','','','','','',''),"               // never started
                "('R1','0007','M','','09:00:00.0000','09:25:00.0000','','10:00:00.0000',''),"
                "('R1','0008','女子','','09:00:00.0000','','','',''),"
                "('R1','0009','5K','','09:00:00.0000','09:20:30.0000','','',''),"
                "('R1','0010','M','','23:30:00.0000','00:10:00.0000','','',''),"
                "('R1','0011','M','','09:00:00.0000','','','','10:30:00.0000')," // finished
                "('R2','0004','M','','09:00:00.0000','09:10:00.0000','','','')");
    }

    ListSnapshot Read(const QStringList& statement) {
        TQuery query(dm.DB, "view");
        query.SetSQL(statement);
        query.Open();
        return query.Snapshot();
    }

    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
};

TEST_F(SplitPointLists, CountsThoseThroughAndThoseStillOnTheirWayToTheSplitPoint) {
    // Split 1: 0004 and 0008 are on their way; out, not started, finished and 5K runners
    // already through are not. Split 2 has no 5K runner, and 0007 is past it at split 3.
    const SplitPointCounts one = SplitPointCountsOf(Read(SplitPointCountsStatement("R1", 1)));
    EXPECT_EQ(one.through, 6);
    EXPECT_EQ(one.expected, 2);
    const SplitPointCounts two = SplitPointCountsOf(Read(SplitPointCountsStatement("R1", 2)));
    EXPECT_EQ(two.through, 2);
    EXPECT_EQ(two.expected, 4);
}

TEST_F(SplitPointLists, ListsTheRunnersNotThroughBySoonestExpectedAtTheirPaceSoFar) {
    const std::vector<NotPassedRunner> runners = NotPassedOf(Read(NotPassedStatement("R1", 2)));
    QStringList listed;
    for (const NotPassedRunner& r : runners)
        listed << QStringList{r.zek, r.className, QString::number(r.lastSplit), r.lastPassing,
                              r.expectedAt}
                      .join('|');
    EXPECT_EQ(listed, QStringList({
                          // No split yet: the start and the median of M's 40 and 50 minutes.
                          "0004|M|0|09:00:00.0000|09:45:00.0000",
                          // 30 minutes to split 1: split 2 after 60.
                          "0003|M|1|09:30:00.0000|10:00:00.0000",
                          // Across midnight: 40 minutes to split 1, reckoned after the others.
                          "0010|M|1|00:10:00.0000|00:50:00.0000",
                          // Nobody of the class through yet: unknown, last.
                          "0008|女子|0|09:00:00.0000|",
                      }));
    // The list reader's window takes the soonest first.
    TQuery firstOnly(dm.DB, "first");
    firstOnly.SetFetchWindow(1);
    firstOnly.SetSQL(NotPassedStatement("R1", 2));
    firstOnly.Open();
    ASSERT_EQ(NotPassedOf(firstOnly.Snapshot()).size(), 1u);
    EXPECT_EQ(NotPassedOf(firstOnly.Snapshot()).front().zek, "0004");
}

TEST_F(SplitPointLists, PassingsPerMinuteFillTheHourUpToNowAcrossMidnightToo) {
    const ListSnapshot minutes = Read(PassingsPerMinuteStatement("R1", 1));
    std::vector<int> expected(60, 0);
    expected[49] = 3; // 09:20, three runners
    expected[54] = 1; // 09:25
    expected[59] = 1; // 09:30, the minute of now
    EXPECT_EQ(PassingsPerMinuteOf(minutes, QTime(9, 30, 30)), expected);
    std::vector<int> afterMidnight(60, 0);
    afterMidnight[49] = 1; // 00:10
    EXPECT_EQ(PassingsPerMinuteOf(minutes, QTime(0, 20)), afterMidnight);
}

TEST_F(SplitPointLists, PassingsAfterTheCutOffAreFlaggedAndOneExactlyAtItIsNot) {
    const std::vector<SplitPassing> passings =
        SplitPointPassingsOf(Read(SplitPointPassingsStatement("R1", 2)));
    ASSERT_EQ(passings.size(), 2u);
    EXPECT_FALSE(AfterCutOff(passings[0].timeOfDay, QTime(9, 40))); // 09:40:00.0000
    EXPECT_TRUE(AfterCutOff(passings[1].timeOfDay, QTime(9, 40)));  // 09:50:00.0000
    EXPECT_FALSE(AfterCutOff("09:39:59.9990", QTime(9, 40)));
    EXPECT_TRUE(AfterCutOff("09:40:00.0010", QTime(9, 40)));
    // Around midnight the nearer day counts; no passing is never late.
    EXPECT_TRUE(AfterCutOff("00:10:00.0000", QTime(23, 50)));
    EXPECT_FALSE(AfterCutOff("23:50:00.0000", QTime(0, 30)));
    EXPECT_FALSE(AfterCutOff("", QTime(9, 40)));
}

TEST_F(SplitPointLists, PassingOrderRunsByTimeOfDayFromEachStartAcrossMidnight) {
    db.Exec("update result set startedtime = '23:00:00.0000', midfin1 = '23:50:00.0000' "
            "where zek = '0004' and tcode = 'R1'");
    QStringList order;
    for (const SplitPassing& p : SplitPointPassingsOf(Read(SplitPointPassingsStatement("R1", 1))))
        order << QStringLiteral("%1 %2").arg(p.order).arg(p.zek);
    EXPECT_EQ(order,
              QStringList({"1 0001", "2 0002", "3 0009", "4 0007", "5 0003", "6 0004", "7 0010"}));
}

TEST_F(SplitPointLists, ExchangesCountTheTeamsWhoseLegFinishedUpToTheMostLegsOfAClass) {
    db.Exec("insert into env (tcode,class,lapn,RELAYN) values ('RL','A',0,4),('RL','B',0,3)");
    db.Exec("insert into relaymember (tcode,zek,num,class1,finishtime) values "
            "('RL','0101','1','A','10:15:00.0000'),('RL','0101','2','A','10:31:00.0000'),"
            "('RL','0101','3','A',''),('RL','0101','4','A',''),"
            "('RL','0102','1','A','10:16:00.0000'),('RL','0102','2','A',''),"
            "('RL','0103','1','B','  :  :  .    '),('RL','0103','2','B',''),"
            "('R1','0101','3','A','10:40:00.0000')");
    EXPECT_EQ(ExchangeCountsOf(Read(ExchangeCountsStatement("RL"))),
              std::vector<int>({2, 1, 0, 0}));
    EXPECT_TRUE(ExchangeCountsOf(Read(ExchangeCountsStatement("none"))).empty());
}

} // namespace
