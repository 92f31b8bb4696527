// The race server as tarnikmid-server prepares it: workstations reach the race over TLS with
// the CA it made, with their own accounts and only the rights the program needs.

#include "support/QtPrinting.h"
#include "support/RaceServer.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

// A workstation's connection as the connection settings make it: by QODBC through the
// MariaDB driver, the server's certificate checked against `caFile` (none: plain text).
class Workstation {
public:
    Workstation(const RaceServer& server, const RaceServer::Account& account,
                const QString& caFile)
        : name_(QStringLiteral("ws-%1-%2").arg(account.user).arg(++count_)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name_);
        QString text = QStringLiteral("DRIVER={MariaDB Unicode};SERVER=127.0.0.1;PORT=%1;"
                                      "DATABASE=%2;UID=%3;PWD=%4;CHARSET=sjis")
                           .arg(server.Port())
                           .arg(server.Database(), account.user, account.password);
        if (!caFile.isEmpty())
            text += QStringLiteral(";SSLCA=%1;SSLVERIFY=1;FORCETLS=1").arg(caFile);
        db.setDatabaseName(text);
        db.open();
        error_ = db.lastError();
    }
    ~Workstation() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }

    bool Connected() const { return QSqlDatabase::database(name_, false).isOpen(); }
    QSqlError Error() const { return error_; }

    // The server's error number for a statement; empty when it ran.
    QString Refusal(const QString& sql) {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        return query.exec(sql) ? QString() : query.lastError().nativeErrorCode();
    }
    QString Scalar(const QString& sql) {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        return query.exec(sql) && query.next() ? query.value(0).toString() : QString();
    }

private:
    static inline int count_ = 0;
    QString name_;
    QSqlError error_;
};

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(RaceServerTest, WorkstationsReachTheRaceOverTlsOnlyWithTheRightsTheProgramNeeds) {
    RaceServer server({QStringLiteral("ws1"), QStringLiteral("ws2")});
    ASSERT_TRUE(server.Started()) << server.Problem().toStdString();
    EXPECT_EQ(server.RootSql(QStringLiteral("SELECT @@have_ssl, @@require_secure_transport")),
              QStringLiteral("YES\t1\n"));
    ASSERT_TRUE(server.LoadSampleRaces());
    server.RootSql(QStringLiteral("CREATE DATABASE other; CREATE TABLE other.secret (i INT);"));

    Workstation ws1(server, server.Workstation(QStringLiteral("ws1")), server.CaFile());
    ASSERT_TRUE(ws1.Connected()) << ws1.Error().text().toStdString();
    EXPECT_FALSE(ws1.Scalar(QStringLiteral("SHOW STATUS LIKE 'Ssl_cipher'")).isEmpty());
    // What the program does with a race: a transaction reading rows for update, and writes.
    EXPECT_EQ(ws1.Refusal(QStringLiteral("START TRANSACTION")), QString());
    EXPECT_EQ(ws1.Refusal(QStringLiteral("SELECT tcode FROM tiki FOR UPDATE")), QString());
    EXPECT_EQ(ws1.Refusal(QStringLiteral("INSERT INTO tiki (tcode) VALUES ('WS1')")), QString());
    EXPECT_EQ(ws1.Refusal(QStringLiteral("UPDATE tiki SET syumoku = '02' WHERE tcode = 'WS1'")),
              QString());
    EXPECT_EQ(ws1.Refusal(QStringLiteral("DELETE FROM midtp2")), QString());
    EXPECT_EQ(ws1.Refusal(QStringLiteral("COMMIT")), QString());
    EXPECT_EQ(server.RootSql(QStringLiteral("SELECT syumoku FROM tiki WHERE tcode = 'WS1'")),
              QStringLiteral("02\n"));
    // ER_TABLEACCESS_DENIED_ERROR, ER_DBACCESS_DENIED_ERROR.
    EXPECT_EQ(ws1.Refusal(QStringLiteral("DROP TABLE midtp2")), QStringLiteral("1142"));
    EXPECT_EQ(ws1.Refusal(QStringLiteral("CREATE TABLE extra (i INT)")), QStringLiteral("1142"));
    EXPECT_EQ(ws1.Refusal(QStringLiteral("SELECT * FROM other.secret")), QStringLiteral("1142"));
    EXPECT_EQ(ws1.Refusal(QStringLiteral("USE other")), QStringLiteral("1044"));
    EXPECT_EQ(ws1.Refusal(QStringLiteral("SELECT * FROM mysql.user")), QStringLiteral("1142"));

    Workstation ws2(server, server.Workstation(QStringLiteral("ws2")), server.CaFile());
    EXPECT_TRUE(ws2.Connected()) << ws2.Error().text().toStdString();
    EXPECT_EQ(ws2.Scalar(QStringLiteral("SELECT CURRENT_USER()")), QStringLiteral("ws2@%"));

    // MariaDB answers a plain-text login with "access denied", as it does a wrong password.
    Workstation plain(server, server.Workstation(QStringLiteral("ws1")), QString());
    EXPECT_FALSE(plain.Connected());
    EXPECT_EQ(plain.Error().nativeErrorCode(), QStringLiteral("1045"))
        << plain.Error().text().toStdString();
    // CR_SSL_CONNECTION_ERROR: the certificate is not one of that CA's.
    Workstation untrusting(server, server.Workstation(QStringLiteral("ws1")),
                           server.UntrustedCaFile());
    EXPECT_FALSE(untrusting.Connected());
    EXPECT_EQ(untrusting.Error().nativeErrorCode(), QStringLiteral("2026"))
        << untrusting.Error().text().toStdString();
}

