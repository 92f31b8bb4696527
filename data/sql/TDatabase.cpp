#include "data/sql/TDatabase.h"

#include "data/sql/DatabaseError.h"

#include <QAtomicInt>
#include <QSqlError>

#include <odbcinst.h>

namespace {

QString UniqueConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("tarnik-db-%1").arg(counter.fetchAndAddRelaxed(1));
}

// Whether the user's or the system's data sources name `source` with a driver.
bool DataSourceDefined(const QString& source) {
    char driver[256] = {};
    return SQLGetPrivateProfileString(source.toLocal8Bit().constData(), "Driver", "", driver,
                                      sizeof driver, "odbc.ini") > 0;
}

} // namespace

QString OdbcAttributeValue(const QString& value) {
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('=')) &&
        !value.contains(QLatin1Char('{')))
        return value;
    QString braced = value;
    braced.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + braced + QLatin1Char('}');
}

TDatabase::TDatabase(QObject* parent) : QObject(parent), connectionName_(UniqueConnectionName()) {
    QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName_);
}

TDatabase::~TDatabase() {
    Close();
    QSqlDatabase::removeDatabase(connectionName_);
}

QString TDatabase::ParamValue(const QString& name) const {
    const QString prefix = name + QLatin1Char('=');
    for (const QString& line : Params) {
        if (line.startsWith(prefix, Qt::CaseInsensitive))
            return line.mid(prefix.size());
    }
    return {};
}

void TDatabase::UseSource(const Source& source) {
    AliasName = source.aliasName;
    Params = source.params;
    defaultDatabase_ = source.defaultDatabase;
}

QString TDatabase::DataSourceName() const {
    const QString dsn = ParamValue(QStringLiteral("ODBC DSN"));
    return dsn.isEmpty() ? AliasName : dsn;
}

QString TDatabase::DatabaseNameToUse() const {
    const QString database = ParamValue(QStringLiteral("DATABASE NAME"));
    return database.isEmpty() ? defaultDatabase_ : database;
}

QString TDatabase::SourceName() const {
    const QString database = DatabaseNameToUse();
    return database.isEmpty() ? DataSourceName() : DataSourceName() + QLatin1Char('/') + database;
}

QString TDatabase::ConnectionString() const {
    // The Shift-JIS character set is a connection option: the driver refuses
    // a "set names" statement. The limits here hold whatever a site's DSN says.
    QString text = DataSourceName() +
                   QStringLiteral(";CHARSET=sjis;CONN_TIMEOUT=%1;READ_TIMEOUT=%2;WRITE_TIMEOUT=%2")
                       .arg(LoginLimitSeconds)
                       .arg(StatementLimitSeconds);
    const QString database = DatabaseNameToUse();
    if (!database.isEmpty())
        text += QStringLiteral(";DATABASE=") + OdbcAttributeValue(database);
    return text;
}

void TDatabase::Open() {
    if (Connected())
        return;
    // Asked first through the installer's reading, which forgets what it read when the
    // connection settings are saved: the driver manager keeps a source it did not find as not
    // found for a while, even once the settings have made it.
    const QString source = DataSourceName();
    if (!DataSourceDefined(source))
        throw DatabaseError(
            QStringLiteral("Data source name not found: %1（「接続設定」で設定してください）")
                .arg(source));
    QSqlDatabase db = Connection();
    db.setDatabaseName(ConnectionString());
    db.setUserName(ParamValue(QStringLiteral("USER NAME")));
    db.setPassword(ParamValue(QStringLiteral("PASSWORD")));
    if (!db.open()) {
        const QSqlError error = db.lastError();
        db.close();
        throw DatabaseError::FromSqlError(error);
    }
    lost_ = false;
}

void TDatabase::Close() {
    emit Closing();
    QSqlDatabase db = Connection();
    if (db.isOpen())
        db.close();
}

bool TDatabase::Connected() const {
    return Connection().isOpen();
}

void TDatabase::ReconnectIfLost() {
    if (!lost_)
        return;
    // The queries keep the rows they fetched: the lists on screen stay as they were while
    // the server is away, and only the link itself is made anew.
    Connection().close();
    Open();
}
