#pragma once
// CSV as spreadsheets read it: RFC 4180 quoting, CRLF line ends, and in Japan either
// Shift-JIS or UTF-8 with a byte-order mark (without the mark a spreadsheet takes UTF-8 for
// the local code page).

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

enum class CsvEncoding { Utf8WithMark, ShiftJis };

// The records, each ended by CRLF. A field holding a comma, a double quote, a CR or an LF goes
// between double quotes, with each double quote in it doubled.
QString CsvText(const QList<QStringList>& records);

// The text in the encoding. Shift-JIS takes what the race database holds; a character it has
// not throws UnstorableTextError.
QByteArray CsvBytes(const QString& text, CsvEncoding encoding);
