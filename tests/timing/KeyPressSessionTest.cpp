// The pages' key presses decided without a window, from a race cache loaded from a real race
// database: which stamp each press takes, dead heats, discards, refusals that change nothing,
// and what the cache learns for the next press.
#include "timing/session/LapSession.h"
#include "timing/session/RelaySession.h"

#include "common/uComm.h"
#include "data/Udm1.h"
#include "data/reads/RaceCache.h"
#include "data/sql/TQuery.h"
#include "support/RelayRace.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

const QString NothingPending =
    "処理待ちのタイムがありません。機器からのタイムを待ってから入力してください。";

StampRef Stamp(qint64 id, const QString& time) {
    return {id, {}, time};
}

class KeyPressSession : public testing::Test {
protected:
    void SetUp() override { uComm::RaceCode = "R1"; }
    void LoadCache() {
        TQuery reading(dm.DB, "CacheReading");
        cache.Load(reading);
    }
    static ActionRequest Request(const KeyPressResult& result) {
        EXPECT_TRUE(result.action.has_value()) << qPrintable(result.refusal);
        return result.action ? result.action->request : ActionRequest{};
    }

    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
    RaceCache cache;
};

TEST_F(KeyPressSession, LapDeadHeatsDiscardsAndSplitsFollowTheHeldTimeAndTheCache) {
    db.Exec("insert into env (tcode,class,lapn) values ('R1','M',3)");
    for (const char* zek : {"0012", "0013", "0014"})
        db.Exec(QString("insert into result (tcode,zek,bib,class1,startedtime) values "
                        "('R1','%1','%1','M','10:00:00.0000')")
                    .arg(zek));
    LoadCache();
    LapSession lap(cache);
    const StampRef a = Stamp(1, "10:20:00.0000"), b = Stamp(2, "10:20:01.0000"),
                   c = Stamp(3, "10:20:02.0000"), d = Stamp(4, "10:40:00.0000");

    // Space holds the head for the dead heat; the next bib takes the held time, not the head.
    KeyPressResult press = lap.Press("12", BibKey::Space, a, "5");
    EXPECT_EQ(press.box, "0012");
    EXPECT_EQ(Request(press).state, "2");
    EXPECT_EQ(Request(press).takes, "0");
    EXPECT_EQ(press.listToShow, 1);
    EXPECT_TRUE(press.deadHeatOpen);
    EXPECT_EQ(lap.Held(), a);
    press = lap.Press("13", BibKey::Enter, b, "5");
    EXPECT_EQ(Request(press).stamp, a);
    EXPECT_EQ(Request(press).takes, "2");
    EXPECT_EQ(press.listToShow, 0); // the same split point's list already follows
    EXPECT_FALSE(press.deadHeatOpen);
    EXPECT_FALSE(lap.Held());

    // A refusal while a time is held keeps it held; "0" then ends the dead heat, and the
    // next "0" discards the head.
    lap.Press("14", BibKey::Space, b, "5");
    press = lap.Press("12", BibKey::Enter, c, "5");
    EXPECT_TRUE(press.Refused());
    EXPECT_FALSE(press.action);
    EXPECT_EQ(lap.Held(), b);
    EXPECT_TRUE(lap.Press("0", BibKey::Space, c, "5").deadHeatOpen);
    press = lap.Press("0", BibKey::Enter, c, "5");
    EXPECT_FALSE(press.action);
    EXPECT_TRUE(press.shown->note.startsWith("同着終了"));
    EXPECT_FALSE(lap.Held());
    press = lap.Press("0", BibKey::Enter, c, "5");
    EXPECT_EQ(Request(press).kind, ActionRequest::Kind::Discard);
    EXPECT_EQ(Request(press).stamp, c);

    // A bib the copy does not know is the server's to decide: sent, shown as waiting.
    press = lap.Press("99", BibKey::Enter, d, "5");
    EXPECT_TRUE(Request(press).Undecided());
    EXPECT_TRUE(press.shown->note.contains("確認待ち"));

    // The cache learnt split 1 of 0012: its next press is split 2, whose list follows.
    press = lap.Press("１２", BibKey::Enter, d, "5");
    EXPECT_EQ(Request(press).number, 2);
    EXPECT_EQ(press.listToShow, 2);
    EXPECT_EQ(press.announcement.isEmpty(), false);
    // Typed again at once: the same time is refused for the same competitor, nothing sent.
    press = lap.Press("12", BibKey::Enter, d, "5");
    EXPECT_TRUE(press.Refused());
    EXPECT_FALSE(press.action);
}

