#include "data/actions/DecisionState.h"

#include "data/actions/ForcedStartTable.h"
#include "data/actions/RelayDecision.h"
#include "data/actions/SplitDecision.h"
#include "data/rules/SplitRules.h"
#include "data/sql/SqlValue.h"
#include "data/sql/StatementLines.h"

#include <algorithm>

namespace {

const QChar CellSeparator = QLatin1Char(',');
const QChar TeamSeparator = QLatin1Char('|');
const QChar LegSeparator = QLatin1Char(';');
const QChar FieldSeparator = QLatin1Char(':');
constexpr int SplitStartColumns = SplitColumns - 1; // midst2 .. midst5

QString Hex(const QString& value) {
    return QString::fromLatin1(ShiftJisBytes(value).toHex().toUpper());
}

QString Unhex(const QString& hex) {
    return FromShiftJisBytes(QByteArray::fromHex(hex.toLatin1()));
}

// A column's bytes in hex, as Hex gives a value: NULL reads as empty.
QString HexColumn(const QString& column) {
    return QStringLiteral("hex(cast(coalesce(%1, '') as binary))").arg(column);
}

QStringList SplitCellColumns() {
    QStringList columns;
    for (const char* name : {"midtime", "midfin"})
        for (int k = 1; k <= SplitColumns; ++k)
            columns << QStringLiteral("r.%1%2").arg(QLatin1String(name)).arg(k);
    for (int k = 2; k <= SplitColumns; ++k)
        columns << QStringLiteral("r.midst%1").arg(k);
    return columns;
}

} // namespace

QString CompetitorStateText(const CompetitorSplits& competitor) {
    if (!competitor.registered)
        return {};
    QStringList cells = {Hex(competitor.start), QString::number(competitor.lapn)};
    for (int k = 0; k < SplitColumns; ++k)
        cells << Hex(competitor.splitTimes.value(k));
    for (int k = 0; k < SplitColumns; ++k)
        cells << Hex(competitor.passings.value(k));
    for (int k = 0; k < SplitStartColumns; ++k)
        cells << Hex(competitor.splitStarts.value(k));
    return cells.join(CellSeparator);
}

CompetitorSplits CompetitorFromState(const QString& state) {
    CompetitorSplits competitor;
    const QStringList cells = state.split(CellSeparator);
    competitor.registered = !state.isEmpty();
    competitor.start = Unhex(cells.value(0));
    competitor.lapn = cells.value(1).toInt();
    for (int k = 0; k < SplitColumns; ++k) {
        competitor.splitTimes << Unhex(cells.value(2 + k));
        competitor.passings << Unhex(cells.value(2 + SplitColumns + k));
    }
    for (int k = 0; k < SplitStartColumns; ++k)
        competitor.splitStarts << Unhex(cells.value(2 + 2 * SplitColumns + k));
    return competitor;
}

QString TeamStateText(const RelayTeam& team) {
    if (!team.registered)
        return {};
    QStringList legs;
    for (int k = 1; k <= int(team.timed.size()); ++k) {
        const RelayLeg& leg = team.timed[k - 1];
        legs << QStringList{QString::number(k), Hex(leg.start), Hex(leg.finish),
                            leg.forcedStart ? QStringLiteral("1") : QStringLiteral("0")}
                    .join(FieldSeparator);
    }
    return QString::number(team.legs) + TeamSeparator + legs.join(LegSeparator);
}

RelayTeam TeamFromState(const QString& bib, const QString& state) {
    RelayTeam team{bib, !state.isEmpty(), {}, 0, {}, {}, {}};
    team.legs = state.section(TeamSeparator, 0, 0).toInt();
    team.timed.resize(std::clamp(team.legs, 0, RelayTimedLegs));
    const QString legs = state.section(TeamSeparator, 1);
    for (const QString& leg : legs.split(LegSeparator, Qt::SkipEmptyParts)) {
        const QStringList fields = leg.split(FieldSeparator);
        const int k = fields.value(0).toInt();
        if (k >= 1 && k <= int(team.timed.size()))
            team.timed[k - 1] = {Unhex(fields.value(1)), Unhex(fields.value(2)),
                                 fields.value(3) == QLatin1String("1")};
    }
    if (!team.timed.empty())
        team.start = team.timed.front().start;
    team.statement = ShownStatement(TeamReadLines(bib)).join(QStringLiteral("\r\n"));
    return team;
}

QStringList CompetitorStateStatements(const QString& bib) {
    QStringList cells = {HexColumn(QStringLiteral("r.startedtime")),
                         QStringLiteral("coalesce(e.lapn, 0)")};
    for (const QString& column : SplitCellColumns())
        cells << HexColumn(column);
    // One row a bib; should the race hold two, one of them stands, the same every time.
    return {QStringLiteral("SELECT coalesce(min(concat_ws(',', %1)), '') INTO {state}")
                .arg(cells.join(QStringLiteral(", "))),
            QStringLiteral("FROM result r LEFT JOIN env e ON e.tcode = r.tcode AND e.class = "
                           "r.class1"),
            RaceLine(QStringLiteral("WHERE r.tcode = ")),
            ValueLine(QStringLiteral("AND r.zek = "), bib), QStringLiteral("FOR UPDATE;")};
}

QStringList TeamStateStatements(const QString& bib) {
    const QString team = RaceLine(QStringLiteral("m.tcode = ")) + QStringLiteral(" AND ") +
                         ValueLine(QStringLiteral("m.zek = "), bib);
    const QString forced =
        ForcedStartsKept()
            ? QStringLiteral("if(exists(select 1 from midforced f where f.tcode = m.tcode and "
                             "f.zek = m.zek and f.leg = m.num), '1', '0')")
            : QStringLiteral("'0'");
    return {
        // The class of leg 1's row gives the legs.
        QStringLiteral("SELECT coalesce(max(e.RELAYN), 0) INTO {scratch} FROM env e"),
        RaceLine(QStringLiteral("WHERE e.tcode = ")),
        QStringLiteral("AND e.class = (SELECT m.class1 FROM relaymember m WHERE ") + team +
            QStringLiteral(" ORDER BY m.num + 0 LIMIT 1);"),
        QStringLiteral("SELECT if(count(*) = 0, '', concat({scratch}, '|', "
                       "coalesce(group_concat(if(m.num + 0 BETWEEN 1 AND least({scratch}, %1), "
                       "concat_ws(':', m.num + 0, %2, %3, %4), NULL) ORDER BY m.num + 0 "
                       "SEPARATOR ';'), ''))) INTO {state}")
            .arg(RelayTimedLegs)
            .arg(HexColumn(QStringLiteral("m.startedtime")),
                 HexColumn(QStringLiteral("m.finishtime")), forced),
        QStringLiteral("FROM relaymember m WHERE ") + team, QStringLiteral("FOR UPDATE;")};
}
