// The voice panel of the timing window: the settings shown when the window opens, the
// sliders reaching the speech control, the speech switch and the voice test, heard as WAV.
#include "support/SpeechProbe.h"
#include "support/TimingWindowFixture.h"

#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "speech/SmarTalk.h"
#include "speech/SpeechPanelLogic.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>

namespace {

class VoicePanelWindow : public TimingWindowFixture {
protected:
    void SetUp() override {
        TimingWindowFixture::SetUp();
        uComm::Speaker = 3;
        uComm::Speed = 6;
        uComm::Vol = 1; // equal to the slider's design position: no change at show time
        uComm::Voicem = 0;
        uComm::Voicew = 6;
        uComm::Voiceint = 5;
        uComm::Voicetype = 5;
    }
};

TEST_F(VoicePanelWindow, ShowsTheStoredSettingsAndAppliesThem) {
    OpenWindow();
    TSmarTalk* st1 = Control<TSmarTalk>("St1");
    st1->SetPlaybackEnabled(false);
    EXPECT_EQ(Control<QComboBox>("CBspeaker")->currentText(), "男性２");
    EXPECT_EQ(st1->SpeakerName(), 4);
    EXPECT_EQ(Control<QSlider>("TB1")->value(), 6);
    EXPECT_EQ(st1->Speed(), 6);                          // the slider moved: its handler ran
    EXPECT_EQ(Control<QSlider>("TBvoicem")->value(), 1); // clamped on the slider ...
    EXPECT_EQ(st1->PitchForMan(), 0);                    // ... while the setting goes as stored
    EXPECT_EQ(st1->PitchForWoman(), 6);
    EXPECT_FALSE(Control<SpeechPanelLogic>("Speech")->Timer1.isActive());
}

TEST_F(VoicePanelWindow, OperatorChangesReachTheSettingsAndTheControl) {
    OpenWindow();
    const TSmarTalk* st1 = Control<TSmarTalk>("St1");
    Control<QSlider>("TBvol")->setValue(8);
    EXPECT_EQ(uComm::Vol, 8);
    EXPECT_EQ(st1->Volume(), 8);
    QComboBox* speaker = Control<QComboBox>("CBspeaker");
    speaker->setCurrentIndex(2);
    emit speaker->activated(2);
    EXPECT_EQ(uComm::Speaker, 2);
    EXPECT_EQ(st1->SpeakerName(), 3);
    const QTimer& speechPump = Control<SpeechPanelLogic>("Speech")->Timer1;
    Control<QRadioButton>("RGotoOn")->click();
    EXPECT_TRUE(speechPump.isActive());
    EXPECT_EQ(uComm::Onsei, 1);
    Control<QRadioButton>("RGotoOff")->click();
    EXPECT_FALSE(speechPump.isActive());
    EXPECT_EQ(uComm::Onsei, 0);
}

// "有り" left on is on again when the window opens, speech running.
TEST_F(VoicePanelWindow, SpeechLeftOnIsOnAtTheNextOpening) {
    uComm::Onsei = 1;
    OpenWindow();
    EXPECT_TRUE(Control<QRadioButton>("RGotoOn")->isChecked());
    EXPECT_TRUE(Control<SpeechPanelLogic>("Speech")->Timer1.isActive());
}

TEST_F(VoicePanelWindow, VoiceTestSpeaksTheSampleTime) {
    QTemporaryDir wavs;
    OpenWindow();
    TSmarTalk* st1 = Control<TSmarTalk>("St1");
    st1->SetPlaybackEnabled(false);
    st1->SetWavOutputFolder(wavs.path());
    QSignalSpy ended(st1, &TSmarTalk::OnEVOUTEND);
    Control<TCuteButton>("CuteButton65")->Click();
    ASSERT_TRUE(WaitForSignals(ended, 2));
    EXPECT_EQ(ended.size(), 2); // the last text (none yet), then the sample
    const SpeechAudio sample = ReadWav(WavPath(wavs.path(), 2));
    const double seconds = sample.seconds();
    EXPECT_GT(seconds, 1.2) << "1時間23分31秒4 read as Japanese takes seconds";
    EXPECT_LT(seconds, 6.0);
    EXPECT_GT(Rms(sample), 100.0);
    EXPECT_EQ(Control<SpeechPanelLogic>("Speech")->SpeechText, "1時間23分31秒4");
    // Playback is off here, as on a machine without a sound device: the operator is told.
    EXPECT_TRUE(Told().contains(VoicePanel::NoSoundDeviceMessage()))
        << Told().join('\n').toStdString();
}

} // namespace
