#include "data/reads/NotPassedList.h"

#include "data/reads/ExpectedArrival.h"
#include "data/reads/SnapshotFields.h"
#include "data/reads/SplitPointColumns.h"
#include "data/sql/SqlValue.h"
#include "data/sql/StatementLines.h"

#include <functional>

namespace {

// What the runner's last passing before `split` gives: the value of the highest split below
// it with a time, `atStart` when there is none.
QString ByLastPassing(int split, const std::function<QString(int)>& valueAt,
                      const QString& atStart) {
    if (split == 1)
        return atStart;
    QString choice = QStringLiteral("case");
    for (int k = split - 1; k >= 1; --k)
        choice += QStringLiteral(" when %1 then %2").arg(TimeIsSet(PassingColumn(k)), valueAt(k));
    return choice + QStringLiteral(" else %1 end").arg(atStart);
}

} // namespace

QStringList NotPassedStatement(const QString& race, int split) {
    const QString passing = PassingColumn(split);
    const QString lastSplit = ByLastPassing(
        split, [](int k) { return QString::number(k); }, QStringLiteral("0"));
    const QString lastPassing =
        ByLastPassing(split, PassingColumn, QStringLiteral("r.startedtime"));
    // Seconds from the start to the expected passing.
    const QString toHere =
        QStringLiteral(
            "case when lastsplit = 0 then pace when ran > 0 then ran * %1 / lastsplit end")
            .arg(split);
    return QStringList{
               QStringLiteral("with paces as (select distinct r.class1,"),
               MedianPaceColumn(QStringLiteral("r.class1"), QStringLiteral("r.startedtime"),
                                passing),
               QStringLiteral("from result r where r.tcode = %1 and %2 and %3),")
                   .arg(SqlValue(race), TimeIsSet(passing),
                        TimeIsSet(QStringLiteral("r.startedtime"))),
               QStringLiteral("waiting as (select r.zek, r.class1, r.startedtime,"),
               QStringLiteral("%1 as lastsplit, %2 as lastpassing").arg(lastSplit, lastPassing)} +
           RunnersAtSplitPoint(race, split) +
           QStringList{
               QStringLiteral("and ") + StillExpected(split) + QStringLiteral("),"),
               QStringLiteral("timed as (select w.*, p.pace, %1 as ran")
                   .arg(SecondsBetween(QStringLiteral("w.startedtime"),
                                       QStringLiteral("w.lastpassing"))),
               QStringLiteral("from waiting w left join paces p on p.class1 = w.class1)"),
               QStringLiteral("select ") +
                   ByteColumns({QStringLiteral("zek"), QStringLiteral("class1"),
                                QStringLiteral("lastpassing")}) +
                   QStringLiteral(", lastsplit,"),
               ExpectedMsColumn(QStringLiteral("startedtime"), toHere),
               QStringLiteral("from timed ") + ExpectedOrder()};
}

std::vector<NotPassedRunner> NotPassedOf(const ListSnapshot& rows) {
    const int zek = SnapshotField(rows, QStringLiteral("zek"));
    const int className = SnapshotField(rows, QStringLiteral("class1"));
    const int lastSplit = SnapshotField(rows, QStringLiteral("lastsplit"));
    const int lastPassing = SnapshotField(rows, QStringLiteral("lastpassing"));
    const int expected = SnapshotField(rows, QStringLiteral("expected"));
    std::vector<NotPassedRunner> runners;
    runners.reserve(rows.rows.size());
    for (const QStringList& row : rows.rows)
        runners.push_back({row.value(zek), row.value(className),
                           static_cast<int>(NumberField(row, lastSplit).value_or(0)),
                           row.value(lastPassing), ExpectedAtText(row, expected)});
    return runners;
}
