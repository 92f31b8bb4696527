#include "StatementLines.h"

#include "common/uComm.h"
#include "data/SqlValue.h"

QString ValueLine(const QString& head, const QString& value, const QString& tail) {
    return head + SqlValue(value) + tail;
}

QString RaceLine(const QString& head) {
    return ValueLine(head, uComm::RaceCode);
}

QString SqlValueList(const QStringList& values) {
    QStringList literals;
    for (const QString& value : values)
        literals << SqlValue(value);
    return literals.join(QLatin1Char(','));
}
