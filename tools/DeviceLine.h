#pragma once
// The text line a timing device sends for one time stamp, e.g.
//   " 0012 C1  12:34:56.7890 00" + CR
// status character, 4-digit number, blank, channel in 4 columns, time of day in 13 columns
// (2 decimals are padded with blanks so the positions stay), blank, "00".

#include <QByteArray>
#include <QChar>
#include <QString>

#include <optional>

// Times of day count ten-thousandths of a second from midnight.
constexpr qint64 kTicksPerSecond = 10000;
constexpr qint64 kTicksPerDay = 24 * 3600 * kTicksPerSecond;

struct DeviceLine {
    QChar status = u' ';
    int number = 0;
    QString channel = QStringLiteral("C1");
    qint64 timeOfDay = 0;
    int decimals = 4; // 4 or 2
};

QByteArray FormatDeviceLine(const DeviceLine& line);

// "HH:MM:SS" with an optional fraction of up to 4 digits; nullopt when malformed.
std::optional<qint64> ParseTimeOfDay(const QString& text);
