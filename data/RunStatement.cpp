#include "data/RunStatement.h"

#include "data/TQuery.h"

int RunStatement(TQuery& query, const QStringList& lines) {
    query.SetSQL(lines);
    return query.ExecSQL();
}
