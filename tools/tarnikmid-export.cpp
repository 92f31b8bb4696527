// tarnikmid-export: the passings of one split point as CSV, for a spreadsheet, read from the
// race database while the timing window goes on timing.

#include "common/ProgramFiles.h"
#include "data/Udm1.h"
#include "data/sql/DatabaseError.h"
#include "data/sql/TDatabase.h"
#include "tools/ExportOptions.h"
#include "tools/ExportRefusal.h"
#include "tools/SplitPointExport.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

// The program's own connection parameters, on the data source asked for.
TDatabase::Source SourceOf(const ExportOptions& options) {
    QStringList params = TDm1::CreationParams();
    for (QString& line : params)
        if (line.startsWith(QStringLiteral("ODBC DSN="), Qt::CaseInsensitive))
            line = QStringLiteral("ODBC DSN=") + options.dsn;
    return {options.dsn, params, options.database};
}

void Write(const QByteArray& bytes, const QString& path) {
    if (path.isEmpty()) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            throw AppError(QStringLiteral("標準出力に書けません: ") + out.errorString());
        return;
    }
    // A file another program has open keeps its old contents until the new ones are whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(QStringLiteral("%1 に書けません: %2").arg(path, file.errorString()));
}

void Tell(const QString& message) {
    std::fprintf(stderr, "tarnikmid-export: %s\n", message.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The program's data sources, whether the launcher set ODBCINI or not.
    UseProgramDataSources();
    try {
        const ExportOptions options = ParseExportOptions(app.arguments());
        TDatabase database;
        database.UseSource(SourceOf(options));
        database.Open();
        Write(CsvBytes(CsvText(SplitPointExportRecords(database, options)), options.encoding),
              options.out);
        return 0;
    } catch (const ExportRefusal& refusal) {
        Tell(refusal.message());
        return 2;
    } catch (const AppError& error) {
        Tell(error.message());
        return 1;
    }
}
