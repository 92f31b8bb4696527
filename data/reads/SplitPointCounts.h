#pragma once
// How many runners are through the split point on show, and how many are still expected
// there (see StillExpected in SplitPointColumns.h).

#include "data/sql/TQuery.h"

#include <QString>
#include <QStringList>

struct SplitPointCounts {
    int through = 0;
    int expected = 0;
};

// One row: through, expected.
QStringList SplitPointCountsStatement(const QString& race, int split);
SplitPointCounts SplitPointCountsOf(const ListSnapshot& rows);
