#include "app/DatabaseChoice.h"

#include "data/DatabaseError.h"

QString DataSourceLine(int choice) {
    switch (choice) {
    case 1:
        return QStringLiteral("ODBC DSN=TarnikTest");
    case 2:
        return QStringLiteral("ODBC DSN=TarnikServer");
    default:
        return QStringLiteral("ODBC DSN=TarnikLocal");
    }
}

QStringList ConnectionParams(int choice) {
    QStringList params = {
        QStringLiteral("DATABASE NAME="),
        QStringLiteral("USER NAME=root"),
        QStringLiteral("ODBC DSN=TarnikLocal"),
        QStringLiteral("OPEN MODE=READ/WRITE"),
        QStringLiteral("BATCH COUNT=200"),
        QStringLiteral("LANGDRIVER="),
        QStringLiteral("MAX ROWS=-1"),
        QStringLiteral("SCHEMA CACHE DIR="),
        QStringLiteral("SCHEMA CACHE SIZE=8"),
        QStringLiteral("SCHEMA CACHE TIME=-1"),
        QStringLiteral("SQLPASSTHRU MODE=SHARED NOAUTOCOMMIT"),
        QStringLiteral("SQLQRYMODE="),
        QStringLiteral("ENABLE SCHEMA CACHE=FALSE"),
        QStringLiteral("ENABLE BCD=FALSE"),
        QStringLiteral("ROWSET SIZE=20"),
        QStringLiteral("BLOBS TO CACHE=64"),
        QStringLiteral("BLOB SIZE=32"),
        QStringLiteral("PASSWORD=lomvu"),
    };
    params[DataSourceLineIndex] = DataSourceLine(choice);
    return params;
}

QString ConnectionFailureMessage(const QString& dataSourceLine) {
    return dataSourceLine + QStringLiteral(" の接続に失敗しました。「Local」に接続します。");
}

bool IsSetNamesRefusal(const DatabaseError& error) {
    return error.message().contains(QLatin1String("SET NAMES is not allowed"));
}
