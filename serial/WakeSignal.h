#pragma once
// A flag a thread can wait for with poll(2) beside a port: an eventfd.

class WakeSignal {
public:
    WakeSignal(); // throws std::system_error when no eventfd can be made
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    int Fd() const { return fd_; }
    void Raise();
    // Lowers the flag after a wake-up, so the next poll waits again.
    void Lower();

private:
    int fd_;
};
