#include "serial/CommReceiveThread.h"

#include "serial/CommX.h"
#include "serial/PortDevice.h"

#include <cerrno>
#include <poll.h>

namespace {
// While bytes wait unread, poll would report them at once again and again; the worker then
// looks every few milliseconds for bytes beyond them instead.
constexpr int kUnreadRecheckMs = 10;
} // namespace

void TCommReceiveThread::Resync() {
    resync_ = true;
    Wake().Raise();
}

// Arrivals are counted, not queue lengths: bytes that come while the handler runs must
// raise the next event even when the handler took as many as it was told of.
std::uint64_t TCommReceiveThread::BytesArrived() const {
    return comm_.BytesTaken() + static_cast<std::uint64_t>(port_.InQueueCount());
}

void TCommReceiveThread::Execute() {
    // Bytes that came between the port's purge and this start are news too.
    std::uint64_t reported = comm_.BytesTaken();
    while (!Terminated()) {
        const LineWake wake = WaitForLine(port_.InQueueCount() > 0);
        if (Terminated())
            break;
        if (wake == LineWake::Failed)
            return WaitForTermination();
        if (wake == LineWake::HangUp) {
            comm_.HandOverPortLost();
            return WaitForTermination();
        }
        if (resync_.exchange(false))
            reported = comm_.BytesTaken();
        comm_.HandOverLineErrors();
        comm_.HandOverBreak();
        const std::uint64_t arrived = BytesArrived();
        if (arrived > reported) {
            reported = arrived;
            comm_.HandOverReceive();
        }
    }
}

TCommReceiveThread::LineWake TCommReceiveThread::WaitForLine(bool unreadBytesWait) {
    pollfd fds[2] = {{port_.Fd(), static_cast<short>(unreadBytesWait ? 0 : POLLIN), 0},
                     {Wake().Fd(), POLLIN, 0}};
    if (::poll(fds, 2, unreadBytesWait ? kUnreadRecheckMs : -1) < 0)
        return errno == EINTR ? LineWake::Line : LineWake::Failed;
    if (fds[1].revents)
        Wake().Lower();
    // A hang-up (POLLHUP) or a vanished adapter (POLLERR) is reported whatever was asked.
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))
        return LineWake::HangUp;
    return LineWake::Line;
}

void TCommReceiveThread::WaitForTermination() {
    while (!Terminated())
        WaitForWake();
}
