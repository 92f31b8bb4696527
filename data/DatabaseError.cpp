#include "DatabaseError.h"

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

bool DatabaseError::wasNeverSent() const {
    // CR_SERVER_GONE_ERROR and CR_ERR_NET_WRITE come from writing the command; a statement
    // the server received and never answered is CR_SERVER_LOST instead.
    return nativeCode_ == QLatin1String("2006") || nativeCode_ == QLatin1String("5014");
}

UnstorableTextError::UnstorableTextError(const QString& value)
    : DatabaseError(
          QStringLiteral("「%1」にはデータベースに保存できない文字があります。").arg(value)) {}
