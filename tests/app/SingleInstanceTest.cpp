#include "app/SingleInstance.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// What a crashed instance leaves: a socket file nobody listens on.
void LeaveStaleSocket(const QString& path) {
    const QByteArray name = path.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(name.size()), sizeof address.sun_path);
    std::copy(name.begin(), name.end(), address.sun_path);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));
}

class SingleInstanceTest : public testing::Test {
protected:
    QTemporaryDir dir_;
    QString name_ = dir_.filePath(QStringLiteral("instance"));
    QWidget window_;
};

TEST_F(SingleInstanceTest, SecondStartRestoresAndRaisesTheFirstWindow) {
    SingleInstance first(name_);
    ASSERT_TRUE(first.Listen(&window_)) << first.ErrorString().toStdString();
    window_.showMinimized();
    QSignalSpy asked(&first, &SingleInstance::activationRequested);

    SingleInstance second(name_);
    EXPECT_TRUE(second.ActivateRunningInstance());

    ASSERT_TRUE(asked.wait(5000));
    EXPECT_EQ(asked.count(), 1);
    EXPECT_TRUE(window_.isVisible());
    EXPECT_FALSE(window_.isMinimized());
}

TEST_F(SingleInstanceTest, FirstStartFindsNoneAndListens) {
    SingleInstance first(name_);
    EXPECT_FALSE(first.ActivateRunningInstance());
    EXPECT_TRUE(first.Listen(&window_)) << first.ErrorString().toStdString();
}

TEST_F(SingleInstanceTest, SocketLeftByACrashedInstanceDoesNotStopAStart) {
    LeaveStaleSocket(name_);

    SingleInstance start(name_);
    EXPECT_FALSE(start.ActivateRunningInstance());
    ASSERT_TRUE(start.Listen(&window_)) << start.ErrorString().toStdString();

    QSignalSpy asked(&start, &SingleInstance::activationRequested);
    EXPECT_TRUE(SingleInstance(name_).ActivateRunningInstance());
    EXPECT_TRUE(asked.wait(5000));
}

TEST_F(SingleInstanceTest, RunningInstanceIsNeverTakenOver) {
    SingleInstance first(name_);
    ASSERT_TRUE(first.Listen(&window_));

    QWidget otherWindow;
    SingleInstance late(name_);
    EXPECT_FALSE(late.Listen(&otherWindow));
    EXPECT_TRUE(late.ErrorString().contains(name_)) << late.ErrorString().toStdString();

    QSignalSpy asked(&first, &SingleInstance::activationRequested);
    EXPECT_TRUE(SingleInstance(name_).ActivateRunningInstance());
    EXPECT_TRUE(asked.wait(5000));
}

TEST_F(SingleInstanceTest, MarkerThatCannotBeMadeIsReported) {
    const QString impossible = dir_.filePath(QStringLiteral("no/such/folder/instance"));
    SingleInstance start(impossible);
    EXPECT_FALSE(start.ActivateRunningInstance());
    EXPECT_FALSE(start.Listen(&window_));
    EXPECT_TRUE(start.ErrorString().contains(impossible)) << start.ErrorString().toStdString();
}

TEST_F(SingleInstanceTest, OtherTrafficOnTheSocketRaisesNothing) {
    SingleInstance first(name_);
    ASSERT_TRUE(first.Listen(&window_));
    QSignalSpy asked(&first, &SingleInstance::activationRequested);

    QLocalSocket stranger;
    stranger.connectToServer(name_);
    ASSERT_TRUE(stranger.waitForConnected(2000));
    stranger.write("hello\n");
    stranger.waitForBytesWritten(2000);
    stranger.disconnectFromServer();

    EXPECT_FALSE(asked.wait(300));
}

} // namespace
