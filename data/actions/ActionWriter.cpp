#include "data/actions/ActionWriter.h"

#include "data/actions/ActionApplier.h"
#include "data/actions/DecideAgain.h"
#include "data/actions/GivenBackTime.h"
#include "data/sql/DatabaseError.h"

ActionWriter::ActionWriter(const TDatabase::Source& source,
                           std::shared_ptr<SharedActionJournal> journal, StampHeld stampHeld)
    : source_(source), journal_(std::move(journal)), stampHeld_(std::move(stampHeld)),
      retry_(this) {
    retry_.setInterval(RetryMs);
    connect(&retry_, &QTimer::timeout, this, &ActionWriter::SendWaiting);
}

// The applier before its connection; both go in the writer thread, where they were made.
ActionWriter::~ActionWriter() {
    applier_.reset();
    database_.reset();
}

void ActionWriter::Wake() {
    if (!wakePending_.exchange(true))
        QMetaObject::invokeMethod(this, &ActionWriter::SendWaiting, Qt::QueuedConnection);
}

void ActionWriter::SendWaiting() {
    wakePending_ = false;
    bool waits = false;
    while (!stopping_) {
        const std::optional<OperatorAction> oldest = journal_->OldestWaiting();
        if (!oldest)
            break;
        if (!Send(*oldest)) {
            waits = true;
            break;
        }
    }
    if (!waits)
        retry_.stop();
    else if (!retry_.isActive())
        retry_.start();
    emit Problem(problem_);
}

bool ActionWriter::Send(const OperatorAction& action) {
    ApplyOutcome outcome;
    try {
        if (!database_) {
            database_ = std::make_unique<TDatabase>();
            database_->UseSource(source_);
            applier_ = std::make_unique<ActionApplier>(*database_);
            applier_->SetStampHeld(stampHeld_);
        }
        if (!database_->Connected())
            database_->Open();
        // Only an undo needs the others.
        outcome = applier_->Apply(action, action.request.kind == ActionRequest::Kind::Undo
                                              ? journal_->Actions()
                                              : std::deque<OperatorAction>{});
    } catch (const DatabaseError& error) {
        if (error.isConnectionLost() || error.isTemporary() || !database_->Connected()) {
            // Sent again when the server answers; its id keeps it from being applied twice.
            problem_ = error.message();
            return false;
        }
        // The server refused a statement of it: told, and the next action goes.
        outcome.result = ApplyOutcome::Result::Refused;
        outcome.refusal = error.message();
    }
    problem_.clear();
    if (outcome.state)
        emit StateRead(action.id, *outcome.state);
    switch (outcome.result) {
    case ApplyOutcome::Result::Waiting:
        return false;
    case ApplyOutcome::Result::Refused: {
        // The stamp the key press took off the panel is pending on the server still: once the
        // operator has gone on, it goes back to them, not to the head of the panel.
        std::vector<RowChange> givenBack;
        try {
            givenBack = GiveBackRefusedStamp(*database_, action, journal_->Actions());
        } catch (const DatabaseError& error) {
            if (error.isConnectionLost() || error.isTemporary()) {
                // Refused again when the server answers, and its stamp given back then.
                problem_ = error.message();
                return false;
            }
            outcome.refusal += QStringLiteral(" / ") + error.message();
        }
        journal_->MarkRefused(action.id, outcome.refusal, givenBack);
        emit Refused(action.id);
        return true;
    }
    case ApplyOutcome::Result::Applied:
        journal_->MarkApplied(action.id, outcome.changes, outcome.decided,
                              outcome.decided ? DecisionText(*outcome.decided) : QString());
        if (action.request.kind == ActionRequest::Kind::Undo)
            journal_->MarkUndone(action.request.target);
        emit Applied(action.id, outcome.note, outcome.shown);
        return true;
    }
    return true;
}
