#pragma once
// A split or a relay leg decided again by the writer from what the server holds now, with the
// rules and the settings of the key press, when the rows the key press was decided from have
// changed since (another workstation, headquarters, another program): what is written is
// what the operator's key press means on the race as it is now.

#include "data/actions/ActionRequest.h"

#include <optional>

class RowWrites;

struct DecidedAgain {
    std::optional<ActionRequest> request; // to be sent now
    QString refusal;                      // why nothing can be recorded now
};

// `state`: the bib's rows as the server holds them (see DecisionState.h).
DecidedAgain DecideAgain(const ActionRequest& request, const QString& state);

// The guard of a split or leg: the writes apply only while the rows are as its decision read.
void GuardDecision(RowWrites& writes, const ActionRequest& request);
// The statements that read a bib's rows for a decision, into `{state}`.
QStringList DecisionReadStatements(const ActionRequest& request);

// What the operator is told when the action applied is not the one the key press showed:
// "0012 は中間2 として記録しました（中間1 は他の端末で記録済み）". Empty when it is the same.
QString ChangedDecisionNote(const ActionRequest& shown, const ActionRequest& applied);
// The action as the history lists it.
QString DecisionText(const ActionRequest& request);
