// What a key press's decision read, as the workstation writes it from its copy and as the
// server writes it from its rows: the two must be the same text whenever the rows are the
// same, or every key press would be decided twice; and the server's text read back is the
// rows it came from.
#include "common/uComm.h"
#include "data/Udm1.h"
#include "data/actions/CapturedWrites.h"
#include "data/actions/DecisionState.h"
#include "data/reads/RaceCache.h"
#include "data/rules/ForcedStarts.h"
#include "data/sql/Transaction.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

class DecisionState : public testing::Test {
protected:
    void SetUp() override {
        uComm::RaceCode = "R1";
        db.Exec("insert into env (tcode,class,lapn,RELAYN) values ('R1','M',3,0), "
                "('R1','E',0,4)");
        // A split 2 measured from a start of its own, a Japanese class-less runner.
        db.Exec("insert into result (tcode,zek,class1,startedtime,midtime1,midfin1,midtime2,"
                "midfin2,midst2) values ('R1','0012','M','10:00:00.0000','   12:34.5',"
                "'10:12:34.5678','   20:00.0','10:20:00.0000','09:59:00.0000'), "
                "('R1','0013','無','','','','','','')");
        db.Exec("insert into relaymember (tcode,zek,num,class1,startedtime,finishtime) values "
                "('R1','0101','1','E','10:00:00.0000','10:15:30.1234'), "
                "('R1','0101','2','E','10:15:30.1000',''), ('R1','0101','3','E','',''), "
                "('R1','0101','4','E','','')");
        db.Exec("insert into midforced (tcode,zek,leg,startedtime,aid) values "
                "('R1','0101','3','10:40:00.0000','a')");
        TQuery reading(dm.DB, "reading");
        cache.Load(reading);
    }
    // The bib's text as the server writes it.
    QString ServerState(const QStringList& statements) {
        Transaction transaction(dm.DB);
        TQuery query(dm.DB, "guard");
        CapturedWrites reads(query);
        reads.Guard(statements, {});
        return reads.GuardedStates().value(0);
    }

    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
    RaceCache cache;
};

TEST_F(DecisionState, TheCopyAndTheServerWriteTheSameTextAndItReadsBackAsTheRows) {
    for (const QString zek : {"0012", "0013", "0999"}) {
        const QString server = ServerState(CompetitorStateStatements(zek));
        EXPECT_EQ(CompetitorStateText(cache.Competitor(zek)), server) << qPrintable(zek);
        EXPECT_EQ(CompetitorStateText(CompetitorFromState(server)), server) << qPrintable(zek);
    }
    const CompetitorSplits read = CompetitorFromState(ServerState(CompetitorStateStatements("0012")));
    EXPECT_EQ(read.start, "10:00:00.0000");
    EXPECT_EQ(read.lapn, 3);
    EXPECT_EQ(read.splitTimes.value(1), "   20:00.0");
    EXPECT_EQ(read.splitStarts.value(0), "09:59:00.0000");

    for (const QString zek : {"0101", "0999"}) {
        const QString server = ServerState(TeamStateStatements(zek));
        EXPECT_EQ(TeamStateText(cache.Team(zek)), server) << qPrintable(zek);
        EXPECT_EQ(TeamStateText(TeamFromState(zek, server)), server) << qPrintable(zek);
    }
    const RelayTeam team = TeamFromState("0101", ServerState(TeamStateStatements("0101")));
    EXPECT_EQ(team.legs, 4);
    EXPECT_EQ(team.start, "10:00:00.0000");
    EXPECT_TRUE(team.timed.at(2).forcedStart);
    // A change the copy has not seen shows as a different text.
    db.Exec("update result set startedtime = '10:00:00.1000' where zek = '0012'");
    EXPECT_NE(CompetitorStateText(cache.Competitor("0012")),
              ServerState(CompetitorStateStatements("0012")));
}

// Leg 3 started by force at exchange 2 while leg 2's runner was still out.
TEST(ForcedExchange, AWorkstationAtTheExchangeTakesTheLateRunnerWhateverTheTime) {
    const std::vector<RelayLeg> legs = {{"10:00:00.0000", "10:15:30.1234", false},
                                        {"10:15:30.1000", "", false},
                                        {"10:40:00.0000", "", true},
                                        {"", "", false}};
    // Past the minimum after the forced start: the forced runner, unless the workstation
    // stands at exchange 2.
    EXPECT_EQ(LegFinishedAt(legs, "10:50:00.0000", 5), 3);
    EXPECT_EQ(LegFinishedAt(legs, "10:50:00.0000", 5, 2), 2);
    EXPECT_EQ(LegFinishedAt(legs, "10:41:00.0000", 5), 2);
    // At exchange 3 the forced runner arrives; the late one is another exchange's.
    EXPECT_EQ(LegFinishedAt(legs, "10:50:00.0000", 5, 3), 3);
}

} // namespace
