#include "RunStatement.h"

#include "data/TQuery.h"

void RunStatement(TQuery& query, const QStringList& lines) {
    query.Clear();
    for (const QString& line : lines)
        query.Add(line);
    query.ExecSQL();
}
