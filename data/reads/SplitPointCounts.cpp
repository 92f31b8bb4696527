#include "data/reads/SplitPointCounts.h"

#include "data/reads/SnapshotFields.h"
#include "data/reads/SplitPointColumns.h"

QStringList SplitPointCountsStatement(const QString& race, int split) {
    return QStringList{QStringLiteral("select count(case when %1 then 1 end) as through,")
                           .arg(TimeIsSet(PassingColumn(split))),
                       QStringLiteral("count(case when %1 then 1 end) as expected")
                           .arg(StillExpected(split))} +
           RunnersAtSplitPoint(race, split);
}

SplitPointCounts SplitPointCountsOf(const ListSnapshot& rows) {
    const int through = SnapshotField(rows, QStringLiteral("through"));
    const int expected = SnapshotField(rows, QStringLiteral("expected"));
    if (rows.rows.empty())
        return {};
    const QStringList& row = rows.rows.front();
    return {static_cast<int>(NumberField(row, through).value_or(0)),
            static_cast<int>(NumberField(row, expected).value_or(0))};
}
