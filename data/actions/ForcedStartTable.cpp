#include "data/actions/ForcedStartTable.h"

#include "data/actions/OwnTable.h"
#include "data/sql/SqlValue.h"

namespace {

OwnTable& Table() {
    static OwnTable table(
        ForcedStartTable,
        {QStringLiteral("create table if not exists midforced ("),
         QStringLiteral("tcode VARCHAR(20) NOT NULL DEFAULT '', zek VARCHAR(10) NOT NULL "
                        "DEFAULT '', leg VARCHAR(4) NOT NULL DEFAULT '',"),
         QStringLiteral("startedtime VARCHAR(20) NOT NULL DEFAULT '', aid VARCHAR(40) NOT "
                        "NULL DEFAULT '',"),
         QStringLiteral("KEY midforced_leg (tcode, zek, leg))"),
         QStringLiteral("ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci")});
    return table;
}

} // namespace

QStringList ForcedStartColumns() {
    return {QStringLiteral("tcode"), QStringLiteral("zek"), QStringLiteral("leg"),
            QStringLiteral("startedtime"), QStringLiteral("aid")};
}

const QString NoForcedStartTableMessage =
    QStringLiteral("このデータベースには繰上スタートを記録する表 midforced がなく、作成する権限も"
                   "ありません。繰上スタートは記録できません。");

bool ForcedStartsKept() {
    return Table().Kept();
}

bool EnsureForcedStartTable(TQuery& query) {
    return Table().Ensure(query);
}

QString ForcedLegColumn() {
    if (!ForcedStartsKept())
        return QStringLiteral("0 as forced");
    return QStringLiteral("exists(select 1 from midforced f where f.tcode = relaymember.tcode and "
                          "f.zek = relaymember.zek and f.leg = relaymember.num) as forced");
}

QString ForcedTeamMark(const QString& alias) {
    if (!ForcedStartsKept())
        return QStringLiteral("''");
    return QStringLiteral("if(exists(select 1 from midforced f where f.tcode = %1.tcode and "
                          "f.zek = %1.zek), %2, '')")
        .arg(alias, SqlValue(QStringLiteral("繰上")));
}
