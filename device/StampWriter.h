#pragma once
// Stores the journal's records in tdc_mid on a thread of its own, with a connection of its
// own, so that a server that is slow, paused or gone never holds up the receive handler.
// Records go oldest first; one that the database does not take (refused, unreachable, or
// lost in the middle of the statement) waits, with every later one behind it, and is tried
// again on a timer and with every new record. Each row names its journal id, which the
// database holds unique (column jid): a repeated insert of a record that did reach the
// database is refused as a duplicate and counts as stored. Records the journal's disk did not
// take are written to it at each try: they outlive a crash as soon as the disk has room.
// Lives in the writer thread; other threads only call Wake and RequestStop.

#include "data/sql/TDatabase.h"
#include "device/SharedJournal.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>

class TQuery;

class StampWriter : public QObject {
    Q_OBJECT
public:
    // Retry interval while records wait.
    static constexpr int RetryMs = 1000;

    // The connection is opened on the writer thread, at the first record.
    StampWriter(const TDatabase::Source& source, std::shared_ptr<SharedJournal> journal);
    ~StampWriter() override;

    // Any thread: the insert under way is the last one.
    void RequestStop() { stopping_ = true; }
    // Any thread: new records wait. Wakes that come while one is pending are one try: a
    // burst against a silent server costs one time limit, not one per record.
    void Wake();

signals:
    // After every try: why records wait (empty when nothing is wrong), and whether rows
    // reached the database.
    void Reported(const QString& problem, bool stored);

private:
    // Inserts the waiting records, oldest first, until one is not taken.
    void StoreWaiting();
    // True when the record is in the database now (stored here or before).
    bool Insert(const StampJournal::Entry& entry);
    void Report(bool stored);

    TDatabase::Source source_;
    std::shared_ptr<SharedJournal> journal_;
    std::unique_ptr<TDatabase> database_;
    std::unique_ptr<TQuery> insert_;
    // Rows carry their journal id while the table has the column for it.
    bool namesRows_ = true;
    QString databaseProblem_;
    QTimer retry_;
    std::atomic<bool> stopping_ = false;
    std::atomic<bool> wakePending_ = false;
};
