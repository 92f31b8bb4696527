#pragma once
// The program's own writable folder for files it keeps between runs (the record of the check
// list's statement, the journal of device stamps): $XDG_DATA_HOME/tarnikmid, by default
// ~/.local/share/tarnikmid.

#include <QString>

// The path of a file in that folder; the folder is made when missing.
QString ProgramDataPath(const QString& fileName);
