#pragma once
// Values spliced into statement text. Every value goes between single quotes, so it must be
// escaped: an apostrophe or a backslash in a bib, a device line or a name would otherwise
// end the literal early or change the statement.

#include <QString>

// The value written so that, between single quotes, the server reads it back unchanged.
QString SqlEscape(const QString& value);

// Text read from a Shift-JIS connection: the driver decodes the single-byte 0x5C and 0x7E as
// YEN SIGN and OVERLINE (JIS X 0201), while every Japanese Windows program of the suite reads
// and writes them as backslash and tilde. Give them back as the program wrote them.
QString FromShiftJisWire(QString text);
