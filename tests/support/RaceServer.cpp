#include "RaceServer.h"

#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

#include <csignal>

namespace {

struct Finished {
    bool ok = false;
    QString out, err;
};

// Waits with the events running, as the program's own workers may need them meanwhile.
Finished RunProcess(const QString& program, const QStringList& arguments,
                    const QByteArray& input = {}) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {false, {}, program + QStringLiteral(" did not start")};
    process.write(input);
    process.closeWriteChannel();
    const bool ended =
        QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 120000);
    if (!ended)
        process.kill();
    return {ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

int FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QString Helper() {
    return TestDatabase::SourcePath(QStringLiteral("tests/support/race-mariadb.sh"));
}

} // namespace

RaceServer::RaceServer(const QStringList& workstations, const QString& database)
    : database_(database) {
    if (!folder_.isValid()) {
        problem_ = QStringLiteral("no folder for the race server");
        return;
    }
    port_ = FreePort();
    WriteOptionFile();
    MakeUntrustedCa();
    if (Start())
        Prepare(workstations);
}

RaceServer::~RaceServer() {
    // Thrown away with its folder: no need to wait for a clean shutdown.
    QFile pidFile(Path(QStringLiteral("mysqld.pid")));
    if (pidFile.open(QIODevice::ReadOnly))
        ::kill(pidFile.readAll().trimmed().toInt(), SIGKILL);
}

QString RaceServer::CaFile() const {
    return Path(QStringLiteral("tls/ca.pem"));
}

QString RaceServer::UntrustedCaFile() const {
    return Path(QStringLiteral("untrusted-ca.pem"));
}

void RaceServer::WriteOptionFile() {
    QFile file(Path(QStringLiteral("my.cnf")));
    if (!file.open(QIODevice::WriteOnly)) {
        problem_ = QStringLiteral("cannot write ") + file.fileName();
        return;
    }
    // A test server is thrown away: durability traded for speed as the shared one does.
    file.write(QStringLiteral("[mariadbd]\n"
                              "datadir=%1/data\n"
                              "socket=%1/mysqld.sock\n"
                              "port=%2\n"
                              "pid-file=%1/mysqld.pid\n"
                              "log-error=%1/server.log\n"
                              "tmpdir=%1/tmp\n"
                              "skip-log-bin\n"
                              "innodb-flush-log-at-trx-commit=0\n"
                              "innodb-doublewrite=0\n"
                              "innodb-buffer-pool-size=16M\n"
                              "max-connections=200\n"
                              "!include %1/tarnikmid.cnf\n"
                              "[client]\n"
                              "socket=%1/mysqld.sock\n"
                              "user=root\n")
                   .arg(folder_.path())
                   .arg(port_)
                   .toUtf8());
}

void RaceServer::MakeUntrustedCa() {
    const Finished made = RunProcess(
        QStringLiteral("openssl"),
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
         QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
         QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
         QStringLiteral("-days"), QStringLiteral("30"), QStringLiteral("-subj"),
         QStringLiteral("/CN=untrusted test CA"), QStringLiteral("-keyout"),
         Path(QStringLiteral("untrusted-ca-key.pem")), QStringLiteral("-out"), UntrustedCaFile()});
    if (!made.ok)
        problem_ = QStringLiteral("openssl: ") + made.err;
}

bool RaceServer::Control(const QString& command) {
    if (!problem_.isEmpty())
        return false;
    const Finished done = RunProcess(Helper(), {command, folder_.path()});
    if (!done.ok)
        problem_ = QStringLiteral("race-mariadb.sh %1: %2").arg(command, done.err);
    return done.ok;
}

bool RaceServer::Stop() {
    return Control(QStringLiteral("stop"));
}

bool RaceServer::Start() {
    return Control(QStringLiteral("start"));
}

bool RaceServer::Prepare(const QStringList& workstations, const QStringList& options) {
    if (!problem_.isEmpty())
        return false;
    const QString restart = QStringLiteral("'%1' restart '%2'").arg(Helper(), folder_.path());
    const Finished done = RunProcess(
        TestDatabase::SourcePath(QStringLiteral("scripts/tarnikmid-server.sh")),
        QStringList{QStringLiteral("--socket"), Path(QStringLiteral("mysqld.sock")),
                    QStringLiteral("--config"), Path(QStringLiteral("tarnikmid.cnf")),
                    QStringLiteral("--tls-dir"), Path(QStringLiteral("tls")),
                    QStringLiteral("--restart"), restart, QStringLiteral("--bind"),
                    QStringLiteral("127.0.0.1"), QStringLiteral("--database"), database_} +
            options + workstations);
    scriptOutput_ = done.out;
    if (!done.ok) {
        problem_ = QStringLiteral("tarnikmid-server: ") + done.err + done.out;
        return false;
    }
    ReadAccounts();
    return true;
}

// Each workstation's block: its account, then its password unless it kept the one it had.
void RaceServer::ReadAccounts() {
    static const QRegularExpression account(QStringLiteral("^\\s*アカウント: (\\S+)$"));
    static const QRegularExpression password(QStringLiteral("^\\s*パスワード: ([A-Za-z0-9]+)$"));
    QString user;
    for (const QString& line : scriptOutput_.split(QLatin1Char('\n'))) {
        if (const auto match = account.match(line); match.hasMatch())
            user = match.captured(1);
        else if (const auto match = password.match(line); match.hasMatch() && !user.isEmpty())
            accounts_[user] = {user, match.captured(1)};
    }
}

QString RaceServer::RootSql(const QString& sql) const {
    const Finished done = RunProcess(
        QStringLiteral("mariadb"),
        {QStringLiteral("--defaults-file=") + Path(QStringLiteral("my.cnf")),
         QStringLiteral("--default-character-set=utf8mb4"), QStringLiteral("-N"),
         QStringLiteral("-B"), database_},
        sql.toUtf8());
    if (!done.ok)
        qWarning("root SQL on the race server failed: %s", qPrintable(done.err));
    return done.out;
}

bool RaceServer::LoadSampleRaces() const {
    QByteArray sql;
    for (const QString& name : {QStringLiteral("data/schema.sql"),
                                QStringLiteral("data/sample_race.sql")}) {
        QFile file(TestDatabase::SourcePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return false;
        sql += file.readAll() + '\n';
    }
    const Finished done = RunProcess(
        QStringLiteral("mariadb"),
        {QStringLiteral("--defaults-file=") + Path(QStringLiteral("my.cnf")),
         QStringLiteral("--default-character-set=sjis"), database_},
        sql);
    if (!done.ok)
        qWarning("loading the sample races failed: %s", qPrintable(done.err));
    return done.ok;
}
