// The relay page's key presses against the real server, as the writer applies them:
// exchanges and the last leg, refusals, dead heats, the reset, and the writes of another
// workstation meanwhile.
#include "support/PressAndApply.h"

#include "common/uComm.h"
#include "data/Udm1.h"
#include "support/QtPrinting.h"
#include "support/RelayRace.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

const QString NotStarted = "当該の選手はスタートしていません。";
const QString TooShort = "最短計測時間に達していません";
const QString LastLeg = "既に最大中間数に達してます。";
const QString TimeTaken = "この時刻は他の端末で処理されたか、削除されました。記録しませんでした。";

class RelayWrites : public testing::Test {
protected:
    void SetUp() override {
        uComm::RaceCode = "R1";
        db.Exec("insert into execinfo (num,tcode,updx,stat) values (1,'R1',0,'')");
    }

    // The team's key at the head of the panel showing `time`.
    AppliedAction Enter(const QString& bib, const QString& time, bool lastLegToo = false) {
        return keys.Relay(bib, BibKey::Enter, PressAndApply::Stored(db, time), lastLegToo);
    }
    AppliedAction Space(const QString& bib, const QString& time) {
        return keys.Relay(bib, BibKey::Space, PressAndApply::Stored(db, time));
    }
    // The leg, its time, the team's time and letter, as applied.
    static std::tuple<int, QString, QString, QString> Leg(const AppliedAction& applied) {
        EXPECT_TRUE(applied.Applied()) << qPrintable(applied.Refusal());
        const ActionRequest& leg = applied.action.request;
        return {leg.number, leg.runningTime, leg.teamTime, leg.teamLetter};
    }
    QString Marker() const { return db.Scalar("select stat from execinfo"); }

    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
    PressAndApply keys{dm.DB};
    RelayRace race{db};
};

TEST_F(RelayWrites, ExchangesWriteLegTeamAndNextStartAndTheLastLegNeedsTheBox) {
    const QString cls = "一般¥' --ソ"; // found as typed, whatever it holds
    race.AddClass(cls, 4);
    race.AddTeam("0012", cls, "10:00:00.0000");
    for (const QString tm : {"10:15:30.1234", "10:31:00.5000", "11:00:00.0000", "11:00:05.0000"})
        race.AddStamp(tm, 0);
    keys.Load();

    const AppliedAction first = Enter("0012", "10:15:30.1234");
    EXPECT_EQ(Leg(first),
              std::tuple(1, QString("   15:30.1"), QString("   15:30.1"), QString("B")));
    EXPECT_EQ(first.action.request.legs, 4);
    EXPECT_EQ(first.press.log, QStringList({"10:15:30.1234", "10:00:00.0000", "930123", "930123"}));
    EXPECT_TRUE(first.press.statement.endsWith("and zek = '0012'"));
    EXPECT_EQ(race.Leg("0012", 1),
              QStringList({"10:00:00.0000", "10:15:30.1234", "   15:30.1", "G"}));
    EXPECT_EQ(race.Leg("0012", 2), QStringList({"10:15:30.1000", "", "", "T"}));
    EXPECT_EQ(race.Team("0012"), QStringList({"   15:30.1", "B"}));
    EXPECT_EQ(race.StampState("10:15:30.1234"), "1");
    EXPECT_EQ(Marker(), "C1");

    EXPECT_EQ(Leg(Enter("0012", "10:31:00.5000")),
              std::tuple(2, QString("   15:30.4"), QString("   31:00.5"), QString("C")));
    EXPECT_EQ(race.Leg("0012", 3), QStringList({"10:31:00.5000", "", "", "T"}));

    // Leg 3 finished at another workstation: decided again, the press is the last leg's.
    race.RunLeg("0012", 4, "10:45:00.0000");
    const AppliedAction unticked = Enter("0012", "11:00:00.0000");
    EXPECT_TRUE(unticked.outcome && unticked.outcome->state.has_value());
    EXPECT_TRUE(unticked.Refusal().startsWith(LastLeg)) << qPrintable(unticked.Refusal());
    EXPECT_TRUE(unticked.Refusal().contains("最終走者も処理"));
    EXPECT_EQ(race.Leg("0012", 4), QStringList({"10:45:00.0000", "", "", "T"}));
    EXPECT_EQ(race.StampState("11:00:00.0000"), "0"); // the applier leaves a refused time as it was

    EXPECT_EQ(Leg(Enter("0012", "11:00:05.0000", true)),
              std::tuple(4, QString("   15:05.0"), QString(" 1:00:05.0"), QString("G")));
    EXPECT_EQ(race.Leg("0012", 4)[3], "G");
    EXPECT_EQ(race.Team("0012"), QStringList({" 1:00:05.0", "G"}));
    EXPECT_EQ(db.Scalar("select count(*) from relaymember"), "4");
}

