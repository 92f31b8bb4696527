#pragma once
// The transmit worker: writes the chunks posted to it, in posting order, each within
// TimeOutTrans ms, switching RTS around each batch in the half-duplex modes. It never waits
// for the owner thread, which may wait for it.

#include "serial/TransmitQueue.h"
#include "serial/WorkerThread.h"

#include <atomic>
#include <chrono>

class PortDevice;
class TCustomCommX;

class TCommTransThread : public WorkerThread {
public:
    TCommTransThread(TCustomCommX& comm, PortDevice& port) : comm_(comm), port_(port) {}
    ~TCommTransThread() override { Terminate(); }

    void Post(TransmitChunk chunk);
    // While purging, queued chunks are dropped unsent and the chunk being written is cut
    // short.
    void SetPurging(bool on);
    void SetCharDelay(int ms) { charDelay_ = ms; }
    const TransmitQueue& Queue() const { return queue_; }

private:
    void Execute() override;
    void WriteChunk(const std::uint8_t* bytes, int length);
    bool WaitWritable(std::chrono::steady_clock::time_point deadline);
    void BeginSend();
    void EndSend();
    // Waits until the bytes written have left the port; false when the queue stopped
    // moving for TimeOutTrans ms. A purge ends the wait: nothing is left to send.
    bool WaitUntilSent();
    bool Stopping() const { return purging_ || Terminated(); }

    TCustomCommX& comm_;
    PortDevice& port_;
    TransmitQueue queue_;
    std::atomic<bool> purging_ = false;
    std::atomic<int> charDelay_ = 0;
};
