// The split point's own view as the operator uses it: the clock beside the strip, the cut-off
// typed on the settings page and a late passing flagged (still recorded), the page "通過状況"
// with its counts, its not-yet-passed list, a runner found by bib and the chart drawn.
#include "support/OperatorHands.h"
#include "support/TimingWindowFixture.h"

#include "common/uComm.h"
#include "controls/REdit.h"
#include "timing/session/SplitPointCutOff.h"
#include "timing/widgets/PassingChart.h"
#include "timing/widgets/SplitPointReadings.h"
#include "timing/widgets/StatusStrip.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <numeric>

namespace {

TEST(SplitPointReadings, CutOffTypedCountedDownAndPassedExactlyAtIt) {
    EXPECT_EQ(ReadCutOffEntry(" 9:05 ", 2).stored, "09:05:00");
    EXPECT_EQ(ReadCutOffEntry("11:30:15", 2).stored, "11:30:15");
    EXPECT_TRUE(ReadCutOffEntry("", 2).accepted);
    for (const char* typed : {"abc", "25:00", "11:3x", "1130"}) {
        const CutOffEntry refused = ReadCutOffEntry(typed, 2);
        EXPECT_FALSE(refused.accepted) << typed;
        EXPECT_TRUE(refused.refusal.contains("中間2") && refused.refusal.contains(typed));
    }
    const QTime cutOff(11, 30);
    EXPECT_EQ(CutOffCountdown(cutOff, QTime(11, 17, 56)), "関門 11:30:00 まで 12分04秒");
    EXPECT_EQ(CutOffCountdown(cutOff, QTime(11, 30)), "関門閉鎖 11:30:00");
    EXPECT_EQ(CutOffCountdown(std::nullopt, QTime(11, 30)), "");
    EXPECT_FALSE(PassedAfterCutOff("11:30:00.0000", cutOff));
    EXPECT_TRUE(PassedAfterCutOff("11:30:00.1000", cutOff));
    EXPECT_FALSE(PassedAfterCutOff("", cutOff));
    EXPECT_FALSE(PassedAfterCutOff("23:59:59.9000", std::nullopt));

    CompetitorSplits runner{true,
                            "10:00:00.0000",
                            {"   20:01.2", "", "", "", ""},
                            {"10:20:01.2000", "", "", "", ""},
                            2,
                            {}};
    EXPECT_EQ(WhereaboutsText("0007", runner, 2),
              "ビブNo.0007  スタート 10:00:00.0  中間1 10:20:01.2（20:01.2）  中間2 未通過");
    EXPECT_TRUE(WhereaboutsText("0007", runner, 3).endsWith("中間3 はこのクラスにありません"));
    EXPECT_EQ(WhereaboutsText("0008", {}, 2), "ビブNo.0008 はこのレースにいません。");
    EXPECT_EQ(ExchangesText({12, 9}), "通過チーム\n中継1: 12\n中継2: 9");
}

class SplitPointView : public TimingWindowFixture {
protected:
    void TearDown() override {
        for (QString& cutOff : uComm::CutOffTimes)
            cutOff.clear();
        TimingWindowFixture::TearDown();
    }
    StripReading LastAction() const {
        return Control<StatusStrip>("StatusStrip")->Shown(StatusStrip::Field::Action);
    }
};

TEST_F(SplitPointView, ClockCutOffAndThePageAsTheOperatorUsesThem) {
    OperatorHands::SetAfterEach([this] { Settle(); });
    // The race runs twelve hours from the clock, so its passings never reach the chart's hour.
    const QString hh = QStringLiteral("%1").arg((QTime::currentTime().hour() + 12) % 24, 2, 10,
                                               QLatin1Char('0'));
    AddClass("M", 3);
    AddClass("K", 0); // a class without split points: never expected here
    for (int bib = 1; bib <= 4; ++bib)
        AddCompetitor(FormatBib4(bib), "M", hh + ":00:00.0000");
    AddCompetitor("0009", "K", hh + ":00:00.0000");
    AddStamp(hh + ":19:59.9000", 0);
    AddStamp(hh + ":20:00.1000", 1);
    // A passing of ten minutes ago, so the chart has a bar whatever the hour of the test.
    const QString recent = QTime::currentTime().addSecs(-600).toString("HH:mm:ss.zzz0");
    db.Exec("update result set midtime1 = '   30:00.0', midfin1 = '" + recent +
            "' where zek = '0004'");
    OpenWindow();

    // The clock, to the tenth, moving.
    const QLabel* clock = Control<QLabel>("StripClock");
    EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d\\.\\d$").match(clock->text()).hasMatch())
        << clock->text().toStdString();
    const QString before = clock->text();
    EXPECT_TRUE(QTest::qWaitFor([&] { return clock->text() != before; }, 1000));

    // The cut-off of split point 1, typed on the settings page; a wrong one keeps it.
    ClickPage("設定");
    OperatorHands::Click(Control<QLineEdit>("CutOff1"));
    OperatorHands::Type(hh + ":20");
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_EQ(uComm::CutOffTimes[0], hh + ":20:00");
    OperatorHands::Press(Qt::Key_End);
    OperatorHands::Type("x");
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_EQ(uComm::CutOffTimes[0], hh + ":20:00");
    EXPECT_EQ(Control<QLineEdit>("CutOff1")->text(), hh + ":20:00");
    EXPECT_TRUE(Told().first().contains("中間1 の関門時刻")) << Told().first().toStdString();

    // In time, then after the cut-off: recorded both, the late one flagged.
    ClickPage("周回計測");
    OperatorHands::Type("1");
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_EQ(LastAction().colour, StripColours::Good);
    OperatorHands::Type("2");
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_TRUE(LastAction().text.endsWith("関門後")) << LastAction().text.toStdString();
    EXPECT_EQ(LastAction().colour, StripColours::Warning);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return db.Scalar("select midfin1 from result where zek = '0002'") == hh + ":20:00.1000";
        },
        5000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Control<QLabel>("LabView")->text().startsWith("通過 3 / 残り 1"); }, 5000))
        << Control<QLabel>("LabView")->text().toStdString();

    // The page: the counts, who is still out, a runner found, the chart with its bar.
    ClickPage("通過状況");
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>("ViewFindBox"));
    const QTreeWidget* notPassed = Control<QTreeWidget>("ViewNotPassed");
    ASSERT_TRUE(QTest::qWaitFor([&] { return notPassed->topLevelItemCount() == 1; }, 5000));
    EXPECT_EQ(notPassed->topLevelItem(0)->text(0), "0003");
    EXPECT_EQ(Control<QLabel>("ViewCounts")->text(), "中間1 通過 3 人 / 残り 1 人");
    const bool closed = QTime::currentTime() > QTime(hh.toInt(), 20);
    EXPECT_EQ(Control<QLabel>("ViewHeading")->text().startsWith("関門閉鎖"), closed);
    OperatorHands::Type("3");
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_EQ(Control<QLabel>("ViewWhereabouts")->text(),
              "ビブNo.0003  スタート " + hh + ":00:00.0  中間1 未通過");
    EXPECT_EQ(notPassed->currentItem(), notPassed->topLevelItem(0));
    // A click on the list takes the focus; the next bib still goes to the box.
    OperatorHands::ClickAt(notPassed->viewport(),
                           notPassed->visualItemRect(notPassed->topLevelItem(0)).center());
    OperatorHands::Type("1");
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_TRUE(Control<QLabel>("ViewWhereabouts")->text().startsWith("ビブNo.0001"))
        << Control<QLabel>("ViewWhereabouts")->text().toStdString();

    PassingChart* chart = Control<PassingChart>("ViewChart");
    // Ten minutes back, whichever minute the clock turns to meanwhile.
    const auto passingsShown = [chart] {
        return std::accumulate(chart->Passings().begin(), chart->Passings().end(), 0);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return passingsShown() == 1; }, 5000));
    EXPECT_EQ(chart->Passings()[PassingChart::Minutes - 1], 0);
    QTest::qWait(1100); // drawn at most once a second
    const QImage drawn = chart->grab().toImage();
    int barPixels = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            barPixels += drawn.pixelColor(x, y) == QColor(64, 128, 208);
    EXPECT_GT(barPixels, 20) << "the bar of ten minutes ago is drawn";
}

