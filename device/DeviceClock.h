#pragma once
// The timing device's clock beside this machine's, as its stamps show it: a stamp's time of
// day is the device's "now" when the stamp came. While the device sends, the time of day the
// split point's view counts to a cut-off is the device's, which judges the passings; a device
// silent for long gives the view back to this machine's clock.

#include <QDateTime>

#include <optional>

class DeviceClock {
public:
    // A stamp of the device's time `deviceTime` came at `arrived` by this machine's clock.
    void Stamped(QTime deviceTime, const QDateTime& arrived);
    // The device's clock minus this machine's, in ms, while its last stamp is recent.
    std::optional<qint64> OffsetMs(const QDateTime& now) const;
    // The time of day by the device's clock while it sends, else `now`'s.
    QTime Now(const QDateTime& now) const;

private:
    qint64 offsetMs_ = 0;
    QDateTime lastStamp_; // by this machine's clock; invalid before the first
};

// "時計差 +3.2秒", "時計差 -1:02:03" (the device ahead is +); empty within a second.
QString ClockOffsetText(qint64 offsetMs);
