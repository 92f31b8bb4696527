#include "data/rules/SplitRules.h"

#include "common/uComm.h"

#include <algorithm>
#include <cstdlib>

int NextSplitNo(const QStringList& splitTimes) {
    int next = 1;
    for (int k = 0; k < splitTimes.size(); ++k) {
        if (!splitTimes[k].isEmpty())
            next = k + 2;
    }
    return next;
}

int SplitLimitOfClass(int lapn) {
    return std::min(lapn, SplitColumns);
}

QString MinutesEntry(const QString& boxText) {
    QString minutes = boxText;
    minutes.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    return minutes.trimmed();
}

std::optional<int> MinimumMinutesOf(const QString& boxText) {
    const QString minutes = MinutesEntry(boxText);
    const bool digits =
        !minutes.isEmpty() && minutes.size() <= 4 &&
        std::all_of(minutes.begin(), minutes.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits)
        return std::nullopt;
    return minutes.toInt();
}

int MeasuredMs(const QString& from, const QString& to) {
    constexpr int Day = 24 * 3600 * 1000;
    const int ms = TimeTextToMs(to) - TimeTextToMs(from);
    return ms < -Day / 2 ? ms + Day : ms;
}

bool ReachesMinimum(int elapsedMs, int minutes) {
    // In 64 bits: a large minimum typed into the box must not wrap into a small one.
    return elapsedMs >= static_cast<qint64>(minutes) * 60'000;
}

namespace {
// "1:02:03", "-0:00:02": whole seconds, as the elapsed time reads beside a time of day.
QString ElapsedClockText(int ms) {
    const int seconds = std::abs(ms) / 1000;
    return QStringLiteral("%1%2:%3:%4")
        .arg(ms < 0 ? QStringLiteral("-") : QString())
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

QString TooShortMessage(const QString& fromName, const QString& from, int elapsedMs, int minutes) {
    const QString shownFrom = from.trimmed().isEmpty() ? QStringLiteral("なし") : from.left(10);
    return QStringLiteral("最短計測時間に達していません（%1 %2、経過 %3、最短 %4 分）")
        .arg(fromName, shownFrom, ElapsedClockText(elapsedMs))
        .arg(minutes);
}

QString PassingLogBib(const QString& bib) {
    return bib.size() == 4 ? bib.mid(1) : bib;
}

QString ShownBib(const QString& bib) {
    bool number = false;
    const int value = bib.trimmed().toInt(&number);
    return number && value >= 0 ? FormatBib4(value) : bib;
}
