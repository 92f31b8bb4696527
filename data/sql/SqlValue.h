#pragma once
// Values in statement text. With the Shift-JIS connection the driver converts a statement's
// text after it is built ("¥" becomes the backslash byte), so no escaping done before can be
// trusted. A value goes to the server instead as its Shift-JIS bytes in a hex literal with
// the character set's introducer, `_sjis X'835C'`: plain ASCII, which no character of the
// value can end or change, and the bytes stored are exactly the value's.

#include <QByteArray>
#include <QString>
#include <QStringList>

// The value's Shift-JIS bytes, "¥" and "‾" as the single bytes 0x5C and 0x7E the driver
// gives them. Throws UnstorableTextError for a character Shift-JIS does not have.
QByteArray ShiftJisBytes(const QString& value);

// The value as a literal of statement text: `_sjis X'…'`.
QString SqlValue(const QString& value);

// The statement as the operator reads it in a log: every value literal written back as the
// text it holds, between quotes.
QStringList ShownStatement(const QStringList& lines);

// Text read from a Shift-JIS connection: the driver decodes the single-byte 0x5C and 0x7E as
// YEN SIGN and OVERLINE (JIS X 0201), while every Japanese Windows program of the suite reads
// and writes them as backslash and tilde. Give them back as the program wrote them.
QString FromShiftJisWire(QString text);

// Text read as its Shift-JIS bytes (a column of ByteColumns), given back as FromShiftJisWire
// gives the driver's text.
QString FromShiftJisBytes(const QByteArray& bytes);
