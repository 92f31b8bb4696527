// The relay page as the operator uses it: keys of the bib box, what the window shows of a
// recording (messages, logs, the pending panel, Ed1's colour, the leg list it switches to),
// the leg buttons and the reset button. What is written is the relay recorder's own test.
#include "support/OperatorHands.h"
#include "support/RelayRace.h"
#include "support/TimingWindowFixture.h"

#include "controls/CuteBtn.h"
#include "controls/REdit.h"
#include "timing/widgets/StatusStrip.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTableView>
#include <QTest>
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
    QStringList Leg(const QString& zek, int n) const { return race.Leg(zek, n); }
    QString StampState(const QString& tm) const { return race.StampState(tm); }

    QColor Ed1Colour() const {
        QLineEdit* head = Control<QLineEdit>("Ed1");
        return head->grab().toImage().pixelColor(head->width() - 4, 4);
    }
    // The statement of the relay list, or of the team read, shown below the grid.
    QString Statement() const { return Control<QLineEdit>("Edit6")->text(); }
    QString ListedZeks() const {
        QStringList zeks;
        for (int row = 0; row < dm->QRelay1.RecordCount(); ++row)
            zeks << dm->QRelay1.Value(row, dm->QRelay1.FieldIndex("zek"));
        return zeks.join(',');
    }

    RelayRace race{db};
};

TEST_F(RelayTiming, AnExchangeIsLoggedAndTheListSwitchesToItsLeg) {
    AddClass("R", 0, 4);
    race.AddTeam("0012", "R", "10:00:00.0000");
    AddStamp("10:15:30.1234", 0);
    AddStamp("10:31:00.5000", 1);
    OpenWindow();
    TypeBib(Control<QLineEdit>("Edit3"), "12");
    EXPECT_EQ(Leg("0012", 1)[1], "10:15:30.1234");
    EXPECT_EQ(StampState("10:15:30.1234"), "1");
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "10:31:00.5000");
    EXPECT_EQ(Control<QPlainTextEdit>("Memo2")->toPlainText(),
              "10:15:30.1234\n10:00:00.0000\n930123\n930123");
    EXPECT_TRUE(Statement().endsWith("and a.num = '1' order by finishtime"));
    EXPECT_EQ(ListedZeks(), "0012");
    EXPECT_TRUE(Control<QLineEdit>("Edit3")->hasFocus());
    EXPECT_EQ(Control<QLineEdit>("Edit3")->selectedText(), "0012");
    for (int leg = 5; leg <= 10; ++leg) // no ekiden in this race
        EXPECT_FALSE(Control<TCuteButton>(QStringLiteral("CtBR%1").arg(leg))->isVisible());

    TypeBib(Control<QLineEdit>("Edit3"), "12");
    EXPECT_TRUE(dm->QRelay1.Text().endsWith("and a.num = '2' order by b.runtime"));
    EXPECT_TRUE(Statement().endsWith("and a.num = '2' order by b.runtime"));
    EXPECT_EQ(dm->QRelay1.FieldByName("runtt").AsString(), "   31:00.5");
}

