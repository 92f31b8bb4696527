#include "data/reads/ExchangeTeams.h"

#include "data/reads/ExpectedArrival.h"
#include "data/reads/SnapshotFields.h"
#include "data/reads/SplitPointColumns.h"
#include "data/sql/SqlValue.h"
#include "data/sql/StatementLines.h"

#include <algorithm>

QStringList ExchangeTeamsStatement(const QString& race, int exchange) {
    const QString raceValue = SqlValue(race);
    const QString leg = SqlValue(QString::number(exchange));
    const QString nextLeg = SqlValue(QString::number(exchange + 1));
    // Legs still to run to here, the one under way counted whole.
    const QString toHere = QStringLiteral("(%1 - runningleg + 1) * pace").arg(exchange);
    return {
        QStringLiteral("with paces as (select distinct l.class1,") +
            MedianPaceColumn(QStringLiteral("l.class1"), QStringLiteral("l.startedtime"),
                             QStringLiteral("l.finishtime")),
        QStringLiteral("from relaymember l where l.tcode = %1 and l.num = %2 and %3 and %4),")
            .arg(raceValue, leg, TimeIsSet(QStringLiteral("l.startedtime")),
                 TimeIsSet(QStringLiteral("l.finishtime"))),
        QStringLiteral("due as (select m.zek, m.class1, (select max(r.num + 0) from relaymember r"),
        QStringLiteral(
            "where r.tcode = m.tcode and r.zek = m.zek and r.num + 0 <= %1 and %2 and %3)"
            " as runningleg")
            .arg(exchange)
            .arg(TimeIsSet(QStringLiteral("r.startedtime")),
                 TimeIsUnset(QStringLiteral("r.finishtime"))),
        QStringLiteral("from relaymember m where m.tcode = %1 and m.num = %2 and %3),")
            .arg(raceValue, leg, TimeIsUnset(QStringLiteral("m.finishtime"))),
        QStringLiteral("timed as (select d.*, s.startedtime as legstart, p.pace,"),
        QStringLiteral("case when not exists(select 1 from env e where e.tcode = %1 and "
                       "e.class = d.class1 and e.RELAYN > %2) then 0")
            .arg(raceValue)
            .arg(exchange),
        QStringLiteral("when %1 then 1 else 2 end as nextleg")
            .arg(TimeIsUnset(QStringLiteral("coalesce(n.startedtime, '')"))),
        QStringLiteral("from due d join relaymember s on s.tcode = %1 and s.zek = d.zek and "
                       "s.num + 0 = d.runningleg")
            .arg(raceValue),
        QStringLiteral("left join relaymember n on n.tcode = %1 and n.zek = d.zek and n.num = %2")
            .arg(raceValue, nextLeg),
        QStringLiteral("left join paces p on p.class1 = d.class1)"),
        QStringLiteral("select ") +
            ByteColumns(
                {QStringLiteral("zek"), QStringLiteral("class1"), QStringLiteral("legstart")}) +
            QStringLiteral(", runningleg, nextleg,"),
        ExpectedMsColumn(QStringLiteral("legstart"), toHere),
        QStringLiteral("from timed ") + ExpectedOrder()};
}

std::vector<ExchangeTeam> ExchangeTeamsOf(const ListSnapshot& rows) {
    const int zek = SnapshotField(rows, QStringLiteral("zek"));
    const int className = SnapshotField(rows, QStringLiteral("class1"));
    const int legStart = SnapshotField(rows, QStringLiteral("legstart"));
    const int runningLeg = SnapshotField(rows, QStringLiteral("runningleg"));
    const int nextLeg = SnapshotField(rows, QStringLiteral("nextleg"));
    const int expected = SnapshotField(rows, QStringLiteral("expected"));
    std::vector<ExchangeTeam> teams;
    teams.reserve(rows.rows.size());
    for (const QStringList& row : rows.rows)
        teams.push_back({row.value(zek), row.value(className),
                         static_cast<int>(NumberField(row, runningLeg).value_or(0)),
                         row.value(legStart), ExpectedAtText(row, expected),
                         static_cast<ExchangeTeam::NextLeg>(
                             std::clamp<qint64>(NumberField(row, nextLeg).value_or(0), 0, 2))});
    return teams;
}

QStringList TeamsAForcedStartTakes(const std::vector<ExchangeTeam>& due) {
    QStringList teams;
    for (const ExchangeTeam& team : due)
        if (team.next == ExchangeTeam::NextLeg::Waiting)
            teams << team.zek;
    teams.sort();
    return teams;
}
