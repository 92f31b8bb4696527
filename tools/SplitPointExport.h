#pragma once
// What tarnikmid-export writes: the passings of one split point in passing order, or the
// runners still expected there, as CSV records with a header record in Japanese or English.
// Bibs and texts a spreadsheet would read as formulas are written to stay text. Runs beside
// the timing window on a connection of its own and never writes to the race.

#include "tools/ExportOptions.h"

#include <QList>
#include <QStringList>

class TDatabase;

// Reads through `database` (open), which it makes read-only first. Throws ExportRefusal for a
// race that is not in tiki or a split above every class's lapn, DatabaseError with the
// server's message.
QList<QStringList> SplitPointExportRecords(TDatabase& database, const ExportOptions& options);