// Every exchange of a six-leg ekiden class from the keyboard: the next leg starts at the
// finish cut after its tenths, the letters run B .. F and G at the finish, and the list
// follows each leg, the buttons of legs 5 and 6 as well.
TEST_F(RelayTiming, SixLegEkidenIsTimedThroughEveryExchangeFromTheKeyboard) {
    AddClass("E6", 0, 6);
    race.AddTeam("0031", "E6", "09:00:00.0000", 6);
    const QStringList finishes = {"09:20:00.1234", "09:41:10.5678", "10:02:00.0000",
                                  "10:25:30.9000", "10:47:00.4400", "11:10:15.2500"};
    for (int k = 0; k < finishes.size(); ++k)
        AddStamp(finishes[k], k);
    OpenWindow();
    EXPECT_TRUE(Control<TCuteButton>("CtBR6")->isVisible());
    EXPECT_FALSE(Control<TCuteButton>("CtBR7")->isVisible());
    OperatorHands::Click(Control<QCheckBox>("CkBLast"));
    QStringList letters;
    for (int leg = 1; leg <= 6; ++leg) {
        TypeBib(Control<QLineEdit>("Edit3"), "31");
        letters << race.Team("0031").value(1);
        EXPECT_TRUE(Statement().endsWith(QString("and a.num = '%1' order by %2")
                                             .arg(leg)
                                             .arg(leg == 1 ? "finishtime" : "b.runtime")));
    }
    EXPECT_EQ(letters, QStringList({"B", "C", "D", "E", "F", "G"}));
    const QList<QStringList> legs = {{"09:00:00.0000", "09:20:00.1234", "   20:00.1", "G"},
                                     {"09:20:00.1000", "09:41:10.5678", "   21:10.4", "G"},
                                     {"09:41:10.5000", "10:02:00.0000", "   20:49.5", "G"},
                                     {"10:02:00.0000", "10:25:30.9000", "   23:30.9", "G"},
                                     {"10:25:30.9000", "10:47:00.4400", "   21:29.5", "G"},
                                     {"10:47:00.4000", "11:10:15.2500", "   23:14.8", "G"}};
    for (int n = 1; n <= 6; ++n)
        EXPECT_EQ(Leg("0031", n), legs[n - 1]) << "leg " << n;
    EXPECT_EQ(race.Team("0031"), QStringList({" 2:10:15.2", "G"}));

    OperatorHands::Click(Control<TCuteButton>("CtBR5"));
    EXPECT_TRUE(Statement().endsWith("and a.num = '5' order by b.runtime"));
    EXPECT_EQ(ListedZeks(), "0031");
}

// Each refusal is told on the strip and under 要確認, with no box, and uses up nothing: the
// time waits for the right team. The statement box shows the team read with its values.
TEST_F(RelayTiming, RefusalsAreToldLeaveTheTimePendingAndTheLastLegNeedsTheBoxTicked) {
    AddClass("R", 0, 4);
    race.AddTeam("0012", "R", "10:00:00.0000");
    race.RunLeg("0012", 3, "10:45:00.0000");
    const QStringList stamps = {"11:00:09.0000", "10:46:00.0000", "11:00:00.0000", "11:20:00.0000"};
    for (int k = 0; k < stamps.size(); ++k)
        AddStamp(stamps[k], k);
    OpenWindow();
    db.Exec("update tdc_mid set sumi = '1' where tm = '11:00:09.0000'"); // taken elsewhere
    TypeBib(Control<QLineEdit>("Edit3"), "12");
    TypeBib(Control<QLineEdit>("Edit3"), "99");
    TypeBib(Control<QLineEdit>("Edit3"), "12"); // the same team a minute after its last exchange
    EXPECT_TRUE(Statement().endsWith("where tcode = 'R1'\r\nand zek = '0012'"));
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "10:46:00.0000");
    TypeBib(Control<QLineEdit>("Edit3"), "0");
    TypeBib(Control<QLineEdit>("Edit3"), "12");
    EXPECT_EQ(Leg("0012", 3)[1], "11:00:00.0000");
    TypeBib(Control<QLineEdit>("Edit3"), "12");
    EXPECT_EQ(StampState("11:20:00.0000"), "0");
    const QStringList told = Told();
    ASSERT_EQ(told.size(), 4) << qPrintable(told.join('\n'));
    EXPECT_TRUE(told[0].startsWith(LastLeg) && told[0].contains("最終走者も処理"));
    EXPECT_EQ(told[1], "チームNo.0012 は 1分00秒前に2走 を記録済みです。");
    EXPECT_EQ(told[2], "チームNo.0099 は登録されていません。");
    EXPECT_TRUE(told[3].contains("他の端末"));
    EXPECT_TRUE(answers.Texts().isEmpty());
    EXPECT_EQ(Leg("0012", 4), QStringList({"11:00:00.0000", "", "", "T"}));

    OperatorHands::Click(Control<QCheckBox>("CkBLast"));
    TypeBib(Control<QLineEdit>("Edit3"), "12");
    EXPECT_EQ(Leg("0012", 4)[1], "11:20:00.0000");
    EXPECT_TRUE(dm->QRelay1.Text().endsWith("and a.num = '4' order by b.runtime"));
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 0");
}

