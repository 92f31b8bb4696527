// Taking an action back: every row it changed gets back exactly what it held, byte for byte,
// and only while the rows still hold what the action wrote; the history of actions outlives
// the program and names whose change stands in the way.
#include "support/PressAndApply.h"

#include "common/uComm.h"
#include "data/Udm1.h"
#include "data/actions/ActionApplier.h"
#include "data/actions/ActionHistory.h"
#include "data/actions/ActionJournal.h"
#include "support/QtPrinting.h"
#include "support/RelayRace.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Undo : public testing::Test {
protected:
    void SetUp() override {
        uComm::RaceCode = "R1";
        db.Exec("insert into execinfo (num,tcode,updx,stat) values (1,'R1',0,'')");
        db.Exec("insert into env (tcode,class,lapn) values ('R1','M',3)");
        // Values a conversion would spoil: the yen sign's byte, a trailing blank, kana.
        db.Exec("insert into result (tcode,zek,bib,class1,startedtime,midfin3,midfin4) values "
                "('R1','0012','12','M','10:00:00.0000','',''),"
                "('R1','0013','13','M','10:00:00.0000',_sjis X'5C27', 'ソ '),"
                "('R1','0013','13b','M','10:00:00.0000','',''),"
                "('R1','0014','14','M','10:00:00.0000','','')");
        for (const QString tm : {"10:12:00.0000", "10:13:00.0000", "10:14:00.0000"})
            race.AddStamp(tm, 0);
        keys.Load();
    }
    // Every row an action may change, as the bytes the database holds.
    QList<QStringList> Race() const {
        return db.Rows("select hex(concat_ws('|', zek, bib, midtime1, midfin1, midtime2, midfin2,"
                       " midst2, midtime3, midfin3, midfin4, runtime, status)) from result order "
                       "by zek, bib") +
               db.Rows("select id, sumi from tdc_mid order by id") +
               db.Rows(
                   "select hex(concat_ws('|', bib, mtime, tod)) from midjyun order by tod, bib") +
               db.Rows("select zek, num, startedtime, finishtime, runtime, status from relaymember"
                       " order by zek, num");
    }
    StampRef Stamp(const QString& time) const { return PressAndApply::Stored(db, time); }
    // The bib's Enter on the lap page with the time at the head of the panel, applied.
    AppliedAction Take(const QString& bib, const QString& time) {
        return keys.Lap(bib, BibKey::Enter, Stamp(time));
    }
    bool TakenBack() { return keys.Undo(ActionPage::Lap).Applied(); }

    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
    PressAndApply keys{dm.DB};
    RelayRace race{db};
};

TEST_F(Undo, EveryKindOfActionIsTakenBackExactlyAndOnlyWhileItsRowsAreAsItLeftThem) {
    const QList<QStringList> start = Race();
    ASSERT_TRUE(Take("0012", "10:12:00.0000").Applied());
    EXPECT_TRUE(TakenBack());
    EXPECT_EQ(Race(), start);

    // A cancel, a discard and a reset, each taken back in turn, newest first.
    ASSERT_TRUE(Take("0012", "10:12:00.0000").Applied());
    ASSERT_TRUE(Take("0013", "10:13:00.0000").Applied()); // both rows of 0013
    const QList<QStringList> recorded = Race();
    ASSERT_TRUE(keys.Cancel("0013", 1, "10:13:00.0000").Applied());
    ASSERT_TRUE(keys.Lap("0", BibKey::Enter, Stamp("10:14:00.0000")).Applied());
    const QList<QStringList> beforeReset = Race();
    ASSERT_TRUE(keys.Reset().Applied());
    EXPECT_EQ(db.Scalar("select count(*) from midjyun"), "0");
    EXPECT_TRUE(TakenBack());
    EXPECT_EQ(Race(), beforeReset);
    EXPECT_TRUE(TakenBack());
    EXPECT_TRUE(TakenBack());
    EXPECT_EQ(Race(), recorded);

    // Another workstation wrote one of the rows since: nothing at all is taken back.
    db.Exec("update result set midtime1 = '   13:01.0' where zek = '0013' and bib = '13b'");
    const QList<QStringList> changedElsewhere = Race();
    const AppliedAction second = Take("0014", "10:14:00.0000");
    ASSERT_TRUE(second.Applied()) << qPrintable(second.Refusal());
    const QList<QStringList> withSecond = Race();
    db.Exec("update tdc_mid set sumi = '2' where tm = '10:14:00.0000'");
    EXPECT_EQ(keys.Undo(ActionPage::Lap).Refusal(),
              "時刻 10:14:00.0000 のタイムは他の端末で変更されたため、元に戻せません。");
    db.Exec("update tdc_mid set sumi = '1' where tm = '10:14:00.0000'");
    EXPECT_EQ(Race(), withSecond);
    EXPECT_TRUE(TakenBack());
    EXPECT_EQ(Race(), changedElsewhere);
    EXPECT_EQ(keys.Undo(ActionPage::Lap).Refusal(),
              "ビブNo.0013 の記録は他の端末で変更されたため、元に戻せません。");
    EXPECT_EQ(Race(), changedElsewhere);
}

