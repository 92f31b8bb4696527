#pragma once
// The runners still expected at the split point on show (see StillExpected in
// SplitPointColumns.h), the soonest expected first, with the time of day each should pass.
//
// With no distances in the race database the split points count as equally spaced: a runner
// with split k is expected at start + (running time to split k) / k * N. A runner with no
// split yet is expected at start + the median running time to split N of the class's runners
// already through, unknown while nobody of the class is. Times wrap past midnight as
// MeasuredMs does. The server works this out and orders the list, so that a read of the first
// screenful brings back a screenful, whatever the size of the race.

#include "data/sql/TQuery.h"

#include <QString>
#include <QStringList>
#include <vector>

struct NotPassedRunner {
    QString zek;         // as stored
    QString className;   // result.class1
    int lastSplit = 0;   // 0: no split yet (the last passing is the start)
    QString lastPassing; // time of day of the last passing (the start when lastSplit == 0)
    QString expectedAt;  // time of day expected here, four decimals; empty when unknown
};

// Ordered by the expected time (reckoned from the runner's start, so past midnight comes
// after the evening), unknown last, then by zek. A read window takes the first rows.
QStringList NotPassedStatement(const QString& race, int split);
std::vector<NotPassedRunner> NotPassedOf(const ListSnapshot& rows);
