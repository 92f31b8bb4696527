#include "CommOnPty.h"
#include "serial/CommMessages.h"
#include "serial/DcbTermios.h"
#include "serial/LineStatus.h"

#include <termios.h>

namespace {
QString Message(const char* utf8) {
    return QString::fromUtf8(utf8);
}

termios LineSettings(int fd) {
    termios t{};
    EXPECT_EQ(::tcgetattr(fd, &t), 0);
    return t;
}
} // namespace

TEST(CommRecord, FlagWordOfEveryFlowControlModeAndTheLimits) {
    const std::pair<TCommFlowCtrls, std::uint32_t> expected[] = {
        {cfcRtsCts, 0x2017},   {cfcDtrDsr, 0x102B},  {cfcXonXoff, 0x1313},
        {cfcHalfHigh, 0x0013}, {cfcHalfLow, 0x1013}, {cfcNone, 0x1013},
    };
    for (const auto& [mode, flags] : expected) {
        TCommDcb dcb;
        dcb.Flags = 0xFFFF; // replaced as a whole
        SetFlowControl(dcb, mode, 2048);
        EXPECT_EQ(dcb.Flags, flags) << int(mode);
        EXPECT_EQ(dcb.XonLim, 512);
        EXPECT_EQ(dcb.XoffLim, 512);
    }
}

// The driver would hand a byte that failed its parity on as NUL, a character a line can hold:
// with parity checked the byte is dropped (the driver still counts it for OnError), without
// it every byte passes as it came.
TEST(CommRecord, AByteThatFailsItsParityIsDroppedOnlyWhileParityIsChecked) {
    for (const bool checked : {true, false}) {
        TCommDcb dcb;
        dcb.BaudRate = 2400;
        dcb.ByteSize = 7;
        dcb.Parity = 2;
        SetFlowControl(dcb, cfcNone, 2048);
        if (!checked)
            dcb.Flags &= ~DcbFlag::ParityCheck;
        termios t{};
        t.c_iflag = PARMRK | IGNPAR | ISTRIP; // left from another program
        ASSERT_TRUE(DcbToTermios(dcb, t));
        EXPECT_EQ(t.c_cflag & PARENB, tcflag_t(PARENB));
        EXPECT_EQ(t.c_iflag & (INPCK | IGNPAR | PARMRK | ISTRIP),
                  checked ? tcflag_t(INPCK | IGNPAR) : 0u)
            << checked;
    }
}

TEST(CommRecord, CharacterTime) {
    EXPECT_EQ(CharacterTimeMs(2400), 5);
    EXPECT_EQ(CharacterTimeMs(9600), 2);
    EXPECT_EQ(CharacterTimeMs(19200), 1);
    EXPECT_EQ(CharacterTimeMs(115200), 1);
    EXPECT_EQ(CharacterTimeMs(10), 1001);
}

TEST(CommRecord, OnlyLineErrorsBecomeErrorBits) {
    const LineCounts before{.frame = 1, .overrun = 2, .parity = 3, .brk = 4};
    LineCounts after = before;
    EXPECT_EQ(ErrorBitsBetween(before, after), 0);
    after.brk += 1;
    EXPECT_EQ(ErrorBitsBetween(before, after), 0);
    after.overrun += 1;
    EXPECT_EQ(ErrorBitsBetween(before, after), 0x02);
    after.parity += 2;
    after.frame += 1;
    EXPECT_EQ(ErrorBitsBetween(before, after), 0x0E);
}

using SettingsTest = CommOnPty;

TEST_F(SettingsTest, OpenAndSettersWriteTheRecordToTheLine) {
    comm.SetBitRate(2400);
    comm.Open();
    EXPECT_EQ(comm.Dcb().Flags, 0x2017u);
    EXPECT_EQ(comm.Dcb().XonLim, 512);
    termios t = LineSettings(pty.SlaveFd());
    EXPECT_EQ(cfgetospeed(&t), speed_t(B2400));
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8 | CRTSCTS));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);

    comm.SetFlowCtrl(cfcXonXoff);
    comm.SetBufLenReceive(1000);
    comm.SetStopBit(csb2);
    comm.SetCharSize(0x108); // only the low byte counts
    comm.SetXonChar('Q');
    comm.SetBitRate(9600);
    EXPECT_EQ(comm.Dcb().Flags, 0x1313u);
    EXPECT_EQ(comm.Dcb().XoffLim, 250);
    t = LineSettings(pty.SlaveFd());
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8 | CSTOPB));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    EXPECT_EQ(t.c_cc[VSTART], 'Q');
}

