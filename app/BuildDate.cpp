#include "app/BuildDate.h"

#include <QCoreApplication>
#include <QFileInfo>

QString BuildDateCaption(const QDateTime& modified) {
    return modified.toString(QStringLiteral("dd/MM/yyyy"));
}

QString ProgramBuildDateCaption() {
    return BuildDateCaption(QFileInfo(QCoreApplication::applicationFilePath()).lastModified());
}
