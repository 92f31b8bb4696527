#include "PtyPair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair() {
    termios raw{};
    cfmakeraw(&raw);
    char name[128] = {};
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    ::fcntl(master_, F_SETFL, O_NONBLOCK);
    // A process the test starts (the database server) must not hold the line open: closing
    // the master would no longer hang it up.
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    slavePath_ = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair() {
    CloseMaster();
    ::close(slave_);
}

void PtyPair::Send(const QByteArray& bytes) {
    ASSERT_EQ(::write(master_, bytes.constData(), bytes.size()), bytes.size());
}

qsizetype PtyPair::SendSome(const QByteArray& bytes) {
    const ssize_t n = ::write(master_, bytes.constData(), bytes.size());
    return n > 0 ? n : 0;
}

QByteArray PtyPair::Receive(int count, int timeoutMs) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(timeoutMs);
    QByteArray got;
    char buffer[4096];
    while (got.size() < count) {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0)
            break;
        pollfd input{master_, POLLIN, 0};
        ::poll(&input, 1, static_cast<int>(left));
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, n);
    }
    return got;
}

void PtyPair::CloseMaster() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}
