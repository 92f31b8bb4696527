#include "serial/WorkerThread.h"

#include <cerrno>
#include <chrono>
#include <poll.h>

void WorkerThread::Start() {
    thread_ = std::thread([this] { Execute(); });
}

void WorkerThread::Terminate() {
    if (!thread_.joinable())
        return;
    terminated_ = true;
    wake_.Raise();
    thread_.join();
}

void WorkerThread::WaitForWake() {
    pollfd wake{wake_.Fd(), POLLIN, 0};
    // Should poll itself fail, the caller still looks at its state every millisecond.
    if (::poll(&wake, 1, -1) < 0 && errno != EINTR)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    wake_.Lower();
}
