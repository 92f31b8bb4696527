#include "serial/WakeSignal.h"

#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

WakeSignal::WakeSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (fd_ < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

WakeSignal::~WakeSignal() {
    ::close(fd_);
}

void WakeSignal::Raise() {
    const std::uint64_t one = 1;
    // The counter cannot overflow in practice; a full counter is still a raised flag.
    [[maybe_unused]] const auto n = ::write(fd_, &one, sizeof one);
}

void WakeSignal::Lower() {
    std::uint64_t value;
    // EAGAIN means it was not raised: nothing to lower.
    [[maybe_unused]] const auto n = ::read(fd_, &value, sizeof value);
}
