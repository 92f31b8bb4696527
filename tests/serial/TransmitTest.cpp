#include "CommOnPty.h"

#include <QElapsedTimer>
#include <QThread>

namespace {
QByteArray Pattern(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

const QByteArray kXoff("\x13");
const QByteArray kXon("\x11");
} // namespace

// The line is held with XOFF from the far end, so chunks stay queued where the test can
// watch them.
class TransmitOnHeldLine : public CommOnPty {
protected:
    void HoldLine() {
        comm.SetFlowCtrl(cfcXonXoff);
        comm.Open();
        pty.Send(kXoff);
        QThread::msleep(50); // the line discipline takes the XOFF asynchronously
    }
};

using TransmitTest = CommOnPty;

TEST_F(TransmitTest, FiveThousandBytesArriveWholeAndInOrder) {
    comm.Open();
    const QByteArray sent = Pattern(5000);
    ASSERT_TRUE(comm.Write(sent.constData(), sent.size()));
    EXPECT_EQ(pty.Receive(sent.size(), 5000), sent);
}

TEST_F(TransmitTest, SizeZeroIsDoneAndAClosedPortOrMissingBufferRefuses) {
    const char bytes[] = "abc";
    EXPECT_TRUE(comm.Write(bytes, 0));
    EXPECT_FALSE(comm.Write(bytes, 3));
    comm.Open();
    EXPECT_FALSE(comm.Write(nullptr, 3));
    EXPECT_TRUE(comm.Write(bytes, 3));
    EXPECT_EQ(pty.Receive(3, 2000), "abc");
}

TEST_F(TransmitOnHeldLine, ChunksOf2048_2048_904GoInThatOrder) {
    comm.SetTimeOutTrans(250); // each held chunk gives up after this, one after the other
    HoldLine();
    const QByteArray sent = Pattern(5000);
    ASSERT_TRUE(comm.Write(sent.constData(), sent.size()));

    QList<int> queuedBytes{comm.QueuedBytes()};
    ASSERT_TRUE(WaitFor(
        [&] {
            if (comm.QueuedBytes() != queuedBytes.last())
                queuedBytes.append(comm.QueuedBytes());
            return queuedBytes.last() == 0;
        },
        5000));
    EXPECT_EQ(queuedBytes, (QList<int>{5000, 5000 - 2048, 5000 - 2 * 2048, 0}));
    // Timed-out chunks are dropped, not sent later.
    pty.Send(kXon);
    EXPECT_EQ(pty.Receive(1, 200), QByteArray());
}

TEST_F(TransmitOnHeldLine, TheThirtyThirdChunkWaitsForRoom) {
    comm.SetTimeOutTrans(200);
    comm.SetBufLenTrans(1);
    HoldLine();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(comm.Write(Pattern(33).constData(), 33));
    EXPECT_GE(clock.elapsed(), 150); // until the first held chunk gave up
    EXPECT_LE(comm.QueuedChunks(), 32);
}

TEST_F(TransmitOnHeldLine, PurgeTransDropsEverythingQueued) {
    HoldLine();
    ASSERT_TRUE(comm.Write(Pattern(5000).constData(), 5000));
    EXPECT_EQ(comm.QueuedBytes(), 5000);
    comm.PurgeTrans();
    EXPECT_EQ(comm.QueuedBytes(), 0);
    EXPECT_EQ(comm.QueuedChunks(), 0);
    pty.Send(kXon);
    EXPECT_EQ(pty.Receive(1, 200), QByteArray());
    // The worker goes on sending after a purge.
    ASSERT_TRUE(comm.Write("ok", 2));
    EXPECT_EQ(pty.Receive(2, 2000), "ok");
}
