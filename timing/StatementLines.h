#pragma once
// Lines of statement text that end in a quoted value. The value is escaped, so the server
// reads it back as the one value it is, whatever characters it holds.

#include <QString>

// head + value between quotes + tail: QuotedLine("and zek = '", "0012") is "and zek = '0012'".
QString QuotedLine(const QString& head, const QString& value,
                   const QString& tail = QStringLiteral("'"));

// head + the race in work + "'": RaceLine("where tcode = '") is "where tcode = 'R1'".
QString RaceLine(const QString& head);
