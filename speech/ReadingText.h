#pragma once
// The control's reading rules, applied to the kana reading just before synthesis.

#include <QString>

// symbolsAsPause: symbols other than sentence punctuation become blanks, so they are heard as
// a short pause instead of being read out or run together with their neighbours.
// digitByDigit: every digit is read on its own ("12" as "1 2") instead of as a number.
QString ApplyReadingRules(const QString& reading, bool symbolsAsPause, bool digitByDigit);
