// Why a connection failed, as the driver says it to real servers: the private test server
// (refused port, wrong password, unknown database, no TLS) and a race server of the test's
// own that takes TLS only (certificate not trusted, plain text, no rights), and the try of
// connection settings that tells the operator.
#include "data/sql/ConnectionFailure.h"
#include "data/sql/ConnectionTry.h"
#include "data/sql/DataSourceSection.h"
#include "data/sql/DatabaseError.h"
#include "support/RaceServer.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The private test server over TCP, with the account its data source holds.
ServerConnection PrivateServer() {
    const QString folder = qEnvironmentVariable("TARNIK_TEST_DB_DIR");
    ServerConnection server{"127.0.0.1", ReadAll(folder + "/port").trimmed().toInt(), "tarnik", {}, {}, {}};
    for (const auto& [key, value] :
         SectionEntries(ReadAll(qEnvironmentVariable("ODBCINI")), "TarnikLocal")) {
        if (key.compare("USER", Qt::CaseInsensitive) == 0)
            server.account = value;
        if (key.compare("PASSWORD", Qt::CaseInsensitive) == 0)
            server.password = value;
    }
    return server;
}

// A connection without TLS, as a data source written by hand might make it.
DatabaseError PlainConnectionError(const ServerConnection& to) {
    DatabaseError error("connected");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QODBC", "plain");
        db.setDatabaseName(QString("DRIVER={MariaDB Unicode};SERVER=%1;PORT=%2;DATABASE=%3;"
                                   "UID=%4;PWD=%5;CONN_TIMEOUT=3")
                               .arg(to.host)
                               .arg(to.port)
                               .arg(to.database, to.account, to.password));
        if (!db.open())
            error = DatabaseError::FromSqlError(db.lastError());
    }
    QSqlDatabase::removeDatabase("plain");
    return error;
}

void ExpectFailure(const ServerConnection& to, ConnectionFailure expected, const QString& told,
                   const char* driverSays) {
    const DatabaseError error = PlainConnectionError(to);
    EXPECT_EQ(ClassifyConnectionFailure(error), expected) << qPrintable(error.message());
    const QString text = ConnectionFailureText(error);
    EXPECT_TRUE(text.startsWith(told)) << qPrintable(text);
    EXPECT_TRUE(text.contains(driverSays)) << qPrintable(text);
}

TEST(ConnectionFailure, ThePrivateServerRefusesAPortAPasswordADatabaseAndTls) {
    ServerConnection server = PrivateServer();
    ASSERT_GT(server.port, 0) << "run through ./test.sh";
    ExpectFailure(ServerConnection{server.host, 9, "tarnik", "root", "x", {}},
                  ConnectionFailure::Refused, "そのホストとポートで待ち受けているサーバーがありません。",
                  "Can't connect to server on '127.0.0.1'");
    ExpectFailure({server.host, server.port, "tarnik", server.account, server.password + "x", {}},
                  ConnectionFailure::WrongAccount, "アカウントかパスワードが違います。",
                  "Access denied for user");
    ExpectFailure({server.host, server.port, "no_such_race", server.account, server.password, {}},
                  ConnectionFailure::UnknownDatabase, "そのデータベースはサーバーにありません。",
                  "Unknown database 'no_such_race'");
    ExpectFailure({"no-such-host.invalid", server.port, "tarnik", "root", "x", {}},
                  ConnectionFailure::UnknownHost, "ホスト名が見つかりません。",
                  "Unknown server host 'no-such-host.invalid'");

    // The try asks for TLS, which this server does not have.
    const ConnectionTryResult tried = TryConnection(server);
    EXPECT_FALSE(tried.connected);
    EXPECT_EQ(tried.message, "サーバーが暗号化（TLS）に対応していません。（TLS/SSL error: SSL is "
                             "required, but the server does not support it）");
}

TEST(ConnectionFailure, ARaceServerTakesTlsWithItsOwnCertificateOnlyAndItsOwnDatabase) {
    RaceServer race({"station1"});
    ASSERT_TRUE(race.Started()) << qPrintable(race.Problem());
    const RaceServer::Account account = race.Workstation("station1");
    const ServerConnection station{"127.0.0.1", race.Port(), race.Database(), account.user,
                                   account.password, race.CaFile()};

    const ConnectionTryResult tried = TryConnection(station);
    EXPECT_TRUE(tried.connected) << qPrintable(tried.message);
    EXPECT_TRUE(tried.message.startsWith("接続できました（暗号化 TLSv1.")) << qPrintable(tried.message);

    ServerConnection untrusted = station;
    untrusted.caFile = race.UntrustedCaFile();
    EXPECT_EQ(TryConnection(untrusted).message,
              "サーバーの証明書を信頼できません（CA ファイルかホスト名が違います）。"
              "（TLS/SSL error: self-signed certificate in certificate chain）");

    // MariaDB refuses plain text to an account that must use TLS as a failed login.
    const DatabaseError plain = PlainConnectionError(station);
    EXPECT_EQ(plain.nativeCode(), "1045") << qPrintable(plain.message());

    ServerConnection elsewhere = station;
    elsewhere.database = "mysql";
    const QString noRights = TryConnection(elsewhere).message;
    EXPECT_TRUE(noRights.startsWith("このアカウントにはそのデータベースを使う権限がありません。"
                                    "（Access denied for user '" + account.user + "'@"));
    EXPECT_TRUE(noRights.endsWith("to database 'mysql'）")) << qPrintable(noRights);

    race.RootSql("rename table tdc_mid to tdc_mid_gone");
    EXPECT_EQ(TryConnection(station).message,
              QString("接続できましたが、データベース「%1」には大会のテーブル（tiki、result、"
                      "tdc_mid）がありません。")
                  .arg(race.Database()));
}

} // namespace
