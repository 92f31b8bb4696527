#include "common/uComm.h"

#include <gtest/gtest.h>

namespace {

TEST(TimeTextToMs, ReadsPiecesByPosition) {
    EXPECT_EQ(TimeTextToMs("12:34:56.7890"), 45'296'789); // fourth digit dropped, not rounded
    EXPECT_EQ(TimeTextToMs("12:34:56.789"), 45'296'789);
    EXPECT_EQ(TimeTextToMs("12:34:56.7"), 45'296'700); // ten characters: tenths
    EXPECT_EQ(TimeTextToMs("12:34:56"), 45'296'000);
    EXPECT_EQ(TimeTextToMs("12:34:56.78"), 45'296'078); // eleven: "78" read as milliseconds
    EXPECT_EQ(TimeTextToMs("09:05:03.1"), 32'703'100);
    EXPECT_EQ(TimeTextToMs(" 9:05:03.123"), 32'703'123); // blank-padded hour
    EXPECT_EQ(TimeTextToMs("23:59:59.9999"), 86'399'999);
}

TEST(TimeTextToMs, TextsNotLaidOutAsTimesGiveZeroPieces) {
    EXPECT_EQ(TimeTextToMs(""), 0);
    EXPECT_EQ(TimeTextToMs("9:05:03.1"), 0);
    EXPECT_EQ(TimeTextToMs("ab:34:56.7890"), 34 * 60'000 + 56'789); // only the bad piece is 0
    EXPECT_EQ(TimeTextToMs("  :  :  .    "), 0);                    // the blank time mask
    EXPECT_EQ(TimeTextToMs("12"), 12 * 3'600'000);
}

TEST(MsToTimeText, RightAlignsEveryRangeInTwelveCharacters) {
    EXPECT_EQ(MsToTimeText(0), "       0.000");
    EXPECT_EQ(MsToTimeText(5'123), "       5.123");
    EXPECT_EQ(MsToTimeText(59'123), "      59.123");
    EXPECT_EQ(MsToTimeText(599'123), "    9:59.123");
    EXPECT_EQ(MsToTimeText(600'000), "   10:00.000");
    EXPECT_EQ(MsToTimeText(3'599'123), "   59:59.123");
    EXPECT_EQ(MsToTimeText(35'999'123), " 9:59:59.123");
    EXPECT_EQ(MsToTimeText(86'399'999), "23:59:59.999");
    EXPECT_EQ(MsToTimeText(3'601'005), " 1:00:01.005");
    EXPECT_EQ(MsToTimeText(360'000'000), "100:00:00.000"); // hours are not taken modulo 24
    for (int ms : {0, 1, 999, 1'000, 60'000, 3'600'000, 359'999'999})
        EXPECT_EQ(MsToTimeText(ms).size(), 12) << ms;
}

TEST(MsToTenthsText, CutsAfterTheTenthsDigitWithoutRounding) {
    EXPECT_EQ(MsToTenthsText(599'123), "    9:59.1");
    EXPECT_EQ(MsToTenthsText(599'999), "    9:59.9");
    EXPECT_EQ(MsToTenthsText(5'100), "       5.1");
    EXPECT_EQ(MsToTenthsText(86'399'999), "23:59:59.9");
}

TEST(NegativeMilliseconds, KeepTheWidthAndShowTheSign) {
    EXPECT_EQ(MsToTimeText(-1'500), "      -1.500");
    EXPECT_EQ(MsToTenthsText(-1'500), "      -1.5");
    EXPECT_EQ(MsToTenthsText(-61'000), "   -1:01.0");
    EXPECT_EQ(TrimDiff(MsToTenthsText(-1'500)), "   -1.5");
    EXPECT_EQ(MsToTimeText(-86'399'999), "-23:59:59.999");
    EXPECT_FALSE(MsToTimeText(std::numeric_limits<int>::min()).isEmpty());
}

TEST(ElapsedTimeText, WrapsOncePastMidnight) {
    EXPECT_EQ(ElapsedTimeText("10:00:00.0000", "10:12:34.5678"), "   12:34.567");
    EXPECT_EQ(ElapsedTimeText("23:59:00.0000", "00:01:00.5000"), "    2:00.500");
    EXPECT_EQ(ElapsedTimeText("10:00:00.0000", "10:00:00.0000"), "       0.000");
    EXPECT_EQ(ElapsedTimeText("10:00:00.0010", "10:00:00.0000"), "23:59:59.999");
}

TEST(TrimDiff, RightAlignsShortGapsInSevenCharacters) {
    EXPECT_EQ(TrimDiff("    9:59.1"), " 9:59.1");
    EXPECT_EQ(TrimDiff("   59:59.1"), "59:59.1");
    EXPECT_EQ(TrimDiff(" 9:59:59.1"), "9:59:59.1");
    EXPECT_EQ(TrimDiff("       5.1"), "    5.1");
    EXPECT_EQ(TrimDiff("1"), "      1");
    EXPECT_EQ(TrimDiff("   "), "");
    EXPECT_EQ(TrimDiff(""), "");
}

TEST(StrToInt, AcceptsWholeNumbersOnly) {
    EXPECT_EQ(StrToInt("12"), 12);
    EXPECT_EQ(StrToInt(" 12"), 12);
    EXPECT_EQ(StrToInt("-3"), -3);
    EXPECT_EQ(StrToInt("0012"), 12);
    for (const char* bad : {"", "12a", "1.5", "abc", "12 ", "99999999999"})
        EXPECT_THROW(StrToInt(bad), ConversionError) << bad;
    try {
        StrToInt("x1");
    } catch (const ConversionError& e) {
        EXPECT_TRUE(e.message().contains("'x1'"));
    }
    EXPECT_EQ(FormatBib4(12), "0012");
    EXPECT_EQ(FormatBib4(12345), "12345");
}

} // namespace
