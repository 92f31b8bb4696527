#include "tools/LineOutput.h"

#include "serial/DcbTermios.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <thread>
#include <unistd.h>

using namespace std::chrono;

namespace {
constexpr milliseconds kReaderSetUp{300};
constexpr milliseconds kLook{10};

[[noreturn]] void Fail(const QString& what) {
    throw std::runtime_error(QStringLiteral("%1: %2")
                                 .arg(what, QString::fromLocal8Bit(std::strerror(errno)))
                                 .toStdString());
}

termios RawLine(int bitRate) {
    const auto speed = SpeedFor(bitRate);
    if (!speed)
        throw std::runtime_error(std::to_string(bitRate) + " bit/s is not a standard speed");
    termios t{};
    cfmakeraw(&t);
    cfsetispeed(&t, *speed);
    cfsetospeed(&t, *speed);
    t.c_cflag |= CLOCAL | CREAD;
    return t;
}
} // namespace

LineOutput LineOutput::OpenPseudoTerminal(int bitRate) {
    termios line = RawLine(bitRate);
    int master = -1;
    int slave = -1;
    char name[128] = {};
    if (::openpty(&master, &slave, name, &line, nullptr) != 0)
        Fail(QStringLiteral("openpty"));
    // The pseudo-terminal keeps its settings; with no slave open the master sees a hang-up
    // until a reader opens it, which is how the reader is noticed.
    ::close(slave);
    return LineOutput(master, QString::fromLocal8Bit(name), true);
}

LineOutput LineOutput::OpenDevice(const QString& path, int bitRate) {
    const termios line = RawLine(bitRate);
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        Fail(path);
    if (::tcsetattr(fd, TCSANOW, &line) != 0) {
        ::close(fd);
        Fail(path);
    }
    return LineOutput(fd, path, false);
}

LineOutput::LineOutput(LineOutput&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)), pseudoTerminal_(other.pseudoTerminal_) {
    other.fd_ = -1;
}

LineOutput::~LineOutput() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool LineOutput::ReaderPresent() const {
    pollfd master{fd_, 0, 0};
    ::poll(&master, 1, 0);
    return !(master.revents & POLLHUP);
}

void LineOutput::WaitForReader() {
    if (!pseudoTerminal_)
        return;
    while (!ReaderPresent())
        std::this_thread::sleep_for(kLook);
    std::this_thread::sleep_for(kReaderSetUp);
}

void LineOutput::Send(const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.constData() + sent, bytes.size() - sent);
        if (n < 0 && errno != EINTR)
            Fail(path_);
        sent += std::max<ssize_t>(n, 0);
    }
}

void LineOutput::IdleUntil(steady_clock::time_point until) {
    char discard[256];
    for (;;) {
        const auto left = duration_cast<milliseconds>(until - steady_clock::now());
        if (left.count() <= 0)
            return;
        pollfd input{fd_, POLLIN, 0};
        if (::poll(&input, 1, static_cast<int>(left.count())) <= 0)
            continue;
        // Without a reader a pseudo-terminal reports a hang-up at once, again and again.
        if (input.revents & (POLLHUP | POLLERR))
            std::this_thread::sleep_for(std::min(kLook, left));
        else if (::read(fd_, discard, sizeof discard) < 0 && errno != EINTR)
            Fail(path_);
    }
}

void LineOutput::Finish() {
    if (!pseudoTerminal_) {
        ::tcdrain(fd_);
        return;
    }
    while (ReaderPresent())
        IdleUntil(steady_clock::now() + kLook);
}
