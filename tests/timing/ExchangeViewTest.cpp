// The exchange's own view on 通過状況 for an ekiden, as a volunteer at the exchange uses it:
// the teams through and still due for the leg the relay page works on, the next expected by
// pace, the teams a forced start would take once its time has come, and the warning when a
// team started by force sees a runner arrive who may be the late one.
#include "support/OperatorHands.h"
#include "support/RelayRace.h"
#include "support/TimingWindowFixture.h"

#include "data/rules/ForcedStarts.h"
#include "timing/session/LateArrivalWarning.h"
#include "timing/widgets/SplitPointReadings.h"
#include "timing/widgets/StatusStrip.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTime>
#include <QTreeWidget>

namespace {

// Which arrivals of a forced team are in doubt, and the forced start counting down to its time.
TEST(ExchangeReadings, ArrivalsInDoubtAndTheForcedStartCountingDown) {
    const RelayLeg done{"09:00:00.0000", "09:20:00.0000"};
    const RelayLeg out{"09:20:00.0000", ""};
    const RelayLeg forced{"09:55:00.0000", "", true};
    const RelayLeg waiting{"", ""};
    EXPECT_EQ(DoubtOfArrival({done, out, forced, waiting}, 2), ArrivalDoubt::LateRunnerTaken);
    EXPECT_EQ(DoubtOfArrival({done, out, forced, waiting}, 3), ArrivalDoubt::LateRunnerStillOut);
    EXPECT_EQ(DoubtOfArrival({done, out, waiting, waiting}, 2), ArrivalDoubt::None);
    EXPECT_EQ(DoubtOfArrival({done, {"09:20:00.0000", "09:50:00.0000"}, forced, waiting}, 3),
              ArrivalDoubt::None); // the runner before came in time: nobody is late
    EXPECT_EQ(DoubtOfArrival({done, out, forced}, 3), ArrivalDoubt::LateRunnerStillOut);
    EXPECT_EQ(LateArrivalWarning(ArrivalDoubt::None, "0034", 2), "");

    EXPECT_EQ(ForcedStartText(QTime(10, 30), QTime(10, 17, 56), {"0034", "0035"}),
              "繰上 10:30:00 まで 12分04秒  繰上スタート対象 2 チーム: 0034, 0035");
    EXPECT_EQ(ForcedStartText(QTime(10, 30), QTime(10, 30), {"0035"}),
              "繰上時刻 10:30:00 を過ぎました  繰上スタート対象 1 チーム: 0035");
    EXPECT_EQ(ForcedStartText(std::nullopt, QTime(10, 30), {}), "繰上スタートの対象はありません");
    EXPECT_EQ(NextExpectedText({{"0036", "E4", 1, "09:00:00.0000", ""}}),
              "次の到着予想: まだ到着がなく予想できません");
}

class ExchangeView : public TimingWindowFixture {
protected:
    void SetUp() override {
        TimingWindowFixture::SetUp();
        db.Exec("update tiki set syumoku = '10'");
        OperatorHands::SetAfterEach([this] { Settle(); });
    }
    void TearDown() override {
        OperatorHands::SetAfterEach({});
        TimingWindowFixture::TearDown();
    }
    QString Shown(const char* label) const { return Control<QLabel>(label)->text(); }
    bool ShowsSoon(const char* label, const QString& text) const {
        return QTest::qWaitFor([&] { return Shown(label) == text; }, 5000);
    }
    QStringList DueListed() const {
        const QTreeWidget* due = Control<QTreeWidget>("ExchangeDue");
        QStringList rows;
        for (int row = 0; row < due->topLevelItemCount(); ++row)
            rows << due->topLevelItem(row)->text(0) + " " + due->topLevelItem(row)->text(4);
        return rows;
    }

