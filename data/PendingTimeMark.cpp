#include "data/PendingTimeMark.h"

#include "data/CapturedWrites.h"
#include "data/StatementLines.h"

int MarkTime(CapturedWrites& writes, const QString& time, const QString& from, const QString& to) {
    QStringList where = {RaceLine(QStringLiteral("where tcode = ")),
                         ValueLine(QStringLiteral("and tm = "), time)};
    if (!from.isEmpty())
        where << ValueLine(QStringLiteral("and sumi = "), from);
    return writes.Update(QStringLiteral("tdc_mid"), {QStringLiteral("id"), QStringLiteral("tm")},
                         where, {QStringLiteral("sumi")}, {to});
}
