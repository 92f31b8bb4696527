#pragma once
// This workstation's operator actions on the database it works on: each is kept in the
// action journal as it is done, and the newest of a page that is not yet taken back can be
// undone, again and again back through the kept ones. An undo restores every row the action
// changed, in one transaction, only while they still hold what the action wrote; otherwise
// the operator is told whose change is in the way: a later action of this workstation, or
// another workstation's.

#include "common/JournalLock.h"
#include "data/ActionJournal.h"

#include <QObject>

class TDatabase;

struct UndoOutcome {
    bool undone = false;
    OperatorAction action; // the action taken back, or that could not be
    QString refusal;       // why not, for the operator
};

class ActionHistory : public QObject {
    Q_OBJECT
public:
    // Takes the first free action journal of the database in the folder, and up what it
    // holds.
    ActionHistory(TDatabase& database, const QString& folder,
                  JournalFile::SyncFile sync = ::fdatasync, QObject* parent = nullptr);

    // Keeps the action, stamped with an id, the time and the race in work.
    void Record(OperatorAction action);
    // The page's newest action in the race in work not yet taken back; none when there is
    // none.
    const OperatorAction* LastUndoable(ActionPage page) const;
    // Takes back that action; nothing to take back is a refusal too.
    UndoOutcome UndoLast(ActionPage page);

    // Oldest first.
    const std::deque<OperatorAction>& Actions() const { return journal_.Actions(); }
    // Why the history is not safe on the disk; empty while it is.
    QString Problem() const;

signals:
    void Changed();

private:
    QString WhoseChange(const OperatorAction& action, const RowChange& blocking) const;

    TDatabase& database_;
    JournalLock lock_;
    ActionJournal journal_;
};

// The row as the operator knows it: "ビブNo.0017 の記録", "チームNo.0012 の2走", ….
QString RowDescription(const RowChange& change);
