// The device line on its own: line assembly with its bounds, and the edges of acceptance and
// of the fill rule that the window's tests do not reach.
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

TEST(DeviceLineAssembler, AnEndlessLineKeepsItsBeginningAndShowsWhereItWasCut) {
    DeviceLineAssembler assembler;
    const QByteArray head(DeviceLineAssembler::KeptLineBytes, 'a');
    EXPECT_EQ(assembler.Feed(head + QByteArray(100000, 'b')).shown, QString(head) + "…");
    EXPECT_TRUE(assembler.Feed(QByteArray(100000, '\n')).shown.isEmpty());
    const DeviceLineAssembler::Output end = assembler.Feed("\rnext");
    EXPECT_EQ(end.lines, std::vector<QByteArray>({head}));
    EXPECT_EQ(end.shown, QStringLiteral("\nnext"));
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
