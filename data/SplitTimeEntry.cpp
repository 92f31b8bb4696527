#include "data/SplitTimeEntry.h"

#include "common/uComm.h"

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

QString TimeOfDayText(qint64 ms) {
    const qint64 inDay = (ms % DayMs + DayMs) % DayMs;
    return QString::asprintf("%02lld:%02lld:%02lld.%03lld0", inDay / 3600000, inDay / 60000 % 60,
                             inDay / 1000 % 60, inDay % 1000);
}
