// Split assignment in the real window against the real server: bib + Enter, "0" + Enter,
// bib + Space, and the checks that refuse a time.
#include "SplitFixture.h"
#include "support/OperatorHands.h"

#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "controls/REdit.h"
#include "data/rules/SplitRules.h"
#include "timing/widgets/TDBGrid.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace {

const QString TooShort = QStringLiteral("最短計測時間に達していません");
const QString LimitReached = QStringLiteral("既に最大中間数に達してます。");

class SplitAssignment : public SplitFixture {
protected:
    QList<QStringList> Passings() const {
        return db.Rows("select bib, mtime, tod from midjyun order by tod");
    }
    QColor Ed1Background() const {
        const QImage image = Control<QLineEdit>("Ed1")->grab().toImage();
        return image.pixelColor(image.width() - 6, 4);
    }
};

TEST_F(SplitAssignment, RecordsSplitOneThenSplitTwoOfTheWalkThrough) {
    AddClassM({"0012"});
    AddStamp("10:12:34.5678", 0);
    AddStamp("10:20:00.0000", 1);
    OpenWindow();
    SetMinimumMinutes("5");

    TypeBib(Control<QLineEdit>("Edit5"), "12");
    EXPECT_EQ(Result("0012", "midtime1, midfin1, midst2, midst3, midst4, midst5"),
              QStringList({"   12:34.5", "10:12:34.5678", "", "", "", ""}));
    EXPECT_EQ(States(), QStringList({"1", "0"}));
    EXPECT_EQ(Passings(), QList<QStringList>({{"012", "   12:34.5", "10:12:34.5678"}}));
    EXPECT_EQ(Control<QPlainTextEdit>("Memo2")->toPlainText(),
              "mfn 10:12:34.5678\nmst 10:00:00.0000\n754567\n754567");
    EXPECT_EQ(dm->Qmidtime2.FieldByName("bib").AsString(), "012");
    // Shown as the bib box shows it, in the passing log and the split list alike.
    for (const char* grid : {"DBGrid3", "DBGrid2"}) {
        const QAbstractItemModel* shown = Control<TDBGrid>(grid)->model();
        EXPECT_EQ(shown->data(shown->index(0, 0)).toString(), "0012") << grid;
    }
    EXPECT_EQ(Control<QLineEdit>("Edit5")->text(), "0012");
    EXPECT_TRUE(Control<QLineEdit>("Edit5")->hasFocus());
    EXPECT_EQ(Control<QLineEdit>("Edit5")->selectedText(), "0012");
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "10:20:00.0000");
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 1");
    EXPECT_EQ(LitSplitButton(), 1);
    EXPECT_TRUE(answers.Texts().isEmpty());

    TypeBib(Control<QLineEdit>("Edit5"), "12");
    EXPECT_EQ(Result("0012", "midtime2, midfin2, midst2"),
              QStringList({"   20:00.0", "10:20:00.0000", "10:00:00.0000"}));
    EXPECT_TRUE(Control<QPlainTextEdit>("Memo2")->toPlainText().endsWith(
        "mst 10:12:34.5678\n445433\n445433"));
    EXPECT_EQ(States(), QStringList({"1", "1"}));
    EXPECT_EQ(Passings().size(), 2);
    // The list follows the split just written, and shows that competitor's row.
    EXPECT_EQ(LitSplitButton(), 2);
    EXPECT_EQ(Control<TCuteButton>("CuteButton2")->Color(), QColor(255, 255, 0));
    EXPECT_EQ(dm->Dsmidtime.Columns()[1].FieldName, "Midtime2");
    EXPECT_EQ(dm->Qmidtime.FieldByName("zek").AsString(), "0012");
    EXPECT_EQ(dm->Qmidtime2.FieldByName("tod").AsString(), "10:20:00.0000");
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 0");
}

