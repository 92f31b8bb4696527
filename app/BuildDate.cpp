#include "app/BuildDate.h"

#include <QCoreApplication>
#include <QFileInfo>

QString BuildDateCaption(const QDateTime& modified) {
    return modified.toString(QStringLiteral("yyyy/MM/dd"));
}

QString ProgramBuildDateCaption() {
    return BuildDateCaption(QFileInfo(QCoreApplication::applicationFilePath()).lastModified());
}
