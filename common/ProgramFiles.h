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

// The unixODBC user file of data sources the launcher sets as ODBCINI: db/odbc.ini in that
// folder.
QString DefaultDataSourceFilePath();
// The data sources every connection of this process reads: $ODBCINI, else the default file.
QString DataSourceFilePath();
// Sets ODBCINI to the default file when it is unset, so that the program and its commands
// started without the launcher find the same data sources. Called before any connection.
void UseProgramDataSources();
