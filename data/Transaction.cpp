#include "Transaction.h"

#include "data/DatabaseError.h"
#include "data/TDatabase.h"

#include <QSqlError>

Transaction::Transaction(TDatabase& database) : database_(database) {
    database_.ReconnectIfLost();
    QSqlDatabase connection = database_.Connection();
    if (!connection.transaction()) {
        const DatabaseError error = DatabaseError::FromSqlError(connection.lastError());
        // The next statement connects anew rather than try the dead connection again.
        if (error.isConnectionLost())
            database_.MarkConnectionLost();
        throw error;
    }
}

Transaction::~Transaction() {
    if (!open_)
        return;
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
}
