#include "tools/DeviceLine.h"

#include <gtest/gtest.h>

namespace {
qint64 Ticks(int h, int m, int s, int tenThousandths) {
    return ((h * 60 + m) * 60 + s) * kTicksPerSecond + tenThousandths;
}
} // namespace

TEST(DeviceLine, FourDecimalsAndEveryStatusCharacter) {
    DeviceLine line{.number = 12, .timeOfDay = Ticks(12, 34, 56, 7890)};
    EXPECT_EQ(FormatDeviceLine(line), " 0012 C1  12:34:56.7890 00\r");
    line.status = u'?';
    line.number = 34;
    line.timeOfDay = Ticks(9, 6, 42, 7183);
    EXPECT_EQ(FormatDeviceLine(line), "?0034 C1  09:06:42.7183 00\r");
    line.status = u'c';
    line.channel = "C0";
    line.timeOfDay = Ticks(0, 0, 0, 5);
    EXPECT_EQ(FormatDeviceLine(line), "c0034 C0  00:00:00.0005 00\r");
}

TEST(DeviceLine, TwoDecimalsKeepThePositions) {
    const DeviceLine line{.number = 7, .timeOfDay = Ticks(23, 59, 59, 9999), .decimals = 2};
    const QByteArray text = FormatDeviceLine(line);
    EXPECT_EQ(text, " 0007 C1  23:59:59.99   00\r");
    EXPECT_EQ(text.size(), 27);
}

TEST(DeviceLine, NumbersWrapAtFourDigitsTimesAtMidnightAndLongChannelsKeepColumns) {
    const DeviceLine line{.number = 10003, .channel = "C1M", .timeOfDay = kTicksPerDay + 10};
    EXPECT_EQ(FormatDeviceLine(line), " 0003 C1M 00:00:00.0010 00\r");
}

TEST(DeviceLine, StartTimesParse) {
    EXPECT_EQ(ParseTimeOfDay("12:34:56.7890"), Ticks(12, 34, 56, 7890));
    EXPECT_EQ(ParseTimeOfDay("12:34:56.5"), Ticks(12, 34, 56, 5000));
    EXPECT_EQ(ParseTimeOfDay("08:00:00"), Ticks(8, 0, 0, 0));
    for (const char* bad : {"24:00:00", "12:60:00", "1:00:00", "12:00:00.12345", "", "noon"})
        EXPECT_FALSE(ParseTimeOfDay(bad).has_value()) << bad;
}
