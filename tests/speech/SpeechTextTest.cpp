#include "speech/KanaReader.h"
#include "speech/SpeechError.h"
#include "speech/VoiceChanger.h"
#include "speech/VoiceMapping.h"
#include "speech/WavFile.h"
#include "support/SpeechProbe.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

TEST(KanaReader, ReadsKanjiAsKanaAndKeepsBlanks) {
    KanaReader reader;
    EXPECT_EQ(reader.toKana(QStringLiteral("ゼッケン番号")), QStringLiteral("ゼッケンバンゴウ"));
    EXPECT_EQ(reader.toKana(QStringLiteral("第一位\n髙橋")), QStringLiteral("ダイイチイ タカハシ"));
    EXPECT_EQ(reader.toKana(QString()), QString());
    EXPECT_EQ(reader.toKana(QStringLiteral("  ")), QString());
}

namespace {

// One end of a property's range, the engine value documented for it, and the value one step
// beyond the end, which must be spoken like the end itself.
struct RangeEnd {
    const char* property;
    void (*set)(ControlProperties&, int);
    int end;
    int beyond;
    double (*engine)(const EngineVoice&);
    double documented;
};

double rate(const EngineVoice& v) {
    return v.rate;
}
double volume(const EngineVoice& v) {
    return v.volume;
}
double pitch(const EngineVoice& v) {
    return v.pitch;
}
double range(const EngineVoice& v) {
    return v.range;
}
double shift(const EngineVoice& v) {
    return v.shiftRatio;
}

} // namespace

TEST(VoiceMapping, EachSettingAtBothEndsOfItsRange) {
    const auto speed = [](ControlProperties& p, int v) { p.speed = v; };
    const auto loud = [](ControlProperties& p, int v) { p.volume = v; };
    const auto man = [](ControlProperties& p, int v) { p.pitchForMan = v; };
    const auto woman = [](ControlProperties& p, int v) { p.speakerName = 3, p.pitchForWoman = v; };
    const auto intonation = [](ControlProperties& p, int v) { p.intonation = v; };
    const auto changer = [](ControlProperties& p, int v) { p.voicechanger = v; };
    const RangeEnd ends[] = {
        {"Speed", speed, 1, 0, rate, 100},
        {"Speed", speed, 10, 11, rate, 325},
        {"Volume", loud, 1, 0, volume, 20},
        {"Volume", loud, 10, 11, volume, 200},
        {"PitchForMan", man, 1, 0, pitch, 5},
        {"PitchForMan", man, 10, 11, pitch, 95},
        {"PitchForWoman", woman, 1, 0, pitch, 5},
        {"PitchForWoman", woman, 10, 11, pitch, 95},
        {"Intonation", intonation, 1, 0, range, 0},
        {"Intonation", intonation, 6, 7, range, 100},
        {"Voicechanger", changer, 1, 0, shift, std::exp2(-4 / 12.0)},
        {"Voicechanger", changer, 10, 11, shift, std::exp2(5 / 12.0)},
    };
    for (const RangeEnd& row : ends) {
        ControlProperties atEnd, past;
        atEnd.speakerName = past.speakerName = 2;
        row.set(atEnd, row.end);
        row.set(past, row.beyond);
        EXPECT_DOUBLE_EQ(row.engine(MapToEngine(atEnd, false)), row.documented)
            << row.property << " " << row.end;
        EXPECT_DOUBLE_EQ(row.engine(MapToEngine(past, false)), row.documented)
            << row.property << " " << row.beyond;
    }
    // The voice changer keeps the length: its rate is the speed's divided by the ratio.
    ControlProperties bright;
    bright.voicechanger = 10;
    EXPECT_EQ(MapToEngine(bright, false).rate, std::lround(175 / std::exp2(5 / 12.0)));

    ControlProperties speaker;
    for (const auto& [value, name] :
         {std::pair{0, "ja+m1"}, {1, "ja+m1"}, {5, "ja+f3"}, {6, "ja+f3"}}) {
        speaker.speakerName = value;
        EXPECT_EQ(MapToEngine(speaker, false).name, name) << "SpeakerName " << value;
    }
    EXPECT_TRUE(ReadsDigitByDigit(0));
    EXPECT_TRUE(ReadsDigitByDigit(1));
    EXPECT_FALSE(ReadsDigitByDigit(2));
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
