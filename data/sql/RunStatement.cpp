#include "data/sql/RunStatement.h"

#include "data/sql/TQuery.h"

int RunStatement(TQuery& query, const QStringList& lines) {
    query.SetSQL(lines);
    return query.ExecSQL();
}
