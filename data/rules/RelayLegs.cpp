#include "data/rules/RelayLegs.h"

bool IsUnsetTime(const QString& time) {
    return time.isEmpty() || time == QStringLiteral("  :  :  .    ");
}

int RunningLeg(const std::vector<RelayLeg>& legs) {
    for (int k = static_cast<int>(legs.size()); k >= 1; --k) {
        const RelayLeg& leg = legs[k - 1];
        if (!IsUnsetTime(leg.start) && IsUnsetTime(leg.finish))
            return k;
    }
    return 0;
}

bool MayFinishLeg(int leg, int legs, bool lastLegToo) {
    const int counted = lastLegToo ? leg - 1 : leg;
    return counted < legs && legs <= RelayTimedLegs;
}

QString TeamLetterAfterLeg(int leg, int legs) {
    if (leg == legs)
        return QStringLiteral("G");
    static const QString lettersBeforeTheEnd = QStringLiteral("BCDEFHIJK");
    return lettersBeforeTheEnd.mid(leg - 1, 1);
}

QString TenthsForm(const QString& runningTime) {
    const auto dot = runningTime.indexOf(QLatin1Char('.'));
    return dot < 0 ? runningTime : runningTime.left(dot + 2);
}

QString NextLegStart(const QString& finish) {
    return TenthsForm(finish) + QStringLiteral("000");
}
