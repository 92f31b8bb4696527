// A row of the check list written whole: split times only in their form, and a corrected or
// cleared split takes its passing and its passing-log row with it, in one transaction that
// can be taken back.
#include "common/uComm.h"
#include "data/Udm1.h"
#include "data/actions/CheckListRowWrite.h"
#include "data/actions/GivenBackTime.h"
#include "data/actions/PendingTimeMark.h"
#include "data/actions/UndoChanges.h"
#include "data/rules/SplitTimeEntry.h"
#include "data/sql/DatabaseError.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

class CheckListWrite : public testing::Test {
protected:
    void SetUp() override {
        // Split 2 measured from a start of its own, split 3 never passed.
        db.Exec("insert into result (tcode,zek,startedtime,midtime1,midfin1,midtime2,midfin2,"
                "midst2) values ('R1','0012','10:00:00.0000','   12:34.5','10:12:34.5678',"
                "'   20:00.0','10:20:00.0000','09:59:00.0000'), ('R1','0013','','','','','','')");
        db.Exec("insert into midjyun (tcode,bib,mtime,tod) values "
                "('R1','012','   12:34.5','10:12:34.5678'), ('R1','012','   20:00.0','10:20:00.0000'),"
                "('R1','013','   20:00.0','10:20:00.0000')");
        q.SetRequestLive(true);
        q.SetRowWriter(&writer);
        q.SetSQL({"select zek,startedtime,midtime1,midtime2,midtime3,midtime4,midtime5,"
                  "finishtime,runtime",
                  "from result where tcode='R1'", "order by zek"});
        q.Open();
        QObject::connect(&q, &TQuery::RowWritten,
                         [this](const QStringList&, const QStringList&, const QStringList&,
                                const std::vector<RowChange>& changes) { written = changes; });
    }
    int Column(const char* name) { return q.FieldIndex(name); }
    QList<QStringList> Record() {
        return db.Rows("select midtime1,midfin1,midtime2,midfin2,midst2,midtime3,midfin3,midst3 "
                       "from result where zek='0012'");
    }
    QList<QStringList> PassingLog() {
        return db.Rows("select bib,mtime,tod from midjyun order by bib,tod");
    }

    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
    TQuery& q = dm.Qcheck;
    CheckListRowWriter writer{dm.DB};
    std::vector<RowChange> written;
};

