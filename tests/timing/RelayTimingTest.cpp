// The relay page: leg finishes and exchanges, dead heats, refusals, leg lists and the reset,
// in the real window against the real server.
#include "support/TimingWindowFixture.h"

#include "controls/CuteBtn.h"
#include "data/ExecInfo.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTime>

namespace {

const QString NotStarted = "当該の選手はスタートしていません。";
const QString TooShort = "最短計測時間に達していません";
const QString LastLeg = "既に最大中間数に達してます。";
const QColor White(255, 255, 255);
const QColor Aqua(0, 255, 255);

class RelayTiming : public TimingWindowFixture {
protected:
    void SetUp() override {
        TimingWindowFixture::SetUp();
        db.Exec("update tiki set syumoku = '10'");
    }

    // A team whose first leg started at `start`; its later legs wait.
    void AddTeam(const QString& zek, const QString& cls, const QString& start, int legs = 4) {
        AddCompetitor(zek, cls, start);
        for (int n = 1; n <= legs; ++n)
            AddLeg(zek, n, cls, n == 1 ? start : "", n == 1 ? "T" : "S");
    }
    void AddLeg(const QString& zek, int n, const QString& cls, const QString& start,
                const QString& status) {
        db.Exec(QString("insert into relaymember (tcode,zek,num,class1,startedtime,status) "
                        "values ('R1','%1','%2','%3','%4','%5')")
                    .arg(zek, QString::number(n), cls, start, status));
    }
    // Legs 1 .. n-1 finished, leg n running since `start`.
    void RunLeg(const QString& zek, int n, const QString& start) {
        db.Exec(QString("update relaymember set finishtime = '09:59:59.0000', runtime = '    1.0',"
                        " status = 'G' where zek = '%1' and num < '%2'")
                    .arg(zek)
                    .arg(n));
        db.Exec(QString("update relaymember set startedtime = '%1', status = 'T' where zek = '%2'"
                        " and num = '%3'")
                    .arg(start, zek)
                    .arg(n));
    }
    QStringList Leg(const QString& zek, int n) const {
        return db
            .Rows(QString("select startedtime,finishtime,runtime,status from relaymember "
                          "where zek = '%1' and num = '%2'")
                      .arg(zek)
                      .arg(n))
            .value(0);
    }
    QStringList Team(const QString& zek) const {
        return db.Rows(QString("select runtime,status from result where zek = '%1'").arg(zek))
            .value(0);
    }
    QString StampState(const QString& tm) const {
        return db.Scalar(QString("select sumi from tdc_mid where tm = '%1'").arg(tm));
    }
    QColor Ed1Colour() const {
        return window->Ed1->grab().toImage().pixelColor(window->Ed1->width() - 4, 4);
    }
    QString ListedZeks() const {
        QStringList zeks;
        for (int row = 0; row < dm->QRelay1.RecordCount(); ++row)
            zeks << dm->QRelay1.Value(row, dm->QRelay1.FieldIndex("zek"));
        return zeks.join(',');
    }
};

TEST_F(RelayTiming, TwoExchangesWriteLegAndTeamTimesAndTheNextStarts) {
    AddClass("R", 0, 4);
    AddTeam("0012", "R", "10:00:00.0000");
    AddStamp("10:15:30.1234", 0);
    AddStamp("10:31:00.5000", 1);
    OpenWindow();
    const int before = TenthsSinceMidnight(QTime::currentTime());
    TypeBib(window->Edit3, "12");

    EXPECT_EQ(Leg("0012", 1), QStringList({"10:00:00.0000", "10:15:30.1234", "   15:30.1", "G"}));
    EXPECT_EQ(Leg("0012", 2), QStringList({"10:15:30.1000", "", "", "T"}));
    EXPECT_EQ(Team("0012"), QStringList({"   15:30.1", "B"}));
    EXPECT_EQ(StampState("10:15:30.1234"), "1");
    EXPECT_EQ(window->Ed1->text(), "10:31:00.5000");
    EXPECT_EQ(window->Memo2->toPlainText(), "10:15:30.1234\n10:00:00.0000\n930123\n930123");
    EXPECT_TRUE(window->Edit6->text().endsWith("and a.num = '1' order by finishtime"));
    EXPECT_EQ(ListedZeks(), "0012");
    EXPECT_TRUE(window->Edit3->hasFocus());
    EXPECT_EQ(window->Edit3->selectedText(), "0012");
    EXPECT_EQ(db.Scalar("select stat from execinfo"), "C1");
    const int updx = db.Scalar("select updx from execinfo").toInt();
    EXPECT_TRUE(updx >= before && updx <= TenthsSinceMidnight(QTime::currentTime()));

    TypeBib(window->Edit3, "12");
    EXPECT_EQ(Leg("0012", 2), QStringList({"10:15:30.1000", "10:31:00.5000", "   15:30.4", "G"}));
    EXPECT_EQ(Leg("0012", 3), QStringList({"10:31:00.5000", "", "", "T"}));
    EXPECT_EQ(Team("0012"), QStringList({"   31:00.5", "C"}));
    EXPECT_EQ(window->LastSplitNo, 2);
    EXPECT_EQ(dm->QRelay1.FieldByName("runtt").AsString(), "   31:00.5");
}

TEST_F(RelayTiming, TheLastLegIsTakenOnlyWithTheBoxTickedButItsTimeIsUsedEitherWay) {
    AddClass("R", 0, 4);
    AddTeam("0012", "R", "10:00:00.0000");
    RunLeg("0012", 4, "10:45:00.0000");
    AddStamp("11:00:00.0000", 0);
    AddStamp("11:00:05.0000", 1);
    OpenWindow();
    EXPECT_FALSE(window->CkBLast->isChecked());
    TypeBib(window->Edit3, "12");
    EXPECT_EQ(answers.Texts(), QStringList{LastLeg});
    EXPECT_EQ(Leg("0012", 4), QStringList({"10:45:00.0000", "", "", "T"}));
    EXPECT_EQ(StampState("11:00:00.0000"), "1");
    EXPECT_EQ(db.Scalar("select stat from execinfo"), "");

    window->CkBLast->setChecked(true);
    TypeBib(window->Edit3, "12");
    EXPECT_EQ(Leg("0012", 4), QStringList({"10:45:00.0000", "11:00:05.0000", "   15:05.0", "G"}));
    EXPECT_EQ(Team("0012"), QStringList({" 1:00:05.0", "G"}));
    EXPECT_EQ(db.Scalar("select count(*) from relaymember"), "4");
}

TEST_F(RelayTiming, ThreeLegClassEndsWithGAfterTheThirdLeg) {
    AddClass("R3", 0, 3);
    AddTeam("0007", "R3", "10:00:00.0000", 3);
    RunLeg("0007", 2, "10:10:00.0000");
    AddStamp("10:20:00.0000", 0);
    AddStamp("10:40:00.0000", 1);
    OpenWindow();
    window->CkBLast->setChecked(true);
    TypeBib(window->Edit3, "7");
    EXPECT_EQ(Team("0007"), QStringList({"   20:00.0", "C"}));
    TypeBib(window->Edit3, "7");
    EXPECT_EQ(Team("0007"), QStringList({"   40:00.0", "G"}));
    EXPECT_EQ(Leg("0007", 3)[3], "G");
}

// The page times four legs: a five-leg class exchanges into leg 4, but leg 4's finish would
// start a leg the page can neither list nor finish, so it is refused even with the box ticked.
TEST_F(RelayTiming, FiveLegClassIsTimedUpToTheExchangeIntoLegFour) {
    AddClass("R5", 0, 5);
    AddTeam("0005", "R5", "10:00:00.0000", 5);
    RunLeg("0005", 3, "10:20:00.0000");
    AddStamp("10:30:00.0000", 0);
    AddStamp("10:40:00.0000", 1);
    OpenWindow();
    window->CkBLast->setChecked(true);
    TypeBib(window->Edit3, "5");
    EXPECT_EQ(Team("0005"), QStringList({"   30:00.0", "D"}));
    EXPECT_EQ(Leg("0005", 4), QStringList({"10:30:00.0000", "", "", "T"}));

    TypeBib(window->Edit3, "5");
    EXPECT_EQ(answers.Texts(), QStringList{LastLeg});
    EXPECT_EQ(Team("0005"), QStringList({"   30:00.0", "D"}));
    EXPECT_EQ(Leg("0005", 4)[3], "T");
    EXPECT_EQ(Leg("0005", 5), QStringList({"", "", "", "S"}));
}

TEST_F(RelayTiming, DeadHeatGivesBothTeamsTheSameFinish) {
    AddClass("R", 0, 4);
    AddTeam("0012", "R", "10:00:00.0000");
    AddTeam("0015", "R", "10:00:00.0000");
    AddStamp("10:15:30.1234", 0);
    AddStamp("10:16:00.0000", 1);
    OpenWindow();
    EXPECT_EQ(Ed1Colour(), White);
    TypeBib(window->Edit3, "12", Qt::Key_Space);
    EXPECT_EQ(Leg("0012", 1)[1], "10:15:30.1234");
    EXPECT_EQ(StampState("10:15:30.1234"), "0");
    EXPECT_EQ(window->Labmisyori->text(), "未処理数 = 2");
    EXPECT_EQ(window->Ed1->text(), "10:15:30.1234");
    EXPECT_EQ(window->Edit3->text(), "0012");
    EXPECT_EQ(Ed1Colour(), Aqua);

    TypeBib(window->Edit3, "15");
    EXPECT_EQ(Leg("0015", 1)[1], "10:15:30.1234");
    EXPECT_EQ(StampState("10:15:30.1234"), "1");
    EXPECT_EQ(window->Ed1->text(), "10:16:00.0000");
    EXPECT_EQ(Ed1Colour(), White);
}

TEST_F(RelayTiming, DeadHeatClosedWithZeroDiscardsTheTimeAndStaysAqua) {
    AddClass("R", 0, 4);
    AddTeam("0012", "R", "10:00:00.0000");
    AddStamp("10:15:30.1234", 0);
    AddStamp("10:16:00.0000", 1);
    OpenWindow();
    TypeBib(window->Edit3, "12", Qt::Key_Space);
    TypeBib(window->Edit3, "0");
    EXPECT_EQ(StampState("10:15:30.1234"), "2");
    EXPECT_EQ(window->Ed1->text(), "10:16:00.0000");
    EXPECT_EQ(Ed1Colour(), Aqua);
}

// No rows, a class without RELAYN, a start holding the blank mask: nobody is running, yet
// the time is used. A finish holding the mask counts as no finish.
TEST_F(RelayTiming, EntriesWithoutARunningLegAreRefusedAndUseTheTime) {
    AddClass("R", 0, 4);
    AddTeam("0020", "NOCLASS", "10:00:00.0000");
    AddTeam("0021", "R", "  :  :  .    ");
    AddTeam("0022", "R", "10:00:00.0000");
    db.Exec("update relaymember set finishtime = '  :  :  .    ' where zek = '0022'");
    const QStringList stamps = {"10:20:00.0000", "10:21:00.0000", "10:22:00.0000", "10:23:00.0000"};
    for (int k = 0; k < stamps.size(); ++k)
        AddStamp(stamps[k], k);
    OpenWindow();
    for (const QString bib : {"99", "20", "21", "22"})
        TypeBib(window->Edit3, bib);
    EXPECT_EQ(answers.Texts(), QStringList({NotStarted, NotStarted, NotStarted}));
    for (const QString& stamp : stamps)
        EXPECT_EQ(StampState(stamp), "1");
    EXPECT_EQ(Leg("0021", 1)[3], "T");
    EXPECT_EQ(Leg("0022", 1), QStringList({"10:00:00.0000", "10:23:00.0000", "   23:00.0", "G"}));
    EXPECT_EQ(window->Labmisyori->text(), "未処理数 = 0");
}

TEST_F(RelayTiming, MidnightAndAMissingTimeAreRefusedByTheMinimum) {
    AddClass("R", 0, 4);
    AddTeam("0012", "R", "23:55:00.0000");
    AddStamp("00:05:00.0000", 0);
    OpenWindow();
    TypeBib(window->Edit3, "12"); // ten minutes, but the difference is negative
    TypeBib(window->Edit3, "12"); // Ed1 is empty now
    EXPECT_EQ(answers.Texts(), QStringList({TooShort, TooShort}));
    EXPECT_EQ(Leg("0012", 1), QStringList({"23:55:00.0000", "", "", "T"}));
    EXPECT_EQ(StampState("00:05:00.0000"), "1");
    EXPECT_EQ(window->Memo2->toPlainText().split('\n').value(2), "-85800000");
}

TEST_F(RelayTiming, ConversionErrorsWriteNothingAndLeaveTheTimePending) {
    AddClass("R", 0, 4);
    AddTeam("0012", "R", "10:00:00.0000");
    AddStamp("10:15:30.1234", 0);
    OpenWindow();
    TypeBib(window->Edit3, "1a");
    SetMinimumMinutes("x");
    TypeBib(window->Edit3, "12");
    ASSERT_EQ(ShownErrors().size(), 2);
    EXPECT_TRUE(ShownErrors()[0].contains("1a"));
    EXPECT_TRUE(ShownErrors()[1].contains("x"));
    EXPECT_EQ(Leg("0012", 1), QStringList({"10:00:00.0000", "", "", "T"}));
    EXPECT_EQ(StampState("10:15:30.1234"), "0");
    EXPECT_EQ(window->Ed1->text(), "10:15:30.1234");
}

// Without the indexes the look-up returns the rows as stored: leg 4 first.
TEST_F(RelayTiming, TeamStartComesFromLegOneWhateverTheRowOrder) {
    db.Exec("alter table relaymember drop index relaymember_zek, drop index relaymember_leg");
    AddClass("R", 0, 4);
    AddCompetitor("0012", "R", "10:00:00.0000");
    for (int n = 4; n >= 2; --n)
        AddLeg("0012", n, "R", "", "S");
    AddLeg("0012", 1, "R", "10:00:00.0000", "T");
    AddStamp("10:15:30.1234", 0);
    OpenWindow();
    TypeBib(window->Edit3, "12");
    EXPECT_EQ(Team("0012"), QStringList({"   15:30.1", "B"}));
}

TEST_F(RelayTiming, LegButtonsListTheFinishedRunnersOfTheirLeg) {
    AddClass("R", 0, 4);
    AddTeam("0012", "R", "10:00:00.0000");
    AddTeam("0015", "R", "10:00:00.0000");
    AddTeam("0020", "R", "10:00:00.0000");
    db.Exec("update relaymember set finishtime = '10:15:30.1234', runtime = '   15:30.1'"
            " where zek = '0012' and num in ('1','2')");
    db.Exec("update relaymember set finishtime = '10:14:00.0000', runtime = '   14:00.0'"
            " where zek = '0015' and num in ('1','2')");
    db.Exec("update result set runtime = '   30:30.1' where zek = '0012'");
    db.Exec("update result set runtime = '   31:00.0' where zek = '0015'");
    db.Exec("update result set runtime = '   29:00.0' where zek = '0020'");
    OpenWindow();
    window->CtBR1->Click();
    EXPECT_EQ(window->Edit6->text(),
              "select a.zek,a.num,a.finishtime,a.runtime as runt,b.runtime as runtt\r\n"
              "from relaymember a,result b\r\n"
              "where a.tcode = 'R1' and a.tcode = b.tcode\r\n"
              "and a.zek = b.zek and a.runtime\r\n"
              "and a.num = '1' order by finishtime");
    EXPECT_EQ(ListedZeks(), "0015,0012");
    window->CtBR2->Click();
    EXPECT_TRUE(window->Edit6->text().endsWith("\r\nand a.num = '2' order by b.runtime"));
    EXPECT_EQ(ListedZeks(), "0012,0015");
    window->CtBR3->Click();
    EXPECT_EQ(ListedZeks(), "");
}

TEST_F(RelayTiming, ResetReturnsEveryTeamToBeforeTheFirstExchange) {
    AddClass("R", 0, 4);
    AddTeam("0012", "R", "10:00:00.0000");
    RunLeg("0012", 3, "10:30:00.0000");
    db.Exec("update relaymember set runtime = '   10:00.0'");
    db.Exec("update result set startedtime = '10:00:00.0000', runtime = '   30:00.0',"
            " status = 'C', midfin2 = '10:20:00.0000', midfin1 = '10:10:00.0000'");
    AddStamp("10:10:00.0000", 0);
    AddStamp("10:20:00.0000", 1);
    db.Exec("update tdc_mid set sumi = '1' where tm = '10:10:00.0000'");
    db.Exec("update tdc_mid set sumi = '2' where tm = '10:20:00.0000'");
    OpenWindow();
    window->CtBR1->Click();
    EXPECT_EQ(ListedZeks(), "0012");

    window->Button3->click();
    EXPECT_EQ(Leg("0012", 1), QStringList({"10:00:00.0000", "", "", "T"}));
    for (int n = 2; n <= 4; ++n)
        EXPECT_EQ(Leg("0012", n), QStringList({"", "", "", "S"}));
    EXPECT_EQ(db.Rows("select startedtime,runtime,status,midfin2,midfin1 from result").value(0),
              QStringList({"", "", "A", "", "10:10:00.0000"}));
    EXPECT_EQ(window->Labmisyori->text(), "未処理数 = 2");
    EXPECT_EQ(ListedZeks(), "");
}

} // namespace
