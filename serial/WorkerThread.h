#pragma once
// What the two port workers share: a thread that can be woken and asked to end.

#include "serial/WakeSignal.h"

#include <atomic>
#include <thread>

class WorkerThread {
public:
    // A derived class calls Terminate in its own destructor, while Execute can still run.
    virtual ~WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void Start(); // throws std::system_error when no thread can be made
    // Ends the worker and waits for it; nothing when it never started.
    void Terminate();

protected:
    WorkerThread() = default;
    virtual void Execute() = 0;
    bool Terminated() const { return terminated_; }
    WakeSignal& Wake() { return wake_; }
    // Blocks until woken.
    void WaitForWake();

private:
    WakeSignal wake_;
    std::atomic<bool> terminated_ = false;
    std::thread thread_;
};
