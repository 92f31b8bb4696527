#include "data/actions/OwnTable.h"

#include "data/sql/DatabaseError.h"
#include "data/sql/RunStatement.h"
#include "data/sql/TQuery.h"

namespace {

// ER_NO_SUCH_TABLE
const QString NoSuchTable = QStringLiteral("1146");
// ER_TABLEACCESS_DENIED_ERROR: the user may read and write the race, not add tables to it.
const QString CreateDenied = QStringLiteral("1142");

} // namespace

bool OwnTable::Ensure(TQuery& query) {
    // Looked for first: creating needs a right that reading does not.
    try {
        query.SetSQL({QStringLiteral("select 1 from %1 limit 0").arg(name_)});
        query.Open();
        query.Close();
        return kept_ = true;
    } catch (const DatabaseError& error) {
        if (error.nativeCode() != NoSuchTable)
            throw;
    }
    try {
        RunStatement(query, createLines_);
    } catch (const DatabaseError& error) {
        if (error.nativeCode() != CreateDenied)
            throw;
        return kept_ = false;
    }
    return kept_ = true;
}
