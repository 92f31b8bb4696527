#include "data/reads/RelayLegList.h"

#include "data/actions/ForcedStartTable.h"
#include "data/reads/DeadHeatMark.h"
#include "data/sql/StatementLines.h"

QStringList RelayLegListStatement(int leg) {
    const QString order = leg == 1 ? QStringLiteral("finishtime") : QStringLiteral("b.runtime");
    return {
        // 備考: the forced start and the dead heat, either or both.
        QStringLiteral("select a.zek,a.num,a.finishtime,a.runtime as runt,b.runtime as runtt,") +
            QStringLiteral("concat_ws(' ', nullif(%1, ''), nullif(%2, '')) as forced")
                .arg(ForcedTeamMark(QStringLiteral("a")), LegDeadHeatMark(QStringLiteral("a"))),
        QStringLiteral("from relaymember a,result b"),
        RaceLine(QStringLiteral("where a.tcode = ")) + QStringLiteral(" and a.tcode = b.tcode"),
        QStringLiteral("and a.zek = b.zek and a.runtime"),
        QStringLiteral("and a.num = '%1' order by %2").arg(leg).arg(order)};
}

