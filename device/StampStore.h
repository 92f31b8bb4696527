#pragma once
// Stores device records in tdc_mid without ever losing one or storing one twice. Each record
// goes to the journal first and then to the database, oldest first; one that the database
// does not take (refused, unreachable, or lost in the middle of the statement) waits in the
// journal, with every later one behind it, and is tried again on a timer and with every new
// record. Each row names its journal id, which the database holds unique (column jid): a
// repeated insert of a record that did reach the database is refused as a duplicate and
// counts as stored.
// Runs on the GUI thread, where every database statement runs.

#include "device/StampJournal.h"

#include <QObject>
#include <QTimer>

class TQuery;

class StampStore : public QObject {
    Q_OBJECT
public:
    // Retry interval while records wait.
    static constexpr int RetryMs = 1000;

    // Takes up what the journal at journalPath still holds; the first try follows at once
    // from the event loop.
    StampStore(TQuery& insert, const QString& journalPath, QObject* parent = nullptr);

    // Puts the record in the journal, behind those waiting. StoreWaiting sends it.
    void Accept(const QString& raceCode, const QString& record);
    // Inserts the waiting records, oldest first, until one is not taken.
    void StoreWaiting();

    int WaitingCount() const { return static_cast<int>(journal_.Waiting().size()); }
    // Why records wait or the journal fails: the database's last message and the journal's
    // trouble, empty when there is none.
    QString Problem() const;

signals:
    // Rows reached the database: lists that show them are out of date.
    void Stored();
    // The count of waiting records or the problem changed.
    void WaitingChanged();

private:
    // True when the record is in the database now (stored here or before).
    bool Insert(const StampJournal::Entry& entry);

    TQuery& insert_;
    StampJournal journal_;
    // Rows carry their journal id while the table has the column for it.
    bool namesRows_ = true;
    QString databaseProblem_;
    QTimer retry_;
};
