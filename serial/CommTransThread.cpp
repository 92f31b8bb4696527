#include "serial/CommTransThread.h"

#include "serial/CommX.h"
#include "serial/PortDevice.h"

#include <cerrno>
#include <poll.h>
#include <thread>

using namespace std::chrono;

void TCommTransThread::Post(TransmitChunk chunk) {
    queue_.Post(std::move(chunk));
    Wake().Raise();
}

void TCommTransThread::SetPurging(bool on) {
    purging_ = on;
    Wake().Raise();
}

void TCommTransThread::Execute() {
    while (!Terminated()) {
        WaitForWake();
        // One batch: everything queued, including chunks posted while it is written.
        bool started = false;
        while (auto chunk = queue_.TryTake()) {
            if (!Stopping()) {
                if (!started) {
                    started = true;
                    BeginSend();
                }
                WriteChunk(chunk->bytes.get(), chunk->length);
            }
            queue_.Finish(chunk->length);
        }
        if (started)
            EndSend();
    }
}

void TCommTransThread::WriteChunk(const std::uint8_t* bytes, int length) {
    const auto deadline = steady_clock::now() + milliseconds(comm_.TimeOutTrans());
    while (length > 0 && !Stopping()) {
        const ssize_t n = port_.WriteSome(bytes, static_cast<size_t>(length));
        if (n > 0) {
            bytes += n;
            length -= static_cast<int>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // A write that runs into the time-out leaves the rest of its chunk unsent.
            if (!WaitWritable(deadline))
                return;
        } else {
            // A failed write is not retried.
            comm_.PostLineErrors();
            return;
        }
    }
}

bool TCommTransThread::WaitWritable(steady_clock::time_point deadline) {
    for (;;) {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0)
            return false;
        pollfd fds[2] = {{port_.Fd(), POLLOUT, 0}, {Wake().Fd(), POLLIN, 0}};
        if (::poll(fds, 2, static_cast<int>(left)) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (fds[1].revents) {
            Wake().Lower();
            if (Stopping())
                return false;
        }
        // On a hang-up the next write fails and reports it.
        if (fds[0].revents)
            return true;
    }
}

void TCommTransThread::BeginSend() {
    const TCommFlowCtrls mode = comm_.FlowCtrl();
    if (mode != cfcHalfHigh && mode != cfcHalfLow)
        return;
    std::this_thread::sleep_for(milliseconds(50));
    port_.SetRts(mode == cfcHalfHigh);
    std::this_thread::sleep_for(milliseconds(charDelay_));
}

void TCommTransThread::EndSend() {
    const TCommFlowCtrls mode = comm_.FlowCtrl();
    if (mode != cfcHalfHigh && mode != cfcHalfLow)
        return;
    // The direction turns only once the last byte is off the line: the driver's queue
    // drained, then one character time for adapters that call the line empty while their
    // last character is still going out. A line that stopped sending turns back all the
    // same, so the device's answers are heard, and the owner is told.
    if (!WaitUntilSent())
        comm_.PostSendStuck();
    std::this_thread::sleep_for(milliseconds(charDelay_));
    port_.SetRts(mode != cfcHalfHigh);
}

bool TCommTransThread::WaitUntilSent() {
    int left = port_.OutQueueCount();
    auto lastMove = steady_clock::now();
    while (left > 0 && !Stopping()) {
        if (steady_clock::now() - lastMove >= milliseconds(comm_.TimeOutTrans()))
            return false;
        std::this_thread::sleep_for(milliseconds(1));
        const int now = port_.OutQueueCount();
        if (now < left)
            lastMove = steady_clock::now();
        left = now;
    }
    return true;
}