    RelayRace race{db};
};

TEST_F(ExchangeView, DueNextExpectedForcedStartAndTheLateRunnerAsTheExchangeSeesThem) {
    AddClass("E4", 0, 4);
    for (const char* zek : {"0031", "0032", "0033", "0034"})
        race.AddTeam(zek, "E4", "09:00:00.0000");
    race.AddTeam("0035", "E4", "09:00:30.0000"); // started late: expected half a minute after
    const QStringList stamps = {"09:20:00.0000", "09:22:00.0000", "09:24:00.0000",
                                "09:30:00.0000", "09:31:00.0000", "09:40:00.0000"};
    for (int k = 0; k < stamps.size(); ++k)
        AddStamp(stamps[k], k);
    OpenWindow();
    for (const char* bib : {"31", "32", "33"})
        TypeBib(Control<QLineEdit>("Edit3"), bib);

    // Leg 1 arrives at the relay page's exchange: three through at 20, 22 and 24 minutes.
    ClickPage("通過状況");
    EXPECT_TRUE(ShowsSoon("ExchangeCounts", "中継1 通過 3 チーム / 未着 2 チーム"))
        << qPrintable(Shown("ExchangeCounts"));
    EXPECT_EQ(Shown("ExchangeNext"), "次の到着予想 0034（1走）09:22:00.0");
    EXPECT_EQ(DueListed(), QStringList({"0034 09:22:00.0", "0035 09:22:30.0"}));

    // The forced-start time typed, already past: the teams still out are the ones it takes.
    OperatorHands::Click(Control<QLineEdit>("ExchangeForcedTime"));
    OperatorHands::Type(QTime::currentTime().addSecs(-60).toString("HH:mm:ss"));
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_TRUE(Shown("ExchangeForced").startsWith("繰上時刻"))
        << qPrintable(Shown("ExchangeForced"));
    EXPECT_TRUE(Shown("ExchangeForced").endsWith("繰上スタート対象 2 チーム: 0034, 0035"))
        << qPrintable(Shown("ExchangeForced"));
    // A time that is none is refused where the operator looks, and the one in force stays.
    const QString inForce = Control<QLineEdit>("ExchangeForcedTime")->text();
    OperatorHands::Press(Qt::Key_End);
    OperatorHands::Type("x");
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_EQ(Control<QLineEdit>("ExchangeForcedTime")->text(), inForce);
    ASSERT_FALSE(Told().isEmpty());
    EXPECT_TRUE(Told().first().contains("繰上時刻")) << qPrintable(Told().first());

    // The forced start at 09:30, then 0034's late runner of leg 1 a minute after it.
    ClickPage("リレー計測");
    answers.AnswerWithKey(Qt::Key_Return);
    OperatorHands::Type("*1");
    OperatorHands::Press(Qt::Key_Return);
    ASSERT_EQ(race.Leg("0034", 2)[0], "09:30:00.0000");
    const int toldBefore = Told().size();
    TypeBib(Control<QLineEdit>("Edit3"), "34");
    EXPECT_EQ(race.Leg("0034", 1)[1], "09:31:00.0000");
    ASSERT_EQ(Told().size(), toldBefore + 1);
    EXPECT_TRUE(Told().first().contains("0034") && Told().first().contains("遅れた走者"))
        << qPrintable(Told().first());
    // The strip keeps what was recorded, marked for a second look.
    EXPECT_TRUE(Control<StatusStrip>("StatusStrip")
                    ->Shown(StatusStrip::Field::Action)
                    .text.contains("1走  繰上  要確認"));

    ClickPage("通過状況");
    EXPECT_TRUE(ShowsSoon("ExchangeCounts", "中継1 通過 4 チーム / 未着 1 チーム"))
        << qPrintable(Shown("ExchangeCounts"));
    EXPECT_EQ(Shown("ExchangeForced").endsWith("繰上スタートの対象はありません"), true)
        << qPrintable(Shown("ExchangeForced"));
    EXPECT_TRUE(Shown("ExchangeLateArrival").contains("0034"))
        << qPrintable(Shown("ExchangeLateArrival"));

    // Ten minutes after the forced start a runner of 0035 arrives: taken as the forced leg 2,
    // while its leg 1 is still out; the exchange is warned it may be the late runner, and the
    // view follows the relay page to the leg it now lists.
    ClickPage("リレー計測");
    TypeBib(Control<QLineEdit>("Edit3"), "35");
    EXPECT_EQ(race.Leg("0035", 2)[1], "09:40:00.0000");
    ASSERT_EQ(Told().size(), toldBefore + 2);
    EXPECT_TRUE(Told().first().contains("0035") && Told().first().contains("遅れた走者"))
        << qPrintable(Told().first());
    ClickPage("通過状況");
    EXPECT_TRUE(ShowsSoon("ExchangeCounts", "中継2 通過 1 チーム / 未着 4 チーム"))
        << qPrintable(Shown("ExchangeCounts"));
    EXPECT_TRUE(Shown("ExchangeLateArrival").contains("0035"))
        << qPrintable(Shown("ExchangeLateArrival"));
}

} // namespace
