#pragma once
// The action journal shared by the window, which adds actions on the GUI thread, and the
// action writer, which sends the oldest waiting one on its own thread and writes down what
// came of it.

#include "data/actions/ActionJournal.h"

#include <mutex>
#include <optional>

class SharedActionJournal {
public:
    SharedActionJournal(const QString& path, JournalFile::SyncFile sync) : journal_(path, sync) {}

    bool Append(const OperatorAction& action) {
        const std::lock_guard lock(mutex_);
        return journal_.Append(action);
    }
    std::optional<OperatorAction> OldestWaiting() const {
        const std::lock_guard lock(mutex_);
        for (const OperatorAction& action : journal_.Actions())
            if (action.progress == OperatorAction::Progress::Waiting)
                return action;
        return std::nullopt;
    }
    bool MarkApplied(const QString& id, const std::vector<RowChange>& changes,
                     const std::optional<ActionRequest>& decided = {}, const QString& what = {}) {
        const std::lock_guard lock(mutex_);
        return journal_.MarkApplied(id, changes, decided, what);
    }
    bool MarkRefused(const QString& id, const QString& why,
                     const std::vector<RowChange>& changes = {}) {
        const std::lock_guard lock(mutex_);
        return journal_.MarkRefused(id, why, changes);
    }
    bool MarkUndone(const QString& id) {
        const std::lock_guard lock(mutex_);
        return journal_.MarkUndone(id);
    }
    // A copy: the other thread goes on changing the journal.
    std::deque<OperatorAction> Actions() const {
        const std::lock_guard lock(mutex_);
        return journal_.Actions();
    }
    QString Problem() const {
        const std::lock_guard lock(mutex_);
        return journal_.Problem();
    }

private:
    mutable std::mutex mutex_;
    ActionJournal journal_;
};
