#pragma once
// The receive worker: waits for the line and hands the owner thread, in this order, the
// line errors, a break and the news that bytes have arrived, each time waiting until the
// handler has returned. It never reads data. When the other end goes away it says so once
// and then only waits to be ended.

#include "serial/WorkerThread.h"

#include <atomic>
#include <cstdint>

class PortDevice;
class TCustomCommX;

class TCommReceiveThread : public WorkerThread {
public:
    TCommReceiveThread(TCustomCommX& comm, PortDevice& port) : comm_(comm), port_(port) {}
    ~TCommReceiveThread() override { Terminate(); }

    // The input queue was purged: whatever waits in it now came after.
    void Resync();

private:
    enum class LineWake { Line, HangUp, Failed };

    void Execute() override;
    LineWake WaitForLine(bool unreadBytesWait);
    std::uint64_t BytesArrived() const;
    void WaitForTermination();

    TCustomCommX& comm_;
    PortDevice& port_;
    std::atomic<bool> resync_ = false;
};
