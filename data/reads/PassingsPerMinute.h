#pragma once
// Runners through the split point on show per minute, over the hour up to now.

#include "data/sql/TQuery.h"

#include <QString>
#include <QStringList>
#include <QTime>
#include <vector>

constexpr int PassingMinutesShown = 60;

// Rows: minute ("HH:MM" of the passings' time of day), passings. At most one a minute of the
// day, counted on the server from the index of the split's passings.
QStringList PassingsPerMinuteStatement(const QString& race, int split);
// PassingMinutesShown counts, oldest minute first, the last one the minute of `now`. The hour
// before 00:30 reaches back past midnight; a minute after `now` (a device clock ahead of this
// one) is not shown.
std::vector<int> PassingsPerMinuteOf(const ListSnapshot& rows, QTime now);
