#include "data/RunStatement.h"

#include "data/TQuery.h"

void RunStatement(TQuery& query, const QStringList& lines) {
    query.SetSQL(lines);
    query.ExecSQL();
}
