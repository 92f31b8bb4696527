#include "data/sql/DatabaseError.h"

#include <QRegularExpression>
#include <QSqlError>

namespace {

QString WithoutDriverTags(QString text) {
    static const QRegularExpression tags(QStringLiteral("^(\\[[^\\]]*\\])+"));
    return text.remove(tags).trimmed();
}

} // namespace

DatabaseError::DatabaseError(const QString& message, const QString& nativeCode)
    : AppError(message), nativeCode_(nativeCode) {}

DatabaseError DatabaseError::FromSqlError(const QSqlError& error, const QString& context) {
    QString text = WithoutDriverTags(error.databaseText());
    if (text.isEmpty())
        text = WithoutDriverTags(error.driverText());
    if (text.isEmpty()) {
        // QODBC reports nothing when it cannot even make a statement on a dead connection.
        return DatabaseError(QStringLiteral("データベースとの接続が切れています"),
                             QStringLiteral("2006"));
    }
    if (!context.isEmpty())
        text += QStringLiteral("\n") + context;
    return DatabaseError(text, error.nativeErrorCode());
}

bool DatabaseError::isConnectionLost() const {
    // CR_CONNECTION_ERROR, CR_CONN_HOST_ERROR, CR_SERVER_GONE_ERROR, CR_SERVER_LOST,
    // ER_CONNECTION_KILLED, CR_SERVER_LOST_EXTENDED, CR_ERR_NET_READ, CR_ERR_NET_WRITE.
    static const QStringList codes = {QStringLiteral("2002"), QStringLiteral("2003"),
                                      QStringLiteral("2006"), QStringLiteral("2013"),
                                      QStringLiteral("1927"), QStringLiteral("2055"),
                                      QStringLiteral("5013"), QStringLiteral("5014")};
    return codes.contains(nativeCode_);
}

bool DatabaseError::isTemporary() const {
    bool number = false;
    const int code = nativeCode_.toInt(&number);
    // Below 1000: the server's operating-system errors, such as its temporary files removed
    // while it shuts down.
    if (number && code > 0 && code < 1000)
        return true;
    // ER_GET_ERRNO, ER_DISK_FULL, ER_OUTOFMEMORY, ER_OUT_OF_SORTMEMORY, ER_CON_COUNT_ERROR,
    // ER_OUT_OF_RESOURCES, ER_SERVER_SHUTDOWN, ER_NORMAL_SHUTDOWN, ER_GOT_SIGNAL,
    // ER_SHUTDOWN_COMPLETE, ER_ABORTING_CONNECTION, ER_NET_READ_ERROR … ER_NET_WRITE_INTERRUPTED,
    // ER_ERROR_DURING_COMMIT, ER_ERROR_DURING_ROLLBACK, ER_LOCK_WAIT_TIMEOUT, ER_LOCK_DEADLOCK,
    // ER_OPTION_PREVENTS_STATEMENT (read-only), ER_READ_ONLY_MODE.
    static const QList<int> codes = {1030, 1021, 1037, 1038, 1040, 1041, 1053,
                                     1077, 1078, 1079, 1152, 1158, 1159, 1160,
                                     1161, 1180, 1181, 1205, 1213, 1290, 1836};
    return number && codes.contains(code);
}

bool DatabaseError::wasNeverSent() const {
    // CR_SERVER_GONE_ERROR and CR_ERR_NET_WRITE come from writing the command; a statement
    // the server received and never answered is CR_SERVER_LOST instead.
    return nativeCode_ == QLatin1String("2006") || nativeCode_ == QLatin1String("5014");
}

UnstorableTextError::UnstorableTextError(const QString& value)
    : DatabaseError(
          QStringLiteral("「%1」にはデータベースに保存できない文字があります。").arg(value)) {}
