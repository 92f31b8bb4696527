#include "speech/AnnouncementQueue.h"

#include <algorithm>

AnnouncementQueue::AnnouncementQueue(int maxLagMs) : maxLagMs_(maxLagMs) {
    clock_.start();
}

void AnnouncementQueue::push(const QString& text) {
    const bool waiting = std::any_of(entries_.begin(), entries_.end(),
                                     [&](const Entry& entry) { return entry.text == text; });
    if (!waiting)
        entries_.push_back({text, clock_.elapsed()});
}

QString AnnouncementQueue::takeNext() {
    dropStale();
    QString text = std::move(entries_.front().text);
    entries_.pop_front();
    return text;
}

QStringList AnnouncementQueue::texts() const {
    QStringList list;
    for (const Entry& entry : entries_)
        list << entry.text;
    return list;
}

void AnnouncementQueue::dropStale() {
    const qint64 oldestWorthSaying = clock_.elapsed() - maxLagMs_;
    while (entries_.size() > 1 && entries_.front().queuedAtMs < oldestWorthSaying)
        entries_.pop_front();
}
