#pragma once
// The program's own writable folder for files it keeps between runs (the record of the check
// list's statement, the journals of device stamps): the folder the launcher keeps the
// database and the working folder in, $TARNIK_HOME when set, otherwise
// $XDG_DATA_HOME/tarnikmid, by default ~/.local/share/tarnikmid.

#include <QString>

// The folder; made when missing.
QString ProgramDataFolder();
// The path of a file in that folder; the folder is made when missing.
QString ProgramDataPath(const QString& fileName);
