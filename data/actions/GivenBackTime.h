#pragma once
// A time given back to the operator: the split that held it was cancelled or cleared in the
// check list, or the action that took it from the panel was refused after the operator had
// gone on. Offered again at the head of the pending times, it would go to whichever runner is
// typed next; it waits instead, in a state of its own (StampGivenBack), until the operator
// gives it a bib by hand or discards it.

#include "data/actions/OperatorAction.h"
#include "data/sql/RowChange.h"

#include <QStringList>
#include <deque>
#include <vector>

class RowWrites;
class TDatabase;
class TQuery;

// A split, a discard, a relay Enter or a forced start takes its stamp out of the pending ones.
bool TakesStamp(const ActionRequest& request);

// The stamps of `time` given back, in the caller's transaction of the race in work, unless
// the passing log still has the time (a dead heat's other competitor holds it): then they stay
// taken. Gives whether the time is still held.
bool GiveBackTime(RowWrites& writes, TQuery& query, const QString& time);

// A refusal answered this soon after its key press, with no later key press that took a
// stamp, is one the operator sees at once: its time stays at the head of the panel, where the
// bib is typed again, as with a key press refused on the spot.
constexpr int AnsweredAtOnceMs = 2000;

// The stamp a refused action took, given back while the server still has it pending, once the
// operator has gone on from it (see AnsweredAtOnceMs); `journal` holds the workstation's
// actions in the order they were taken. The rows changed: none when the time stays, or another
// workstation took it meanwhile.
std::vector<RowChange> GiveBackRefusedStamp(TDatabase& database, const OperatorAction& refused,
                                            const std::deque<OperatorAction>& journal);

// The times `changes` gave back, each once.
QStringList TimesGivenBack(const std::vector<RowChange>& changes);
