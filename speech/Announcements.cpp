#include "speech/Announcements.h"

#include "speech/SpokenTime.h"

namespace {

QString spokenBib(const QString& bib) {
    QString number = bib.trimmed();
    while (number.size() > 1 && number.startsWith(QLatin1Char('0')))
        number.remove(0, 1);
    return number + QStringLiteral("番");
}

// A time that is not a running time (an empty or unset one) is passed on as it is.
QString spokenTime(const QString& time) {
    const QString counted = TimeInCounters(time);
    return counted.isEmpty() ? time.trimmed() : counted;
}

QString joined(const QString& bib, const QString& where, const QString& time) {
    return spokenBib(bib) + QLatin1Char(' ') + where + QLatin1Char(' ') + spokenTime(time);
}

} // namespace

QString SplitAnnouncement::text() const {
    return joined(bib, QStringLiteral("中間%1").arg(split), splitTime);
}

QString LegFinishAnnouncement::text() const {
    if (leg >= legs)
        return joined(bib, QStringLiteral("ゴール"), teamTime);
    return joined(bib, QStringLiteral("%1走").arg(leg), legTime);
}
