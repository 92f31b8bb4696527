#include "data/reads/PassingLogBib.h"

#include "data/rules/SplitRules.h"

#include <QStringList>

QString PassingLogWholeBibColumn() {
    // Every bib the log's text may stand for, so that the result row is found by its key.
    QStringList bibs = {QStringLiteral("midjyun.bib")};
    for (char digit = '0'; digit <= '9'; ++digit)
        bibs << QStringLiteral("concat('%1', midjyun.bib)").arg(QLatin1Char(digit));
    QStringList passings;
    for (int n = 1; n <= SplitColumns; ++n)
        passings << QStringLiteral("r.midfin%1").arg(n);
    return QStringLiteral("coalesce((select cast(r.zek as binary) from result r "
                          "where r.tcode = midjyun.tcode and r.zek in (%1) and midjyun.tod in "
                          "(%2) limit 1), cast(midjyun.bib as binary)) as zek")
        .arg(bibs.join(QStringLiteral(", ")), passings.join(QStringLiteral(", ")));
}
