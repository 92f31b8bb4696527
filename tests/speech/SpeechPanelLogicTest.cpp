#include "speech/SpeechPanelLogic.h"
#include "common/uComm.h"
#include "speech/SpeechError.h"
#include "support/SpeechProbe.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SpeechPanelLogicTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        uComm::Speaker = 1;
        uComm::Voicetype = 5;
        uComm::Voiceint = 3;
        uComm::Voicew = 4;
        uComm::Voicem = 4;
        uComm::Speed = 6;
        uComm::Vol = 5;
        st1.SetWavOutputFolder(folder.path());
        st1.SetPlaybackEnabled(false);
        // Only the pause between texts is shortened; the pacing is unchanged.
        logic.Timer1.setInterval(10);
        // As when the timing window is shown.
        logic.ApplyShowTimeSettings(VoicePanelPositions{});
    }

    int wavFiles() const {
        int count = 0;
        while (QFile::exists(WavPath(folder.path(), count + 1)))
            ++count;
        return count;
    }

    QTemporaryDir folder;
    TSmarTalk st1;
    SpeechPanelLogic logic{st1};
    QSignalSpy ends{&st1, &TSmarTalk::OnEVOUTEND};
};

} // namespace

TEST_F(SpeechPanelLogicTest, VoiceTestSpeaksTheLastTextThenTheSample) {
    EXPECT_FALSE(logic.Timer1.isActive());
    // Playback is off: the test is synthesised, and the operator is told it cannot be heard.
    EXPECT_THROW(logic.CuteButton65Click(), SpeechError);
    ASSERT_TRUE(WaitForSignals(ends, 2));
    EXPECT_EQ(ends.count(), 2);
    // Nothing spoken before: the first text is empty.
    EXPECT_TRUE(ReadWav(WavPath(folder.path(), 1)).samples.empty());
    const double sample = ReadWav(WavPath(folder.path(), 2)).seconds();
    EXPECT_GT(sample, 1.5);
    EXPECT_LT(sample, 4.0);
    EXPECT_EQ(logic.SpeechText, VoicePanel::VoiceTestText());
    EXPECT_TRUE(st1.SymbolRangeSpace());
    EXPECT_EQ(st1.NumRead(), 2);

    EXPECT_THROW(logic.CuteButton65Click(), SpeechError);
    ASSERT_TRUE(WaitForSignals(ends, 4));
    EXPECT_NEAR(ReadWav(WavPath(folder.path(), 4)).seconds(), sample, 0.05);
    // Speech is off: the ends of the test do not start the pump.
    EXPECT_FALSE(logic.Timer1.isActive());
}

TEST_F(SpeechPanelLogicTest, QueueIsSpokenOneTextAtATimePacedByTheEnd) {
    logic.RGotoClick(VoicePanel::kSpeechOn);
    EXPECT_TRUE(logic.Timer1.isActive());
    const QStringList texts = {QStringLiteral("1"), QStringLiteral("ゼッケン12番"),
                               QStringLiteral("1時間23分31秒4")};
    for (const QString& text : texts)
        logic.Announce(text);
    QList<qsizetype> waitingAtEachEnd;
    QObject::connect(&st1, &TSmarTalk::OnEVOUTEND,
                     [&] { waitingAtEachEnd << logic.SpeechQueue.size(); });
    ASSERT_TRUE(WaitForSignals(ends, 3));
    QTest::qWait(100);
    // Each text waited for the end of the one before it.
    EXPECT_EQ(waitingAtEachEnd, (QList<qsizetype>{2, 1, 0}));
    EXPECT_EQ(wavFiles(), 3);
    EXPECT_LT(ReadWav(WavPath(folder.path(), 1)).seconds(),
              ReadWav(WavPath(folder.path(), 3)).seconds());
    EXPECT_EQ(logic.SpeechText, texts.last());
    // Idle: the pump keeps ticking and speaks nothing.
    EXPECT_TRUE(logic.Timer1.isActive());
    EXPECT_EQ(ends.count(), 3);
}

TEST_F(SpeechPanelLogicTest, SwitchingOffKeepsTheQueueAndOnEmptiesItAndRestartsThePump) {
    logic.RGotoClick(VoicePanel::kSpeechOn);
    for (const QString& text :
         {QStringLiteral("1時間23分31秒4"), QStringLiteral("2"), QStringLiteral("3")})
        logic.Announce(text);
    logic.Timer1Timer();
    EXPECT_FALSE(logic.Timer1.isActive());
    logic.RGotoClick(0);
    EXPECT_EQ(logic.SpeechQueue.size(), 2);
    ASSERT_TRUE(WaitForSignals(ends, 1));
    QTest::qWait(100);
    // Off means silent: the end of the text in progress does not restart the pump.
    EXPECT_FALSE(logic.Timer1.isActive());
    EXPECT_EQ(wavFiles(), 1);
    EXPECT_EQ(logic.SpeechQueue.size(), 2);

    logic.RGotoClick(VoicePanel::kSpeechOn);
    EXPECT_TRUE(logic.SpeechQueue.isEmpty());
    EXPECT_TRUE(logic.Timer1.isActive());
    logic.Announce(QStringLiteral("4"));
    ASSERT_TRUE(WaitForSignals(ends, 2));
    EXPECT_EQ(logic.SpeechText, QStringLiteral("4"));
}