// The same bib again soon after its split is told as that split, on the strip and under
// 要確認, without a box; the time stays pending.
TEST_F(SplitAssignment, RefusesATimeBeforeTheMinimumAndTakesItAtExactlyTheMinimum) {
    AddClassM({"0012"});
    db.Exec("update result set midtime1 = '   12:34.5', midfin1 = '10:12:34.5678'");
    AddStamp("10:15:34.5678", 0);
    OpenWindow();
    SetMinimumMinutes("5");

    TypeBib(Control<QLineEdit>("Edit5"), "12");
    EXPECT_EQ(Told(), QStringList({"ビブNo.0012 は 3分00秒前に中間1 を記録済みです。"}));
    EXPECT_TRUE(answers.Texts().isEmpty());
    EXPECT_EQ(Result("0012", "midtime2, midfin2"), QStringList({"", ""}));
    EXPECT_EQ(States(), QStringList({"0"}));
    EXPECT_TRUE(Passings().isEmpty());
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "10:15:34.5678");

    SetMinimumMinutes("3");
    TypeBib(Control<QLineEdit>("Edit5"), "12");
    EXPECT_EQ(Told().size(), 1);
    EXPECT_EQ(Result("0012", "midfin2"), QStringList({"10:15:34.5678"}));
}

TEST_F(SplitAssignment, RefusesASplitBeyondTheClassOrTheRowsColumnsOrWithoutARow) {
    AddClass("M", 3);
    AddClass("L", 7); // more splits than the row has columns
    AddCompetitor("0012", "M", "10:00:00.0000");
    AddCompetitor("0020", "L", "10:00:00.0000");
    db.Exec("update result set midtime1 = 'x', midtime2 = 'x', midtime3 = 'x', "
            "midfin3 = '10:30:00.0000'");
    db.Exec("update result set midtime4 = 'x', midtime5 = 'x', midfin5 = '10:50:00.0000' "
            "where zek = '0020'");
    AddStamp("11:00:00.0000", 0);
    OpenWindow();

    TypeBib(Control<QLineEdit>("Edit5"), "12");
    TypeBib(Control<QLineEdit>("Edit5"), "20");
    TypeBib(Control<QLineEdit>("Edit5"), "77"); // no result row
    EXPECT_EQ(Told(),
              QStringList({"ビブNo.0077 は登録されていません。", LimitReached, LimitReached}));
    EXPECT_TRUE(ShownErrors().isEmpty()); // no statement named a sixth column
    EXPECT_EQ(Result("0012", "midtime4, midfin4"), QStringList({"", ""}));
    EXPECT_EQ(States(), QStringList({"0"}));
    EXPECT_TRUE(Passings().isEmpty());
    EXPECT_EQ(window->focusWidget(), Control<QLineEdit>("Edit5"));
}

TEST_F(SplitAssignment, TheNextSplitFollowsTheHighestFilledOneBlanksIncluded) {
    AddClass("M", 5);
    AddCompetitor("0001", "M", "10:00:00.0000");
    AddCompetitor("0002", "M", "10:00:00.0000");
    db.Exec("update result set midtime1 = 'x', midtime3 = 'x', midfin3 = '10:10:00.0000' "
            "where zek = '0001'");
    db.Exec("update result set midtime1 = ' ', midfin1 = '10:10:00.0000' where zek = '0002'");
    AddStamp("10:20:00.0000", 0);
    AddStamp("10:20:01.0000", 1);
    OpenWindow();

    TypeBib(Control<QLineEdit>("Edit5"), "1");
    TypeBib(Control<QLineEdit>("Edit5"), "2");
    EXPECT_EQ(Result("0001", "midtime2, midfin4, midst4"),
              QStringList({"", "10:20:00.0000", "10:00:00.0000"}));
    EXPECT_EQ(Result("0002", "midfin2"), QStringList({"10:20:01.0000"}));
    EXPECT_EQ(LitSplitButton(), 2);
}

