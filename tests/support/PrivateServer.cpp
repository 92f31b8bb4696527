#include "PrivateServer.h"

#include "support/DataSourceFile.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>

bool PrivateServer::Start() {
    folder_ = std::make_unique<QTemporaryDir>();
    savedOdbcIni_ = qgetenv("ODBCINI");
    if (!Run(QStringLiteral("start")))
        return false;
    UseDataSources(folder_->filePath(QStringLiteral("odbc.ini")).toUtf8());
    return true;
}

void PrivateServer::Finish() {
    UseDataSources(savedOdbcIni_);
    // Thrown away with its folder: no need to wait for a clean shutdown.
    Signal(SIGKILL);
    folder_.reset();
}

void PrivateServer::UseDataSources(const QByteArray& odbcIni) {
    PointOdbcIniAt(odbcIni, folder_->filePath(QStringLiteral("odbc.ini")));
}

bool PrivateServer::Run(const QString& command) {
    QProcess script;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LOCALDB_OPTS", "--innodb-flush-log-at-trx-commit=0 "
                                       "--innodb-doublewrite=0 --skip-log-bin "
                                       "--innodb-buffer-pool-size=16M");
    script.setProcessEnvironment(environment);
    script.start(TestDatabase::SourcePath(QStringLiteral("scripts/localdb.sh")),
                 {command, folder_->path()});
    const bool done =
        QTest::qWaitFor([&] { return script.state() == QProcess::NotRunning; }, 60000) &&
        script.exitCode() == 0;
    if (!done)
        qWarning("localdb.sh %s failed: %s%s", qPrintable(command),
                 script.readAllStandardOutput().constData(),
                 script.readAllStandardError().constData());
    return done;
}

void PrivateServer::Signal(int signal) {
    QFile pidFile(folder_->filePath(QStringLiteral("mysqld.pid")));
    if (pidFile.open(QIODevice::ReadOnly))
        ::kill(pidFile.readAll().trimmed().toInt(), signal);
}
