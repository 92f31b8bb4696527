#include "StatementLines.h"

#include "data/SqlText.h"
#include "timing/uComm.h"

QString QuotedLine(const QString& head, const QString& value, const QString& tail) {
    return head + SqlEscape(value) + tail;
}

QString RaceLine(const QString& head) {
    return QuotedLine(head, uComm::RaceCode);
}