TEST(RaceServerTest, ARunAgainKeepsTheCaThePasswordsAndTheRaceAndAddsWhatIsMissing) {
    RaceServer server({QStringLiteral("ws1"), QStringLiteral("ws2")});
    ASSERT_TRUE(server.Started()) << server.Problem().toStdString();
    const QByteArray ca = FileBytes(server.CaFile());
    const RaceServer::Account ws2 = server.Workstation(QStringLiteral("ws2"));
    // A race of an older version: rows, but no change list and no journal ids.
    server.RootSql(QStringLiteral("INSERT INTO tiki (tcode) VALUES ('R1'); DROP TABLE midchange;"
                                  "ALTER TABLE tdc_mid DROP KEY tdc_mid_jid, DROP COLUMN jid;"));

    ASSERT_TRUE(server.Prepare({QStringLiteral("ws1"), QStringLiteral("ws2"),
                                QStringLiteral("ws3")},
                               {QStringLiteral("--new-password"), QStringLiteral("ws2")}))
        << server.Problem().toStdString();
    EXPECT_EQ(FileBytes(server.CaFile()), ca);
    EXPECT_TRUE(server.ScriptOutput().contains(QStringLiteral("--new-password ws1")))
        << server.ScriptOutput().toStdString();
    EXPECT_EQ(server.RootSql(QStringLiteral("SELECT tcode FROM tiki")), QStringLiteral("R1\n"));
    EXPECT_EQ(server.RootSql(QStringLiteral("SELECT COUNT(*) FROM information_schema.columns "
                                            "WHERE table_schema = 'tarnik' AND "
                                            "(table_name, column_name) IN "
                                            "(('tdc_mid', 'jid'), ('midchange', 'seq'))")),
              QStringLiteral("2\n"));

    for (const QString& name : {QStringLiteral("ws1"), QStringLiteral("ws2"), QStringLiteral("ws3")}) {
        Workstation workstation(server, server.Workstation(name), server.CaFile());
        EXPECT_TRUE(workstation.Connected()) << name.toStdString() << ": "
                                             << workstation.Error().text().toStdString();
    }
    Workstation formerPassword(server, ws2, server.CaFile());
    EXPECT_FALSE(formerPassword.Connected());
    EXPECT_NE(server.Workstation(QStringLiteral("ws2")).password, ws2.password);
}

TEST(RaceServerTest, TheScriptSaysWhyWhenNoServerAnswers) {
    QProcess script;
    script.start(TestDatabase::SourcePath(QStringLiteral("scripts/tarnikmid-server.sh")),
                 {QStringLiteral("--socket"), QStringLiteral("/nonexistent/mysqld.sock"),
                  QStringLiteral("--config"), QStringLiteral("/nonexistent/my.cnf"),
                  QStringLiteral("--tls-dir"), QStringLiteral("/nonexistent/tls"),
                  QStringLiteral("--restart"), QStringLiteral("false"), QStringLiteral("ws1")});
    ASSERT_TRUE(script.waitForFinished(30000));
    EXPECT_NE(script.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(script.readAllStandardError())
                    .contains(QStringLiteral("MariaDB サーバーに接続できません")));
}
