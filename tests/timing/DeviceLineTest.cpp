// The device line on its own: line assembly with its bounds, and the record of a stamp.
#include "timing/DeviceLineAssembler.h"
#include "timing/DeviceRecord.h"

#include <gtest/gtest.h>

namespace {

TEST(DeviceLineAssembler, CarriageReturnsEndLinesAndLineFeedsAreLeftOut) {
    DeviceLineAssembler assembler;
    EXPECT_TRUE(assembler.Feed("ab\nc").lines.empty());
    const DeviceLineAssembler::Output output = assembler.Feed("d\r\rxy");
    EXPECT_EQ(output.lines, std::vector<QByteArray>({"abcd", ""}));
    EXPECT_EQ(output.shown, QStringLiteral("d\n\nxy"));
    EXPECT_EQ(assembler.Feed("z\r").lines, std::vector<QByteArray>({"xyz"}));
}

TEST(DeviceLineAssembler, AnEndlessLineKeepsItsBeginningAndShowsWhereItWasCut) {
    DeviceLineAssembler assembler;
    const QByteArray head(DeviceLineAssembler::KeptLineBytes, 'a');
    const QString shown = assembler.Feed(head + QByteArray(100000, 'b')).shown;
    EXPECT_EQ(shown, QString(head) + QStringLiteral("…"));
    EXPECT_TRUE(assembler.Feed(QByteArray(100000, '\n')).shown.isEmpty());
    const DeviceLineAssembler::Output end = assembler.Feed("\rnext");
    EXPECT_EQ(end.lines, std::vector<QByteArray>({head}));
    EXPECT_EQ(end.shown, QStringLiteral("\nnext"));
}

TEST(DeviceLineAssembler, EveryByteIsShownVisibly) {
    EXPECT_EQ(VisibleText(QByteArray("\x00\x09\x1f\x7f\x80\xff A'", 9)),
              QStringLiteral("␀␉␟␡\uFFFD\uFFFD A'"));
}

TEST(DeviceRecord, AcceptsOnlyBlankQuestionMarkOrLowerCaseCOnChannelC1) {
    EXPECT_TRUE(IsTimeStampLine(" 0012 C1  12:34:56.7890 00"));
    EXPECT_TRUE(IsTimeStampLine("?0012 C1"));
    EXPECT_TRUE(IsTimeStampLine("c0012 C1M"));
    EXPECT_FALSE(IsTimeStampLine("C0012 C1  12:34:56.7890 00"));
    EXPECT_FALSE(IsTimeStampLine(" 0012 C0  12:34:56.7890 00"));
    EXPECT_FALSE(IsTimeStampLine(" 0012 C"));
    EXPECT_FALSE(IsTimeStampLine(""));
}

TEST(DeviceRecord, TheRecordIsTwentySixCharactersAndStoredFromTwentyThree) {
    const QString record = DeviceRecordOf(" 0012 C1  12:34:56.7890 00 tail");
    EXPECT_EQ(record, " 0012 C1  12:34:56.7890 00");
    EXPECT_TRUE(IsStorableRecord(record.left(23)));
    EXPECT_FALSE(IsStorableRecord(record.left(22)));
    EXPECT_EQ(DeviceRecordOf(QByteArray(" \x00\x7f\xe9", 4)), " ???");
}

TEST(DeviceRecord, TwoDecimalTimesAreFilledAndOthersKeptAsSent) {
    EXPECT_EQ(DeviceTimeOf(" 0012 C1  12:34:56.7890 00"), "12:34:56.7890");
    EXPECT_EQ(DeviceTimeOf(" 0012 C1  12:34:56.78   00"), "12:34:56.7800");
    EXPECT_EQ(DeviceTimeOf(" 0012 C1   2:34:56.78  00"), " 2:34:56.78  "); // 10 once trimmed
    EXPECT_EQ(DeviceTimeOf(" 0012 C1  12:34:56.7  "), "12:34:56.7  ");
}

TEST(DeviceRecord, TheInsertNamesEveryColumnAndEscapesEveryValue) {
    EXPECT_EQ(DeviceInsertLines("R'1", " 0'12 C1  12:34:56.78   00", "id-1"),
              QStringList({"insert into tdc_mid ( tcode,dt,getstr,bib,st,tm,tstat,jid ) values (",
                           "'R''1'", ",now()", ",' 0''12 C1  12:34:56.78   00'", ",'0''12'",
                           ",'C1'", ",'12:34:56.7800'", ",' '", ",'id-1'", ")"}));
}

} // namespace
