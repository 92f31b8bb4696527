#include "data/SplitCorrections.h"

#include "data/PendingTimeMark.h"
#include "data/SplitRules.h"
#include "data/StampColumns.h"
#include "data/StatementLines.h"
#include "data/Transaction.h"

namespace {

QStringList SplitCells(const QString& name) {
    QStringList cells;
    for (int k = 1; k <= SplitColumns; ++k)
        cells << QStringLiteral("%1%2").arg(name).arg(k);
    return cells;
}

} // namespace

SplitCorrections::SplitCorrections(TDatabase& database)
    : database_(database), writing_(database, QStringLiteral("SplitCorrections")) {}

CancelOutcome SplitCorrections::CancelSplit(const QString& zek, int n, const QString& passing,
                                            const StatementLog& log) {
    Transaction transaction(database_);
    CapturedWrites writes(writing_, log);
    CancelOutcome outcome = WriteCancel(writes, writing_, zek, n, passing);
    if (outcome.cancelled)
        transaction.Commit();
    return outcome;
}

std::vector<RowChange> SplitCorrections::ResetRace() {
    Transaction transaction(database_);
    CapturedWrites writes(writing_);
    WriteReset(writes);
    transaction.Commit();
    return writes.Changes();
}

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
    query.SetSQL({RaceLine(QStringLiteral("select count(*) as n from midjyun where tcode = ")),
                  ValueLine(QStringLiteral("and tod = "), passing)});
    query.Open();
    CancelOutcome outcome{true, query.FieldByName(QStringLiteral("n")).AsInteger() > 0, {}};
    query.Close();
    // Made pending while a dead heat's other competitor still holds it, the time would be
    // taken by the next bib as well.
    if (!outcome.timeStillHeld)
        MarkTime(writes, passing, {}, QStringLiteral("0"));
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
}
