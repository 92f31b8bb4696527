#include "ProgramFiles.h"

#include <QDir>

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
