#pragma once
// Line errors and breaks of a port, read from the driver's interrupt counters
// (TIOCGICOUNT). A driver without counters (a pseudo-terminal) simply reports nothing.
// "Take" reads the counters and reports what changed since the last take, so each error is
// reported once, whichever thread takes it.

#include <mutex>
#include <optional>

struct LineCounts {
    int frame = 0;
    int overrun = 0;
    int parity = 0;
    int brk = 0;
};

// The OnError bits (overrun 0x02, parity 0x04, framing 0x08) of the counters that moved.
// Counters wrap, so any change counts.
int ErrorBitsBetween(const LineCounts& before, const LineCounts& after);

class LineStatus {
public:
    explicit LineStatus(int fd);
    int TakeErrorBits();
    bool TakeBreak();

private:
    std::optional<LineCounts> ReadCounts() const;

    int fd_;
    std::mutex lock_;
    LineCounts seen_;
};
