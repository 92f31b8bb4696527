#include "speech/SmarTalk.h"
#include "support/SpeechProbe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kSample = QStringLiteral("1時間23分31秒4");

class SmarTalkTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        talk = std::make_unique<TSmarTalk>();
        talk->SetWavOutputFolder(folder.path());
        // The same result on a machine with a sound device as on one without.
        talk->SetPlaybackEnabled(false);
        ends = std::make_unique<QSignalSpy>(talk.get(), &TSmarTalk::OnEVOUTEND);
        errors = std::make_unique<QSignalSpy>(talk.get(), &TSmarTalk::OnEVERROR);
    }

    // Speaks a text and returns what was written for it.
    SpeechAudio speak(const QString& text) {
        talk->Speak(text);
        ++spoken;
        EXPECT_TRUE(WaitForSignals(*ends, spoken));
        return ReadWav(WavPath(folder.path(), spoken));
    }

    QTemporaryDir folder;
    std::unique_ptr<TSmarTalk> talk;
    std::unique_ptr<QSignalSpy> ends;
    std::unique_ptr<QSignalSpy> errors;
    int spoken = 0;
};

} // namespace

TEST_F(SmarTalkTest, SampleTextHasPlausibleLengthAndFasterSpeedIsShorter) {
    talk->SetSpeakerName(2);
    double seconds[3];
    const int speeds[3] = {1, 6, 10};
    for (int i = 0; i < 3; ++i) {
        talk->SetSpeed(speeds[i]);
        seconds[i] = speak(kSample).seconds();
        RecordProperty("seconds_at_speed_" + std::to_string(speeds[i]), std::to_string(seconds[i]));
        std::printf("speed %d: %.2f s\n", speeds[i], seconds[i]);
    }
    EXPECT_GT(seconds[0], seconds[1] * 1.5);
    EXPECT_GT(seconds[1], seconds[2] * 1.2);
    // Ten syllables and four numbers: a couple of seconds, not a fraction nor a minute.
    EXPECT_GT(seconds[1], 1.5);
    EXPECT_LT(seconds[1], 4.0);
    EXPECT_GT(Rms(ReadWav(WavPath(folder.path(), 2))), 500);
    EXPECT_EQ(errors->count(), 0);
}

TEST_F(SmarTalkTest, EndComesOncePerTextInOrderOnTheOwningThread) {
    int endsOnGuiThread = 0;
    QObject::connect(talk.get(), &TSmarTalk::OnEVOUTEND, [&] {
        if (QThread::currentThread() == qApp->thread())
            ++endsOnGuiThread;
        // The n-th end comes after the n-th text was written, never before.
        EXPECT_TRUE(QFile::exists(WavPath(folder.path(), endsOnGuiThread)));
    });
    talk->Prepare();
    talk->Speak(QString());
    talk->Speak(kSample);
    talk->Speak(QStringLiteral("ゼッケン12番"));
    talk->Finish();
    ASSERT_TRUE(WaitForSignals(*ends, 3));
    QTest::qWait(200);
    EXPECT_EQ(ends->count(), 3);
    EXPECT_EQ(endsOnGuiThread, 3);
    EXPECT_TRUE(ReadWav(WavPath(folder.path(), 1)).samples.empty());
    EXPECT_GT(ReadWav(WavPath(folder.path(), 2)).seconds(), 1.0);
    EXPECT_GT(ReadWav(WavPath(folder.path(), 3)).seconds(), 1.0);
    EXPECT_FALSE(QFile::exists(WavPath(folder.path(), 4)));
}

TEST_F(SmarTalkTest, PitchReachesTheVoiceOfTheSpeakersGender) {
    talk->SetSpeakerName(2); // "男性１"
    talk->SetPitchForMan(3);
    talk->SetPitchForWoman(3);
    const double low = MedianPitchHz(speak(kSample));
    talk->SetPitchForWoman(9);
    const double womanMoved = MedianPitchHz(speak(kSample));
    talk->SetPitchForMan(9);
    const double high = MedianPitchHz(speak(kSample));
    EXPECT_NEAR(womanMoved, low, low * 0.05);
    EXPECT_GT(high, low * 1.3);

    talk->SetSpeakerName(3); // "女性１"
    const double woman = MedianPitchHz(speak(kSample));
    talk->SetPitchForMan(1);
    EXPECT_NEAR(MedianPitchHz(speak(kSample)), woman, woman * 0.05);
    talk->SetPitchForWoman(3);
    EXPECT_LT(MedianPitchHz(speak(kSample)), woman / 1.3);
}

TEST_F(SmarTalkTest, VolumeScalesTheAmplitude) {
    talk->SetVolume(2);
    const double quiet = Rms(speak(kSample));
    talk->SetVolume(8);
    const double loud = Rms(speak(kSample));
    EXPECT_GT(loud, quiet * 3.0);
}

TEST_F(SmarTalkTest, SpeakersAreDistinctAndTheFirstAlternatesManAndWoman) {
    // The engine varies its output slightly from one run to the next, so voices are told apart
    // by their pitch and loudness rather than sample by sample.
    struct Voice {
        double pitch, rms;
    };
    const auto measure = [this] {
        const SpeechAudio audio = speak(kSample);
        return Voice{MedianPitchHz(audio), Rms(audio)};
    };
    const auto differs = [](double a, double b) { return std::abs(a - b) > 0.08 * std::max(a, b); };
    std::vector<Voice> voices;
    for (int speaker = 2; speaker <= 5; ++speaker) {
        talk->SetSpeakerName(speaker);
        voices.push_back(measure());
    }
    for (size_t a = 0; a < voices.size(); ++a)
        for (size_t b = a + 1; b < voices.size(); ++b)
            EXPECT_TRUE(differs(voices[a].pitch, voices[b].pitch) ||
                        differs(voices[a].rms, voices[b].rms))
                << "speakers " << a + 2 << " and " << b + 2;
    const Voice& man = voices[0];   // "男性１"
    const Voice& woman = voices[1]; // "女性１"
    EXPECT_GT(woman.pitch, man.pitch * 1.5);
    talk->SetSpeakerName(1);
    for (const Voice& expected : {man, woman, man}) {
        const Voice heard = measure();
        EXPECT_NEAR(heard.pitch, expected.pitch, expected.pitch * 0.05);
        EXPECT_NEAR(heard.rms, expected.rms, expected.rms * 0.05);
    }
}