// A runner the device missed at the exchange: F2 on the relay page, the time typed, Enter; the
// next team's bib takes it as the finish of its leg, and the keys are the bib box's again.
TEST_F(RelayTiming, AMissedRunnersTimeTypedByHandFinishesTheLegOfTheNextTeam) {
    const QTime now = QTime::currentTime();
    if (now < QTime(1, 0))
        GTEST_SKIP() << "the test's times would cross midnight";
    const QTime missed = QTime(now.hour(), now.minute(), now.second()).addSecs(-600);
    AddClass("R", 0, 4);
    race.AddTeam("0012", "R", missed.addSecs(-1800).toString("HH:mm:ss.0000"));
    AddStamp(missed.addSecs(60).toString("HH:mm:ss.0000"), 0);
    OpenWindow();
    QLineEdit* bibBox = Control<QLineEdit>("Edit3");
    ASSERT_EQ(QApplication::focusWidget(), bibBox);
    OperatorHands::Press(Qt::Key_F2);
    const auto dialogOpen = [] {
        return QApplication::activeModalWidget()->objectName() == QLatin1String("HandTimeDialog");
    };
    ASSERT_TRUE(dialogOpen());
    OperatorHands::Type(missed.toString("H:mm:ss"));
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_FALSE(dialogOpen());
    EXPECT_EQ(QApplication::focusWidget(), bibBox);
    TypeBib(bibBox, "12");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Leg("0012", 1)[1] == missed.toString("HH:mm:ss.0000"); }, 5000))
        << qPrintable(Leg("0012", 1).join(','));
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), missed.addSecs(60).toString("HH:mm:ss.0000"));
}

// "*1" Enter asks once, Yes by default, and starts leg 2 of the teams still out on leg 1; the
// late runner then finishes leg 1, the forced start stays, and the lists and the strip mark
// the team. A forced start with no team to start is told, with no box.
TEST_F(RelayTiming, StarAndAnExchangeForceTheNextLegsOfTheTeamsStillOutAfterOneQuestion) {
    AddClass("E6", 0, 6);
    for (const char* zek : {"0031", "0032", "0033"})
        race.AddTeam(zek, "E6", "09:00:00.0000", 6);
    AddStamp("09:20:00.1234", 0);
    AddStamp("09:30:00.0500", 1);
    AddStamp("09:31:00.0000", 2);
    AddStamp("09:40:00.0000", 3);
    OpenWindow();
    TypeBib(Control<QLineEdit>("Edit3"), "31");
    answers.AnswerWithKey(Qt::Key_Return);
    OperatorHands::Type("*1");
    OperatorHands::Press(Qt::Key_Return);
    ASSERT_EQ(answers.Texts().size(), 1);
    EXPECT_EQ(answers.LastText(), "第1中継所で繰上スタートします。\n2走 2 チームを 09:30:00.0 に"
                                  "スタートさせます。\nよろしいですか？");
    for (const char* zek : {"0032", "0033"})
        EXPECT_EQ(Leg(zek, 2), QStringList({"09:30:00.0000", "", "", "T"})) << zek;
    EXPECT_EQ(Leg("0031", 2)[0], "09:20:00.1000");
    EXPECT_EQ(StampState("09:30:00.0500"), "1");
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "09:31:00.0000");

    TypeBib(Control<QLineEdit>("Edit3"), "32");
    EXPECT_EQ(Leg("0032", 1)[1], "09:31:00.0000");
    EXPECT_EQ(Leg("0032", 2), QStringList({"09:30:00.0000", "", "", "T"}));
    EXPECT_EQ(race.Team("0032"), QStringList({"   31:00.0", "B"}));
    EXPECT_TRUE(Control<StatusStrip>("StatusStrip")
                    ->Shown(StatusStrip::Field::Action)
                    .text.contains("1走  繰上"));
    QStringList marks;
    for (int row = 0; row < dm->QRelay1.RecordCount(); ++row)
        marks << dm->QRelay1.Value(row, dm->QRelay1.FieldIndex("forced"));
    EXPECT_EQ(ListedZeks(), "0031,0032");
    EXPECT_EQ(marks, QStringList({"", "繰上"}));

    OperatorHands::Type("*1");
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_EQ(answers.Texts().size(), 1);
    // Before it, the late runner's arrival, to be looked at again.
    ASSERT_EQ(Told().size(), 2);
    EXPECT_EQ(Told()[0], "第1中継所で繰上スタートするチームはありません。");
    EXPECT_TRUE(Told()[1].contains("遅れた走者")) << qPrintable(Told()[1]);
}

