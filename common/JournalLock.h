#pragma once
// Which journal file a program writes, and the lock that keeps it its own. A journal is kept
// for one kind of record ("stamps", "actions") and one data source and database: what it
// holds belongs there and nowhere else. While a program holds a journal, a second program on
// the same account and source takes the next free one ("-2", "-3", ...), never the first
// one's; a journal is taken up again by the next program that finds it free.

#include <QString>

class JournalLock {
public:
    // Journals tried per kind and source before giving up.
    static constexpr int Slots = 9;

    // Locks the first free journal of the kind and source in the folder; Held says whether
    // one was.
    JournalLock(const QString& folder, const QString& kind, const QString& sourceName);
    ~JournalLock();
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;

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

// The file name of a journal of that kind and source: its data source and database, in
// characters every file system takes ("stamps-TarnikLocal%2Frace1").
QString JournalBaseName(const QString& kind, const QString& sourceName);