// No rows (asked of the server), a class without RELAYN, a start holding the blank mask, a leg
// too short, the same team again right after its exchange: nothing is written, and the time
// waits for the next team. A leg run across midnight is measured across it.
TEST_F(RelayWrites, EntriesThatCannotFinishALegAreRefusedAndLeaveTheTimePending) {
    race.AddClass("R", 4);
    race.AddTeam("0020", "NOCLASS", "10:00:00.0000");
    race.AddTeam("0021", "R", "  :  :  .    ");
    race.AddTeam("0022", "R", "10:00:00.0000");
    race.AddTeam("0023", "R", "10:00:00.0000");
    race.RunLeg("0023", 2, "10:20:00.0000");
    race.AddTeam("0024", "R", "23:55:00.0000");
    const QStringList stamps = {"10:20:00.0000", "10:21:00.0000", "10:22:00.0000",
                                "10:03:00.0000", "10:20:09.0000", "00:05:00.0000"};
    for (const QString& stamp : stamps)
        race.AddStamp(stamp, 0);
    keys.Load();
    const QList<std::pair<QString, QString>> entries = {
        {"0099", "チームNo.0099 は登録されていません。"},
        {"0020", NotStarted},
        {"0021", NotStarted},
        {"0022", TooShort + "（1走スタート 10:00:00.0、経過 0:03:00、最短 5 分）"},
        {"0023", "チームNo.0023 は 9秒前に1走 を記録済みです。"}};
    for (int k = 0; k < entries.size(); ++k) {
        const AppliedAction refused = Enter(entries[k].first, stamps[k]);
        // The team the copy does not know is asked of the server; the others are refused at once.
        EXPECT_EQ(refused.outcome.has_value(), k == 0);
        EXPECT_EQ(refused.Refusal(), entries[k].second);
        EXPECT_EQ(race.StampState(stamps[k]), "0");
    }
    EXPECT_EQ(
        db.Scalar("select count(*) from relaymember where finishtime <> '' and zek <> '0023'"),
        "0");
    EXPECT_EQ(db.Scalar("select count(*) from result where status <> 'A'"), "0");
    EXPECT_EQ(Marker(), "");

    const AppliedAction overMidnight = Enter("0024", "00:05:00.0000");
    EXPECT_TRUE(overMidnight.Applied()) << qPrintable(overMidnight.Refusal());
    EXPECT_EQ(overMidnight.press.log.value(2), "600000");
    EXPECT_EQ(race.Leg("0024", 1)[2], "   10:00.0");
}

TEST_F(RelayWrites, ClassesOfThreeLegsEndWithGAndTheStartIsLegOnesWhateverTheRowOrder) {
    db.Exec("alter table relaymember drop index relaymember_zek, drop index relaymember_leg");
    race.AddClass("R3", 3);
    db.Exec("insert into result (tcode,zek,status) values ('R1','0007','A')");
    for (int n = 3; n >= 2; --n)
        race.AddLeg("0007", n, "R3", "", "S");
    race.AddLeg("0007", 1, "R3", "10:00:00.0000", "T");
    race.RunLeg("0007", 3, "10:20:00.0000");
    race.AddStamp("10:40:00.0000", 0);
    keys.Load();
    EXPECT_EQ(Leg(Enter("0007", "10:40:00.0000", true)),
              std::tuple(3, QString("   20:00.0"), QString("   40:00.0"), QString("G")));
    EXPECT_EQ(race.Team("0007"), QStringList({"   40:00.0", "G"}));
}

// The last exchange of a ten-leg ekiden class and its finish; a class of eleven legs is
// beyond the page and refused at every leg.
TEST_F(RelayWrites, TenLegClassesFinishWithGAndLongerClassesAreRefused) {
    race.AddClass("E10", 10);
    race.AddClass("E11", 11);
    race.AddTeam("0041", "E10", "08:00:00.0000", 10);
    race.AddTeam("0042", "E11", "08:00:00.0000", 11);
    race.RunLeg("0041", 9, "10:00:00.0000");
    race.RunLeg("0042", 2, "08:30:00.0000");
    for (const QString tm : {"10:20:00.5678", "10:41:00.0000", "08:55:00.0000"})
        race.AddStamp(tm, 0);
    keys.Load();

    EXPECT_EQ(Leg(Enter("0041", "10:20:00.5678")),
              std::tuple(9, QString("   20:00.5"), QString(" 2:20:00.5"), QString("K")));
    EXPECT_EQ(race.Leg("0041", 10), QStringList({"10:20:00.5000", "", "", "T"}));
    EXPECT_EQ(Leg(Enter("0041", "10:41:00.0000", true)),
              std::tuple(10, QString("   20:59.5"), QString(" 2:41:00.0"), QString("G")));
    EXPECT_EQ(race.Team("0041"), QStringList({" 2:41:00.0", "G"}));

    EXPECT_EQ(Enter("0042", "08:55:00.0000", true).Refusal(), LastLeg);
    EXPECT_EQ(race.Leg("0042", 2), QStringList({"08:30:00.0000", "", "", "T"}));
    EXPECT_EQ(race.Team("0042"), QStringList({"", "A"}));
    EXPECT_EQ(race.StampState("08:55:00.0000"), "0");
}