TEST_F(SettingsTest, ValuesNoPortCanTakeAreRefusedWithTheirMessages) {
    comm.Open();
    EXPECT_EQ(CommErrorOf([&] { comm.SetBitRate(12345); }), Message(CommMessages::BitRate));
    EXPECT_EQ(comm.BitRate(), 12345); // kept, though the port refused it
    EXPECT_EQ(CommErrorOf([&] { comm.SetCharSize(9); }), Message(CommMessages::CharSize));
    EXPECT_EQ(comm.CharSize(), 9);
    comm.Close();
    comm.SetCharSize(8);
    comm.SetBitRate(9600);
    comm.Open();
    // A pseudo-terminal drops parity and keeps 8 data bits whatever it is asked.
    EXPECT_EQ(CommErrorOf([&] { comm.SetParityBit(cpbEven); }), Message(CommMessages::ParityBit));
    EXPECT_EQ(comm.ParityBit(), cpbEven);
    comm.Close();

    // Stored while closed; Open then fails on it and leaves the port closed.
    comm.SetParityBit(cpbNone);
    comm.SetBitRate(12345);
    EXPECT_EQ(CommErrorOf([&] { comm.Open(); }), Message(CommMessages::BitRate));
    EXPECT_EQ(comm.Handle(), TCommX::InvalidHandle);
}

TEST_F(SettingsTest, ValuesTheComponentCannotWorkWithAreNeverStored) {
    EXPECT_EQ(CommErrorOf([&] { comm.SetBitRate(9); }), Message(CommMessages::BitRate));
    EXPECT_EQ(comm.BitRate(), 9600);
    EXPECT_EQ(CommErrorOf([&] { comm.SetBufLenTrans(0); }), Message(CommMessages::Buffers));
    EXPECT_EQ(CommErrorOf([&] { comm.SetBufLenReceive(-1); }), Message(CommMessages::Buffers));
    EXPECT_EQ(comm.BufLenTrans(), 2048);
    EXPECT_EQ(CommErrorOf([&] { comm.SetTimeOutReceive(-1); }), Message(CommMessages::Timeouts));
    EXPECT_EQ(CommErrorOf([&] { comm.SetTimeOutTrans(-5); }), Message(CommMessages::Timeouts));
    EXPECT_EQ(comm.TimeOutTrans(), 3000);
    comm.Open();
    EXPECT_EQ(CommErrorOf([&] { comm.SetBitRate(0); }), Message(CommMessages::BitRate));
    EXPECT_EQ(comm.BitRate(), 9600);
}

TEST(CommDefaults, PropertiesStartAtTheirDefaults) {
    TCommX comm;
    EXPECT_EQ(comm.PortNo(), 1);
    EXPECT_EQ(comm.BitRate(), 9600);
    EXPECT_EQ(comm.CharSize(), 8);
    EXPECT_EQ(comm.ParityBit(), cpbNone);
    EXPECT_EQ(comm.StopBit(), csb1);
    EXPECT_EQ(comm.FlowCtrl(), cfcRtsCts);
    EXPECT_EQ(comm.TimeOutTrans(), 3000);
    EXPECT_EQ(comm.TimeOutReceive(), 3000);
    EXPECT_EQ(comm.XonChar(), 0x11);
    EXPECT_EQ(comm.XoffChar(), 0x13);
    EXPECT_EQ(comm.BufLenTrans(), 2048);
    EXPECT_EQ(comm.BufLenReceive(), 2048);
    EXPECT_EQ(comm.Handle(), TCommX::InvalidHandle);
    EXPECT_FALSE(comm.OnReceive || comm.OnBreak || comm.OnError || comm.OnPortLost ||
                 comm.OnSendStuck);
}
