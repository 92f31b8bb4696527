#include "data/SplitRules.h"

#include <algorithm>

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

bool ReachesMinimum(int elapsedMs, int minutes) {
    // In 64 bits: a large minimum typed into the box must not wrap into a small one.
    return elapsedMs >= static_cast<qint64>(minutes) * 60'000;
}

QString PassingLogBib(const QString& bib) {
    return bib.size() == 4 ? bib.mid(1) : bib;
}
