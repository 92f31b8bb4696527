#include "data/sql/ConnectionTry.h"

#include "data/sql/ConnectionFailure.h"
#include "data/sql/DatabaseError.h"
#include "data/sql/TDatabase.h"

#include <QAtomicInt>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// The data source's keys as a connection string of their own, so that nothing read earlier
// from the file takes part.
QString ConnectionString(const ServerConnection& connection) {
    QStringList attributes = {
        QStringLiteral("DRIVER={MariaDB Unicode}"),
        QStringLiteral("SERVER=") + OdbcAttributeValue(connection.host),
        QStringLiteral("PORT=%1").arg(connection.port),
        QStringLiteral("DATABASE=") + OdbcAttributeValue(connection.database),
        QStringLiteral("UID=") + OdbcAttributeValue(connection.account),
        QStringLiteral("PWD=") + OdbcAttributeValue(connection.password),
    };
    if (!connection.caFile.isEmpty())
        attributes << QStringLiteral("SSLCA=") + OdbcAttributeValue(connection.caFile);
    attributes << QStringLiteral("SSLVERIFY=1") << QStringLiteral("FORCETLS=1")
               << QStringLiteral("CHARSET=sjis")
               << QStringLiteral("CONN_TIMEOUT=%1").arg(TDatabase::LoginLimitSeconds)
               << QStringLiteral("READ_TIMEOUT=%1").arg(TDatabase::StatementLimitSeconds)
               << QStringLiteral("WRITE_TIMEOUT=%1").arg(TDatabase::StatementLimitSeconds);
    return attributes.join(QLatin1Char(';'));
}

QString FirstValue(QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    if (!query.exec(sql) || !query.next())
        throw DatabaseError::FromSqlError(query.lastError());
    return query.value(0).toString();
}

ConnectionTryResult TryOn(QSqlDatabase& db, const ServerConnection& connection) {
    db.setDatabaseName(ConnectionString(connection));
    if (!db.open())
        return {false, ConnectionFailureText(DatabaseError::FromSqlError(db.lastError()))};
    FirstValue(db, QStringLiteral("select 1"));
    const QString raceTables = FirstValue(
        db, QStringLiteral("select count(*) from information_schema.tables where "
                           "table_schema = database() and "
                           "table_name in ('tiki', 'result', 'tdc_mid')"));
    if (raceTables.toInt() != 3)
        return {false, QStringLiteral("接続できましたが、データベース「%1」には大会のテーブル"
                                      "（tiki、result、tdc_mid）がありません。")
                           .arg(connection.database)};
    QSqlQuery tls(db);
    tls.exec(QStringLiteral("show status like 'Ssl_version'"));
    return {true,
            QStringLiteral("接続できました（暗号化 %1）。").arg(tls.next() ? tls.value(1).toString()
                                                                    : QString())};
}

} // namespace

ConnectionTryResult TryConnection(const ServerConnection& connection) {
    static QAtomicInt counter;
    const QString name = QStringLiteral("tarnik-try-%1").arg(counter.fetchAndAddRelaxed(1));
    ConnectionTryResult result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        try {
            result = TryOn(db, connection);
        } catch (const DatabaseError& error) {
            result = {false, ConnectionFailureText(error)};
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}
