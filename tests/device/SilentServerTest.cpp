// A server that accepts the connection and never answers, on 127.0.0.1: the connection gives
// an error after its login limit instead of waiting for ever, and stamps meant for it wait in
// its own journal while the program goes on. They are never taken by another database, nor
// by a second program that runs meanwhile, and are taken up by the next store for their
// database.
#include "data/sql/DatabaseError.h"
#include "data/sql/TDatabase.h"
#include "device/StampStore.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <odbcinst.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class SilentServer : public testing::Test {
protected:
    void SetUp() override {
        // Listening is enough: the system accepts for it, and nobody ever answers.
        listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
        ASSERT_EQ(::listen(listener, 16), 0);
        ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
        const QByteArray port = QByteArray::number(ntohs(address.sin_port));
        savedOdbcIni = qgetenv("ODBCINI");
        QFile shared(QString::fromLocal8Bit(savedOdbcIni));
        ASSERT_TRUE(shared.open(QIODevice::ReadOnly));
        QFile own(folder.filePath("odbc.ini"));
        ASSERT_TRUE(own.open(QIODevice::WriteOnly));
        own.write(shared.readAll());
        own.close();
        UseDataSources(own.fileName().toLocal8Bit());
        const QByteArray ini = own.fileName().toLocal8Bit();
        SQLWritePrivateProfileString("TarnikTest", "Driver", "MariaDB Unicode", ini.constData());
        SQLWritePrivateProfileString("TarnikTest", "SERVER", "127.0.0.1", ini.constData());
        SQLWritePrivateProfileString("TarnikTest", "PORT", port.constData(), ini.constData());
    }
    void TearDown() override {
        UseDataSources(savedOdbcIni);
        ::close(listener);
    }

    // unixODBC forgets what it read of the data sources whenever its installer writes one.
    void UseDataSources(const QByteArray& odbcIni) {
        qputenv("ODBCINI", odbcIni);
        SQLWritePrivateProfileString("TarnikTest", "Description", "silent listener",
                                     folder.filePath("odbc.ini").toLocal8Bit().constData());
    }

    static TDatabase::Source SourceOf(const QString& dsn, const QString& database) {
        return {dsn,
                {QStringLiteral("ODBC DSN=") + dsn, QStringLiteral("USER NAME="),
                 QStringLiteral("PASSWORD=")},
                database};
    }

    int listener = -1;
    QTemporaryDir folder;
    QByteArray savedOdbcIni;
};

TEST_F(SilentServer, TheConnectionGivesUpAfterItsLoginLimitWithTheServersMessage) {
    TDatabase database;
    database.UseSource(SourceOf("TarnikTest", "tarnik"));
    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(
        {
            try {
                database.Open();
            } catch (const DatabaseError& error) {
                EXPECT_FALSE(error.message().isEmpty());
                throw;
            }
        },
        DatabaseError);
    EXPECT_LT(clock.elapsed(), 1000 * (TDatabase::LoginLimitSeconds + 2));
}

TEST_F(SilentServer, StampsWaitInTheirOwnDatabasesJournalAndNoOtherTakesThem) {
    const TestDatabase raceDb;
    TDatabase silent;
    silent.UseSource(SourceOf("TarnikTest", raceDb.Name()));
    TDatabase local;
    local.UseSource(SourceOf("TarnikLocal", raceDb.Name()));
    const QString journals = folder.path();
    {
        StampStore store(silent, journals);
        QElapsedTimer clock;
        clock.start();
        for (int bib = 1; bib <= 3; ++bib)
            store.Accept("R1",
                         QStringLiteral(" %1 C1  10:00:00.0000 00").arg(bib, 4, 10, QChar('0')));
        EXPECT_LT(clock.elapsed(), 1000); // nothing waited for the server
        EXPECT_TRUE(QTest::qWaitFor([&] { return !store.Problem().isEmpty(); }, 10000));
        EXPECT_EQ(store.WaitingCount(), 3);

        // A second program on the same database while the first holds its journal.
        StampStore second(silent, journals);
        EXPECT_NE(second.JournalPath(), store.JournalPath());
        EXPECT_EQ(second.WaitingCount(), 0);
        // The operator works on another database meanwhile.
        StampStore other(local, journals);
        EXPECT_EQ(other.WaitingCount(), 0);
        other.Accept("R1", " 0009 C1  10:00:09.0000 00");
        EXPECT_TRUE(QTest::qWaitFor([&] { return other.WaitingCount() == 0; }, 5000));
    }
    EXPECT_EQ(raceDb.Rows("select bib from tdc_mid"), QList<QStringList>({{"0009"}}));
    const StampStore again(silent, journals);
    EXPECT_EQ(again.WaitingCount(), 3);
}

} // namespace
