#include "PortCallSpy.h"

#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <linux/serial.h>
#include <mutex>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {
std::atomic<dev_t> watchedDevice = 0;
std::mutex lock;
QStringList calls;
bool failNextWrite = false;
int framingErrors = 0;
std::function<void()> afterInputPurge;
std::atomic<bool> outputHeld = false;
// A held drain ends by itself after this long, so a test of code that waits for it ends.
constexpr auto kHeldDrainLimit = std::chrono::seconds(4);

dev_t DeviceOf(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISCHR(status.st_mode) ? status.st_rdev : 0;
}

bool Watched(int fd) {
    const dev_t device = watchedDevice;
    return device != 0 && DeviceOf(fd) == device;
}

bool draining = false;

void Note(const QString& entry) {
    std::lock_guard guard(lock);
    calls.append(entry);
    draining = false;
}

// Looks at the output queue one after the other are one drain.
void NoteDrain() {
    std::lock_guard guard(lock);
    if (!draining)
        calls.append(QStringLiteral("drain"));
    draining = true;
}

bool TakeWriteFailure() {
    std::lock_guard guard(lock);
    if (!failNextWrite)
        return false;
    failNextWrite = false;
    ++framingErrors;
    return true;
}

template <typename Function> Function* Real(const char* name) {
    return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}
} // namespace

namespace PortCallSpy {
void Watch(int fd) {
    watchedDevice = DeviceOf(fd);
}

void Unwatch() {
    watchedDevice = 0;
    std::lock_guard guard(lock);
    calls.clear();
    failNextWrite = false;
    framingErrors = 0;
    afterInputPurge = nullptr;
    outputHeld = false;
    draining = false;
}

QStringList TakeLog() {
    std::lock_guard guard(lock);
    return std::exchange(calls, {});
}

void FailNextWriteWithFramingError() {
    std::lock_guard guard(lock);
    failNextWrite = true;
}

void AfterInputPurge(std::function<void()> action) {
    std::lock_guard guard(lock);
    afterInputPurge = std::move(action);
}
void HoldOutput() {
    outputHeld = true;
}
} // namespace PortCallSpy

extern "C" ssize_t write(int fd, const void* data, size_t size) {
    static auto* real = Real<ssize_t(int, const void*, size_t)>("write");
    if (!Watched(fd))
        return real(fd, data, size);
    if (TakeWriteFailure()) {
        errno = EIO;
        return -1;
    }
    const ssize_t n = real(fd, data, size);
    if (n > 0)
        Note(QStringLiteral("write %1").arg(n));
    return n;
}

extern "C" int tcdrain(int fd) {
    static auto* real = Real<int(int)>("tcdrain");
    if (!Watched(fd))
        return real(fd);
    NoteDrain();
    const auto until = std::chrono::steady_clock::now() + kHeldDrainLimit;
    while (outputHeld && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return real(fd);
}

extern "C" int tcflush(int fd, int queue) noexcept {
    static auto* real = Real<int(int, int)>("tcflush");
    const int result = real(fd, queue);
    if (queue == TCIFLUSH && Watched(fd)) {
        std::function<void()> action;
        {
            std::lock_guard guard(lock);
            action = std::exchange(afterInputPurge, nullptr);
        }
        if (action)
            action();
    }
    return result;
}

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
    static auto* real = Real<int(int, unsigned long, ...)>("ioctl");
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (!Watched(fd))
        return real(fd, request, argument);
    if (request == TIOCGICOUNT) {
        serial_icounter_struct counts{};
        std::lock_guard guard(lock);
        counts.frame = framingErrors;
        *static_cast<serial_icounter_struct*>(argument) = counts;
        return 0;
    }
    if (request == TIOCOUTQ) {
        NoteDrain();
        if (outputHeld) {
            *static_cast<int*>(argument) = 1;
            return 0;
        }
    }
    if ((request == TIOCMBIS || request == TIOCMBIC) && (*static_cast<int*>(argument) & TIOCM_RTS))
        Note(QString::fromLatin1(request == TIOCMBIS ? "rts+" : "rts-"));
    return real(fd, request, argument);
}
