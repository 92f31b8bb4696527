#pragma once
// The journal of device stamps: a record is written here, and forced to the disk, before it
// is sent to the database, and stays here until the database has it. So a record outlives a
// database that does not answer and a crash of the program or the machine, and the next
// start takes it up again. A journal belongs to one data source and database (see
// JournalLock): its records are stored there and nowhere else.
//
// The file holds one JSON object a line: {"a":id,"t":race,"r":record} for a record and
// {"s":id} once that record is stored. A line cut short by a crash is left out when the
// file is read; the file is rewritten clean when it is opened and emptied once nothing waits.

#include "common/JournalFile.h"

#include <QString>

#include <deque>

class StampJournal {
public:
    struct Entry {
        QString id;       // names the record's row in the database, for good
        QString raceCode; // the race in work when the stamp arrived
        QString record;
    };

    using SyncFile = JournalFile::SyncFile;

    // Opens the journal file (made when missing) and takes up what an earlier run left
    // waiting. The records are kept in memory even when the file fails; Problem says why.
    // Without a path (no journal could be had) the records are kept in memory only.
    explicit StampJournal(const QString& path, SyncFile sync = ::fdatasync);

    // Adds a record after the others; true when it is safely on the disk.
    bool Append(const QString& raceCode, const QString& record);
    // The oldest waiting record is in the database now.
    void RemoveOldest();
    // Writes the records held in memory since a write failed to the file, when it takes them.
    void WriteHeld();

    const std::deque<Entry>& Waiting() const { return waiting_; }
    // The last failure of the file, empty while it works.
    QString Problem() const { return file_.Problem(); }

private:
    void TakeUp(std::vector<QJsonObject> found);
    // Writes the waiting records as the whole file.
    bool Rewrite();

    JournalFile file_;
    std::deque<Entry> waiting_;
};
