#pragma once
// This workstation's operator actions on the database it works on. An action is kept in the
// action journal, forced to the disk, and handed to the action writer, which sends it to the
// database on a thread of its own: no key press waits for the server, and none is lost while
// the server does not answer. What came of each action (applied, or refused and why) comes
// back as a signal. The newest action of a page that is not yet taken back can be undone,
// again and again back through the kept ones; the undo is an action like the others.

#include "common/JournalLock.h"
#include "data/actions/ActionApplier.h"
#include "data/actions/SharedActionJournal.h"
#include "data/sql/TDatabase.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThread>

#include <memory>

class ActionWriter;

struct UndoOutcome {
    bool sent = false;
    OperatorAction action; // the action to be taken back
    QString refusal;       // why nothing can be, for the operator
};

class ActionHistory : public QObject {
    Q_OBJECT
public:
    // Takes the first free action journal of the database in the folder, and up what it
    // holds: what still waits is sent at once. `stampHeld` answers for the stamps of this
    // workstation's stamp journal: an action whose stamp is neither stored nor held is refused.
    ActionHistory(const TDatabase& database, const QString& folder, StampHeld stampHeld = {},
                  JournalFile::SyncFile sync = ::fdatasync, QObject* parent = nullptr);
    // Waits for the action under way, which the time limits bound.
    ~ActionHistory() override;

    // Keeps the action, stamped with an id, the time and the race in work, and sends what it
    // asks of the database; gives the action as kept.
    OperatorAction Submit(OperatorAction action);
    // The page's newest action in the race in work that can still be taken back; none when
    // there is none.
    std::optional<OperatorAction> LastUndoable(ActionPage page) const;
    // Sends the undo of that action.
    UndoOutcome UndoLast(ActionPage page);

    // Oldest first, as the journal holds them now.
    std::deque<OperatorAction> Actions() const { return journal_->Actions(); }
    std::optional<OperatorAction> Find(const QString& id) const;
    // Actions not yet in the database, and how long the oldest of them has waited.
    int WaitingCount() const { return waiting_; }
    // The stamps those actions take: pending no more for this workstation.
    std::vector<StampRef> TakenStamps() const;
    // The stamps those actions store (typed by hand): pending for this workstation already.
    std::vector<StampRef> AddedStamps() const { return added_; }
    qint64 OldestWaitingSeconds() const;
    // Why the journal is not safe on the disk; empty while it is.
    QString Problem() const;
    // Why actions wait for the database; empty while they need not.
    QString WriterProblem() const { return writerProblem_; }

signals:
    void Applied(const OperatorAction& action, const QString& note, const QStringList& shown);
    void Refused(const OperatorAction& action);
    // The action's bib as the server held it, read when the key press's copy was stale.
    void StateRead(const OperatorAction& action, const QString& state);
    // The list of actions or what waits changed.
    void Changed();

private:
    void CountWaiting();

    JournalLock lock_;
    std::shared_ptr<SharedActionJournal> journal_;
    QThread thread_;
    ActionWriter* writer_;
    int waiting_ = 0;
    QDateTime oldestWaiting_;
    std::vector<StampRef> taken_;
    std::vector<StampRef> added_;
    QString writerProblem_;
};
