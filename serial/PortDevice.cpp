#include "serial/PortDevice.h"

#include "serial/DcbTermios.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

std::unique_ptr<PortDevice> PortDevice::Open(const QString& path) {
    if (path.isEmpty())
        return nullptr;
    const int fd =
        ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    termios initial{};
    if (::tcgetattr(fd, &initial) != 0) {
        ::close(fd);
        return nullptr;
    }
    // Keeps other programs off the port. Root is not stopped by it, and a driver without it
    // still gives a working port, so a failure here is not a reason to refuse the port.
    ::ioctl(fd, TIOCEXCL);
    return std::unique_ptr<PortDevice>(new PortDevice(fd, initial));
}

PortDevice::~PortDevice() {
    ::close(fd_);
}

bool PortDevice::WriteSettings(const termios& t) {
    if (::tcsetattr(fd_, TCSANOW, &t) != 0)
        return false;
    termios now{};
    if (::tcgetattr(fd_, &now) != 0)
        return false;
    return TermiosKeeps(t, now);
}

void PortDevice::PurgeOutput() {
    std::lock_guard lock(writeLock_);
    ::tcflush(fd_, TCOFLUSH);
}

int PortDevice::OutQueueCount() const {
    int count = 0;
    // A port that fails here fails its next write as well, and that write reports it.
    if (::ioctl(fd_, TIOCOUTQ, &count) != 0)
        return 0;
    unsigned int lineStatus = 0;
    if (count == 0 && ::ioctl(fd_, TIOCSERGETLSR, &lineStatus) == 0 &&
        !(lineStatus & TIOCSER_TEMT))
        return 1;
    return count;
}

void PortDevice::PurgeInput() {
    ::tcflush(fd_, TCIFLUSH);
}

void PortDevice::SetRts(bool raised) {
    SetModemLine(TIOCM_RTS, raised);
}

void PortDevice::SetDtr(bool raised) {
    SetModemLine(TIOCM_DTR, raised);
}

void PortDevice::SetModemLine(int line, bool raised) {
    // Pseudo-terminals and some adapters have no modem lines; the port works without them.
    ::ioctl(fd_, raised ? TIOCMBIS : TIOCMBIC, &line);
}

int PortDevice::InQueueCount() const {
    int count = 0;
    if (::ioctl(fd_, FIONREAD, &count) != 0)
        return 0;
    return count;
}

ssize_t PortDevice::WriteSome(const void* data, size_t size) {
    std::lock_guard lock(writeLock_);
    ssize_t n;
    do
        n = ::write(fd_, data, size);
    while (n < 0 && errno == EINTR);
    return n;
}

ssize_t PortDevice::ReadSome(void* data, size_t size) {
    ssize_t n;
    do
        n = ::read(fd_, data, size);
    while (n < 0 && errno == EINTR);
    return n;
}
