#include "data/reads/PassingsPerMinute.h"

#include "data/reads/SnapshotFields.h"
#include "data/reads/SplitPointColumns.h"
#include "data/sql/SqlValue.h"

namespace {

constexpr int MinutesOfDay = 24 * 60;

// The minute of the day of "HH:MM"; none for anything else.
std::optional<int> MinuteOfDay(const QString& text) {
    const QTime time = QTime::fromString(text, QStringLiteral("HH:mm"));
    return time.isValid() ? std::optional(time.msecsSinceStartOfDay() / 60'000) : std::nullopt;
}

} // namespace

QStringList PassingsPerMinuteStatement(const QString& race, int split) {
    const QString minute = QStringLiteral("left(%1, 5)").arg(PassingColumn(split));
    return {QStringLiteral("select cast(%1 as binary) as minute, count(*) as passings").arg(minute),
            QStringLiteral("from result r where r.tcode = %1 and %2")
                .arg(SqlValue(race), TimeIsSet(PassingColumn(split))),
            QStringLiteral("group by ") + minute};
}

std::vector<int> PassingsPerMinuteOf(const ListSnapshot& rows, QTime now) {
    const int minute = SnapshotField(rows, QStringLiteral("minute"));
    const int passings = SnapshotField(rows, QStringLiteral("passings"));
    const int nowMinute = now.msecsSinceStartOfDay() / 60'000;
    std::vector<int> counts(PassingMinutesShown, 0);
    for (const QStringList& row : rows.rows) {
        const std::optional<int> passed = MinuteOfDay(row.value(minute));
        if (!passed)
            continue; // no time of day: nothing to place on the chart
        const int minutesAgo = (nowMinute - *passed + MinutesOfDay) % MinutesOfDay;
        if (minutesAgo < PassingMinutesShown)
            counts[PassingMinutesShown - 1 - minutesAgo] +=
                static_cast<int>(NumberField(row, passings).value_or(0));
    }
    return counts;
}
