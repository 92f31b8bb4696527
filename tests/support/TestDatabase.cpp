#include "TestDatabase.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <stdexcept>

namespace {

QString DataSourceName() {
    const QString dsn = qEnvironmentVariable("TARNIK_TEST_DSN");
    return dsn.isEmpty() ? QStringLiteral("TarnikLocal") : dsn;
}

QSqlDatabase OpenConnection(const QString& connection, const QString& database) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connection);
    QString text = DataSourceName() + QStringLiteral(";CHARSET=sjis");
    if (!database.isEmpty())
        text += QStringLiteral(";DATABASE=") + database;
    db.setDatabaseName(text);
    if (!db.open())
        throw std::runtime_error(("test database (run the tests through ./test.sh, which starts "
                                  "the test server and sets ODBCINI): cannot connect to " +
                                  text + ": " + db.lastError().text())
                                     .toStdString());
    return db;
}

void Run(QSqlQuery& query, const QString& sql) {
    if (!query.exec(sql))
        throw std::runtime_error(
            (query.lastError().text() + QStringLiteral("\nin: ") + sql).toStdString());
}

// Statements of a SQL file: split at a ';' that ends a line, comment lines left out.
QStringList Statements(const QString& text) {
    QStringList statements;
    QString current;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QStringLiteral("--")) || trimmed.isEmpty())
            continue;
        current += line + QLatin1Char('\n');
        if (trimmed.endsWith(QLatin1Char(';'))) {
            statements.append(current.trimmed().chopped(1));
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements.append(current.trimmed());
    return statements;
}

} // namespace

TestDatabase::TestDatabase() {
    static QAtomicInt counter;
    const int n = counter.fetchAndAddRelaxed(1);
    name_ = QStringLiteral("t_%1_%2_%3")
                .arg(QCoreApplication::applicationPid())
                .arg(n)
                .arg(QRandomGenerator::global()->bounded(1000000));
    connection_ = QStringLiteral("test-admin-") + name_;
    {
        const QString setup = connection_ + QStringLiteral("-setup");
        {
            QSqlDatabase db = OpenConnection(setup, {});
            QSqlQuery query(db);
            Run(query, QStringLiteral("CREATE DATABASE %1 CHARACTER SET sjis COLLATE "
                                      "sjis_japanese_ci")
                           .arg(name_));
        }
        QSqlDatabase::removeDatabase(setup);
    }
    OpenConnection(connection_, name_);
    ExecFile(SourcePath(QStringLiteral("data/schema.sql")));
}

TestDatabase::~TestDatabase() {
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        QSqlQuery query(db);
        query.exec(QStringLiteral("DROP DATABASE IF EXISTS ") + name_);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

void TestDatabase::Reconnect() {
    QSqlDatabase::removeDatabase(connection_);
    OpenConnection(connection_, name_);
}

QString TestDatabase::SourcePath(const QString& relative) {
    return QStringLiteral(TARNIK_SOURCE_DIR) + QLatin1Char('/') + relative;
}

void TestDatabase::Exec(const QString& sql) const {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    Run(query, sql);
}

void TestDatabase::ExecFile(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(("cannot read " + path).toStdString());
    for (const QString& statement : Statements(QString::fromUtf8(file.readAll()))) {
        // The files name their character set for the command-line client; this connection
        // already exchanges Unicode with the driver, which refuses the statement.
        if (!statement.startsWith(QStringLiteral("SET NAMES"), Qt::CaseInsensitive))
            Exec(statement);
    }
}

QList<QStringList> TestDatabase::Rows(const QString& sql) const {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.setForwardOnly(true);
    Run(query, sql);
    QList<QStringList> rows;
    while (query.next()) {
        QStringList row;
        for (int c = 0; c < query.record().count(); ++c)
            row.append(query.value(c).toString());
        rows.append(row);
    }
    return rows;
}

QString TestDatabase::Scalar(const QString& sql) const {
    const auto rows = Rows(sql);
    return rows.isEmpty() || rows.first().isEmpty() ? QString() : rows.first().first();
}
