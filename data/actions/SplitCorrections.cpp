#include "data/actions/SplitCorrections.h"

#include "data/actions/GivenBackTime.h"
#include "data/actions/StampColumns.h"
#include "data/actions/TakenStamp.h"
#include "data/rules/SplitRules.h"
#include "data/sql/StatementLines.h"

namespace {

QStringList SplitCells(const QString& name) {
    QStringList cells;
    for (int k = 1; k <= SplitColumns; ++k)
        cells << QStringLiteral("%1%2").arg(name).arg(k);
    return cells;
}

} // namespace

CancelOutcome WriteCancel(CapturedWrites& writes, TQuery& query, const QString& zek, int n,
                          const QString& passing) {
    // A split never written has no time to give back.
    if (passing.isEmpty())
        return {};
    const int cleared =
        writes.Update(QStringLiteral("result"), {QStringLiteral("tcode"), QStringLiteral("zek")},
                      {RaceLine(QStringLiteral("where tcode = ")) +
                       ValueLine(QStringLiteral(" and zek = "), zek) +
                       ValueLine(QStringLiteral(" and BINARY midfin%1 = ").arg(n), passing)},
                      {QStringLiteral("midfin%1").arg(n), QStringLiteral("midtime%1").arg(n)},
                      {QStringLiteral(""), QStringLiteral("")});
    if (cleared == 0)
        return {};
    writes.Delete(QStringLiteral("midjyun"),
                  {RaceLine(QStringLiteral("where tcode = ")),
                   ValueLine(QStringLiteral("and bib = "), PassingLogBib(zek)) +
                       ValueLine(QStringLiteral(" and tod = "), passing)},
                  PassingLogColumns);
    CancelOutcome outcome{true, GiveBackTakenStamp(writes, query, zek, n, passing), {}};
    outcome.changes = writes.Changes();
    return outcome;
}

void WriteReset(CapturedWrites& writes) {
    const QString race = RaceLine(QStringLiteral("where tcode = "));
    const QStringList cells =
        SplitCells(QStringLiteral("midtime")) + SplitCells(QStringLiteral("midfin"));
    QStringList unset;
    for (const QString& cell : cells)
        unset << QStringLiteral("BINARY %1 <=> ''").arg(cell);
    // Only the rows that hold a split are read and kept.
    writes.Update(QStringLiteral("result"), {QStringLiteral("tcode"), QStringLiteral("zek")},
                  {race, QStringLiteral("and not (") + unset.join(QStringLiteral(" and ")) +
                             QLatin1Char(')')},
                  cells, QStringList(cells.size(), QStringLiteral("")));
    writes.Update(QStringLiteral("tdc_mid"), StampRowKey(),
                  {race, QStringLiteral("and not (BINARY sumi <=> '0')")}, {QStringLiteral("sumi")},
                  {QStringLiteral("0")});
    writes.Delete(QStringLiteral("midjyun"), {race}, PassingLogColumns);
    ForgetTakenStamps(writes);
}
