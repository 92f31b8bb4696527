#pragma once
// The command line of tarnikmid-export.

#include "tools/CsvFile.h"

#include <QString>
#include <QStringList>

struct ExportOptions {
    QString dsn = QStringLiteral("TarnikLocal");
    QString database; // empty: the data source's own
    QString race;     // empty: the race in work (execinfo)
    int split = 0;
    QString out; // empty: standard output
    bool notPassed = false;
    CsvEncoding encoding = CsvEncoding::Utf8WithMark;
};

// Exits with the usage text on --help; throws ExportRefusal for an unknown option or a split
// number that is missing or not 1 to 5.
ExportOptions ParseExportOptions(const QStringList& arguments);