// Space records the finish and leaves the time pending; the next team's Enter uses it.
TEST_F(RelayWrites, DeadHeatGivesBothTeamsTheSameFinish) {
    race.AddClass("R", 4);
    race.AddTeam("0012", "R", "10:00:00.0000");
    race.AddTeam("0015", "R", "10:00:00.0000");
    race.AddStamp("10:15:30.1234", 0);
    keys.Load();
    const AppliedAction held = Space("0012", "10:15:30.1234");
    EXPECT_TRUE(held.Applied()) << qPrintable(held.Refusal());
    EXPECT_TRUE(held.press.deadHeatOpen);
    EXPECT_EQ(race.StampState("10:15:30.1234"), "0");
    const AppliedAction taken = Enter("0015", "10:15:30.1234");
    EXPECT_TRUE(taken.Applied()) << qPrintable(taken.Refusal());
    EXPECT_EQ(race.Leg("0012", 1)[1], "10:15:30.1234");
    EXPECT_EQ(race.Leg("0015", 1)[1], "10:15:30.1234");
    EXPECT_EQ(race.StampState("10:15:30.1234"), "1");

    // A used time is not discarded afterwards ("0" Enter on the relay page): it stays the
    // teams' finish.
    EXPECT_FALSE(Enter("0", "10:15:30.1234").Applied());
    EXPECT_EQ(race.StampState("10:15:30.1234"), "1");
    race.AddStamp("10:15:31.0000", 0);
    EXPECT_TRUE(Enter("0", "10:15:31.0000").Applied());
    EXPECT_EQ(race.StampState("10:15:31.0000"), "2");
}

// Another workstation took the time (or it was deleted) after this one showed it: the team's
// finish is refused and nothing at all is written, with either key.
TEST_F(RelayWrites, ATimeNoLongerPendingIsRefusedAndNothingIsWritten) {
    race.AddClass("R", 4);
    race.AddTeam("0012", "R", "10:00:00.0000");
    race.AddStamp("10:15:30.1234", 0);
    keys.Load();
    db.Exec("update tdc_mid set sumi = '1' where tm = '10:15:30.1234'");
    EXPECT_EQ(Enter("0012", "10:15:30.1234").Refusal(), TimeTaken);
    EXPECT_EQ(Space("0012", "10:15:30.1234").Refusal(), TimeTaken);
    EXPECT_EQ(Enter("0012", "10:16:00.0000").Refusal(), TimeTaken);
    EXPECT_EQ(race.Leg("0012", 1), QStringList({"10:00:00.0000", "", "", "T"}));
    EXPECT_EQ(race.Leg("0012", 2), QStringList({"", "", "", "S"}));
    EXPECT_EQ(race.Team("0012"), QStringList({"", "A"}));
    EXPECT_EQ(Marker(), "");
}

// Another workstation finished the leg after this one read the race: decided again from the
// team as it is now, the key press is refused, and the leg keeps the other finish.
TEST_F(RelayWrites, ALegFinishedMeanwhileIsNotOverwritten) {
    race.AddClass("R", 4);
    race.AddTeam("0012", "R", "10:00:00.0000");
    race.AddStamp("10:15:30.1234", 0);
    keys.Load();
    db.Exec("update relaymember set finishtime = '10:15:29.0000', runtime = '   15:29.0',"
            " status = 'G' where zek = '0012' and num = '1'");
    const AppliedAction late = Enter("0012", "10:15:30.1234");
    EXPECT_TRUE(late.outcome && late.outcome->state.has_value());
    EXPECT_EQ(late.Refusal(), NotStarted);
    EXPECT_EQ(race.Leg("0012", 1),
              QStringList({"10:00:00.0000", "10:15:29.0000", "   15:29.0", "G"}));
    EXPECT_EQ(race.Leg("0012", 2), QStringList({"", "", "", "S"}));
    EXPECT_EQ(race.Team("0012"), QStringList({"", "A"}));
    EXPECT_EQ(race.StampState("10:15:30.1234"), "0");
}

TEST_F(RelayWrites, ResetReturnsEveryTeamToBeforeTheFirstExchange) {
    race.AddClass("R", 4);
    race.AddTeam("0012", "R", "10:00:00.0000");
    race.RunLeg("0012", 3, "10:30:00.0000");
    db.Exec("update relaymember set runtime = '   10:00.0'");
    db.Exec("update result set startedtime = '10:00:00.0000', runtime = '   30:00.0',"
            " status = 'C', midfin2 = '10:20:00.0000', midfin1 = '10:10:00.0000'");
    race.AddStamp("10:10:00.0000", 0);
    db.Exec("update tdc_mid set sumi = '2'");
    keys.Load();
    const AppliedAction reset = keys.RelayReset();
    EXPECT_TRUE(reset.Applied()) << qPrintable(reset.Refusal());
    EXPECT_EQ(race.Leg("0012", 1), QStringList({"10:00:00.0000", "", "", "T"}));
    for (int n = 2; n <= 4; ++n)
        EXPECT_EQ(race.Leg("0012", n), QStringList({"", "", "", "S"}));
    EXPECT_EQ(db.Rows("select startedtime,runtime,status,midfin2,midfin1 from result").value(0),
              QStringList({"", "", "A", "", "10:10:00.0000"}));
    EXPECT_EQ(race.StampState("10:10:00.0000"), "0");
}

} // namespace
