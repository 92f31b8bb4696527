// A time given back (a split cancelled, a key press the server refused after an outage) never
// heads the pending times again: the next bib gets the next stamp, and the time waits, listed
// under 要確認 with the bib it came from, until the operator gives it a bib by hand or
// discards it.
#include "timing/SplitFixture.h"

#include "data/actions/GivenBackTime.h"
#include "data/actions/PendingTimeMark.h"
#include "support/FarDataSource.h"
#include "support/OperatorHands.h"

#include <QLineEdit>
#include <QTest>

using namespace OperatorHands;

namespace {

class GivenBackTime : public SplitFixture {
protected:
    void Enter(const QString& bib) {
        Type(bib);
        Press(Qt::Key_Return);
    }
    QString StateOf(const QString& tm) const {
        return db.Scalar(QStringLiteral("select sumi from tdc_mid where tm = '%1'").arg(tm));
    }
    bool PanelShowsSoon(const QString& tm) const {
        return QTest::qWaitFor([&] { return PanelTexts().contains(tm); }, 5000);
    }
};

TEST_F(GivenBackTime, ACancelledTimeWaitsForTheOperatorWhileTheNextBibGetsTheNextStamp) {
    AddClassM({"0011", "0012", "0013", "0014", "0031"});
    for (int k = 0; k < 3; ++k)
        AddStamp(QStringLiteral("10:1%1:00.0000").arg(k), k);
    OpenWindow();
    Enter("11");
    Enter("12");
    Enter("31"); // 13 passed at 10:12: a wrong bib, taken out at once
    CancelTopSplit();
    EXPECT_EQ(Result("0031", "midfin1"), QStringList({""}));
    AddStamp("10:13:00.0000", 3); // the next runner passes
    ASSERT_TRUE(PanelShowsSoon("10:13:00.0000"));
    Enter("14");

    EXPECT_EQ(Result("0014", "midfin1"), QStringList({"10:13:00.0000"}));
    EXPECT_EQ(States(), QStringList({"1", "1", StampGivenBack, "1"}));
    EXPECT_FALSE(PanelTexts().contains("10:12:00.0000"));
    EXPECT_TRUE(Told().contains("戻ったタイム 10:12:00.0（0031 から）")) << qPrintable(Told().join('\n'));

    // The right runner gets it by hand.
    GiveByHand("0013", "10:12:00.0000");
    EXPECT_EQ(answers.LastText(), "ビブNo.0013 のフィニッシュタイムに 10:12:00.0000 を採用します。");
    EXPECT_EQ(Result("0013", "midfin1"), QStringList({"10:12:00.0000"}));
    EXPECT_EQ(StateOf("10:12:00.0000"), "1");
    EXPECT_EQ(db.Scalar("select count(*) from midjyun where tod = '10:12:00.0000'"), "1");
}

// A given-back time nobody passed at (a spectator in the beam, a bib typed at a stray stamp) is
// discarded with the hand box's "0" as it shows when the window opens.
TEST_F(GivenBackTime, AGivenBackTimeIsDiscardedWithZeroInTheHandBox) {
    AddClassM({"0011", "0031"});
    AddStamp("10:10:00.0000", 0);
    AddStamp("10:11:00.0000", 1);
    OpenWindow();
    Enter("31");
    CancelTopSplit();
    ASSERT_EQ(StateOf("10:10:00.0000"), StampGivenBack);
    ASSERT_EQ(Control<QLineEdit>("Edit1")->text(), "0");

    const qsizetype asked = answers.Texts().size();
    RightClickDeviceTime("10:11:00.0000"); // pending: "0" asks nothing of it
    EXPECT_EQ(answers.Texts().size(), asked);
    answers.Answer(QMessageBox::Yes);
    RightClickDeviceTime("10:10:00.0000");
    ASSERT_EQ(answers.Texts().size(), asked + 1);
    EXPECT_EQ(answers.LastText(), "戻ったタイム 10:10:00.0000 を破棄します。");
    EXPECT_EQ(StateOf("10:10:00.0000"), "2");
    EXPECT_EQ(StateOf("10:11:00.0000"), "0");
    Enter("11");
    EXPECT_EQ(Result("0011", "midfin1"), QStringList({"10:11:00.0000"}));
}

// The server, back after an outage, refuses a bib typed meanwhile (headquarters recorded the
// runner's split in between): the time the bib took goes back to the operator, not to the
// head of the panel, where the next bib would take it.
class GivenBackAfterOutage : public GivenBackTime {
protected:
    FarDataSource far{0};
};

TEST_F(GivenBackAfterOutage, ARefusedBibsTimeWaitsForTheOperatorAndTheNextBibGetsTheNextStamp) {
    AddClassM({"0012", "0013"});
    AddStamp("10:12:00.0000", 0);
    AddStamp("10:13:00.0000", 1);
    ConnectThrough(dm->DB, FarDataSource::Name());
    OpenWindow();
    far.Break();
    Enter("12");
    db.Exec("update result set midtime1 = '   11:59.0', midfin1 = '10:11:59.0000' "
            "where zek = '0012'");
    db.Exec("insert into midjyun (tcode,bib,mtime,tod) values "
            "('R1','012','   11:59.0','10:11:59.0000')");
    QTest::qWait(AnsweredAtOnceMs); // the volunteer has long gone on when the server is back
    far.Mend();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->UnsentCount() == 0; }, 15000));
    Settle();

    EXPECT_EQ(Result("0012", "midfin1, midfin2"), QStringList({"10:11:59.0000", ""}));
    EXPECT_EQ(StateOf("10:12:00.0000"), StampGivenBack);
    EXPECT_TRUE(Told().contains("戻ったタイム 10:12:00.0（0012 から）"))
        << qPrintable(Told().join('\n'));
    ASSERT_TRUE(PanelShowsSoon("10:13:00.0000"));
    Enter("13");
    EXPECT_EQ(Result("0013", "midfin1"), QStringList({"10:13:00.0000"}));
    EXPECT_EQ(StateOf("10:12:00.0000"), StampGivenBack);
}

} // namespace
