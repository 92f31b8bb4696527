#pragma once
// The operator's database choice on the main window (0 "Local", 1 "Test", 2 "Server") as the
// connection's parameter list, and what the program says when the chosen source fails.

#include <QString>
#include <QStringList>

class DatabaseError;

// Where the data-source line stands in ConnectionParams.
constexpr int DataSourceLineIndex = 2;

// "ODBC DSN=TarnikLocal", "ODBC DSN=TarnikTest" or "ODBC DSN=TarnikServer"; a choice
// outside 0 .. 2 (no selection) keeps Local.
QString DataSourceLine(int choice);

// The 18 lines of every connect, the data-source line set by the choice.
QStringList ConnectionParams(int choice);

// The notice that a source did not answer and the program works on Local instead.
QString ConnectionFailureMessage(const QString& dataSourceLine);

// The question when the chosen race server does not answer: time offline from this
// workstation's copy of the race (Yes), or connect to Local (No).
QString OfflineQuestion(const QString& dataSourceLine, const QString& reason);

// Whether the error is the driver refusing "set names": the character set is a connection
// option on this driver, so the statement has nothing left to do.
bool IsSetNamesRefusal(const DatabaseError& error);
