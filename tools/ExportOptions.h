#pragma once
// The command line of tarnikmid-export.

#include "tools/CsvFile.h"

#include <QString>
#include <QStringList>
#include <QTime>

enum class HeaderLanguage { Japanese, English };

struct ExportOptions {
    QString dsn = QStringLiteral("TarnikLocal");
    QString database; // empty: the data source's own
    QString race;     // empty: the race in work (execinfo)
    int split = 0;
    QString out; // empty: standard output
    bool notPassed = false;
    CsvEncoding encoding = CsvEncoding::Utf8WithMark;
    HeaderLanguage header = HeaderLanguage::Japanese;
    QTime cutOff; // invalid: none given, no passing is marked late
};

// Exits with the usage text on --help; throws ExportRefusal for an unknown option, a split
// number that is missing or not 1 to 5, a cut-off that is not HH:MM[:SS] or a header
// language other than ja and en.
ExportOptions ParseExportOptions(const QStringList& arguments);
