#pragma once
// The build date shown on the main window: the program file's last modification, as
// "dd/mm/yyyy".

#include <QDateTime>
#include <QString>

QString BuildDateCaption(const QDateTime& modified);

// The caption for the running program's own file.
QString ProgramBuildDateCaption();
