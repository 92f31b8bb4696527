#include "FarDataSource.h"

#include "data/sql/TDatabase.h"
#include "support/DataSourceFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <stdexcept>

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

quint16 ServerPort(const QString& odbcIni) {
    const QString path = QFileInfo(odbcIni).dir().filePath(QStringLiteral("port"));
    const int port = ReadFile(path).trimmed().toInt();
    if (port <= 0 || port > 65535)
        throw std::runtime_error("no server port in " + path.toStdString());
    return quint16(port);
}

// TarnikLocal's lines with the server reached over TCP at `port`.
QByteArray FarSection(const QByteArray& odbcIni, quint16 port) {
    static const QRegularExpression local(QStringLiteral("\\[TarnikLocal\\]\\n([^\\[]*)"));
    const QRegularExpressionMatch match = local.match(QString::fromUtf8(odbcIni));
    if (!match.hasMatch())
        throw std::runtime_error("no data source TarnikLocal in ODBCINI");
    QString section = QStringLiteral("\n[%1]\n").arg(FarDataSource::Name());
    for (const QString& line : match.captured(1).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (!line.startsWith(QLatin1String("SERVER=")) &&
            !line.startsWith(QLatin1String("SOCKET=")))
            section += line + QLatin1Char('\n');
    section += QStringLiteral("SERVER=127.0.0.1\nPORT=%1\n").arg(port);
    return section.toUtf8();
}

} // namespace

FarDataSource::FarDataSource(int oneWayDelayMs)
    : savedOdbcIni_(qgetenv("ODBCINI")),
      proxy_(QStringLiteral("127.0.0.1"), ServerPort(QString::fromLocal8Bit(savedOdbcIni_)),
             oneWayDelayMs) {
    const QByteArray sources = ReadFile(QString::fromLocal8Bit(savedOdbcIni_));
    const QString path = folder_.filePath(QStringLiteral("odbc.ini"));
    QFile file(path);
    port_ = proxy_.Start();
    if (!file.open(QIODevice::WriteOnly) || file.write(sources + FarSection(sources, port_)) < 0)
        throw std::runtime_error("cannot write " + path.toStdString());
    file.close();
    PointOdbcIniAt(path.toLocal8Bit(), path);
}

FarDataSource::~FarDataSource() {
    PointOdbcIniAt(savedOdbcIni_, folder_.filePath(QStringLiteral("odbc.ini")));
}

void ConnectThrough(TDatabase& database, const QString& name) {
    database.Close();
    QStringList params = database.Params;
    for (QString& line : params)
        if (line.startsWith(QLatin1String("ODBC DSN=")))
            line = QStringLiteral("ODBC DSN=") + name;
    database.Params = params;
    database.Open();
}