TEST_F(RelayTiming, DeadHeatGivesBothTeamsTheSameFinish) {
    AddClass("R", 0, 4);
    race.AddTeam("0012", "R", "10:00:00.0000");
    race.AddTeam("0015", "R", "10:00:00.0000");
    AddStamp("10:15:30.1234", 0);
    AddStamp("10:16:00.0000", 1);
    OpenWindow();
    EXPECT_EQ(Ed1Colour(), White);
    TypeBib(Control<QLineEdit>("Edit3"), "12", Qt::Key_Space);
    EXPECT_EQ(Leg("0012", 1)[1], "10:15:30.1234");
    EXPECT_EQ(StampState("10:15:30.1234"), "0");
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 2");
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "10:15:30.1234");
    EXPECT_EQ(Control<QLineEdit>("Edit3")->text(), "0012");
    EXPECT_EQ(Ed1Colour(), Aqua);

    TypeBib(Control<QLineEdit>("Edit3"), "15");
    EXPECT_EQ(Leg("0015", 1)[1], "10:15:30.1234");
    EXPECT_EQ(StampState("10:15:30.1234"), "1");
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "10:16:00.0000");
    EXPECT_EQ(Ed1Colour(), White);
    // Both teams of the dead heat say so in the list.
    OperatorHands::Click(Control<TCuteButton>("CtBR1"));
    ASSERT_EQ(dm->QRelay1.RecordCount(), 2);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(dm->QRelay1.Value(row, dm->QRelay1.FieldIndex("forced")), "同着") << row;
}

// The next time is no dead heat: Ed1 is white again.
TEST_F(RelayTiming, DeadHeatClosedWithZeroDiscardsTheTimeAndEndsTheAqua) {
    AddClass("R", 0, 4);
    race.AddTeam("0012", "R", "10:00:00.0000");
    AddStamp("10:15:30.1234", 0);
    AddStamp("10:16:00.0000", 1);
    OpenWindow();
    TypeBib(Control<QLineEdit>("Edit3"), "12", Qt::Key_Space);
    EXPECT_EQ(Ed1Colour(), Aqua);
    TypeBib(Control<QLineEdit>("Edit3"), "0");
    EXPECT_EQ(StampState("10:15:30.1234"), "2");
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "10:16:00.0000");
    EXPECT_EQ(Ed1Colour(), White);
}

// Another workstation took the time on show: "0" Enter says so and leaves it used. The bib
// box is selected again, so the operator's next "0" Enter discards the next time.
TEST_F(RelayTiming, ZeroEnterOnATimeTakenElsewhereIsToldAndTheNextZeroDiscardsTheNext) {
    AddClass("R", 0, 4);
    race.AddTeam("0012", "R", "10:00:00.0000");
    AddStamp("10:15:30.1234", 0);
    AddStamp("10:16:00.0000", 1);
    OpenWindow();
    db.Exec("update tdc_mid set sumi = '1' where tm = '10:15:30.1234'");
    TypeBib(Control<QLineEdit>("Edit3"), "0");
    OperatorHands::Type("0");
    OperatorHands::Press(Qt::Key_Return);
    ASSERT_EQ(Told().size(), 1);
    EXPECT_TRUE(Told()[0].contains("他の端末"));
    EXPECT_EQ(StampState("10:15:30.1234"), "1");
    EXPECT_EQ(StampState("10:16:00.0000"), "2");
}

