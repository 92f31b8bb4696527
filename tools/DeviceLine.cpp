#include "tools/DeviceLine.h"

#include <QRegularExpression>

namespace {
QString TimeText(qint64 ticks, int decimals) {
    ticks %= kTicksPerDay;
    const qint64 seconds = ticks / kTicksPerSecond;
    const QString whole = QStringLiteral("%1:%2:%3")
                              .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                              .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                              .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    const qint64 fraction = ticks % kTicksPerSecond;
    if (decimals == 2)
        return QStringLiteral("%1.%2  ").arg(whole).arg(fraction / 100, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1.%2").arg(whole).arg(fraction, 4, 10, QLatin1Char('0'));
}
} // namespace

QByteArray FormatDeviceLine(const DeviceLine& line) {
    const QString text = QStringLiteral("%1%2 %3%4 00\r")
                             .arg(line.status)
                             .arg(line.number % 10000, 4, 10, QLatin1Char('0'))
                             .arg(line.channel.leftJustified(4))
                             .arg(TimeText(line.timeOfDay, line.decimals));
    return text.toLatin1();
}

std::optional<qint64> ParseTimeOfDay(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d\\d):([0-5]\\d):([0-5]\\d)(?:\\.(\\d{1,4}))?$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch() || match.captured(1).toInt() > 23)
        return std::nullopt;
    const qint64 seconds = match.captured(1).toInt() * 3600 + match.captured(2).toInt() * 60 +
                           match.captured(3).toInt();
    const qint64 fraction = match.captured(4).leftJustified(4, QLatin1Char('0')).toLongLong();
    return seconds * kTicksPerSecond + fraction;
}