// An action as the window sends it: decided, kept, applied by the writer on its own thread.
OperatorAction Sent(ActionHistory& history, ActionPage page, const QString& bib,
                    const QString& what, const ActionRequest& request) {
    OperatorAction action;
    action.page = page;
    action.bib = bib;
    action.what = what;
    action.request = request;
    action.marksChange = page == ActionPage::Relay;
    const QString id = history.Submit(action).id;
    EXPECT_TRUE(QTest::qWaitFor([&] { return history.WaitingCount() == 0; }, 10000));
    return history.Find(id).value_or(OperatorAction{});
}

// The relay page's decision on the team's Enter, made from the race as the window reads it.
ActionRequest RelayLeg(TDatabase& database, const QString& bib, const StampRef& stamp) {
    TQuery reading(database, "CacheReading");
    RaceCache cache;
    cache.Load(reading);
    const KeyPressResult press = RelaySession(cache).Press(bib, BibKey::Enter, stamp, "5", false);
    EXPECT_TRUE(press.action) << qPrintable(press.refusal);
    return press.action ? press.action->request : ActionRequest{};
}

ActionRequest Kind(ActionRequest::Kind kind, const QString& target = {}) {
    ActionRequest request;
    request.kind = kind;
    request.target = target;
    return request;
}

TEST_F(Undo, ARelayLegIsTakenBackWithTheChangeMarkerWrittenAgain) {
    QTemporaryDir folder;
    ActionHistory history(dm.DB, folder.path());
    race.AddClass("R", 4);
    race.AddTeam("0101", "R", "10:00:00.0000");
    const QList<QStringList> start = Race();
    const OperatorAction leg = Sent(history, ActionPage::Relay, "0101", "1走",
                                    RelayLeg(dm.DB, "0101", Stamp("10:14:00.0000")));
    ASSERT_EQ(leg.progress, OperatorAction::Progress::Applied) << qPrintable(leg.refusal);
    EXPECT_EQ(race.Leg("0101", 1)[1], "10:14:00.0000");
    db.Exec("update execinfo set stat = ''");
    ASSERT_TRUE(history.UndoLast(ActionPage::Relay).sent);
    EXPECT_TRUE(QTest::qWaitFor([&] { return history.WaitingCount() == 0; }, 10000));
    EXPECT_EQ(history.Actions().back().progress, OperatorAction::Progress::Applied)
        << qPrintable(history.Actions().back().refusal);
    EXPECT_EQ(Race(), start);
    EXPECT_EQ(db.Scalar("select stat from execinfo"), "C1");
}

// A relay leg, then a reset of the lap page that makes its time pending again: the leg cannot
// be taken back before the reset is, and the operator is told so. Restarted, the program
// finds the same history.
TEST_F(Undo, TheHistoryOutlivesTheProgramAndNamesWhoseChangeIsInTheWay) {
    QTemporaryDir folder;
    race.AddClass("R", 4);
    race.AddTeam("0101", "R", "10:00:00.0000");
    const QList<QStringList> start = Race();
    {
        ActionHistory history(dm.DB, folder.path());
        Sent(history, ActionPage::Relay, "0101", "1走",
             RelayLeg(dm.DB, "0101", Stamp("10:12:00.0000")));
        Sent(history, ActionPage::Lap, {}, "初期化", Kind(ActionRequest::Kind::Reset));
        const UndoOutcome undo = history.UndoLast(ActionPage::Relay);
        ASSERT_TRUE(undo.sent);
        EXPECT_TRUE(QTest::qWaitFor([&] { return history.WaitingCount() == 0; }, 10000));
        const OperatorAction refused = history.Actions().back();
        EXPECT_EQ(refused.progress, OperatorAction::Progress::Refused);
        EXPECT_EQ(refused.refusal, "この端末の後の操作（周回計測  初期化）が時刻 10:12:00.0000 の"
                                   "タイムを変更しています。先にその操作を元に戻してください。");
    }
    ActionHistory again(dm.DB, folder.path());
    ASSERT_EQ(again.Actions().size(), 3u);
    EXPECT_TRUE(again.UndoLast(ActionPage::Lap).sent);
    EXPECT_TRUE(again.UndoLast(ActionPage::Relay).sent);
    EXPECT_TRUE(QTest::qWaitFor([&] { return again.WaitingCount() == 0; }, 10000));
    EXPECT_EQ(Race(), start);
    EXPECT_EQ(again.UndoLast(ActionPage::Relay).refusal,
              "リレー計測で元に戻せる操作はありません。");

    // Written by someone else since: told as another workstation's change.
    ASSERT_TRUE(Take("0012", "10:12:00.0000").Applied());
    const AppliedAction split = Take("0014", "10:13:00.0000");
    ASSERT_TRUE(split.Applied()) << qPrintable(split.Refusal());
    OperatorAction applied;
    applied.bib = "0014";
    applied.what = "中間1";
    applied.changes = split.action.changes;
    again.Submit(applied);
    db.Exec("update result set midtime1 = '   13:00.1' where zek = '0014'");
    ASSERT_TRUE(again.UndoLast(ActionPage::Lap).sent);
    EXPECT_TRUE(QTest::qWaitFor([&] { return again.WaitingCount() == 0; }, 10000));
    EXPECT_EQ(again.Actions().back().refusal,
              "ビブNo.0014 の記録は他の端末で変更されたため、元に戻せません。");
}

