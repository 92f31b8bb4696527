#include "data/reads/SplitPointColumns.h"

#include "data/rules/SplitRules.h"
#include "data/sql/SqlValue.h"

#include <stdexcept>

namespace {

// Texts that hold no time of day: nothing, or the blank mask some programs of the suite write.
const QString UnsetTimes = QStringLiteral("('','  :  :  .    ')");

} // namespace

QString PassingColumn(int split) {
    if (split < 1 || split > SplitColumns)
        throw std::invalid_argument("a split point is numbered 1 to 5");
    return QStringLiteral("r.midfin%1").arg(split);
}

QString TimeIsSet(const QString& column) {
    return column + QStringLiteral(" not in ") + UnsetTimes;
}

QString TimeIsUnset(const QString& column) {
    return column + QStringLiteral(" in ") + UnsetTimes;
}

QString SecondsBetween(const QString& from, const QString& to) {
    const QString seconds = QStringLiteral("(time_to_sec(%2) - time_to_sec(%1))").arg(from, to);
    return QStringLiteral("(%1 + if(%1 < -43200, 86400, 0))").arg(seconds);
}

QStringList RunnersAtSplitPoint(const QString& race, int split) {
    // One row per class at most: env may hold a class twice.
    return {QStringLiteral("from result r left join (select distinct class from env"),
            QStringLiteral("where tcode = %1 and lapn >= %2) c on c.class = r.class1")
                .arg(SqlValue(race))
                .arg(split),
            QStringLiteral("where r.tcode = ") + SqlValue(race)};
}

QString StillExpected(int split) {
    QStringList conditions = {
        QStringLiteral("c.class is not null"), TimeIsSet(QStringLiteral("r.startedtime")),
        QStringLiteral("r.status = ''"), TimeIsUnset(QStringLiteral("r.finishtime"))};
    conditions << TimeIsUnset(PassingColumn(split));
    // A later split recorded means this one never will be: the next split a passing becomes
    // is one above the highest recorded.
    for (int later = split + 1; later <= SplitColumns; ++later)
        conditions << TimeIsUnset(PassingColumn(later));
    return QLatin1Char('(') + conditions.join(QStringLiteral(" and ")) + QLatin1Char(')');
}
