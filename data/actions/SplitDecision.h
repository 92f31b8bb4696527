#pragma once
// A device time as a competitor's next split: the decision, from what is known of the
// competitor, and its writes. The workstation decides at the key press from its copy of the
// race; the writer sends the writes guarded by every value the decision read, and decides
// again with the same rules when the server holds something else.

#include "data/actions/ActionRequest.h"
#include "data/actions/PendingTimeMark.h"

#include <QString>
#include <QStringList>
#include <vector>

// What one read of a competitor's result row found.
struct CompetitorSplits {
    bool registered = false; // the race has a result row of this bib
    QString start;
    QStringList splitTimes; // midtime1 .. midtime5
    QStringList passings;   // midfin1 .. midfin5
    int lapn = 0;           // the class's split limit; 0 without a class row
    QStringList splitStarts; // midst2 .. midst5: where each split was measured from
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
};

class RowWrites;

// The decision on a key press from what is known of the competitor, without a statement:
// which split, its time and the arithmetic, or why not.
SplitOutcome DecideSplit(const SplitRequest& request, const CompetitorSplits& competitor);

// The writes of a decided split, in the caller's transaction: the split while its column is
// still empty, the stamp while in the state expected, the passing-log row. Empty when
// written; otherwise what stood in the way, and nothing is to be committed.
QString WriteSplit(RowWrites& writes, const ActionRequest& split);

// The action of a decided split, carrying what the decision read, so that the writer can
// check it and decide again.
ActionRequest DecidedSplit(const SplitRequest& request, const CompetitorSplits& competitor,
                          const SplitOutcome& decided);
// The action as the history lists it: "中間1  20:01.2  09:20:01.2000", "同着 …", "手動 …".
QString SplitActionText(const ActionRequest& split);
