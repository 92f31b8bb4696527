#include "serial/LineStatus.h"

#include "serial/CommTypes.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

int ErrorBitsBetween(const LineCounts& before, const LineCounts& after) {
    int bits = 0;
    if (after.overrun != before.overrun)
        bits |= CommErrorOverrun;
    if (after.parity != before.parity)
        bits |= CommErrorParity;
    if (after.frame != before.frame)
        bits |= CommErrorFraming;
    return bits;
}

LineStatus::LineStatus(int fd) : fd_(fd) {
    // Errors from before the port was opened belong to nobody.
    if (const auto counts = ReadCounts())
        seen_ = *counts;
}

std::optional<LineCounts> LineStatus::ReadCounts() const {
    serial_icounter_struct c{};
    if (::ioctl(fd_, TIOCGICOUNT, &c) != 0)
        return std::nullopt;
    return LineCounts{c.frame, c.overrun, c.parity, c.brk};
}

int LineStatus::TakeErrorBits() {
    std::lock_guard lock(lock_);
    const auto now = ReadCounts();
    if (!now)
        return 0;
    const int bits = ErrorBitsBetween(seen_, *now);
    seen_.frame = now->frame;
    seen_.overrun = now->overrun;
    seen_.parity = now->parity;
    return bits;
}

bool LineStatus::TakeBreak() {
    std::lock_guard lock(lock_);
    const auto now = ReadCounts();
    if (!now || now->brk == seen_.brk)
        return false;
    seen_.brk = now->brk;
    return true;
}
