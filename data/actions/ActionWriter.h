#pragma once
// Sends the journal's waiting actions to the race database on a thread of its own, with a
// connection of its own, oldest first, so that no key press waits for the server: one that
// is slow, paused or gone only holds up this thread. An action the database cannot take now
// (no connection, no answer, its stamp not stored yet) waits, with every later one behind
// it, and is tried again on a timer and with every new action; one the database refuses is
// written down as refused, with the reason, and the next one goes.
// Lives in the writer thread; other threads only call Wake and RequestStop.

#include "data/actions/ActionApplier.h"
#include "data/actions/SharedActionJournal.h"
#include "data/sql/TDatabase.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>

class ActionWriter : public QObject {
    Q_OBJECT
public:
    static constexpr int RetryMs = 1000;

    // `stampHeld` tells a stamp that may still be stored from one that is lost.
    ActionWriter(const TDatabase::Source& source, std::shared_ptr<SharedActionJournal> journal,
                 StampHeld stampHeld);
    ~ActionWriter() override;

    // Any thread.
    void RequestStop() { stopping_ = true; }
    void Wake();

signals:
    // What came of an action: applied (with a note for the operator, maybe, and the
    // statements a cancel sent) or refused.
    void Applied(const QString& id, const QString& note, const QStringList& shown);
    void Refused(const QString& id);
    // Before Applied or Refused: the action's bib as the server held it, when that was not what
    // the key press was decided from (see DecisionState.h).
    void StateRead(const QString& id, const QString& state);
    // After every try: why actions wait, empty when nothing is wrong.
    void Problem(const QString& problem);

private:
    void SendWaiting();
    // True when the action is done with (applied or refused); false when it must wait.
    bool Send(const OperatorAction& action);

    TDatabase::Source source_;
    std::shared_ptr<SharedActionJournal> journal_;
    StampHeld stampHeld_;
    std::unique_ptr<TDatabase> database_;
    std::unique_ptr<ActionApplier> applier_;
    QString problem_;
    QTimer retry_;
    std::atomic<bool> stopping_ = false;
    std::atomic<bool> wakePending_ = false;
};
