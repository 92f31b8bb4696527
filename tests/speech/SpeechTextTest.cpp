#include "support/SpeechProbe.h"
#include "speech/KanaReader.h"
#include "speech/ReadingText.h"
#include "speech/SpeechError.h"
#include "speech/VoiceChanger.h"
#include "speech/VoiceMapping.h"
#include "speech/WavFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

TEST(KanaReader, ReadsKanjiAsKanaAndKeepsNumbers) {
    KanaReader reader;
    EXPECT_EQ(reader.toKana(QStringLiteral("1時間23分31秒4")),
              QStringLiteral("1ジカン23フン31ビョウ4"));
    // Full-width digits would otherwise be read one by one ("イチニ").
    EXPECT_EQ(reader.toKana(QStringLiteral("ゼッケン１２番")), QStringLiteral("ゼッケン12バン"));
    EXPECT_EQ(reader.toKana(QStringLiteral("第1位\n2位")), QStringLiteral("ダイ1イ 2イ"));
    EXPECT_EQ(reader.toKana(QString()), QString());
    EXPECT_EQ(reader.toKana(QStringLiteral("  ")), QString());
}

TEST(ReadingRules, SymbolsBecomePausesAndDigitsCanBeReadOneByOne) {
    const QString reading = QStringLiteral("10:23-45.6、A/B#2!");
    EXPECT_EQ(ApplyReadingRules(reading, true, false), QStringLiteral("10 23 45.6、A B 2!"));
    EXPECT_EQ(ApplyReadingRules(reading, false, false), reading);
    EXPECT_EQ(ApplyReadingRules(QStringLiteral("12バン 305"), false, true),
              QStringLiteral("1 2バン 3 0 5"));
    EXPECT_EQ(ApplyReadingRules(QStringLiteral("12:05"), true, true), QStringLiteral("1 2 0 5"));
}

TEST(VoiceMapping, OutOfRangeValuesAreClamped) {
    ControlProperties zero, one, huge, ten;
    zero.pitchForMan = 0, zero.speed = 0, zero.volume = -3, zero.intonation = 0;
    zero.voicechanger = 0, zero.speakerName = 0;
    one.pitchForMan = 1, one.speed = 1, one.volume = 1, one.intonation = 1;
    one.voicechanger = 1, one.speakerName = 1;
    huge.pitchForMan = 99, huge.speed = 32767, huge.volume = 11, huge.intonation = 7;
    huge.voicechanger = 12, huge.speakerName = 6;
    ten.pitchForMan = 10, ten.speed = 10, ten.volume = 10, ten.intonation = 6;
    ten.voicechanger = 10, ten.speakerName = 5;
    const auto same = [](const EngineVoice& a, const EngineVoice& b) {
        return a.name == b.name && a.rate == b.rate && a.volume == b.volume && a.pitch == b.pitch &&
               a.range == b.range && a.shiftRatio == b.shiftRatio;
    };
    EXPECT_TRUE(same(MapToEngine(zero, false), MapToEngine(one, false)));
    EXPECT_TRUE(same(MapToEngine(huge, false), MapToEngine(ten, false)));
    EXPECT_TRUE(ReadsDigitByDigit(0));
    EXPECT_FALSE(ReadsDigitByDigit(7));
}

TEST(VoiceMapping, SpeakersAreDistinctVoicesAndTheFirstAlternates) {
    QStringList names;
    for (int speaker = 2; speaker <= 5; ++speaker) {
        ControlProperties properties;
        properties.speakerName = speaker;
        names << QString::fromLatin1(MapToEngine(properties, false).name);
    }
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 4);

    ControlProperties pair;
    pair.speakerName = 1;
    pair.pitchForMan = 2;
    pair.pitchForWoman = 9;
    const EngineVoice man = MapToEngine(pair, false), woman = MapToEngine(pair, true);
    EXPECT_FALSE(man.female);
    EXPECT_TRUE(woman.female);
    EXPECT_NE(man.name, woman.name);
    // Each voice takes the pitch of its own gender.
    EXPECT_LT(man.pitch, woman.pitch);
    EXPECT_TRUE(IsAlternatingSpeaker(1));
    EXPECT_FALSE(IsAlternatingSpeaker(2));
}

TEST(VoiceChanger, ResamplingShiftsPitchAndLength) {
    SpeechAudio tone;
    tone.sampleRate = 22050;
    for (int i = 0; i < tone.sampleRate; ++i)
        tone.samples.push_back(int16_t(8000 * std::sin(2 * M_PI * 200 * i / tone.sampleRate)));
    const SpeechAudio higher = ShiftVoice(tone, 1.5);
    EXPECT_NEAR(higher.seconds(), 1.0 / 1.5, 0.001);
    EXPECT_NEAR(MedianPitchHz(higher), 300, 10);
    EXPECT_NEAR(MedianPitchHz(ShiftVoice(tone, 0.8)), 160, 10);
    EXPECT_EQ(ShiftVoice(tone, 1.0).samples, tone.samples);
    EXPECT_TRUE(ShiftVoice(SpeechAudio{}, 1.2).samples.empty());
}

TEST(WavFile, WritesAReadableFileAndCreatesItsFolder) {
    QTemporaryDir dir;
    SpeechAudio audio;
    audio.sampleRate = 22050;
    audio.samples = {0, 1, -1, 32767, -32768, 1234};
    const QString path = dir.filePath(QStringLiteral("a/b/out.wav"));
    WriteWavFile(path, audio);
    const SpeechAudio back = ReadWav(path);
    EXPECT_EQ(back.sampleRate, 22050);
    EXPECT_EQ(back.samples, audio.samples);

    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(WriteWavFile(dir.filePath(QStringLiteral("file/x.wav")), audio), SpeechError);
}
