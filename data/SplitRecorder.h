#pragma once
// The recording of a device time as a competitor's next split: the competitor is read once,
// the checks are made, and the split, the device time's state and the passing-log row are
// written in one transaction. The workstation shares the race with others: the split column
// is filled only while it is still empty and the time taken only while it is still there,
// so nothing another workstation wrote meanwhile is overwritten.

#include "data/PendingTimeMark.h"
#include "data/RowChange.h"
#include "data/TQuery.h"

#include <QString>
#include <QStringList>
#include <vector>

class TDatabase;

// What one read of a competitor's result row found.
struct CompetitorSplits {
    bool registered = false; // the race has a result row of this bib
    QString start;
    QStringList splitTimes; // midtime1 .. midtime5
    QStringList passings;   // midfin1 .. midfin5
    int lapn = 0;           // the class's split limit; 0 without a class row
};

struct SplitRequest {
    QString bib;   // "%.4d"
    QString time;  // the device time
    QString state; // the device time's state once taken: "1" used, "2" held for a dead heat
    int minimumMinutes = 0;
    // The state the time must be in: "0" pending for a key press, "2" for the second
    // competitor of a dead heat; empty for an assignment by hand, which takes any.
    QString takes = QStringLiteral("0");
    // The stamp itself, when the operator took a stamp named by its identity; otherwise the
    // stamps of that time are taken.
    StampRef stamp;
};

struct SplitOutcome {
    bool recorded = false;
    QString refusal; // the message for the operator when nothing was recorded
    int split = 0;
    QString splitTime;
    QStringList log; // the arithmetic, for the statement log
    std::vector<RowChange> changes; // what was written, to take it back
};

class RowWrites;

// The decision on a key press from what is known of the competitor, without a statement:
// which split, its time and the arithmetic, or why not.
SplitOutcome DecideSplit(const SplitRequest& request, const CompetitorSplits& competitor);

// The writes of a decided split, in the caller's transaction: the split while its column is
// still empty, the stamp while in the state expected, the passing-log row. Empty when
// written; otherwise what stood in the way, and nothing is to be committed.
QString WriteSplit(RowWrites& writes, const SplitRequest& request, const QString& start,
                   const SplitOutcome& decided);

class SplitRecorder {
public:
    explicit SplitRecorder(TDatabase& database);

    CompetitorSplits ReadCompetitor(const QString& bib);
    // Reads the competitor, then records.
    SplitOutcome Record(const SplitRequest& request);
    // Records from what was read; what another workstation wrote since is not overwritten.
    SplitOutcome Record(const SplitRequest& request, const CompetitorSplits& competitor);
    // 0 + Enter, on the lap and the relay page: the pending time is discarded ("2"). Nothing
    // is changed when it is no longer pending (a split or a team's finish, or taken
    // elsewhere).
    std::vector<RowChange> DiscardPending(const QString& time);

private:
    TDatabase& database_;
    TQuery reading_;
    TQuery writing_;
};