TEST_F(KeyPressSession, ABoxThatHoldsNoBibOrNoPendingTimeIsRefusedAndAHandAssignmentTakesAnyState) {
    db.Exec("insert into env (tcode,class,lapn) values ('R1','M',3)");
    db.Exec("insert into result (tcode,zek,bib,class1,startedtime) values "
            "('R1','0012','12','M','10:00:00.0000'), ('R1','0013','13','M','10:00:00.0000')");
    LoadCache();
    LapSession lap(cache);
    for (const QString& box : {QString("ab"), QString(""), QString("1234567890")}) {
        const KeyPressResult press = lap.Press(box, BibKey::Enter, Stamp(1, "10:20:00.0000"), "5");
        EXPECT_EQ(press.refusal, "ビブNo.を数字で入力してください。") << qPrintable(box);
        EXPECT_EQ(press.box, box);
        EXPECT_FALSE(press.action);
    }
    EXPECT_EQ(lap.Press("12", BibKey::Enter, std::nullopt, "5").refusal, NothingPending);
    EXPECT_EQ(lap.Press("0", BibKey::Enter, std::nullopt, "5").refusal, NothingPending);

    lap.Press("12", BibKey::Space, Stamp(1, "10:20:00.0000"), "5");
    const KeyPressResult byHand = lap.Assign("0013", Stamp(1, "10:20:00.0000"), "5");
    EXPECT_EQ(Request(byHand).takes, "");
    EXPECT_TRUE(byHand.action->what.startsWith("手動 中間1"));
    EXPECT_FALSE(lap.Held()); // the held time was given by hand
}

TEST_F(KeyPressSession, RelayExchangesDeadHeatsAndTheLastLegFollowTheCache) {
    RelayRace race(db);
    race.AddClass("R", 2);
    for (const char* zek : {"0012", "0013"})
        race.AddTeam(zek, "R", "10:00:00.0000", 2);
    LoadCache();
    RelaySession relay(cache);
    const StampRef a = Stamp(1, "10:15:00.0000"), b = Stamp(2, "10:30:00.0000");

    // Space: the same finish, the time left pending for the next team.
    KeyPressResult press = relay.Press("12", BibKey::Space, a, "5", false);
    EXPECT_EQ(Request(press).number, 1);
    EXPECT_FALSE(Request(press).usesTime);
    EXPECT_TRUE(press.deadHeatOpen);
    EXPECT_EQ(press.listToShow, 1);
    EXPECT_TRUE(press.action->marksChange);
    press = relay.Press("13", BibKey::Enter, a, "5", false);
    EXPECT_TRUE(Request(press).usesTime);
    EXPECT_FALSE(press.deadHeatOpen);

    // The cache knows leg 1 is done: the next is the last leg, refused until the box is
    // ticked, and the refusal sends nothing.
    press = relay.Press("12", BibKey::Enter, b, "5", false);
    EXPECT_TRUE(press.refusal.startsWith("既に最大中間数に達してます。"))
        << qPrintable(press.refusal);
    EXPECT_FALSE(press.action);
    EXPECT_FALSE(press.statement.isEmpty());
    press = relay.Press("12", BibKey::Enter, b, "5", true);
    EXPECT_EQ(Request(press).number, 2);
    EXPECT_EQ(press.listToShow, 2);
    EXPECT_EQ(relay.Press("0", BibKey::Enter, b, "5", false).action->request.kind,
              ActionRequest::Kind::Discard);
}

} // namespace
