#pragma once
// A digit as the operator types it: with the Japanese input mode on a key gives ０ … ９, which
// is the same digit. The bib box's keyboard and the sessions' bib reading read it alike.

#include <QString>

// The ASCII digit of a typed character, 0 when it is none: half or full width.
char DigitOf(const QString& typed);
