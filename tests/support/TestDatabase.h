#pragma once
// A race database of its own for one test: made on the private test server when the test
// starts, loaded with the schema, dropped when it ends. Reached through the data source
// TarnikLocal (ODBCINI points at the test server's odbc.ini), so the program's own
// connection code is what the tests use.

#include <QList>
#include <QSqlDatabase>
#include <QStringList>

class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    QString Name() const { return name_; }

    // Runs statements on a connection of the test's own (not the program's); throws
    // std::runtime_error with the server's message.
    void Exec(const QString& sql) const;
    void ExecFile(const QString& path) const;
    // All rows of a select, each as its column texts.
    QList<QStringList> Rows(const QString& sql) const;
    // The first column of the first row; empty when there is none.
    QString Scalar(const QString& sql) const;

    // A new connection in place of the test's own, which a restart of the server ended.
    void Reconnect();

    static QString SourcePath(const QString& relative);

private:
    QString name_;
    QString connection_;
};
