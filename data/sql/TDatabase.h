#pragma once
// The database connection `DB`: an ODBC data source opened through QODBC, described by a
// parameter list of "NAME=value" lines. Of the list, the connection uses "ODBC DSN",
// "DATABASE NAME", "USER NAME" and "PASSWORD"; the other lines are kept as the record of
// the connection and have no counterpart on this client library.

#include <QObject>
#include <QSqlDatabase>
#include <QStringList>

// An attribute value inside an ODBC connection string; braces protect ';' and '='.
QString OdbcAttributeValue(const QString& value);

class TDatabase : public QObject {
    Q_OBJECT
public:
    // Time limits of every connection, in seconds: a server that accepts and never answers
    // gives an error instead of a frozen window. The statement limit also ends a wait for
    // another workstation's row lock, so it is longer than such a wait should be.
    static constexpr int LoginLimitSeconds = 3;
    static constexpr int StatementLimitSeconds = 5;

    // What a connection is opened with; a second connection to the same source takes it.
    struct Source {
        QString aliasName;
        QStringList params;
        QString defaultDatabase;
    };

    explicit TDatabase(QObject* parent = nullptr);
    ~TDatabase() override;

    QString DatabaseName = QStringLiteral("DB");
    QString AliasName = QStringLiteral("TarnikLocal");
    bool LoginPrompt = false;
    QStringList Params;

    // Value of the parameter line "name=value" (the first such line); empty when absent.
    QString ParamValue(const QString& name) const;
    // A database that replaces an empty "DATABASE NAME" (the data source's own otherwise);
    // lets a second race database on the same server be reached through the same DSN.
    void SetDefaultDatabase(const QString& name) { defaultDatabase_ = name; }

    Source CurrentSource() const { return {AliasName, Params, defaultDatabase_}; }
    void UseSource(const Source& source);
    // The data source and database the connection reaches ("TarnikLocal" or
    // "TarnikLocal/race1"), naming what is kept for that database alone.
    QString SourceName() const;

    // Opens with the current parameter list; throws DatabaseError with the driver's message.
    void Open();
    // Closes every query object first (they hold results of this connection).
    void Close();
    bool Connected() const;
    // Reopens when the last statement found the connection lost.
    void ReconnectIfLost();
    void MarkConnectionLost() { lost_ = true; }
    // Kept by Transaction: a statement inside one is never sent again on a new connection,
    // where it would run outside the transaction.
    bool InTransaction() const { return inTransaction_; }
    void SetInTransaction(bool open) { inTransaction_ = open; }

    QSqlDatabase Connection() const { return QSqlDatabase::database(connectionName_, false); }
    // The ODBC connection string QODBC is given: the DSN, then extra attributes, the time
    // limits among them.
    QString ConnectionString() const;

signals:
    void Closing();

private:
    QString DataSourceName() const;
    QString DatabaseNameToUse() const;

    QString connectionName_;
    QString defaultDatabase_;
    bool lost_ = false;
    bool inTransaction_ = false;
};
