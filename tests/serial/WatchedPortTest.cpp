// What the component does on a port that only a spy on its system calls can show.
#include "CommOnPty.h"
#include "PortCallSpy.h"
#include "support/QtPrinting.h"

#include <QElapsedTimer>

#include <poll.h>

class WatchedPortTest : public CommOnPty {
protected:
    void SetUp() override {
        CommOnPty::SetUp();
        PortCallSpy::Watch(pty.SlaveFd());
    }
    void TearDown() override {
        CommOnPty::TearDown();
        PortCallSpy::Unwatch();
    }
};

TEST_F(WatchedPortTest, ALineThatCameWhileThePortOpenedIsReportedWithoutWaitingForMore) {
    const QByteArray line = " 0012 C1  12:34:56.7890 00\r";
    PortCallSpy::AfterInputPurge([&] {
        pty.Send(line);
        pollfd input{pty.SlaveFd(), POLLIN, 0};
        ASSERT_EQ(::poll(&input, 1, 1000), 1); // waiting before the workers start
    });
    QList<int> sizes;
    comm.OnReceive = [&](QObject*, int size) { sizes.append(size); };
    comm.Open();
    EXPECT_TRUE(WaitFor([&] { return !sizes.isEmpty(); }, 1000));
    EXPECT_EQ(sizes, QList<int>{static_cast<int>(line.size())});
}

TEST_F(WatchedPortTest, HalfDuplexTurnsRtsBackOnlyOnceTheBytesHaveLeft) {
    const struct {
        TCommFlowCtrls mode;
        QStringList calls;
    } modes[] = {{cfcHalfHigh, {"rts+", "write 3", "drain", "rts-"}},
                 {cfcHalfLow, {"rts-", "write 3", "drain", "rts+"}}};
    comm.Open();
    for (const auto& [mode, calls] : modes) {
        comm.SetFlowCtrl(mode);
        PortCallSpy::TakeLog();
        ASSERT_TRUE(comm.Write("abc", 3));
        QStringList log;
        WaitFor([&] {
            log += PortCallSpy::TakeLog();
            return log.size() >= calls.size();
        });
        EXPECT_EQ(log, calls) << "flow control " << int(mode);
    }
}

// The transmit worker raises OnError for a write that failed; its handler waits for that
// worker twice over: PurgeTrans, and a Write of more chunks than may be outstanding.
TEST_F(WatchedPortTest, TheHandlerOfATransmitErrorMayPurgeAndWrite) {
    const QByteArray more(40, 'm');
    comm.SetBufLenTrans(1);
    QList<int> errors;
    comm.OnError = [&](QObject*, int bits) {
        errors.append(bits);
        comm.PurgeTrans();
        EXPECT_TRUE(comm.Write(more.constData(), more.size()));
    };
    comm.Open();
    PortCallSpy::FailNextWriteWithFramingError();
    ASSERT_TRUE(comm.Write("x", 1));
    EXPECT_TRUE(WaitFor([&] { return !errors.isEmpty(); }));
    EXPECT_EQ(errors, QList<int>{CommErrorFraming});
    EXPECT_EQ(pty.Receive(more.size(), 3000), more);
}

// An adapter that stops sending holds neither the line's direction nor Close: the drain gives
// up once the queue has not moved for the write time-out.
TEST_F(WatchedPortTest, AHalfDuplexDrainThatNeverEndsGivesUpAndCloseDoesNotWaitForIt) {
    int stuck = 0;
    comm.OnSendStuck = [&](QObject*) { ++stuck; };
    comm.SetTimeOutTrans(300);
    comm.SetFlowCtrl(cfcHalfHigh);
    comm.Open();
    PortCallSpy::HoldOutput();
    PortCallSpy::TakeLog();
    ASSERT_TRUE(comm.Write("abc", 3));
    QStringList log;
    EXPECT_TRUE(WaitFor(
        [&] {
            log += PortCallSpy::TakeLog();
            return log.contains("rts-");
        },
        2000));
    EXPECT_EQ(log, (QStringList{"rts+", "write 3", "drain", "rts-"}));
    EXPECT_TRUE(WaitFor([&] { return stuck == 1; }));

    ASSERT_TRUE(comm.Write("d", 1));
    ASSERT_TRUE(WaitFor([&] { return PortCallSpy::TakeLog().contains("drain"); }));
    QElapsedTimer closing;
    closing.start();
    comm.Close();
    EXPECT_LT(closing.elapsed(), 1000);
}
