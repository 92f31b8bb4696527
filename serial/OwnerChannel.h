#pragma once
// The hand-over from a worker thread to the owner thread: the worker's notification runs on
// the owner thread, while the worker waits for it (Send) or goes on at once (Post).
//
// Unlike a blocking queued call, the wait can be cut short: Shut releases every waiting
// worker and drops what has not run, so the owner may stop and join the workers without
// first running their notifications (and without deadlocking on them).

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QObject;

class OwnerChannel : public std::enable_shared_from_this<OwnerChannel> {
public:
    // owner lives in the owner thread and outlives the workers; its event loop runs the
    // notifications.
    explicit OwnerChannel(QObject* owner) : owner_(owner) {}

    // Worker side: runs `notification` on the owner thread and returns once it has run, or
    // at once if the channel is shut (then it never runs).
    void Send(std::function<void()> notification);
    // Worker side: has `notification` run on the owner thread later, unless the channel is
    // shut first, and returns at once.
    void Post(std::function<void()> notification);

    // Owner side: from now on nothing runs and no worker waits.
    void Shut();

private:
    struct Item {
        std::function<void()> notification;
        bool finished = false;
    };
    // Under lock_; nullptr when the channel is shut.
    std::shared_ptr<Item> Enqueue(std::function<void()> notification);
    // Owner thread: runs the notifications waiting now.
    void RunPending();
    void Finish(Item& item);

    QObject* owner_;
    std::mutex lock_;
    std::condition_variable finishedChanged_;
    std::deque<std::shared_ptr<Item>> waiting_;
    bool shut_ = false;
};
