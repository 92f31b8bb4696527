#pragma once
// Applies one journaled operator action to the race database, in a transaction of its own,
// as it was decided when the key was pressed, but only while every value that decision read
// is still the server's: otherwise nothing is written, the key press is decided again from
// the rows as they are now, with the same rules, and sent again. What stands in the way (a
// stamp taken meanwhile, a rule that now refuses) is a refusal the operator is told. The
// action's id goes into table midaction in the same transaction: one sent again after a
// lost answer is found applied and not applied twice.

#include "data/actions/OperatorAction.h"
#include "data/sql/TQuery.h"

#include <deque>
#include <functional>
#include <optional>

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
    // A split or leg decided again: the action as applied, and the bib's rows as the server
    // held them before it (see DecisionState.h), so the workstation's copy can follow.
    std::optional<ActionRequest> decided;
    std::optional<QString> state;
};

// Whether this workstation still holds the stamp of that journal id to store.
using StampHeld = std::function<bool(const QString& jid)>;

class ActionApplier {
public:
    explicit ActionApplier(TDatabase& database);
    // Without it, a stamp named by its journal id alone is awaited however long it takes.
    void SetStampHeld(StampHeld held) { stampHeld_ = std::move(held); }

    // `history` gives an undo its action and says whose change stands in the way. Throws
    // DatabaseError when the database does not answer or refuses a statement.
    ApplyOutcome Apply(const OperatorAction& action, const std::deque<OperatorAction>& history);

private:
    // One try of a request: its outcome, or, when they changed meanwhile, the rows its
    // decision read as they are now.
    struct Tried {
        ApplyOutcome outcome;
        std::optional<QString> changedState;
    };
    // A split or leg: sent, and decided again while the server holds other rows than it read.
    ApplyOutcome ApplyDecision(const OperatorAction& action);
    Tried Try(const OperatorAction& action, const ActionRequest& request,
              const std::deque<OperatorAction>& history);
    // The bib's rows for a decision, as the server holds them now.
    QString ReadState(const ActionRequest& request);
    // False when the action was applied before.
    bool Claim(const OperatorAction& action);
    Tried Write(const OperatorAction& action, const ActionRequest& request,
                const std::deque<OperatorAction>& history);
    // A stamp named by its journal id only waits until the stamp writer has stored it. One
    // that is neither stored nor held any more never comes: a DatabaseError refuses the action.
    bool StampAwaited(const StampRef& stamp);
    // A key press (a split, a discard, a relay leg, a forced start) goes as one block: one
    // round trip.
    static bool SentAsOneBlock(ActionRequest::Kind kind);
    Tried SendBlock(const OperatorAction& action, const ActionRequest& request);
    // The writes of a key press; what stood in the way when known at once.
    static QString WriteKeyPress(RowWrites& writes, const ActionRequest& request,
                                 const QString& actionId);
    // The change list's row of an action that changed the bibs' rows (none: the whole race).
    static void ListChange(RowWrites& writes, const QStringList& zeks);
    // A race database made before forced starts gets their table before the first action
    // that writes it (outside the action's transaction, which a table's creation would end).
    // False when a forced start cannot be kept in this database.
    bool EnsureForcedStarts(ActionRequest::Kind kind);
    // The change list and the record of the stamps passings took (see TakenStamp.h).
    void EnsureOwnTables();

    TDatabase& database_;
    StampHeld stampHeld_;
    TQuery writing_;
    TQuery reading_;
    bool claims_ = true; // while the database has table midaction
    bool forcedStartsTable_ = false; // known to be there
    bool ownTablesChecked_ = false;
};

// Why an action cannot be taken back, naming whose change is in the way of `blocking`: a
// later action of this workstation, or another workstation's.
QString WhoseChange(const std::deque<OperatorAction>& history, const OperatorAction& action,
                    const RowChange& blocking);

// The row as the operator knows it: "ビブNo.0017 の記録", "チームNo.0012 の2走", ….
QString RowDescription(const RowChange& change);
