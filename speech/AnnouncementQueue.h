#pragma once
// The texts waiting to be spoken, oldest first, kept close enough to the race to be of use:
// when runners pass faster than speech, the texts that have waited longer than the lag limit
// are dropped when the next one is taken, in favour of the newest, which is always kept. A
// text is taken out once and so spoken once; the same text already waiting is not queued again.

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <deque>

class AnnouncementQueue {
public:
    static constexpr int kMaxLagMs = 10000;

    explicit AnnouncementQueue(int maxLagMs = kMaxLagMs);

    void push(const QString& text);
    // The oldest text still worth speaking, taken out. Must not be called on an empty queue.
    QString takeNext();
    void clear() { entries_.clear(); }

    bool isEmpty() const { return entries_.empty(); }
    qsizetype size() const { return qsizetype(entries_.size()); }
    QStringList texts() const;

private:
    struct Entry {
        QString text;
        qint64 queuedAtMs;
    };

    void dropStale();

    std::deque<Entry> entries_;
    QElapsedTimer clock_;
    int maxLagMs_;
};
