#include "CommOnPty.h"
#include "support/ShownErrors.h"

#include <QThread>
#include <QTimer>

#include <numeric>
#include <sys/resource.h>

namespace {
// What an OnReceive handler that takes every byte with ReadChar saw.
struct ReadingHandler {
    QList<int> sizes;
    QByteArray bytes;
    bool allOnOwnerThread = true;

    void Attach(TCommX& comm) {
        comm.OnReceive = [this, &comm](QObject* sender, int size) {
            allOnOwnerThread &= QThread::currentThread() == qApp->thread() && sender == &comm;
            sizes.append(size);
            for (int i = 0; i < size; ++i)
                bytes.append(static_cast<char>(comm.ReadChar()));
        };
    }
    int Total() const { return std::accumulate(sizes.begin(), sizes.end(), 0); }
};

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
} // namespace

using ReceiveTest = CommOnPty;

TEST_F(ReceiveTest, LinesSplitOrJoinedArriveWholeInOrderOnTheOwnerThread) {
    ReadingHandler handler;
    handler.Attach(comm);
    comm.Open();

    const QByteArray first = " 0012 C1  12:";
    const QByteArray rest = "34:56.7890 00\r";
    const QByteArray twoLines = "?0034 C1  09:06:42.7183 00\rc0043 C1  11:02:00.3564 00\r";
    pty.Send(first);
    ASSERT_TRUE(WaitFor([&] { return handler.bytes.size() == first.size(); }));
    pty.Send(rest);
    ASSERT_TRUE(WaitFor([&] { return handler.bytes.size() == first.size() + rest.size(); }));
    pty.Send(twoLines);
    const QByteArray all = first + rest + twoLines;
    ASSERT_TRUE(WaitFor([&] { return handler.bytes.size() == all.size(); }));

    EXPECT_EQ(handler.bytes, all);
    EXPECT_EQ(handler.Total(), all.size());
    EXPECT_GE(handler.sizes.size(), 3);
    EXPECT_TRUE(handler.allOnOwnerThread);
}

TEST_F(ReceiveTest, ReadCharAndReadResults) {
    comm.SetTimeOutReceive(50);
    std::uint8_t buffer[4] = {};
    EXPECT_EQ(comm.ReadChar(), -1);
    EXPECT_EQ(comm.Read(buffer, 1), -1);
    EXPECT_EQ(comm.InQueueCount(), 0);
    comm.Open();

    pty.Send(QByteArray("\xff\x00\x41", 3));
    ASSERT_TRUE(WaitFor([&] { return comm.InQueueCount() == 3; }));
    EXPECT_EQ(comm.ReadChar(), 255);
    EXPECT_EQ(comm.ReadChar(), 0);
    EXPECT_EQ(comm.Read(nullptr, 1), -1);
    EXPECT_EQ(comm.Read(buffer, 4), 1); // what is waiting, without waiting for more
    EXPECT_EQ(buffer[0], 0x41);
    // Nothing waiting: the time-out ends the wait.
    EXPECT_EQ(comm.ReadChar(), -1);
    EXPECT_EQ(comm.Read(buffer, 4), 0);
}

TEST_F(ReceiveTest, ReadWaitsForTheRequestedCountWhenNothingWaits) {
    comm.Open();
    QTimer::singleShot(20, [&] { pty.Send("ab"); });
    QTimer::singleShot(60, [&] { pty.Send("cd"); });
    char buffer[4] = {};
    ASSERT_EQ(comm.Read(buffer, 4), 4);
    EXPECT_EQ(QByteArray(buffer, 4), "abcd");
}

TEST_F(ReceiveTest, BytesLeftUnreadAreCountedAgainOnlyWhenMoreCome) {
    QList<int> sizes;
    comm.OnReceive = [&](QObject*, int size) { sizes.append(size); };
    comm.Open();

    pty.Send("ab");
    ASSERT_TRUE(WaitFor([&] { return sizes.size() == 1; }));
    QTest::qWait(100);
    EXPECT_EQ(sizes, QList<int>{2});
    pty.Send("c");
    ASSERT_TRUE(WaitFor([&] { return sizes.size() == 2; }));
    EXPECT_EQ(sizes, (QList<int>{2, 3}));
}

TEST_F(ReceiveTest, BytesArrivingWhileTheHandlerRunsRaiseTheNextEvent) {
    QList<int> sizes;
    comm.OnReceive = [&](QObject*, int size) {
        sizes.append(size);
        for (int i = 0; i < size; ++i)
            comm.ReadChar();
        if (sizes.size() == 1) {
            pty.Send("late");
            QThread::msleep(30);
        }
    };
    comm.Open();

    pty.Send("first");
    ASSERT_TRUE(WaitFor([&] { return sizes.size() == 2; }));
    EXPECT_EQ(sizes, (QList<int>{5, 4}));
}

TEST_F(ReceiveTest, AHandlerThatThrowsGoesToTheErrorHandlerAndLaterBytesStillArrive) {
    ReadingHandler handler;
    handler.Attach(comm);
    comm.OnReceive = [&, reading = comm.OnReceive](QObject* sender, int size) {
        reading(sender, size);
        if (handler.sizes.size() == 1)
            throw std::runtime_error("handler failed");
    };
    comm.Open();
    ShownErrors().clear();

    pty.Send("first");
    ASSERT_TRUE(WaitFor([&] { return handler.sizes.size() == 1; }));
    pty.Send("next");
    ASSERT_TRUE(WaitFor([&] { return handler.sizes.size() == 2; }));
    EXPECT_EQ(handler.bytes, "firstnext");
    EXPECT_EQ(ShownErrors(), QStringList({"handler failed"}));
}

TEST_F(ReceiveTest, AfterPurgeReceiveOnlyNewBytesAreReported) {
    QList<int> sizes;
    comm.OnReceive = [&](QObject*, int size) { sizes.append(size); };
    comm.Open();

    pty.Send("abc");
    ASSERT_TRUE(WaitFor([&] { return sizes.size() == 1; }));
    comm.PurgeReceive();
    EXPECT_EQ(comm.InQueueCount(), 0);
    pty.Send("d");
    ASSERT_TRUE(WaitFor([&] { return sizes.size() == 2; }));
    EXPECT_EQ(sizes, (QList<int>{3, 1}));
}

TEST_F(ReceiveTest, NoReceiveEventAfterCloseEvenWhenTheWorkerWasWaiting) {
    int events = 0;
    comm.OnReceive = [&](QObject*, int) { ++events; };
    comm.Open();

    pty.Send("x");
    // The worker now waits for the owner thread, which does not run its events before
    // closing; Close must neither deadlock nor let the notification through later.
    QThread::msleep(50);
    comm.Close();
    QTest::qWait(100);
    EXPECT_EQ(events, 0);
}

TEST_F(ReceiveTest, HangUpIsReportedOnceWithoutSpinning) {
    int lost = 0;
    int received = 0;
    comm.OnPortLost = [&](QObject*) { ++lost; };
    comm.OnReceive = [&](QObject*, int) { ++received; };
    comm.Open();

    pty.CloseMaster();
    ASSERT_TRUE(WaitFor([&] { return lost == 1; }));
    const double cpuBefore = CpuSeconds();
    QTest::qWait(300);
    EXPECT_LT(CpuSeconds() - cpuBefore, 0.15);
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(received, 0);
    EXPECT_EQ(comm.ReadChar(), -1);
}