// The half marathon's cut-off and the ekiden's 15 minutes stay with their races: another race's
// window opens on its own (the defaults), and the first race finds its values again. The relay
// page keeps a minimum of its own beside the lap page's.
TEST_F(SplitPointView, CutOffAndMinimumTimesBelongToTheirRace) {
    AddRace("R2", "01", "ハーフマラソン");
    const auto reopenOn = [this](const char* race) {
        window.reset();
        db.Exec(QStringLiteral("update execinfo set tcode = '%1'").arg(race));
        OpenWindow();
    };
    const auto shown = [this](const char* box) {
        if (QString(box).startsWith("CutOff"))
            return Control<QLineEdit>(box)->text();
        return Control<TREdit>(box)->Text();
    };
    OpenWindow();
    SetMinimumMinutes("15");
    ClickPage("リレー計測");
    SetMinimumMinutes("12", "RelayMinutes");
    ClickPage("設定");
    OperatorHands::Click(Control<QLineEdit>("CutOff1"));
    OperatorHands::Type("10:20");
    OperatorHands::Press(Qt::Key_Return);

    reopenOn("R2");
    EXPECT_EQ(shown("RE1"), "5");
    EXPECT_EQ(shown("RelayMinutes"), "5");
    EXPECT_EQ(shown("CutOff1"), "");
    EXPECT_EQ(uComm::CutOffTimes[0], "");

    reopenOn("R1");
    EXPECT_EQ(shown("RE1"), "15");
    EXPECT_EQ(shown("RelayMinutes"), "12");
    EXPECT_EQ(shown("CutOff1"), "10:20:00");
    EXPECT_EQ(uComm::MinMeasureMinutes, "15");
}

} // namespace
