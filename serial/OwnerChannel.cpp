#include "serial/OwnerChannel.h"

#include <QMetaObject>

void OwnerChannel::Send(std::function<void()> notification) {
    std::unique_lock lock(lock_);
    if (const auto item = Enqueue(std::move(notification)))
        finishedChanged_.wait(lock, [&] { return item->finished || shut_; });
}

void OwnerChannel::Post(std::function<void()> notification) {
    std::lock_guard lock(lock_);
    Enqueue(std::move(notification));
}

std::shared_ptr<OwnerChannel::Item> OwnerChannel::Enqueue(std::function<void()> notification) {
    if (shut_)
        return nullptr;
    auto item = std::make_shared<Item>();
    item->notification = std::move(notification);
    waiting_.push_back(item);
    QMetaObject::invokeMethod(
        owner_, [self = shared_from_this()] { self->RunPending(); }, Qt::QueuedConnection);
    return item;
}

void OwnerChannel::RunPending() {
    for (;;) {
        std::shared_ptr<Item> item;
        {
            std::lock_guard lock(lock_);
            if (shut_ || waiting_.empty())
                return;
            item = waiting_.front();
            waiting_.pop_front();
        }
        // Outside the lock: the notification may itself wait for more notifications. A
        // handler's exception goes on to the owner's error handling, but its worker is let
        // go all the same: it would otherwise wait for good and report nothing more.
        struct Release {
            OwnerChannel& channel;
            Item& item;
            ~Release() { channel.Finish(item); }
        } release{*this, *item};
        item->notification();
    }
}

void OwnerChannel::Finish(Item& item) {
    {
        std::lock_guard lock(lock_);
        item.finished = true;
    }
    finishedChanged_.notify_all();
}

void OwnerChannel::Shut() {
    {
        std::lock_guard lock(lock_);
        shut_ = true;
        waiting_.clear();
    }
    finishedChanged_.notify_all();
}