// A night race: a split after midnight is measured across it. A stamp a little before the
// start is out of order, not a day's run, and refused.
TEST_F(SplitAssignment, ASplitAcrossMidnightIsMeasuredAcrossIt) {
    AddClassM({"0012"}, "23:50:00.0000");
    AddCompetitor("0013", "M", "10:00:00.0000");
    AddStamp("00:05:00.0000", 0);
    AddStamp("09:59:58.0000", 1);
    OpenWindow();
    SetMinimumMinutes("5");

    TypeBib(Control<QLineEdit>("Edit5"), "12");
    EXPECT_EQ(Result("0012", "midtime1, midfin1"), QStringList({"   15:00.0", "00:05:00.0000"}));
    SetMinimumMinutes("0");
    TypeBib(Control<QLineEdit>("Edit5"), "13");
    EXPECT_EQ(Told(), QStringList({TooShort + "（スタート 10:00:00.0、経過 -0:00:02、最短 0 分）"}));
    EXPECT_EQ(Result("0013", "midfin1"), QStringList({""}));
}

TEST_F(SplitAssignment, ZeroEnterDiscardsThePendingStampsOfThatTimeAndZeroSpaceDoesNothing) {
    AddStamp("10:00:01.0000", 0);
    AddStamp("10:00:01.0000", 1);
    AddStamp("10:00:02.0000", 2);
    db.Exec("update tdc_mid set sumi = '1' where id = 2");
    OpenWindow();

    TypeBib(Control<QLineEdit>("Edit5"), "0", Qt::Key_Space);
    EXPECT_EQ(States(), QStringList({"0", "1", "0"}));
    EXPECT_EQ(Control<QLineEdit>("Edit5")->text(), "0"); // Space never types a blank

    TypeBib(Control<QLineEdit>("Edit5"), "0");
    EXPECT_EQ(States(), QStringList({"2", "1", "0"})); // a time in use stays in use
    EXPECT_EQ(Control<QLineEdit>("Edit5")->text(), "0");
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "10:00:02.0000");
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 1");
    EXPECT_TRUE(answers.Texts().isEmpty());
}

// Bib + Space holds the time at the head of the panel, aqua; the next bib + Enter takes the
// same time, and the panel goes on with the next one.
TEST_F(SplitAssignment, SpaceHoldsTheTimeForTheNextBibWithEnter) {
    AddClassM({"0012", "0013", "0014"});
    AddStamp("10:12:34.5678", 0);
    AddStamp("10:12:40.0000", 1);
    OpenWindow();
    const QColor white = Ed1Background();

    TypeBib(Control<QLineEdit>("Edit5"), "12", Qt::Key_Space);
    EXPECT_EQ(Result("0012", "midtime1, midfin1"), QStringList({"   12:34.5", "10:12:34.5678"}));
    EXPECT_EQ(States(), QStringList({"2", "0"}));
    EXPECT_EQ(Control<QLineEdit>("Edit5")->text(), "0012");
    EXPECT_EQ(Ed1Background(), QColor(0, 255, 255));
    EXPECT_EQ(PanelTexts().mid(0, 3), QStringList({"10:12:34.5678", "10:12:40.0000", ""}));
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 1");

    TypeBib(Control<QLineEdit>("Edit5"), "13");
    EXPECT_EQ(Result("0013", "midfin1"), QStringList({"10:12:34.5678"}));
    EXPECT_EQ(States(), QStringList({"1", "0"}));
    EXPECT_EQ(Ed1Background(), white);
    EXPECT_EQ(white, QColor(255, 255, 255));
    TypeBib(Control<QLineEdit>("Edit5"), "14");
    EXPECT_EQ(Result("0014", "midfin1"), QStringList({"10:12:40.0000"}));
    EXPECT_TRUE(Told().isEmpty());
}

TEST_F(SplitAssignment, OnlyOfferedStampsAreTakenAndTheTenthBoxFillsFromBeyondThePanel) {
    AddClassM({"0012"});
    AddStamp("10:10:00.0000", 0, "c"); // never offered
    for (int k = 1; k <= 11; ++k)
        AddStamp(QStringLiteral("10:20:%1.0000").arg(k, 2, 10, QLatin1Char('0')), k,
                 k == 1 ? QStringLiteral("C") : QStringLiteral(" "));
    OpenWindow();
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "10:20:01.0000");
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 11");

    TypeBib(Control<QLineEdit>("Edit5"), "12");
    EXPECT_EQ(Result("0012", "midfin1"), QStringList({"10:20:01.0000"}));
    EXPECT_EQ(States().mid(0, 3), QStringList({"0", "1", "0"}));
    EXPECT_EQ(Control<QLineEdit>("Ed10")->text(), "10:20:11.0000");
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 10");
}

