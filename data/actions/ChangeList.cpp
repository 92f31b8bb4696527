#include "data/actions/ChangeList.h"

#include "data/actions/OwnTable.h"
#include "data/sql/SqlValue.h"
#include "data/sql/StatementLines.h"

namespace {

// How far back a read looks again, in numbers.
constexpr qint64 Overlap = 50;

OwnTable& Table() {
    static OwnTable table(
        QStringLiteral("midchange"),
        {QStringLiteral("create table if not exists midchange (seq BIGINT NOT NULL "
                        "AUTO_INCREMENT, tcode VARCHAR(20) NOT NULL DEFAULT '',"),
         QStringLiteral("zek VARCHAR(10) NOT NULL DEFAULT '', PRIMARY KEY (seq), KEY "
                        "midchange_race (tcode, seq))"),
         QStringLiteral("ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci")});
    return table;
}

QString After(qint64 seen) {
    return RaceLine(QStringLiteral("where tcode = ")) +
           QStringLiteral(" and seq > %1").arg(seen > Overlap ? seen - Overlap : 0);
}

} // namespace

bool EnsureChangeListTable(TQuery& query) {
    return Table().Ensure(query);
}

bool ChangeListKept() {
    return Table().Kept();
}

void AssumeChangeListKept(bool kept) {
    Table().Assume(kept);
}

QStringList ChangeListLines(const QStringList& zeks) {
    QStringList rows;
    for (const QString& zek : zeks.isEmpty() ? QStringList{QString()} : zeks)
        rows << QLatin1Char('(') + SqlValueList({StatementRace(), zek}) + QLatin1Char(')');
    return {QStringLiteral("insert into midchange (tcode, zek) values ") + rows.join(',')};
}

QStringList ChangesAfterStatement(qint64 seen) {
    return {QStringLiteral("select coalesce(max(seq), %1) as last, coalesce(max(if(zek = '', "
                           "seq, 0)), 0) as whole from midchange")
                .arg(seen),
            After(seen)};
}

QStringList LastChangeStatement() {
    return ChangesAfterStatement(0);
}

QString ChangedBibsCondition(qint64 seen, qint64 wholeSeen) {
    return QStringLiteral("(zek in (select zek from midchange ") + After(seen) +
           QStringLiteral(") or exists (select 1 from midchange ") +
           RaceLine(QStringLiteral("where tcode = ")) +
           QStringLiteral(" and zek = '' and seq > %1))").arg(wholeSeen);
}
