#include "data/sql/Transaction.h"

#include "data/sql/DatabaseError.h"
#include "data/sql/TDatabase.h"

#include <QSqlError>

namespace {

// Throws DatabaseError when the connection refuses to begin a transaction.
void Begin(TDatabase& database) {
    database.ReconnectIfLost();
    QSqlDatabase connection = database.Connection();
    if (connection.transaction())
        return;
    const DatabaseError error = DatabaseError::FromSqlError(connection.lastError());
    // The next statement connects anew rather than try the dead connection again.
    if (error.isConnectionLost())
        database.MarkConnectionLost();
    throw error;
}

} // namespace

Transaction::Transaction(TDatabase& database) : database_(database) {
    try {
        Begin(database_);
    } catch (const DatabaseError& error) {
        // Nothing has been done yet: a connection that died while idle is made anew.
        if (!error.wasNeverSent())
            throw;
        Begin(database_);
    }
    database_.SetInTransaction(true);
}

Transaction::~Transaction() {
    if (!open_)
        return;
    database_.SetInTransaction(false);
    // Nothing was committed; a rollback that fails (the connection is gone) leaves nothing
    // either, since the server drops an open transaction with its connection.
    QSqlDatabase connection = database_.Connection();
    if (!connection.rollback())
        database_.MarkConnectionLost();
}

void Transaction::Commit() {
    QSqlDatabase connection = database_.Connection();
    if (!connection.commit()) {
        const DatabaseError error = DatabaseError::FromSqlError(connection.lastError());
        if (error.isConnectionLost())
            database_.MarkConnectionLost();
        throw error;
    }
    open_ = false;
    database_.SetInTransaction(false);
}
