#include "app/DatabaseChoice.h"

#include "data/sql/DatabaseError.h"

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
        QStringLiteral("USER NAME="),
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
        QStringLiteral("PASSWORD="),
    };
    params[DataSourceLineIndex] = DataSourceLine(choice);
    return params;
}

QString ConnectionFailureMessage(const QString& dataSourceLine) {
    return dataSourceLine + QStringLiteral(" の接続に失敗しました。「Local」に接続します。");
}

QString OfflineQuestion(const QString& dataSourceLine, const QString& reason) {
    return dataSourceLine +
           QStringLiteral(" が応答しません。\n%1\n\n"
                          "このままオフラインで計時しますか？\n"
                          "「はい」: 計時画面をこの端末の控えから開きます。タイムと入力は"
                          "この端末に保存し、サーバーが応答したときに送ります。\n"
                          "「いいえ」: 「Local」に接続します。")
               .arg(reason.trimmed());
}

bool IsSetNamesRefusal(const DatabaseError& error) {
    return error.message().contains(QLatin1String("SET NAMES is not allowed"));
}
