// Taking an action back: every row it changed gets back exactly what it held, byte for byte,
// and only while the rows still hold what the action wrote; the history of actions outlives
// the program and names whose change stands in the way.
#include "common/uComm.h"
#include "data/ActionHistory.h"
#include "data/ActionJournal.h"
#include "data/RelayRecorder.h"
#include "data/SplitCorrections.h"
#include "data/SplitRecorder.h"
#include "data/UndoChanges.h"
#include "data/Udm1.h"
#include "support/RelayRace.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTemporaryDir>
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
    }
    // Every row an action may change, as the bytes the database holds.
    QList<QStringList> Race() const {
        return db.Rows("select hex(concat_ws('|', zek, bib, midtime1, midfin1, midtime2, midfin2,"
                       " midst2, midtime3, midfin3, midfin4, runtime, status)) from result order by zek, bib") +
               db.Rows("select id, sumi from tdc_mid order by id") +
               db.Rows("select hex(concat_ws('|', bib, mtime, tod)) from midjyun order by tod, bib") +
               db.Rows("select zek, num, startedtime, finishtime, runtime, status from relaymember"
                       " order by zek, num");
    }
    SplitOutcome Take(const QString& bib, const QString& time) {
        return splits.Record({bib, time, "1", 5, "0"});
    }

    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
    SplitRecorder splits{dm.DB};
    SplitCorrections corrections{dm.DB};
    RelayRace race{db};
};

TEST_F(Undo, EveryKindOfActionIsTakenBackExactlyAndOnlyWhileItsRowsAreAsItLeftThem) {
    const QList<QStringList> start = Race();
    const SplitOutcome split = Take("0012", "10:12:00.0000");
    ASSERT_TRUE(split.recorded);
    EXPECT_EQ(UndoChanges(dm.DB, split.changes), -1);
    EXPECT_EQ(Race(), start);

    // A cancel, a discard and a reset, each taken back in turn, newest first.
    ASSERT_TRUE(Take("0012", "10:12:00.0000").recorded);
    ASSERT_TRUE(Take("0013", "10:13:00.0000").recorded); // both rows of 0013
    const QList<QStringList> recorded = Race();
    const CancelOutcome cancel = corrections.CancelSplit("0013", 1, "10:13:00.0000", {});
    ASSERT_TRUE(cancel.cancelled);
    const std::vector<RowChange> discard = splits.DiscardPending("10:14:00.0000");
    const QList<QStringList> beforeReset = Race();
    const std::vector<RowChange> reset = corrections.ResetRace();
    EXPECT_EQ(db.Scalar("select count(*) from midjyun"), "0");
    EXPECT_EQ(UndoChanges(dm.DB, reset), -1);
    EXPECT_EQ(Race(), beforeReset);
    EXPECT_EQ(UndoChanges(dm.DB, discard), -1);
    EXPECT_EQ(UndoChanges(dm.DB, cancel.changes), -1);
    EXPECT_EQ(Race(), recorded);

    // Another workstation wrote one of the rows since: nothing at all is taken back.
    db.Exec("update result set midtime1 = '   13:01.0' where zek = '0013' and bib = '13b'");
    const QList<QStringList> changedElsewhere = Race();
    const SplitOutcome second = Take("0014", "10:14:00.0000");
    ASSERT_TRUE(second.recorded) << qPrintable(second.refusal);
    const QList<QStringList> withSecond = Race();
    EXPECT_GE(UndoChanges(dm.DB, cancel.changes), 0);
    db.Exec("update tdc_mid set sumi = '2' where tm = '10:14:00.0000'");
    EXPECT_GE(UndoChanges(dm.DB, second.changes), 0);
    db.Exec("update tdc_mid set sumi = '1' where tm = '10:14:00.0000'");
    EXPECT_EQ(Race(), withSecond);
    EXPECT_EQ(UndoChanges(dm.DB, second.changes), -1);
    EXPECT_EQ(Race(), changedElsewhere);
}

TEST_F(Undo, ARelayLegIsTakenBackWithTheChangeMarkerWrittenAgain) {
    QTemporaryDir folder;
    ActionHistory history(dm.DB, folder.path());
    race.AddClass("R", 4);
    race.AddTeam("0101", "R", "10:00:00.0000");
    const QList<QStringList> start = Race();
    RelayRecorder relay(dm.DB);
    RelayOutcome leg = relay.TakeTime({"0101", "10:14:00.0000", "5", false});
    ASSERT_TRUE(leg.recorded) << qPrintable(leg.refusal);
    history.Record({{}, {}, {}, ActionPage::Relay, "0101", "1走", leg.changes, true});
    db.Exec("update execinfo set stat = ''");
    EXPECT_TRUE(history.UndoLast(ActionPage::Relay).undone);
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
        RelayRecorder relay(dm.DB);
        const RelayOutcome leg = relay.TakeTime({"0101", "10:12:00.0000", "5", false});
        ASSERT_TRUE(leg.recorded);
        history.Record({{}, {}, {}, ActionPage::Relay, "0101", "1走", leg.changes, true});
        history.Record({{}, {}, {}, ActionPage::Lap, {}, "初期化", corrections.ResetRace()});
        const UndoOutcome blocked = history.UndoLast(ActionPage::Relay);
        EXPECT_FALSE(blocked.undone);
        EXPECT_EQ(blocked.refusal, "この端末の後の操作（周回計測  初期化）が時刻 10:12:00.0000 の"
                                   "タイムを変更しています。先にその操作を元に戻してください。");
    }
    ActionHistory again(dm.DB, folder.path());
    ASSERT_EQ(again.Actions().size(), 2u);
    EXPECT_TRUE(again.UndoLast(ActionPage::Lap).undone);
    EXPECT_TRUE(again.UndoLast(ActionPage::Relay).undone);
    EXPECT_EQ(Race(), start);
    EXPECT_EQ(again.UndoLast(ActionPage::Relay).refusal, "リレー計測で元に戻せる操作はありません。");

    // Written by someone else since: told as another workstation's change.
    ASSERT_TRUE(Take("0012", "10:12:00.0000").recorded);
    const SplitOutcome split = Take("0014", "10:13:00.0000");
    again.Record({{}, {}, {}, ActionPage::Lap, "0014", "中間1", split.changes});
    db.Exec("update result set midtime1 = '   13:00.1' where zek = '0014'");
    EXPECT_EQ(again.UndoLast(ActionPage::Lap).refusal,
              "ビブNo.0014 の記録は他の端末で変更されたため、元に戻せません。");
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
        for (int k = 0; k < ActionJournal::KeptPerPage + 10; ++k)
            journal.Append({QString::number(k), "R1", {}, ActionPage::Lap, "0012", "中間1",
                            {change}});
        journal.Append({"relay", "R1", {}, ActionPage::Relay, "0101", "1走", {}, true});
        journal.MarkUndone("59");
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(R"({"undone":"58)");
    file.close();
    ActionJournal journal(path);
    const auto& actions = journal.Actions();
    ASSERT_EQ(actions.size(), std::size_t(ActionJournal::KeptPerPage + 1));
    EXPECT_EQ(actions.front().id, "10");
    EXPECT_TRUE(actions[49].undone);
    EXPECT_FALSE(actions[48].undone);
    EXPECT_EQ(actions.back().page, ActionPage::Relay);
    EXPECT_TRUE(actions.back().marksChange);
    EXPECT_EQ(actions.front().changes, std::vector<RowChange>({change}));
    EXPECT_TRUE(actions.front().changes[0].after[0].isNull());
    EXPECT_EQ(actions.front().changes[0].before[0], "x30");
}

} // namespace
