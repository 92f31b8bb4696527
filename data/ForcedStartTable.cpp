#include "data/ForcedStartTable.h"

#include "data/DatabaseError.h"
#include "data/RunStatement.h"
#include "data/SqlValue.h"
#include "data/TQuery.h"

#include <atomic>

namespace {

// ER_NO_SUCH_TABLE
const QString NoSuchTable = QStringLiteral("1146");
// ER_TABLEACCESS_DENIED_ERROR: the user may read and write the race, not add tables to it.
const QString CreateDenied = QStringLiteral("1142");

std::atomic<bool> tableKept{true};

bool Kept(bool kept) {
    tableKept = kept;
    return kept;
}

void CreateTable(TQuery& query) {
    RunStatement(query,
                 {QStringLiteral("create table if not exists midforced ("),
                  QStringLiteral("tcode VARCHAR(20) NOT NULL DEFAULT '', zek VARCHAR(10) NOT NULL "
                                 "DEFAULT '', leg VARCHAR(4) NOT NULL DEFAULT '',"),
                  QStringLiteral("startedtime VARCHAR(20) NOT NULL DEFAULT '', aid VARCHAR(40) NOT "
                                 "NULL DEFAULT '',"),
                  QStringLiteral("KEY midforced_leg (tcode, zek, leg))"),
                  QStringLiteral("ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci")});
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
    return tableKept;
}

bool EnsureForcedStartTable(TQuery& query) {
    // Looked for first: creating needs a right that reading does not.
    try {
        query.SetSQL({QStringLiteral("select 1 from midforced limit 0")});
        query.Open();
        query.Close();
        return Kept(true);
    } catch (const DatabaseError& error) {
        if (error.nativeCode() != NoSuchTable)
            throw;
    }
    try {
        CreateTable(query);
    } catch (const DatabaseError& error) {
        if (error.nativeCode() != CreateDenied)
            throw;
        return Kept(false);
    }
    return Kept(true);
}

QString ForcedLegColumn() {
    if (!ForcedStartsKept())
        return QStringLiteral("0 as forced");
    return QStringLiteral("exists(select 1 from midforced f where f.tcode = relaymember.tcode and "
                          "f.zek = relaymember.zek and f.leg = relaymember.num) as forced");
}

QString ForcedTeamMark(const QString& alias) {
    if (!ForcedStartsKept())
        return QStringLiteral("'' as forced");
    return QStringLiteral("if(exists(select 1 from midforced f where f.tcode = %1.tcode and "
                          "f.zek = %1.zek), %2, '') as forced")
        .arg(alias, SqlValue(QStringLiteral("繰上")));
}