// The answer to an action can be lost after the database has it (the connection broke in its
// commit): sent again, it is found applied, not applied twice nor refused.
TEST_F(Undo, AnActionSentAgainAfterALostAnswerIsAppliedOnce) {
    ActionApplier applier(dm.DB);
    OperatorAction action;
    action.id = "a-1";
    action.raceCode = "R1";
    action.request = Kind(ActionRequest::Kind::Discard);
    action.request.stamp = {1, {}, "10:12:00.0000"};
    EXPECT_EQ(applier.Apply(action, {}).result, ApplyOutcome::Result::Applied);
    EXPECT_EQ(db.Scalar("select sumi from tdc_mid where id = 1"), "2");
    db.Exec("update tdc_mid set sumi = '0' where id = 1"); // as if another had given it back
    const ApplyOutcome again = applier.Apply(action, {});
    EXPECT_EQ(again.result, ApplyOutcome::Result::Applied);
    EXPECT_TRUE(again.changes.empty());
    EXPECT_EQ(db.Scalar("select sumi from tdc_mid where id = 1"), "0");
}

// The journal keeps the last actions of each page and their undoing; a line cut short by a
// crash is left out.
TEST(ActionJournal, KeepsTheLastActionsOfEachPageAndTheirUndoingAcrossRuns) {
    QTemporaryDir folder;
    const QString path = folder.filePath("actions.journal");
    RowChange change;
    change.table = "tdc_mid";
    change.keyColumns = {"id", "tm"};
    change.keyValues = {HexOfText("7"), HexOfText("10:12:00.0000")};
    change.columns = {"sumi"};
    change.before = {HexOfText("0")};
    change.after = {QString()}; // NULL stays NULL
    {
        ActionJournal journal(path);
        OperatorAction split;
        split.raceCode = "R1";
        split.bib = "0012";
        split.what = "中間1";
        split.changes = {change};
        for (int k = 0; k < ActionJournal::KeptPerPage + 10; ++k) {
            split.id = QString::number(k);
            journal.Append(split);
        }
        OperatorAction waiting; // never sent: kept whatever the count
        waiting.id = "waiting";
        waiting.request = Kind(ActionRequest::Kind::Discard);
        waiting.progress = OperatorAction::Progress::Waiting;
        journal.Append(waiting);
        OperatorAction relay;
        relay.id = "relay";
        relay.page = ActionPage::Relay;
        relay.marksChange = true;
        journal.Append(relay);
        journal.MarkUndone("59");
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(R"({"undone":"58)");
    file.close();
    ActionJournal journal(path);
    const auto& actions = journal.Actions();
    ASSERT_EQ(actions.size(), std::size_t(ActionJournal::KeptPerPage + 1));
    EXPECT_EQ(actions.front().id, "11");
    EXPECT_TRUE(actions[48].undone);
    EXPECT_FALSE(actions[47].undone);
    EXPECT_EQ(actions[49].progress, OperatorAction::Progress::Waiting);
    EXPECT_EQ(actions.back().page, ActionPage::Relay);
    EXPECT_TRUE(actions.back().marksChange);
    EXPECT_EQ(actions.front().changes, std::vector<RowChange>({change}));
    EXPECT_TRUE(actions.front().changes[0].after[0].isNull());
    EXPECT_EQ(actions.front().changes[0].before[0], "x30");
}

} // namespace
