#pragma once
// The journal of device stamps: a record is written here, and forced to the disk, before it
// is sent to the database, and stays here until the database has it. So a record outlives a
// database that does not answer and a crash of the program or the machine, and the next
// start takes it up again. A journal belongs to one data source and database (see
// StampJournalLock): its records are stored there and nowhere else.
//
// The file holds one JSON object a line: {"a":id,"t":race,"r":record} for a record and
// {"s":id} once that record is stored. A line cut short by a crash is left out when the
// file is read; the file is rewritten clean when it is opened and emptied once nothing waits.

#include <QByteArray>
#include <QString>

#include <deque>
#include <unistd.h>

class StampJournal {
public:
    struct Entry {
        QString id;       // names the record's row in the database, for good
        QString raceCode; // the race in work when the stamp arrived
        QString record;
    };

    // How a written line is forced to the disk: fdatasync, or a test's own that watches it.
    using SyncFile = int (*)(int fd);

    // Opens the journal file (made when missing) and takes up what an earlier run left
    // waiting. The records are kept in memory even when the file fails; Problem says why.
    // Without a path (no journal could be had) the records are kept in memory only.
    explicit StampJournal(const QString& path, SyncFile sync = ::fdatasync);
    ~StampJournal();
    StampJournal(const StampJournal&) = delete;
    StampJournal& operator=(const StampJournal&) = delete;

    // Adds a record after the others; true when it is safely on the disk.
    bool Append(const QString& raceCode, const QString& record);
    // The oldest waiting record is in the database now.
    void RemoveOldest();

    const std::deque<Entry>& Waiting() const { return waiting_; }
    // The last failure of the file, empty while it works.
    QString Problem() const { return problem_; }

private:
    bool ReadFile();
    // Writes the waiting records to a fresh file that replaces the old one.
    bool Rewrite();
    bool WriteLine(const QByteArray& line, bool toDisk);
    bool Fail(const QString& what);

    QByteArray path_;
    SyncFile sync_;
    int fd_ = -1;
    // A failed write may have left half a line: the next change rewrites the file whole.
    bool broken_ = false;
    bool readable_ = true;
    std::deque<Entry> waiting_;
    QString problem_;
};
