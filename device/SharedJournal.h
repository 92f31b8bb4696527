#pragma once
// The stamp journal shared by the receive handler, which appends on the GUI thread, and the
// stamp writer, which takes the oldest record on its own thread.

#include "device/StampJournal.h"

#include <algorithm>
#include <mutex>
#include <optional>

class SharedJournal {
public:
    SharedJournal(const QString& path, StampJournal::SyncFile sync) : journal_(path, sync) {}

    bool Append(const QString& raceCode, const QString& record) {
        const std::lock_guard lock(mutex_);
        return journal_.Append(raceCode, record);
    }
    std::optional<StampJournal::Entry> Oldest() const {
        const std::lock_guard lock(mutex_);
        if (journal_.Waiting().empty())
            return std::nullopt;
        return journal_.Waiting().front();
    }
    void RemoveOldest() {
        const std::lock_guard lock(mutex_);
        journal_.RemoveOldest();
    }
    void WriteHeld() {
        const std::lock_guard lock(mutex_);
        journal_.WriteHeld();
    }
    // Whether the record of that id still waits, on the disk or held in memory.
    bool Holds(const QString& id) const {
        const std::lock_guard lock(mutex_);
        return std::any_of(journal_.Waiting().begin(), journal_.Waiting().end(),
                           [&](const StampJournal::Entry& entry) { return entry.id == id; });
    }
    // A copy: the writer goes on taking records.
    std::deque<StampJournal::Entry> Waiting() const {
        const std::lock_guard lock(mutex_);
        return journal_.Waiting();
    }
    int WaitingCount() const {
        const std::lock_guard lock(mutex_);
        return static_cast<int>(journal_.Waiting().size());
    }
    QString Problem() const {
        const std::lock_guard lock(mutex_);
        return journal_.Problem();
    }

private:
    mutable std::mutex mutex_;
    StampJournal journal_;
};