TEST_F(SpeechPanelLogicTest, ShowTimeRunsHandlersOnlyForSlidersThatMove) {
    uComm::Speaker = 3;
    uComm::Speed = 10; // TB1's design position: no handler runs, the voice gets it all the same
    uComm::Vol = 1;    // likewise TBvol's
    uComm::Voicem = 0; // below the range: the slider shows 1, which it already does
    uComm::Voicew = 7;
    uComm::Voiceint = 9; // above the range: the slider stops at 6 and the setting follows
    uComm::Voicetype = 2;
    logic.RGotoClick(VoicePanel::kSpeechOn);
    logic.Announce(QStringLiteral("left over"));
    logic.RGotoClick(0);

    const VoicePanelPositions shown = logic.ApplyShowTimeSettings(VoicePanelPositions{});

    EXPECT_TRUE(logic.SpeechQueue.isEmpty());
    // Speaker, speed, volume, pitch for man and woman, intonation, voice type.
    EXPECT_EQ(shown, (VoicePanelPositions{3, 10, 1, 1, 7, 6, 2}));
    EXPECT_EQ(st1.Speed(), 10);
    EXPECT_EQ(st1.Volume(), 1);
    EXPECT_EQ(uComm::Voicem, 0);
    EXPECT_EQ(st1.PitchForMan(), 0);
    EXPECT_EQ(st1.PitchForWoman(), 7);
    EXPECT_EQ(uComm::Voiceint, 6);
    EXPECT_EQ(st1.Intonation(), 6);
    EXPECT_EQ(st1.Voicechanger(), 2);
    EXPECT_EQ(st1.SpeakerName(), 4); // "男性２"
    EXPECT_TRUE(st1.SymbolRangeSpace());
    EXPECT_EQ(st1.NumRead(), 2);
    EXPECT_FALSE(logic.Timer1.isActive());

    uComm::Speaker = 7;
    uComm::Speed = 3;
    uComm::Vol = 12;
    const VoicePanelPositions again = logic.ApplyShowTimeSettings(shown);
    EXPECT_EQ(again.speakerIndex, -1);
    EXPECT_EQ(st1.SpeakerName(), 8); // kept as written; the engine clamps it
    EXPECT_EQ(st1.Speed(), 3);
    EXPECT_EQ(uComm::Vol, 10);
    EXPECT_EQ(st1.Volume(), 10);
}

TEST_F(SpeechPanelLogicTest, ChangeHandlersStoreTheSettingAndReachTheControl) {
    logic.CBspeakerChange(4);
    EXPECT_EQ(uComm::Speaker, 4);
    EXPECT_EQ(st1.SpeakerName(), 5);
    logic.TB1Change(7);
    EXPECT_EQ(uComm::Speed, 7);
    EXPECT_EQ(st1.Speed(), 7);
    logic.TBvolChange(9);
    EXPECT_EQ(uComm::Vol, 9);
    EXPECT_EQ(st1.Volume(), 9);
    logic.TBvoicemChange(8);
    EXPECT_EQ(uComm::Voicem, 8);
    EXPECT_EQ(st1.PitchForMan(), 8);
    logic.TBvoicewChange(3);
    EXPECT_EQ(uComm::Voicew, 3);
    EXPECT_EQ(st1.PitchForWoman(), 3);
    logic.TBintChange(2);
    EXPECT_EQ(uComm::Voiceint, 2);
    EXPECT_EQ(st1.Intonation(), 2);
    logic.TBtypeChange(10);
    EXPECT_EQ(uComm::Voicetype, 10);
    EXPECT_EQ(st1.Voicechanger(), 10);
    // The other voice settings were applied again with each of these.
    EXPECT_EQ(st1.SpeakerName(), 5);
    EXPECT_EQ(st1.PitchForMan(), 8);

    // And the voice test is heard with them: "女性２" at its own pitch.
    logic.SpeakNow(VoicePanel::VoiceTestText());
    ASSERT_TRUE(WaitForSignals(ends, 1));
    const SpeechAudio high = ReadWav(WavPath(folder.path(), 1));
    logic.TBvoicewChange(1);
    logic.SpeakNow(VoicePanel::VoiceTestText());
    ASSERT_TRUE(WaitForSignals(ends, 2));
    EXPECT_LT(MedianPitchHz(ReadWav(WavPath(folder.path(), 2))), MedianPitchHz(high));
}

TEST_F(SpeechPanelLogicTest, AnnouncementsAreSpokenOnlyWhileSpeechIsOn) {
    QSignalSpy readings(&st1, &TSmarTalk::KanaReading);
    logic.Announce(QStringLiteral("12番 中間1 12分34秒5"));
    EXPECT_TRUE(logic.SpeechQueue.isEmpty());

    logic.RGotoClick(VoicePanel::kSpeechOn);
    logic.Announce(QStringLiteral("13番 中間2 1時間4分8秒0"));
    ASSERT_TRUE(WaitForSignals(ends, 1));
    EXPECT_EQ(wavFiles(), 1);
    ASSERT_EQ(readings.count(), 1);
    EXPECT_EQ(readings.at(0).at(0).toString(),
              QStringLiteral("じゅうさんばん ちゅうかん に いちじかん よんぷん はちびょう ぜろ"));
}
