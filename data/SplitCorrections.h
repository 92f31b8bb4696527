#pragma once
// Corrections of the splits: cancel one split, clear every split of the race. Each is one
// transaction, and gives back what it changed so that it can be taken back; a cancel clears
// only the split it was asked for, not one another workstation wrote in its place meanwhile.

#include "data/CapturedWrites.h"
#include "data/TQuery.h"

#include <QStringList>
#include <vector>

class TDatabase;

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

class SplitCorrections {
public:
    using StatementLog = CapturedWrites::StatementLog;

    explicit SplitCorrections(TDatabase& database);

    // Split n of zek, written at `passing`: cleared, its passing-log row deleted and its device
    // time pending again, unless another split still holds that time. Nothing is changed when
    // the split no longer holds it.
    CancelOutcome CancelSplit(const QString& zek, int n, const QString& passing,
                              const StatementLog& log);
    // Every split of the race; every time pending again; the passing log emptied.
    std::vector<RowChange> ResetRace();

private:
    TDatabase& database_;
    TQuery writing_;
};
