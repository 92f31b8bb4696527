#pragma once
// Applies one journaled operator action to the race database, in a transaction of its own,
// as it was decided when the key was pressed: the race-safe rules of each write still hold
// (a split only while its column is empty, a stamp only in the state expected, a leg only
// while it runs), and what stands in the way is a refusal the operator is told. The action's
// id goes into table midaction in the same transaction: one sent again after a lost answer
// is found applied and not applied twice.

#include "data/OperatorAction.h"
#include "data/TQuery.h"

#include <deque>

class RowWrites;
class TDatabase;

struct ApplyOutcome {
    enum class Result {
        Applied, // `changes` holds what it changed (nothing when it had been applied before)
        Refused, // `refusal` says why, nothing changed
        Waiting, // its stamp is not in the database yet: try again later
    };
    Result result = Result::Applied;
    QString refusal;
    std::vector<RowChange> changes;
    QString note;      // applied, with something the operator should know
    QStringList shown; // the statements of a cancel, as the statement log shows them
};

class ActionApplier {
public:
    explicit ActionApplier(TDatabase& database);

    // `history` gives an undo its action and says whose change stands in the way. Throws
    // DatabaseError when the database does not answer or refuses a statement.
    ApplyOutcome Apply(const OperatorAction& action, const std::deque<OperatorAction>& history);

private:
    // False when the action was applied before.
    bool Claim(const OperatorAction& action);
    ApplyOutcome Write(const OperatorAction& action, const std::deque<OperatorAction>& history);
    // A stamp named by its journal id only waits until the stamp writer has stored it.
    bool StampAwaited(const StampRef& stamp);
    // A key press (a split, a discard, a relay leg, a forced start) goes as one block: one
    // round trip.
    static bool SentAsOneBlock(ActionRequest::Kind kind);
    ApplyOutcome SendBlock(const OperatorAction& action);
    // The writes of a key press; what stood in the way when known at once.
    static QString WriteKeyPress(RowWrites& writes, const ActionRequest& request,
                                 const QString& actionId);
    // A race database made before forced starts gets their table before the first action
    // that writes it (outside the action's transaction, which a table's creation would end).
    // False when a forced start cannot be kept in this database.
    bool EnsureForcedStarts(ActionRequest::Kind kind);

    TDatabase& database_;
    TQuery writing_;
    TQuery reading_;
    bool claims_ = true; // while the database has table midaction
    bool forcedStartsTable_ = false; // known to be there
};

// Why an action cannot be taken back, naming whose change is in the way of `blocking`: a
// later action of this workstation, or another workstation's.
QString WhoseChange(const std::deque<OperatorAction>& history, const OperatorAction& action,
                    const RowChange& blocking);

// The row as the operator knows it: "ビブNo.0017 の記録", "チームNo.0012 の2走", ….
QString RowDescription(const RowChange& change);
