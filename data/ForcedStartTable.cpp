#include "data/ForcedStartTable.h"

#include "data/DatabaseError.h"
#include "data/RunStatement.h"
#include "data/SqlValue.h"
#include "data/TQuery.h"

namespace {

// ER_NO_SUCH_TABLE
const QString NoSuchTable = QStringLiteral("1146");

} // namespace

QStringList ForcedStartColumns() {
    return {QStringLiteral("tcode"), QStringLiteral("zek"), QStringLiteral("leg"),
            QStringLiteral("startedtime"), QStringLiteral("aid")};
}

void EnsureForcedStartTable(TQuery& query) {
    // Looked for first: creating needs a right that reading does not.
    try {
        query.SetSQL({QStringLiteral("select 1 from midforced limit 0")});
        query.Open();
        query.Close();
        return;
    } catch (const DatabaseError& error) {
        if (error.nativeCode() != NoSuchTable)
            throw;
    }
    RunStatement(query,
                 {QStringLiteral("create table if not exists midforced ("),
                  QStringLiteral("tcode VARCHAR(20) NOT NULL DEFAULT '', zek VARCHAR(10) NOT NULL "
                                 "DEFAULT '', leg VARCHAR(4) NOT NULL DEFAULT '',"),
                  QStringLiteral("startedtime VARCHAR(20) NOT NULL DEFAULT '', aid VARCHAR(40) NOT "
                                 "NULL DEFAULT '',"),
                  QStringLiteral("KEY midforced_leg (tcode, zek, leg))"),
                  QStringLiteral("ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci")});
}

QString ForcedLegColumn() {
    return QStringLiteral("exists(select 1 from midforced f where f.tcode = relaymember.tcode and "
                          "f.zek = relaymember.zek and f.leg = relaymember.num) as forced");
}

QString ForcedTeamMark(const QString& alias) {
    return QStringLiteral("if(exists(select 1 from midforced f where f.tcode = %1.tcode and "
                          "f.zek = %1.zek), %2, '') as forced")
        .arg(alias, SqlValue(QStringLiteral("繰上")));
}
