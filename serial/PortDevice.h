#pragma once
// One open serial device: a non-blocking, exclusive file descriptor and the calls the
// component makes on it. Safe to share between the owner thread and the two workers.

#include <QString>

#include <memory>
#include <mutex>
#include <sys/types.h>
#include <termios.h>

class PortDevice {
public:
    // nullptr when the path cannot be opened or is not a terminal.
    static std::unique_ptr<PortDevice> Open(const QString& path);
    ~PortDevice();
    PortDevice(const PortDevice&) = delete;
    PortDevice& operator=(const PortDevice&) = delete;

    int Fd() const { return fd_; }
    // The terminal settings found when the port was opened.
    const termios& InitialSettings() const { return initial_; }
    // Applies settings now; false when the driver refused or dropped them.
    bool WriteSettings(const termios& t);
    void PurgeOutput();
    // Bytes written and not yet on the line: the driver's queue, and one more while a UART
    // that says so is still shifting its last character out. Never blocks, unlike a drain
    // of the driver's own, which an adapter that stopped sending holds for ever.
    int OutQueueCount() const;
    void PurgeInput();
    void SetRts(bool raised);
    void SetDtr(bool raised);
    int InQueueCount() const;
    // One non-blocking write; -1 with errno as write(2). Never interleaves with PurgeOutput.
    ssize_t WriteSome(const void* data, size_t size);
    // One non-blocking read, retried on EINTR; -1 with errno as read(2), 0 on hang-up.
    ssize_t ReadSome(void* data, size_t size);

private:
    PortDevice(int fd, const termios& initial) : fd_(fd), initial_(initial) {}
    void SetModemLine(int line, bool raised);

    int fd_;
    termios initial_;
    std::mutex writeLock_;
};
