#include "serial/TransmitQueue.h"

#include <algorithm>

void TransmitQueue::Post(TransmitChunk chunk) {
    std::lock_guard lock(lock_);
    queuedBytes_ += chunk.length;
    ++queuedChunks_;
    chunks_.push_back(std::move(chunk));
}

std::optional<TransmitChunk> TransmitQueue::TryTake() {
    std::lock_guard lock(lock_);
    if (chunks_.empty())
        return std::nullopt;
    TransmitChunk chunk = std::move(chunks_.front());
    chunks_.pop_front();
    return chunk;
}

void TransmitQueue::Finish(int length) {
    std::lock_guard lock(lock_);
    queuedBytes_ = std::max(queuedBytes_ - length, 0);
    queuedChunks_ = std::max(queuedChunks_ - 1, 0);
}

int TransmitQueue::QueuedBytes() const {
    std::lock_guard lock(lock_);
    return queuedBytes_;
}

int TransmitQueue::QueuedChunks() const {
    std::lock_guard lock(lock_);
    return queuedChunks_;
}
