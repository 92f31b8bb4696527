#pragma once
// Points ODBCINI at another file of data sources (empty: none), for this process's next
// connections.

#include <QByteArray>
#include <QString>

// unixODBC keeps what it read of the data sources for 20 s, but forgets it whenever its
// installer writes a data source: a line written in `scratchIni`, a file of the caller's own
// (never the shared one), makes the next connection read the file that ODBCINI names now.
void PointOdbcIniAt(const QByteArray& odbcIni, const QString& scratchIni);
