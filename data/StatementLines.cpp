#include "StatementLines.h"

#include "common/uComm.h"
#include "data/SqlValue.h"

QString ValueLine(const QString& head, const QString& value, const QString& tail) {
    return head + SqlValue(value) + tail;
}

QString RaceLine(const QString& head) {
    return ValueLine(head, uComm::RaceCode);
}

QString ByteColumns(const QStringList& columns) {
    QStringList read;
    for (const QString& column : columns)
        read << QStringLiteral("cast(%1 as binary) as %2")
                    .arg(column, column.section(QLatin1Char('.'), -1));
    return read.join(QLatin1Char(','));
}

QString SqlValueList(const QStringList& values) {
    QStringList literals;
    for (const QString& value : values)
        literals << SqlValue(value);
    return literals.join(QLatin1Char(','));
}
