#pragma once
// Which journal file a program writes, and the lock that keeps it its own. A journal is kept
// for one data source and database: its stamps are stored there and nowhere else. While a
// program holds a journal, a second program on the same account and source takes the next
// free one ("-2", "-3", ...), never the first one's stamps; a journal is taken up again by
// the next program that finds it free.

#include <QString>

class StampJournalLock {
public:
    // Journals tried per source before giving up.
    static constexpr int Slots = 9;

    // Locks the first free journal of the source in the folder; Held says whether one was.
    StampJournalLock(const QString& folder, const QString& sourceName);
    ~StampJournalLock();
    StampJournalLock(const StampJournalLock&) = delete;
    StampJournalLock& operator=(const StampJournalLock&) = delete;

    bool Held() const { return fd_ >= 0; }
    // The journal file that is ours while Held.
    QString JournalPath() const { return journalPath_; }
    // Why no journal is held, for the operator; empty while one is.
    QString Problem() const { return problem_; }

private:
    bool TryLock(const QString& journalPath);

    int fd_ = -1;
    QString journalPath_;
    QString problem_;
};

// The file name of a source's journal: its data source and database, in characters every
// file system takes.
QString JournalBaseName(const QString& sourceName);
