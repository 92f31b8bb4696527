// The device line on its own: line assembly with its bounds, framing after noise, and the
// edges of acceptance, of a valid time and of the fill rule that the window's tests do not
// reach.
#include "device/DeviceLineAssembler.h"
#include "device/DeviceRecord.h"

#include <gtest/gtest.h>

namespace {

TEST(DeviceLineAssembler, CarriageReturnsEndLinesAndLineFeedsAreLeftOut) {
    DeviceLineAssembler assembler;
    EXPECT_TRUE(assembler.Feed("ab\nc").lines.empty());
    const DeviceLineAssembler::Output output = assembler.Feed("d\r\rxy");
    EXPECT_EQ(output.lines, std::vector<QByteArray>({"abcd", ""}));
    EXPECT_EQ(output.shown, QStringLiteral("d\n\nxy"));
    EXPECT_EQ(VisibleText(QByteArray("\x00\x09\x7f\x80\xff A'", 8)),
              QStringLiteral("␀␉␡\uFFFD\uFFFD A'"));
}

TEST(DeviceLineAssembler, AnEndlessLineKeepsItsEndShowsWhereItWasCutAndAResetStartsClean) {
    DeviceLineAssembler assembler;
    const QByteArray head(DeviceLineAssembler::KeptLineBytes, 'a');
    const QByteArray tail(DeviceLineAssembler::KeptLineBytes, 'b');
    EXPECT_EQ(assembler.Feed(head + QByteArray(100000, 'b')).shown, QString(head) + "…");
    EXPECT_TRUE(assembler.Feed(QByteArray(100000, '\n')).shown.isEmpty());
    const DeviceLineAssembler::Output end = assembler.Feed("\rnext");
    EXPECT_EQ(end.lines, std::vector<QByteArray>({tail}));
    EXPECT_EQ(end.shown, QStringLiteral("\nnext"));
    assembler.Reset();
    EXPECT_EQ(assembler.Feed(" 0001\r").lines, std::vector<QByteArray>({" 0001"}));
}

TEST(DeviceRecord, ControlBytesAndNoiseBeforeALineDoNotCostIt) {
    const QByteArray stamp = " 0012 C1  12:34:56.7890 00";
    EXPECT_EQ(DeviceLineIn(stamp), stamp);
    EXPECT_EQ(DeviceLineIn(QByteArray("\x00\x11\x13", 3) + stamp), stamp);
    EXPECT_EQ(DeviceLineIn("#q9\xff%C1  " + stamp), stamp);
    // Noise is never taken for a stamp, nor a line of another status or channel made one.
    EXPECT_EQ(DeviceLineIn("x0002 C1  08:53:40.0000 00"), "x0002 C1  08:53:40.0000 00");
    EXPECT_EQ(DeviceLineIn("zz 0003 C1  9999999999999 00"), "zz 0003 C1  9999999999999 00");
    EXPECT_EQ(DeviceLineIn("\x01 0034 C1  09:06:42"), " 0034 C1  09:06:42");
}

TEST(DeviceRecord, OnlyAValidTimeOfDayMakesAPendingTime) {
    for (const char* record : {" 0012 C1  12:34:56.7890 00", " 0012 C1  23:59:59.99   00",
                               " 0012 C1  00:00:00.1   ", "?!@#% C1M 09:06:42.7183 00"})
        EXPECT_TRUE(HasTimeOfDay(record)) << record;
    for (const char* record :
         {" 0012 C1  9999999999999 00", " 0012 C1  10:?00:00.000 00", " 0012 C1  24:00:00.0000 00",
          " 0012 C1  12:60:00.0000 00", " 0012 C1  12:34:56      00", " 0012 C1  12:34:56.7 9 00",
          " 0012 C1   2:34:56.78  00", " 0012 C1  12:34:56.78"})
        EXPECT_FALSE(HasTimeOfDay(record)) << record;
}

TEST(DeviceRecord, AcceptanceAndTheFillRuleAtTheirEdges) {
    EXPECT_TRUE(IsTimeStampLine("c0012 C1M"));
    EXPECT_FALSE(IsTimeStampLine(" 0012 C"));
    EXPECT_FALSE(IsTimeStampLine(""));
    EXPECT_TRUE(IsStorableRecord(QString(23, ' ')));
    EXPECT_FALSE(IsStorableRecord(QString(22, ' ')));
    // Only a time of 11 characters once trimmed is filled; others stay as sent.
    EXPECT_EQ(DeviceTimeOf(" 0012 C1   2:34:56.78  00"), " 2:34:56.78  ");
    EXPECT_EQ(DeviceTimeOf(" 0012 C1  12:34:56.7  "), "12:34:56.7  ");
}

} // namespace
