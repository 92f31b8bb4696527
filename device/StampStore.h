#pragma once
// The way of device records into tdc_mid, seen from the GUI thread: Accept puts a record in
// the journal, forced to the disk, and hands it to the stamp writer, which stores it on a
// thread and connection of its own. Nothing here waits for the database. The journal is the
// one of the connection's data source and database, so records waiting for one database are
// stored only there, whatever the operator chooses meanwhile.

#include "common/JournalLock.h"
#include "data/actions/PendingTimeMark.h"
#include "data/sql/TDatabase.h"
#include "device/SharedJournal.h"

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>
#include <vector>

class StampWriter;

class StampStore : public QObject {
    Q_OBJECT
public:
    // Takes the first free journal of the source in the folder, and up what it still holds;
    // the writer's first try follows at once.
    StampStore(const TDatabase& database, const QString& folder,
               StampJournal::SyncFile sync = ::fdatasync, QObject* parent = nullptr);
    // Waits for the insert under way, which the time limits bound.
    ~StampStore() override;

    // Puts the record in the journal, behind those waiting, and wakes the writer.
    void Accept(const QString& raceCode, const QString& record);

    int WaitingCount() const { return journal_->WaitingCount(); }
    // The stamps of the race still waiting for the database that wait for a bib, named by
    // their journal ids.
    std::vector<StampRef> Unstored(const QString& raceCode) const;
    // Whether the stamp of a journal id still waits to be stored (in the journal, or in memory
    // while the disk refuses it); one that neither waits nor is stored is lost. Any thread,
    // for as long as it is kept, the store gone or not.
    std::function<bool(const QString& jid)> Holding() const;
    // Why records wait or the journal fails: the database's last message and the journal's
    // trouble, empty when there is none.
    QString Problem() const;
    QString JournalPath() const { return lock_.JournalPath(); }
    // Why stamps are held in memory only (no journal, or one that cannot be written); empty
    // while they are safe on the disk.
    QString JournalProblem() const;

signals:
    // Rows reached the database: lists that show them are out of date.
    void Stored();
    // The count of waiting records or the problem changed.
    void WaitingChanged();

private:
    void TakeReport(const QString& problem, bool stored);

    JournalLock lock_;
    std::shared_ptr<SharedJournal> journal_;
    QThread thread_;
    StampWriter* writer_;
    QString writerProblem_;
    // A refresh asked for and not yet sent: rows landing together refresh the lists once.
    bool storedPending_ = false;
};