TEST_F(SmarTalkTest, VoicechangerAndIntonationChangeTheVoiceNotTheLength) {
    talk->SetSpeakerName(2);
    talk->SetVoicechanger(5);
    const SpeechAudio plain = speak(kSample);
    talk->SetVoicechanger(1);
    const SpeechAudio deep = speak(kSample);
    talk->SetVoicechanger(10);
    const SpeechAudio bright = speak(kSample);
    EXPECT_LT(MedianPitchHz(deep), MedianPitchHz(plain) / 1.15);
    EXPECT_GT(MedianPitchHz(bright), MedianPitchHz(plain) * 1.2);
    EXPECT_NEAR(deep.seconds(), plain.seconds(), plain.seconds() * 0.1);
    EXPECT_NEAR(bright.seconds(), plain.seconds(), plain.seconds() * 0.1);

    talk->SetVoicechanger(5);
    talk->SetIntonation(1);
    const SpeechAudio flat = speak(kSample);
    talk->SetIntonation(6);
    EXPECT_GT(MedianPitchHz(speak(kSample)), MedianPitchHz(flat) * 1.15);
}

TEST_F(SmarTalkTest, OutOfRangeValuesAreKeptButSpokenClamped) {
    talk->SetSpeakerName(2);
    talk->SetPitchForMan(1);
    const double one = MedianPitchHz(speak(kSample));
    talk->SetPitchForMan(0);
    EXPECT_EQ(talk->PitchForMan(), 0);
    EXPECT_NEAR(MedianPitchHz(speak(kSample)), one, one * 0.05);

    talk->SetSpeakerName(0);
    talk->SetSpeed(-5);
    talk->SetVolume(300);
    talk->SetIntonation(40);
    talk->SetVoicechanger(-1);
    talk->SetNumRead(9);
    EXPECT_GT(speak(kSample).seconds(), 1.0);
    talk->SetSpeakerName(32767);
    EXPECT_GT(speak(kSample).seconds(), 1.0);
    EXPECT_EQ(errors->count(), 0);
}

TEST_F(SmarTalkTest, ReadingRulesReachTheEngine) {
    talk->SetNumRead(2);
    const double asNumber = speak(QStringLiteral("123456")).seconds();
    talk->SetNumRead(1);
    const double digits = speak(QStringLiteral("123456")).seconds();
    EXPECT_GT(std::abs(digits - asNumber), 0.2);

    // The engine reads "#" out; as a symbol it is only a short pause.
    talk->SetSymbolRangeSpace(false);
    const double readOut = speak(QStringLiteral("カ#カ")).seconds();
    talk->SetSymbolRangeSpace(true);
    EXPECT_LT(speak(QStringLiteral("カ#カ")).seconds(), readOut - 0.1);
}

TEST_F(SmarTalkTest, AFailedTextIsReportedAndStillEnds) {
    QFile blocker(folder.filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    talk->SetWavOutputFolder(blocker.fileName());
    talk->Speak(kSample);
    ASSERT_TRUE(WaitForSignals(*ends, 1));
    EXPECT_EQ(ends->count(), 1);
    ASSERT_EQ(errors->count(), 1);
    EXPECT_TRUE(errors->at(0).at(0).toString().contains(QStringLiteral("not-a-folder")));
}

TEST_F(SmarTalkTest, PlaybackOnAnyMachineEndsEveryText) {
    // With a sound device the texts are heard; without one they only end. Either way the end
    // must come, and within the audio's length and the player's margin.
    talk->SetPlaybackEnabled(true);
    talk->SetSpeed(10);
    talk->Speak(kSample);
    talk->Speak(kSample);
    ASSERT_TRUE(WaitForSignals(*ends, 2, 15000));
    EXPECT_EQ(ends->count(), 2);
}

TEST_F(SmarTalkTest, DestroyingWhileSpeakingReturnsPromptly) {
    for (int i = 0; i < 20; ++i)
        talk->Speak(kSample);
    QElapsedTimer clock;
    clock.start();
    ends.reset();
    errors.reset();
    talk.reset();
    EXPECT_LT(clock.elapsed(), 2000);
}

TEST(SmarTalkEnvironment, WavFolderComesFromTheEnvironment) {
    QTemporaryDir folder;
    qputenv("TARNIK_SPEECH_WAV_DIR", folder.path().toUtf8());
    TSmarTalk talk;
    qunsetenv("TARNIK_SPEECH_WAV_DIR");
    talk.SetPlaybackEnabled(false);
    EXPECT_EQ(talk.WavOutputFolder(), folder.path());
    QSignalSpy ends(&talk, &TSmarTalk::OnEVOUTEND);
    talk.Speak(kSample);
    ASSERT_TRUE(WaitForSignals(ends, 1));
    EXPECT_GT(ReadWav(WavPath(folder.path(), 1)).seconds(), 1.0);
    EXPECT_TRUE(TSmarTalk().WavOutputFolder().isEmpty());
}
