#include "StatementLines.h"

#include "common/uComm.h"
#include "data/SqlText.h"

QString QuotedLine(const QString& head, const QString& value, const QString& tail) {
    return head + SqlEscape(value) + tail;
}

QString RaceLine(const QString& head) {
    return QuotedLine(head, uComm::RaceCode);
}
