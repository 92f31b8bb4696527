#pragma once
// The build date shown on the main window: the program file's last modification, as
// "yyyy/mm/dd", as dates are written in Japan.

#include <QDateTime>
#include <QString>

QString BuildDateCaption(const QDateTime& modified);

// The caption for the running program's own file.
QString ProgramBuildDateCaption();
