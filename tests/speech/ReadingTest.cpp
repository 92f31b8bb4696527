#include "speech/KanaReader.h"
#include "speech/ReadingText.h"

#include <gtest/gtest.h>

namespace {

struct Reading {
    const char* text;
    const char* kana;
};

// What the window hands the engine: symbols as pauses, whole numbers.
void expectReadings(std::initializer_list<Reading> table, bool digitByDigit = false) {
    KanaReader reader;
    for (const Reading& row : table)
        EXPECT_EQ(ReadingForEngine(reader, QString::fromUtf8(row.text), true, digitByDigit),
                  QString::fromUtf8(row.kana))
            << row.text;
}

} // namespace

TEST(Reading, CountersTakeTheirSoundChanges) {
    expectReadings({
        {"1分", "いっぷん"},
        {"2分", "にふん"},
        {"3分", "さんぷん"},
        {"4分", "よんぷん"},
        {"6分", "ろっぷん"},
        {"7分", "ななふん"},
        {"8分", "はっぷん"},
        {"9分", "きゅうふん"},
        {"10分", "じゅっぷん"},
        {"20分", "にじゅっぷん"},
        {"100分", "ひゃっぷん"},
        {"1時間", "いちじかん"},
        {"4時間", "よじかん"},
        {"7時間", "ななじかん"},
        {"9時間", "くじかん"},
        {"14時間", "じゅうよじかん"},
        {"4時", "よじ"},
        {"4秒", "よんびょう"},
        {"7時", "しちじ"},
        {"17時", "じゅうしちじ"},
        {"9時", "くじ"},
        {"7秒", "ななびょう"},
        {"9秒", "きゅうびょう"},
        {"4番", "よんばん"},
        {"4位", "よんい"},
        {"1位", "いちい"},
        {"1走", "いっそう"},
        {"6走", "ろくそう"},
        {"8走", "はっそう"},
        {"10区", "じゅっく"},
        {"6区", "ろっく"},
        {"1人", "ひとり"},
        {"2人", "ふたり"},
        {"4人", "よにん"},
        {"21人", "にじゅういちにん"},
    });
}

TEST(Reading, NumbersWithHundredsThousandsAndBigUnits) {
    expectReadings({
        {"0", "ぜろ"},
        {"4", "よん"},
        {"7", "なな"},
        {"19", "じゅうきゅう"},
        {"300", "さんびゃく"},
        {"600", "ろっぴゃく"},
        {"800", "はっぴゃく"},
        {"1000", "せん"},
        {"3000", "さんぜん"},
        {"8000", "はっせん"},
        {"10000", "いちまん"},
        {"10000000", "いっせんまん"},
        {"123456789", "いちおくにせんさんびゃくよんじゅうごまんろくせんななひゃくはちじゅうきゅう"},
        {"1.5", "いってんご"},
        {"1234567890123", "いち に さん よん ご ろく なな はち きゅう ぜろ いち に さん"},
    });
}

TEST(Reading, TimesBibsAndRanksAsTheWindowWritesThem) {
    expectReadings({
        {"1時間23分31秒4", "いちじかん にじゅうさんぷん さんじゅういちびょう よん"},
        {"   12:34.5", "じゅうにふん さんじゅうよんびょう ご"},
        {"1:23:31.4", "いちじかん にじゅうさんぷん さんじゅういちびょう よん"},
        {" 1:05:03.0", "いちじかん ごふん さんびょう ぜろ"},
        {"0012", "じゅうに"},
        {"ゼッケン０００７番", "ぜっけん ななばん"},
        {"12番 中間1 12分34秒5",
         "じゅうにばん ちゅうかん いち じゅうにふん さんじゅうよんびょう ご"},
        {"第4位", "だい よんい"},
        // A time of day without tenths is not a running time; the colon is a pause.
        {"10:23", "じゅう にじゅうさん"},
    });
}

TEST(Reading, UnknownWordsAreReadInKanaOrLeftOut) {
    expectReadings({
        {"髙橋", "たかはし"},
        {"山﨑", "やまざき"},
        {"Aチーム", "えーちーむ"},
        {"ＴＥＡＭ", "てぃーいーえーえむ"},
        {"𪚲", ""},
        {"한국", ""},
    });
}

TEST(Reading, DigitByDigitKeepsTheCounter) {
    expectReadings(
        {{"12番", "いち にばん"}, {"305", "さん ぜろ ご"}, {"31秒4", "さん いちびょう よん"}},
        true);
}

TEST(Reading, SymbolsArePausesOnlyWhenAsked) {
    KanaReader reader;
    EXPECT_EQ(ReadingForEngine(reader, QStringLiteral("A/B#2!"), false, false),
              QStringLiteral("えー/びー# に!"));
    EXPECT_EQ(ReadingForEngine(reader, QStringLiteral("A/B#2!"), true, false),
              QStringLiteral("えー びー に!"));
    EXPECT_EQ(ReadingForEngine(reader, QString(), true, false), QString());
}
