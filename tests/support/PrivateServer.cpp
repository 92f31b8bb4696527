#include "PrivateServer.h"

#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <odbcinst.h>

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

// unixODBC keeps what it read of the data sources for 20 s, but forgets it whenever its
// installer writes a data source: writing one in the suite's own file makes the next
// connection read the file that ODBCINI names now (the shared one is never written).
void PrivateServer::UseDataSources(const QByteArray& odbcIni) {
    if (odbcIni.isEmpty())
        qunsetenv("ODBCINI");
    else
        qputenv("ODBCINI", odbcIni);
    SQLWritePrivateProfileString("TarnikLocal", "Description",
                                 "Private race database of the split-time workstation",
                                 folder_->filePath(QStringLiteral("odbc.ini")).toLocal8Bit().constData());
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
    return QTest::qWaitFor([&] { return script.state() == QProcess::NotRunning; }, 60000) &&
           script.exitCode() == 0;
}

void PrivateServer::Signal(int signal) {
    QFile pidFile(folder_->filePath(QStringLiteral("mysqld.pid")));
    if (pidFile.open(QIODevice::ReadOnly))
        ::kill(pidFile.readAll().trimmed().toInt(), signal);
}
