#include "CommOnPty.h"
#include "serial/CommMessages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {
int Entries(const char* procDir) {
    return QDir(QString::fromLatin1(procDir))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
        .size();
}
int Threads() {
    return Entries("/proc/self/task");
}
int Descriptors() {
    return Entries("/proc/self/fd");
}

const QString kAlreadyOpen = QString::fromUtf8(CommMessages::AlreadyOpen);
const QString kCannotOpen = QString::fromUtf8(CommMessages::CannotOpen);
} // namespace

using LifecycleTest = CommOnPty;

TEST_F(LifecycleTest, OpenAndCloseAgainAndAgainLeaveNoThreadsOrDescriptors) {
    comm.Open(); // the first round may start threads of Qt's own
    comm.Close();
    const int threads = Threads();
    const int descriptors = Descriptors();
    for (int round = 0; round < 6; ++round) {
        comm.Open();
        EXPECT_NE(comm.Handle(), TCommX::InvalidHandle);
        EXPECT_EQ(Threads(), threads + 2);
        const QByteArray mark(1, static_cast<char>('a' + round));
        ASSERT_TRUE(comm.Write(mark.constData(), 1));
        EXPECT_EQ(pty.Receive(1, 2000), mark);
        comm.Close();
        EXPECT_EQ(comm.Handle(), TCommX::InvalidHandle);
    }
    EXPECT_EQ(Threads(), threads);
    EXPECT_EQ(Descriptors(), descriptors);
}

TEST_F(LifecycleTest, OpenOnAnOpenPortRaisesAndLeavesItOpen) {
    comm.Open();
    const int handle = comm.Handle();
    EXPECT_EQ(CommErrorOf([&] { comm.Open(); }), kAlreadyOpen);
    EXPECT_EQ(comm.Handle(), handle);
    ASSERT_TRUE(comm.Write("z", 1));
    EXPECT_EQ(pty.Receive(1, 2000), "z");
}

TEST_F(LifecycleTest, PortsThatCannotBeOpenedRaiseAndMakeNoThread) {
    QTemporaryDir dir;
    const QString plainFile = dir.filePath("not-a-terminal");
    QFile file(plainFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    SetPortPathOverride(201, dir.filePath("missing"));
    SetPortPathOverride(202, plainFile);
    const int threads = Threads();
    for (int port : {201, 202, 0, 97}) {
        comm.SetPortNo(port);
        EXPECT_EQ(CommErrorOf([&] { comm.Open(); }), kCannotOpen) << port;
        EXPECT_EQ(comm.Handle(), TCommX::InvalidHandle);
    }
    EXPECT_EQ(Threads(), threads);
}

TEST_F(LifecycleTest, CloseOnAClosedPortDoesNotWait) {
    QElapsedTimer clock;
    clock.start();
    comm.Close();
    EXPECT_LT(clock.elapsed(), 50);
}

TEST_F(LifecycleTest, PortNoReopensWhenOpenAndOnlyStoresWhenClosed) {
    PtyPair other;
    SetPortPathOverride(203, other.SlavePath());
    comm.SetPortNo(203);
    EXPECT_EQ(comm.Handle(), TCommX::InvalidHandle);
    comm.SetPortNo(kPort);
    comm.Open();
    comm.SetPortNo(203);
    EXPECT_NE(comm.Handle(), TCommX::InvalidHandle);
    ASSERT_TRUE(comm.Write("m", 1));
    EXPECT_EQ(other.Receive(1, 2000), "m");
    EXPECT_EQ(pty.Receive(1, 100), QByteArray());
}

TEST_F(LifecycleTest, DestroyingAnOpenComponentEndsItsWorkers) {
    const int threads = Threads();
    {
        TCommX scoped;
        scoped.SetPortNo(kPort);
        scoped.Open();
        EXPECT_EQ(Threads(), threads + 2);
    }
    EXPECT_EQ(Threads(), threads);
}