// A key that is no digit changes nothing; digits typed in the Japanese input mode are
// digits; an empty box is told; a minimum that is no number is told when a bib is entered.
// None of it opens a box or writes anything.
TEST_F(SplitAssignment, OnlyDigitsMakeABibAndWhatIsNoNumberIsToldWithoutWriting) {
    AddClassM({"0012"});
    AddStamp("10:12:34.5678", 0);
    OpenWindow();

    OperatorHands::Type("1a");
    EXPECT_EQ(Control<QLineEdit>("Edit5")->text(), "1");
    OperatorHands::Press(Qt::Key_Backspace);
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_EQ(Told(), QStringList({"ビブNo.を数字で入力してください。"}));
    // Minutes that are no whole number from 0 up are refused at once, naming the box, which
    // shows the minutes kept; "10", Enter, "5" is 10 minutes and a bib 5.
    SetMinimumMinutes("10");
    for (const char* wrong : {"5分", "-1", "abc"}) {
        SetMinimumMinutes(wrong);
        EXPECT_EQ(
            Told().value(0),
            QString("最短計測時間には 0 以上の整数（分）を入力してください。「%1」").arg(wrong));
        EXPECT_EQ(Control<TREdit>("RE1")->Text(), "10");
    }
    EXPECT_EQ(Control<QLineEdit>("Edit5"), QApplication::focusWidget());
    OperatorHands::Type("5");
    EXPECT_EQ(Control<TREdit>("RE1")->Text(), "10");
    EXPECT_EQ(Control<QLineEdit>("Edit5")->text(), "5");
    EXPECT_EQ(States(), QStringList({"0"}));
    EXPECT_TRUE(Passings().isEmpty());

    SetMinimumMinutes("5");
    TypeBib(Control<QLineEdit>("Edit5"), QStringLiteral("１２"));
    EXPECT_EQ(Result("0012", "midfin1"), QStringList({"10:12:34.5678"}));
    EXPECT_TRUE(ShownErrors().isEmpty());
    EXPECT_TRUE(answers.Texts().isEmpty());
}

TEST_F(SplitAssignment, LeavingTheMinimumBoxKeepsItsTextAsTheSetting) {
    OpenWindow();
    TREdit* minimum = Control<TREdit>("RE1");
    minimum->setFocus();
    minimum->selectAll();
    QTest::keyClicks(minimum, "8");
    Control<QLineEdit>("Edit5")->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(uComm::MinMeasureMinutes, "8");
}

TEST(SplitRules, NextSplitLimitMinimumAndPassingLogForm) {
    EXPECT_EQ(NextSplitNo({"", "", "", "", ""}), 1);
    EXPECT_EQ(NextSplitNo({"x", "", "x", "", ""}), 4);
    EXPECT_EQ(NextSplitNo({"", "", "", "", " "}), 6);
    EXPECT_EQ(SplitLimitOfClass(3), 3);
    EXPECT_EQ(SplitLimitOfClass(9), 5);
    EXPECT_TRUE(ReachesMinimum(300000, 5));
    EXPECT_FALSE(ReachesMinimum(299999, 5));
    EXPECT_FALSE(ReachesMinimum(86'400'000, 71'583)); // the product does not wrap into range
    EXPECT_EQ(PassingLogBib("0012"), "012");
    EXPECT_EQ(ShownBib("012"), "0012");
    EXPECT_EQ(ShownBib("12"), "0012");
    EXPECT_EQ(ShownBib("A12"), "A12");
    EXPECT_EQ(PassingLogBib("1234"), "234");
    EXPECT_EQ(PassingLogBib("12345"), "12345");
}

} // namespace
