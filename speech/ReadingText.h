#pragma once
// The reading step before the engine: a text becomes, in hiragana, what a Japanese announcer
// says. The timing window's running times are first put in their counters ("12:34.5" as
// 12分34秒5); numbers are read with their counters and sound changes (NumberKana), the digits
// right after 秒 as the tenths ("31秒4": さんじゅういちびょう よん); the words in between by
// the KanaReader. Each number stands apart from its neighbours by a blank.

#include <QString>

class KanaReader;

// symbolsAsPause: symbols other than sentence punctuation become blanks, so they are heard as
// a short pause instead of being read out or run together with their neighbours.
// digitByDigit: every whole number is read one digit at a time ("12" as "いち に").
// Throws SpeechError from the reader.
QString ReadingForEngine(KanaReader& reader, const QString& text, bool symbolsAsPause,
                         bool digitByDigit);
