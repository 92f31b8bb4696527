// The strip's words and colours for every state, from plain values.
#include "common/uComm.h"
#include "timing/widgets/RefusalTone.h"
#include "timing/widgets/StatusReadings.h"

#include "data/actions/RelayDecision.h"
#include "data/actions/SplitDecision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using namespace StripColours;

TEST(StatusReadings, DeviceLineSaysEachStateInWordsAndColour) {
    const auto line = [](DeviceLineState state, qint64 quiet, bool anyLine) {
        return DeviceLineReading({QStringLiteral("COM33"), state, quiet, anyLine, 30, 0, {}});
    };
    EXPECT_EQ(DeviceLineReading({}).text, "ポートなし 閉");
    EXPECT_EQ(line(DeviceLineState::Closed, 99, true).colour, Idle);
    EXPECT_EQ(line(DeviceLineState::Open, 0, false).text, "COM33 開 受信なし 0秒");
    EXPECT_EQ(line(DeviceLineState::Open, 0, false).colour, Idle);
    const StripReading receiving = line(DeviceLineState::Open, 29, true);
    EXPECT_EQ(receiving.text, "COM33 受信中 最終受信 29秒前");
    EXPECT_EQ(receiving.colour, Good);
    const StripReading quiet = line(DeviceLineState::Open, 130, true);
    EXPECT_EQ(quiet.text, "COM33 無通信 最終受信 2分10秒前");
    EXPECT_EQ(quiet.colour, Warning);
    EXPECT_EQ(line(DeviceLineState::Open, 30, false).colour, Warning);
    const StripReading lost = line(DeviceLineState::Lost, 0, true);
    EXPECT_EQ(lost.text, "COM33 切断 再接続待ち");
    EXPECT_EQ(lost.colour, Trouble);

    // Lines without a usable time of day are counted whatever the line's state.
    const StripReading unreadable =
        DeviceLineReading({QStringLiteral("COM33"), DeviceLineState::Open, 3, true, 30, 2, {}});
    EXPECT_EQ(unreadable.text, "COM33 受信中 最終受信 3秒前  時刻不正 2 行");
    EXPECT_EQ(unreadable.colour, Warning);
    EXPECT_EQ(DeviceLineReading({"COM33", DeviceLineState::Lost, 0, true, 30, 1, {}}).colour, Trouble);
}

TEST(StatusReadings, DatabaseNamesItsSourceAndTheStampsStillWaiting) {
    EXPECT_EQ(DataSourceLabel("TarnikLocal"), "Local");
    EXPECT_EQ(DataSourceLabel("TarnikServer/race7"), "Server");
    EXPECT_EQ(DataSourceLabel("SiteDsn"), "SiteDsn");

    const StripReading up = DatabaseReading({"TarnikTest", true, 0, 0, 0, {}, {}});
    EXPECT_EQ(up.text, "DB Test 接続中");
    EXPECT_EQ(up.colour, Good);
    const StripReading catchingUp = DatabaseReading({"TarnikTest", true, 2, 3, 4, {}, {}});
    EXPECT_EQ(catchingUp.text, "DB Test 接続中  未保存 2 件  未送信 3 件 4秒");
    EXPECT_EQ(catchingUp.colour, Warning);
    // Actions that wait long are trouble even while the link looks up.
    EXPECT_EQ(DatabaseReading({"TarnikTest", true, 0, 1, UnsentAlertSeconds, {}, {}}).colour, Trouble);
    const StripReading down = DatabaseReading({"TarnikServer", false, 5, 0, 0, {}, {}});
    EXPECT_EQ(down.text, "DB Server 切断  未保存 5 件");
    EXPECT_EQ(down.colour, Trouble);
    const StripReading memoryOnly = DatabaseReading({"TarnikLocal", true, 1, 0, 0, "disk full", {}});
    EXPECT_EQ(memoryOnly.text, "DB Local 日誌に保存できません（メモリのみ）  未保存 1 件");
    EXPECT_EQ(memoryOnly.colour, Trouble);
}

TEST(StatusReadings, LastActionShowsWhatWasRecordedOrWhyNot) {
    SplitOutcome split;
    split.recorded = true;
    split.split = 2;
    split.splitTime = "   0:12:34.5";
    const StripReading recorded = LastActionReading(SplitAction(split, "0012", "10:12:34.5000"));
    EXPECT_EQ(recorded.text, "0012  中間2  0:12:34.5  10:12:34.5000");
    EXPECT_EQ(recorded.colour, Good);

    RelayOutcome relay;
    relay.refusal = "当該の選手は\nスタートしていません。";
    const StripReading refused = LastActionReading(RelayAction(relay, "0007", "10:00:00.0000"));
    EXPECT_EQ(refused.text, "0007  当該の選手は スタートしていません。");
    EXPECT_EQ(refused.colour, Trouble);
}

TEST(StatusReadings, WaitingTimesTurnAmberBeyondWhatThePanelShows) {
    EXPECT_EQ(WaitingReading({0, 500}).text, "未処理 0 件");
    EXPECT_EQ(WaitingReading({0, 500}).colour, Idle);
    const StripReading some = WaitingReading({WaitingAlertCount, 3725});
    EXPECT_EQ(some.text, "未処理 10 件 最古 1時間02分");
    EXPECT_EQ(some.colour, Good);
    EXPECT_EQ(WaitingReading({WaitingAlertCount + 1, 0}).colour, Warning);
    EXPECT_EQ(AgeText(-4), "0秒"); // stamped ahead of the clock
    EXPECT_EQ(AgeText(65), "1分05秒");
}

TEST(StatusReadings, TheRefusalBeepIsShortAndAudible) {
    const SpeechAudio beep = RefusalTone::Beep();
    EXPECT_GT(beep.seconds(), 0.1);
    EXPECT_LT(beep.seconds(), 0.4);
    const auto loudest =
        std::max_element(beep.samples.begin(), beep.samples.end(),
                         [](int16_t a, int16_t b) { return std::abs(a) < std::abs(b); });
    EXPECT_GT(std::abs(*loudest), 8000);
}

} // namespace
