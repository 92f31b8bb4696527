#include "ProgramFiles.h"

#include <QDir>
#include <QFile>

QString ProgramDataFolder() {
    QString folder = qEnvironmentVariable("TARNIK_HOME");
    if (folder.isEmpty()) {
        QString base = qEnvironmentVariable("XDG_DATA_HOME");
        if (base.isEmpty())
            base = QDir::homePath() + QStringLiteral("/.local/share");
        folder = base + QStringLiteral("/tarnikmid");
    }
    QDir().mkpath(folder);
    return folder;
}

QString ProgramDataPath(const QString& fileName) {
    return ProgramDataFolder() + QLatin1Char('/') + fileName;
}

QString DefaultDataSourceFilePath() {
    return ProgramDataFolder() + QStringLiteral("/db/odbc.ini");
}

QString DataSourceFilePath() {
    const QString path = qEnvironmentVariable("ODBCINI");
    return path.isEmpty() ? DefaultDataSourceFilePath() : path;
}

void UseProgramDataSources() {
    if (qEnvironmentVariableIsEmpty("ODBCINI"))
        qputenv("ODBCINI", QFile::encodeName(DefaultDataSourceFilePath()));
}
