#include "data/rules/SplitTimeEntry.h"

#include "common/uComm.h"
#include "data/rules/SplitRules.h"

#include <QRegularExpression>

namespace {

constexpr qint64 DayMs = 24LL * 3600 * 1000;

} // namespace

int SplitOfColumn(const QString& column) {
    static const QRegularExpression pattern(QStringLiteral("^midtime([1-5])$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(column);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

std::optional<int> TypedRunningTimeMs(const QString& typed) {
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{1,2})(?::([0-9]{2}))?(?::([0-9]{2}))?(?:\\.([0-9]{1,3}))?$"));
    const QRegularExpressionMatch match = pattern.match(typed.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    // The fields as typed, the leading one the largest unit.
    QList<int> fields = {match.captured(1).toInt()};
    for (int group : {2, 3})
        if (match.hasCaptured(group))
            fields << match.captured(group).toInt();
    if (fields.size() == 3 && fields[0] >= 24)
        return std::nullopt;
    for (int k = fields.size() == 3 ? 1 : 0; k < fields.size(); ++k)
        if (fields[k] >= 60)
            return std::nullopt;
    int seconds = 0;
    for (int field : fields)
        seconds = seconds * 60 + field;
    const int fraction = match.captured(4).leftJustified(3, QLatin1Char('0')).toInt();
    return seconds * 1000 + fraction;
}

std::optional<QString> SplitTimeEntry(const QString& typed) {
    if (typed.trimmed().isEmpty())
        return QStringLiteral(""); // not null: NULL is no text the list writes
    const std::optional<int> ms = TypedRunningTimeMs(typed);
    if (!ms)
        return std::nullopt;
    return MsToTenthsText(*ms);
}

QString SplitTimeFormMessage(int split, const QString& typed) {
    return QStringLiteral("中間%1 には 12:34.5 や 1:02:03.4 の形のタイムを入力してください"
                          "（空にすると中間%1 を取り消します）。「%2」は入力できません。")
        .arg(split)
        .arg(typed.trimmed());
}

QStringList SplitTimesOf(const QStringList& fieldNames, const QStringList& row) {
    QStringList splitTimes(SplitColumns);
    for (int column = 0; column < fieldNames.size(); ++column)
        if (const int split = SplitOfColumn(fieldNames[column]); split > 0)
            splitTimes[split - 1] = row.value(column);
    return splitTimes;
}

QString SplitOrderRefusal(int split, const QString& splitTime, const QStringList& splitTimes) {
    const std::optional<int> ms = TypedRunningTimeMs(splitTime);
    if (!ms)
        return {};
    const auto refusal = [&](int neighbour, const QString& side) {
        return QStringLiteral("中間%1 %2 は 中間%3 %4 より%5です。")
            .arg(split)
            .arg(splitTime.trimmed())
            .arg(neighbour)
            .arg(splitTimes.value(neighbour - 1).trimmed(), side);
    };
    for (int before = split - 1; before >= 1; --before)
        if (const auto neighbourMs = TypedRunningTimeMs(splitTimes.value(before - 1))) {
            if (*ms < *neighbourMs)
                return refusal(before, QStringLiteral("前"));
            break;
        }
    for (int after = split + 1; after <= splitTimes.size(); ++after)
        if (const auto neighbourMs = TypedRunningTimeMs(splitTimes.value(after - 1))) {
            if (*ms > *neighbourMs)
                return refusal(after, QStringLiteral("後"));
            break;
        }
    return {};
}

QString TimeOfDayText(qint64 ms) {
    const qint64 inDay = (ms % DayMs + DayMs) % DayMs;
    return QString::asprintf("%02lld:%02lld:%02lld.%03lld0", inDay / 3600000, inDay / 60000 % 60,
                             inDay / 1000 % 60, inDay % 1000);
}
