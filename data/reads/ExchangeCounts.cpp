#include "data/reads/ExchangeCounts.h"

#include "data/reads/SnapshotFields.h"
#include "data/reads/SplitPointColumns.h"
#include "data/rules/RelayLegs.h"
#include "data/sql/SqlValue.h"

QStringList ExchangeCountsStatement(const QString& race) {
    return {QStringLiteral("select cast(num as unsigned) as leg, count(*) as teams"),
            QStringLiteral("from relaymember where tcode = %1 and %2 group by num")
                .arg(SqlValue(race), TimeIsSet(QStringLiteral("finishtime"))),
            QStringLiteral("union all select RELAYN, 0 from env where tcode = ") + SqlValue(race)};
}

std::vector<int> ExchangeCountsOf(const ListSnapshot& rows) {
    const int leg = SnapshotField(rows, QStringLiteral("leg"));
    const int teams = SnapshotField(rows, QStringLiteral("teams"));
    std::vector<int> counts;
    for (const QStringList& row : rows.rows) {
        const qint64 number = NumberField(row, leg).value_or(0);
        if (number < 1 || number > RelayTimedLegs)
            continue; // a leg the relay page never times
        if (counts.size() < static_cast<size_t>(number))
            counts.resize(number, 0);
        counts[number - 1] += static_cast<int>(NumberField(row, teams).value_or(0));
    }
    return counts;
}
