#pragma once
// Corrections of the splits: cancel one split, clear every split of the race. Each is written
// in the caller's transaction, and gives back what it changed so that it can be taken back; a
// cancel clears only the split it was asked for, not one another workstation wrote in its
// place meanwhile.

#include "data/actions/CapturedWrites.h"
#include "data/sql/TQuery.h"

#include <vector>

struct CancelOutcome {
    bool cancelled = false;
    // Another competitor's split holds the same time (a dead heat): it stays taken.
    bool timeStillHeld = false;
    std::vector<RowChange> changes;
};

// The writes of a cancel, in the caller's transaction (through `writes`, `query` reading).
CancelOutcome WriteCancel(CapturedWrites& writes, TQuery& query, const QString& zek, int n,
                          const QString& passing);
// The writes of a reset of every split of the race, in the caller's transaction.
void WriteReset(CapturedWrites& writes);
