#pragma once
// Corrections of the splits: cancel one split, clear every split of the race. Each is one
// transaction; a cancel clears only the split it was asked for, not one another workstation
// wrote in its place meanwhile.

#include "data/TQuery.h"

#include <QStringList>
#include <functional>

class TDatabase;

class SplitCorrections {
public:
    // Each statement is shown to the log before it runs, so a failing one is on record.
    using StatementLog = std::function<void(const QStringList& shownLines)>;

    explicit SplitCorrections(TDatabase& database);

    // Split n of zek, written at `passing`: cleared, its passing-log row deleted and its device
    // time pending again. False, with nothing changed, when the split no longer holds it.
    bool CancelSplit(const QString& zek, int n, const QString& passing, const StatementLog& log);
    // Every split of the race; every time pending again; the passing log emptied.
    void ResetRace();

private:
    int Run(const QStringList& lines, const StatementLog& log);

    TDatabase& database_;
    TQuery writing_;
};
