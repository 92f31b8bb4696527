#pragma once
// When a runner still out is expected, as the lists of who is still to come reckon it: from
// the start of the stretch the runner is on and a pace, the median time the runners of the
// same class already through took over it. The server works it out, so that the lists come
// ordered by it and a read of the first screenful is the soonest expected.

#include <QString>
#include <QStringList>

// "median(seconds from `from` to `to`) over the class as pace", for a select of the runners
// already through, partitioned by `classColumn`.
QString MedianPaceColumn(const QString& classColumn, const QString& from, const QString& to);
// The expected time of day in milliseconds, named "expected": `start` plus `secondsToHere`
// (NULL while the pace is unknown).
QString ExpectedMsColumn(const QString& start, const QString& secondsToHere);
// The soonest expected first, unknown last, then by bib.
QString ExpectedOrder();
// The expected time of day from the field of ExpectedMsColumn, four decimals; empty when
// unknown.
QString ExpectedAtText(const QStringList& row, int expectedColumn);
