#pragma once
// Taking back what one operator action changed: every cell gets back what it held before, in
// one transaction, and only while it still holds what the action wrote. A row that someone
// changed since (another workstation, or a later action of this one) stops the whole undo:
// nothing is changed, and the change that found its row otherwise is named.

#include "data/sql/RowChange.h"

#include <functional>
#include <vector>

class TDatabase;
class TQuery;

// -1 when every change was taken back; otherwise the index of the first change (taken from
// the newest) whose rows were not as the action left them, and nothing is changed.
// `alsoWithin` runs inside the same transaction before the commit.
int UndoChanges(TDatabase& database, const std::vector<RowChange>& changes,
                const std::function<void(TQuery&)>& alsoWithin = {});
// The same in the caller's transaction, which is to be rolled back unless it gives -1.
int TakeBackChanges(TQuery& query, const std::vector<RowChange>& changes);
