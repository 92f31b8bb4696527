#pragma once
// The chunks handed to the transmit worker, in posting order, and the bookkeeping of what
// it has not finished yet (a chunk counts until the worker is done with it, not merely
// until it is taken).

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

struct TransmitChunk {
    std::unique_ptr<std::uint8_t[]> bytes;
    int length = 0;
};

class TransmitQueue {
public:
    void Post(TransmitChunk chunk);
    std::optional<TransmitChunk> TryTake();
    // The worker is done with a chunk of `length` bytes (sent, cut short or dropped).
    void Finish(int length);
    int QueuedBytes() const;
    int QueuedChunks() const;

private:
    mutable std::mutex lock_;
    std::deque<TransmitChunk> chunks_;
    int queuedBytes_ = 0;
    int queuedChunks_ = 0;
};