TEST(SplitTimeEntry, TakesRunningTimesAsTypedAndKeepsThemInTheRecordedForm) {
    const std::pair<const char*, const char*> taken[] = {
        {"12:34.5", "   12:34.5"}, {"1:02:03.4", " 1:02:03.4"}, {" 0:12:34.56 ", "   12:34.5"},
        {"59.9", "      59.9"},    {"12:34", "   12:34.0"},    {"   ", ""}};
    for (const auto& [typed, kept] : taken)
        EXPECT_EQ(SplitTimeEntry(typed), QString(kept)) << typed;
    for (const char* refused : {"abc", "1:5", "12:60.0", "24:00:00.0", "12:34.", "1234", "1:2:3"})
        EXPECT_FALSE(SplitTimeEntry(refused).has_value()) << refused;
    EXPECT_EQ(TimeOfDayText(TimeTextToMs("23:50:00.0000") + 15 * 60'000 + 100), "00:05:00.1000");
}

TEST_F(CheckListWrite, TextThatIsNoSplitTimeIsRefusedNamingTheSplitAndTheCellKeepsItsValue) {
    for (const char* typed : {"abc", "1:5", "\u00a5',zek='0013"}) {
        try {
            q.SetFieldText(0, Column("midtime2"), typed);
            ADD_FAILURE() << "took " << typed;
        } catch (const DatabaseError& error) {
            EXPECT_TRUE(error.message().contains("中間2")) << error.what();
        }
        EXPECT_EQ(q.Value(0, Column("midtime2")), "   20:00.0");
        EXPECT_FALSE(q.RowModified(0));
    }
    q.SetFieldText(0, Column("midtime2"), "20:00.0"); // the same time: nothing to write
    EXPECT_FALSE(q.RowModified(0));
}

// The list's cells refuse it as typed; a write handed the row directly is held to it too.
TEST_F(CheckListWrite, ASplitOutOfOrderIsRefusedAtTheWriteAsWell) {
    const ListSnapshot list = q.Snapshot();
    QStringList edited = list.rows[0];
    edited[Column("midtime3")] = "   15:00.0";
    const LiveRowOutcome outcome =
        writer.Write({*ParseLiveSelect(q.Text()), list.fieldNames, list.rows[0], edited});
    EXPECT_EQ(outcome.result, LiveRowOutcome::Refused);
    EXPECT_EQ(outcome.refusal, "中間3 15:00.0 は 中間2 20:00.0 より前です。");
    EXPECT_EQ(Record()[0][5], "");
}

TEST_F(CheckListWrite, ACorrectedSplitMovesItsPassingAndItsLogRowAndIsTakenBackWhole) {
    const QList<QStringList> record = Record();
    const QList<QStringList> log = PassingLog();
    q.SetFieldText(0, Column("midtime2"), "21:00.5");
    q.SetFieldText(0, Column("midtime3"), "1:02:03.4"); // never passed: gets a passing
    q.Post(0);
    // Split 2 from its own start, split 3 from the start, which it now records.
    EXPECT_EQ(Record(), QList<QStringList>({{"   12:34.5", "10:12:34.5678", "   21:00.5",
                                             "10:20:00.5000", "09:59:00.0000", " 1:02:03.4",
                                             "11:02:03.4000", "10:00:00.0000"}}));
    EXPECT_EQ(PassingLog(), QList<QStringList>({{"012", "   12:34.5", "10:12:34.5678"},
                                                {"012", "   21:00.5", "10:20:00.5000"},
                                                {"012", " 1:02:03.4", "11:02:03.4000"},
                                                {"013", "   20:00.0", "10:20:00.0000"}}));
    ASSERT_EQ(UndoChanges(dm.DB, written), -1);
    EXPECT_EQ(Record(), record);
    EXPECT_EQ(PassingLog(), log);

    q.Open();
    q.SetFieldText(0, Column("midtime1"), " ");
    q.Post(0);
    EXPECT_EQ(Record().value(0).mid(0, 2), QStringList({"", ""}));
    EXPECT_EQ(PassingLog().size(), 2); // split 1's row gone, the other bib's kept
    ASSERT_EQ(UndoChanges(dm.DB, written), -1);
    EXPECT_EQ(Record(), record);
    EXPECT_EQ(PassingLog(), log);
}

TEST_F(CheckListWrite, ALogRowThatCannotBeWrittenLeavesTheResultRowAsItWas) {
    const QList<QStringList> record = Record();
    db.Exec("create trigger refuse_log before update on midjyun for each row "
            "signal sqlstate '45000' set message_text = 'passing log refused'");
    q.SetFieldText(0, Column("midtime2"), "21:00.5");
    try {
        q.Post(0);
        ADD_FAILURE() << "posted without its passing-log row";
    } catch (const DatabaseError& error) {
        EXPECT_TRUE(error.message().contains("passing log refused")) << error.what();
    }
    EXPECT_EQ(Record(), record);
    EXPECT_TRUE(q.RowModified(0));

    db.Exec("drop trigger refuse_log");
    db.Exec("update result set midtime4 = 'x' where zek='0012'"); // another program
    EXPECT_THROW(q.Post(0), DatabaseError); // the row is not as read: refused, not overwritten
    EXPECT_EQ(Record(), record);
}

// A cleared split's device time goes back to the operator, as a cancel's does, unless the
// passing log still has it: 0013 shares 10:20 with 0012 in a dead heat.
TEST_F(CheckListWrite, AClearedSplitGivesItsTimeBackUnlessADeadHeatStillHoldsIt) {
    for (const char* tm : {"10:12:34.5678", "10:20:00.0000"})
        db.Exec(QStringLiteral("insert into tdc_mid (tcode,dt,getstr,bib,st,tm,tstat,sumi) values "
                               "('R1',now(),'','0000','C1','%1',' ','1')")
                    .arg(tm));
    const auto stamps = [this] { return db.Rows("select tm, sumi from tdc_mid order by tm"); };
    const QList<QStringList> used = stamps();
    q.SetFieldText(0, Column("midtime1"), " ");
    q.SetFieldText(0, Column("midtime2"), " ");
    q.Post(0);
    EXPECT_EQ(stamps(), QList<QStringList>({{"10:12:34.5678", StampGivenBack}, {"10:20:00.0000", "1"}}));
    EXPECT_EQ(TimesGivenBack(written), QStringList({"10:12:34.5678"}));
    ASSERT_EQ(UndoChanges(dm.DB, written), -1);
    EXPECT_EQ(stamps(), used);
}

// A passing corrected before keeps the stamp it took: cleared, it gives back that stamp, not
// the one whose time the corrected passing now has, and the undo takes the record back too.
TEST_F(CheckListWrite, AClearedSplitCorrectedBeforeGivesBackTheStampItsPassingTook) {
    db.Exec("insert into tdc_mid (tcode,dt,getstr,bib,st,tm,tstat,sumi) values "
            "('R1',now(),'','0000','C1','10:12:34.5678',' ','1'),"
            "('R1',now(),'','0000','C1','10:12:35.0000',' ','0')");
    db.Exec("insert into midtaken (tcode,zek,split,stampid,jid,tm) select 'R1','0012','1',id,'',"
            "tm from tdc_mid where tm = '10:12:34.5678'");
    const auto stamps = [this] { return db.Rows("select tm, sumi from tdc_mid order by tm"); };
    q.SetFieldText(0, Column("midtime1"), "12:35.0"); // the other stamp's time
    q.Post(0);
    const std::vector<RowChange> corrected = written;
    ASSERT_EQ(Record()[0][1], "10:12:35.0000");
    q.Open();
    q.SetFieldText(0, Column("midtime1"), " ");
    q.Post(0);
    EXPECT_EQ(stamps(), QList<QStringList>({{"10:12:34.5678", StampGivenBack},
                                            {"10:12:35.0000", "0"}}));
    EXPECT_EQ(db.Scalar("select count(*) from midtaken"), "0");
    ASSERT_EQ(UndoChanges(dm.DB, written), -1);
    ASSERT_EQ(UndoChanges(dm.DB, corrected), -1);
    EXPECT_EQ(stamps(), QList<QStringList>({{"10:12:34.5678", "1"}, {"10:12:35.0000", "0"}}));
    EXPECT_EQ(db.Scalar("select tm from midtaken where zek = '0012' and split = '1'"),
              "10:12:34.5678");
}

} // namespace
