#include "DataSourceFile.h"

#include <odbcinst.h>

void PointOdbcIniAt(const QByteArray& odbcIni, const QString& scratchIni) {
    if (odbcIni.isEmpty())
        qunsetenv("ODBCINI");
    else
        qputenv("ODBCINI", odbcIni);
    SQLWritePrivateProfileString("TarnikScratch", "Description", "Written to refresh the cache",
                                 scratchIni.toLocal8Bit().constData());
}
