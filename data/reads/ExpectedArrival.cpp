#include "data/reads/ExpectedArrival.h"

#include "data/reads/SnapshotFields.h"
#include "data/reads/SplitPointColumns.h"
#include "data/rules/SplitTimeEntry.h"

QString MedianPaceColumn(const QString& classColumn, const QString& from, const QString& to) {
    return QStringLiteral("median(%1) over (partition by %2) as pace")
        .arg(SecondsBetween(from, to), classColumn);
}

QString ExpectedMsColumn(const QString& start, const QString& secondsToHere) {
    return QStringLiteral("cast(round(1000 * (time_to_sec(%1) + %2)) as signed) as expected")
        .arg(start, secondsToHere);
}

QString ExpectedOrder() {
    return QStringLiteral("order by expected is null, expected, zek");
}

QString ExpectedAtText(const QStringList& row, int expectedColumn) {
    const std::optional<qint64> ms = NumberField(row, expectedColumn);
    return ms ? TimeOfDayText(*ms) : QString();
}