// A letter typed into the bib box is refused as a key and changes nothing; a minimum that is
// no number is refused at once, and the team is timed with the minutes the box held before.
// Nothing opens a box.
TEST_F(RelayTiming, KeysAndMinutesThatAreNoNumberAreRefusedAtOnceAndChangeNothing) {
    AddClass("R", 0, 4);
    race.AddTeam("0012", "R", "10:00:00.0000");
    AddStamp("10:15:30.1234", 0);
    OpenWindow();
    OperatorHands::Type("1a");
    EXPECT_EQ(Control<QLineEdit>("Edit3")->text(), "1");
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_EQ(StampState("10:15:30.1234"), "0");
    // The relay page's own box.
    SetMinimumMinutes("20", "RelayMinutes");
    SetMinimumMinutes("x", "RelayMinutes");
    ASSERT_EQ(Told().size(), 2);
    EXPECT_EQ(Told()[1], "チームNo.0001 は登録されていません。");
    EXPECT_EQ(Told()[0], "最短計測時間には 0 以上の整数（分）を入力してください。「x」");
    EXPECT_EQ(Control<TREdit>("RelayMinutes")->Text(), "20");
    // 15 minutes run: under the 20 kept, so refused, and the time waits.
    TypeBib(Control<QLineEdit>("Edit3"), "12");
    EXPECT_TRUE(Told()[0].contains("最短計測時間に達していません")) << qPrintable(Told()[0]);
    EXPECT_TRUE(ShownErrors().isEmpty());
    EXPECT_TRUE(answers.Texts().isEmpty());
    EXPECT_EQ(Leg("0012", 1), QStringList({"10:00:00.0000", "", "", "T"}));
    EXPECT_EQ(StampState("10:15:30.1234"), "0");
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "10:15:30.1234");
}

TEST_F(RelayTiming, LegButtonsListTheFinishedRunnersOfTheirLeg) {
    AddClass("R", 0, 4);
    race.AddTeam("0012", "R", "10:00:00.0000");
    race.AddTeam("0015", "R", "10:00:00.0000");
    race.AddTeam("0020", "R", "10:00:00.0000");
    db.Exec("update relaymember set finishtime = '10:15:30.1234', runtime = '   15:30.1'"
            " where zek = '0012' and num in ('1','2')");
    db.Exec("update relaymember set finishtime = '10:14:00.0000', runtime = '   14:00.0'"
            " where zek = '0015' and num in ('1','2')");
    db.Exec("update result set runtime = '   30:30.1' where zek = '0012'");
    db.Exec("update result set runtime = '   31:00.0' where zek = '0015'");
    db.Exec("update result set runtime = '   29:00.0' where zek = '0020'");
    OpenWindow();
    OperatorHands::Click(Control<TCuteButton>("CtBR1"));
    EXPECT_EQ(Statement(),
              "select a.zek,a.num,a.finishtime,a.runtime as runt,b.runtime as runtt,concat_ws(' ', "
              "nullif(if(exists(select 1 from midforced f where f.tcode = a.tcode and f.zek = "
              "a.zek), '繰上', ''), ''), nullif(if(a.finishtime <> '' and exists(select 1 from "
              "relaymember o where o.tcode = a.tcode and o.num = a.num and o.finishtime = "
              "a.finishtime and o.zek <> a.zek), '同着', ''), '')) as forced\r\n"
              "from relaymember a,result b\r\n"
              "where a.tcode = 'R1' and a.tcode = b.tcode\r\n"
              "and a.zek = b.zek and a.runtime\r\n"
              "and a.num = '1' order by finishtime");
    EXPECT_EQ(ListedZeks(), "0015,0012");
    OperatorHands::Click(Control<TCuteButton>("CtBR2"));
    EXPECT_TRUE(Statement().endsWith("\r\nand a.num = '2' order by b.runtime"));
    EXPECT_EQ(ListedZeks(), "0012,0015");
    OperatorHands::Click(Control<TCuteButton>("CtBR3"));
    EXPECT_EQ(ListedZeks(), "");
}

TEST_F(RelayTiming, ResetButtonClearsTheRaceAndRefreshesTheLists) {
    AddClass("R", 0, 4);
    race.AddTeam("0012", "R", "10:00:00.0000");
    race.RunLeg("0012", 2, "10:30:00.0000");
    AddStamp("10:10:00.0000", 0);
    db.Exec("update tdc_mid set sumi = '1'");
    OpenWindow();
    OperatorHands::Click(Control<TCuteButton>("CtBR1"));
    EXPECT_EQ(ListedZeks(), "0012");
    answers.AnswerWithKey(Qt::Key_Return); // No is the default: Enter erases nothing
    OperatorHands::Click(Control<QPushButton>("Button3"));
    EXPECT_EQ(Leg("0012", 2), QStringList({"10:30:00.0000", "", "", "T"}));
    EXPECT_TRUE(answers.LastText().contains("区間 1 件")) << qPrintable(answers.LastText());
    answers.Answer(QMessageBox::Yes);
    OperatorHands::Click(Control<QPushButton>("Button3"));
    EXPECT_EQ(Leg("0012", 2), QStringList({"", "", "", "S"}));
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 1");
    EXPECT_EQ(ListedZeks(), "");
}

