#include "ProgramFiles.h"

#include <QDir>

QString ProgramDataPath(const QString& fileName) {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    const QString folder = base + QStringLiteral("/tarnikmid");
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + fileName;
}
