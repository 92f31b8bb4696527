#pragma once
// Statement pieces the split point's lists share: which runners are through a split point,
// which are still expected there, and times of day as seconds for the server's arithmetic.
// The lists of a large race are counted, grouped and ordered on the server, so that the list
// reader brings back a screenful of rows, not the race.

#include <QString>
#include <QStringList>

// The result column of the time of day at `split` (1 .. 5) of the runner `r`: "r.midfin2".
// Throws std::invalid_argument for a split the result row has no column for.
QString PassingColumn(int split);

// Whether a time-of-day column holds a time: neither empty nor the blank time mask.
QString TimeIsSet(const QString& column);
QString TimeIsUnset(const QString& column);

// Seconds from one time-of-day column to another, wrapping past midnight as MeasuredMs does
// (SplitRules.h); NULL when either holds no time of day.
QString SecondsBetween(const QString& from, const QString& to);

// The runners `r` of the race, each with `c.class` set when the runner's class has `split`,
// followed by the "where" line of the race: more conditions go on with "and".
QStringList RunnersAtSplitPoint(const QString& race, int split);

// Whether runner `r` of RunnersAtSplitPoint is still expected at `split`: started, not out,
// not finished, of a class that has the split, and past neither this split nor a later one.
// A status letter is the suite's word that the runner is out (did not start, gave up,
// disqualified) or finished: for a runner of a lap race it stays empty while the runner is
// on the course.
QString StillExpected(int split);