// The page as an exchange uses it: every leg's button in one row, the list's leg named and
// lit, a list the operator scrolled down kept through the next key press, and the reset away
// from where the lap page has its check list.
TEST_F(RelayTiming, TheListsLegIsNamedAndAScrolledListStaysThroughAKeyPress) {
    AddClass("E", 0, 10);
    for (int team = 1; team <= 40; ++team) {
        const QString zek = QStringLiteral("%1").arg(team, 4, 10, QLatin1Char('0'));
        race.AddTeam(zek, "E", "10:00:00.0000", 10);
        race.RunLeg(zek, 3, "10:20:00.0000"); // legs 1 and 2 finished
    }
    race.AddTeam("0099", "E", "10:00:00.0000", 10);
    AddStamp("10:15:00.0000", 0);
    AddStamp("10:40:00.0000", 1);
    OpenWindow();

    const QRect first = Control<TCuteButton>("CtBR1")->geometry();
    for (int leg = 2; leg <= 10; ++leg) {
        const QRect button = Control<TCuteButton>(QStringLiteral("CtBR%1").arg(leg))->geometry();
        EXPECT_TRUE(Control<TCuteButton>(QStringLiteral("CtBR%1").arg(leg))->isVisible()) << leg;
        EXPECT_EQ(button.top(), first.top()) << "leg " << leg << " in the row of leg 1";
        EXPECT_GT(button.left(), first.left()) << leg;
    }
    EXPECT_FALSE(Control<QPushButton>("Button3")->geometry().intersects(
        Control<TCuteButton>("CuteButton6")->geometry()))
        << "the reset stands where the lap page has its check list";

    OperatorHands::Click(Control<TCuteButton>("CtBR2"));
    EXPECT_EQ(Control<QLabel>("LabLegShown")->text(), "一覧: 2走の到着");
    EXPECT_EQ(Control<TCuteButton>("CtBR2")->Color(), QColor(255, 255, 0));
    EXPECT_EQ(Control<TCuteButton>("CtBR1")->Color(), QColor(255, 255, 255));
    // Down the list with the scroll bar, then a team's first runner arrives.
    QScrollBar* scroll = Control<QTableView>("DBGrid6")->verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([scroll] { return scroll->isVisible(); }, 2000));
    const auto clickTrough = [scroll](QStyle::SubControl part) {
        QStyleOptionSlider option;
        option.initFrom(scroll);
        option.orientation = Qt::Vertical;
        option.minimum = scroll->minimum();
        option.maximum = scroll->maximum();
        option.sliderPosition = option.sliderValue = scroll->value();
        option.pageStep = scroll->pageStep();
        option.singleStep = scroll->singleStep();
        OperatorHands::ClickAt(scroll, scroll->style()
                                           ->subControlRect(QStyle::CC_ScrollBar, &option, part, scroll)
                                           .center());
    };
    clickTrough(QStyle::SC_ScrollBarAddPage);
    ASSERT_GT(scroll->value(), 0);
    TypeBib(Control<QLineEdit>("Edit3"), "99");
    EXPECT_EQ(Leg("0099", 1)[1], "10:15:00.0000");
    EXPECT_EQ(Control<QLabel>("LabLegShown")->text(), "一覧: 2走の到着");
    EXPECT_TRUE(dm->QRelay1.Text().contains("a.num = '2'")) << qPrintable(dm->QRelay1.Text());
    // Back at the top, the list follows the key presses again.
    clickTrough(QStyle::SC_ScrollBarSubPage);
    ASSERT_EQ(scroll->value(), 0);
    TypeBib(Control<QLineEdit>("Edit3"), "1"); // team 0001's third runner
    EXPECT_EQ(Leg("0001", 3)[1], "10:40:00.0000");
    EXPECT_EQ(Control<QLabel>("LabLegShown")->text(), "一覧: 3走の到着");
}

} // namespace
