#include "device/DeviceClock.h"

#include <QString>

#include <cstdlib>

namespace {

constexpr qint64 DayMs = 24LL * 60 * 60 * 1000;
// A device that sent nothing for this long no longer sets the view's clock.
constexpr qint64 FreshMs = 10LL * 60 * 1000;

} // namespace

void DeviceClock::Stamped(QTime deviceTime, const QDateTime& arrived) {
    // Across midnight the nearer difference is the true one: the clocks are hours apart at most.
    qint64 offset = deviceTime.msecsSinceStartOfDay() - arrived.time().msecsSinceStartOfDay();
    if (offset > DayMs / 2)
        offset -= DayMs;
    else if (offset <= -DayMs / 2)
        offset += DayMs;
    offsetMs_ = offset;
    lastStamp_ = arrived;
}

std::optional<qint64> DeviceClock::OffsetMs(const QDateTime& now) const {
    if (!lastStamp_.isValid() || lastStamp_.msecsTo(now) > FreshMs)
        return std::nullopt;
    return offsetMs_;
}

QTime DeviceClock::Now(const QDateTime& now) const {
    const std::optional<qint64> offset = OffsetMs(now);
    return offset ? now.time().addMSecs(static_cast<int>(*offset)) : now.time();
}

QString ClockOffsetText(qint64 offsetMs) {
    if (std::llabs(offsetMs) <= 1000)
        return {};
    const QChar sign = offsetMs > 0 ? QLatin1Char('+') : QLatin1Char('-');
    const qint64 ms = std::llabs(offsetMs);
    if (ms < 60'000)
        return QStringLiteral("時計差 %1%2秒").arg(sign).arg(ms / 1000.0, 0, 'f', 1);
    return QStringLiteral("時計差 %1%2")
        .arg(sign)
        .arg(QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms % DayMs))
                 .toString(ms >= 3'600'000 ? QStringLiteral("H:mm:ss") : QStringLiteral("m:ss")));
}
