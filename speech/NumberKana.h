#pragma once
// Numbers as a Japanese announcer says them, in hiragana: whole numbers up to the hundred
// thousand millions with the sound changes of hundreds and thousands (さんびゃく, ろっぴゃく,
// はっせん), and the counters after them with theirs (いっぷん, よじかん, よんびょう, ひとり).
// The engine's own reading of digits gets these wrong, so no digit reaches it.

#include <QString>
#include <QStringList>

// The counters read with their sound changes, longest first, so that 時間 is found before 時.
const QStringList& KnownCounters();

// digits: ASCII digits with at most one decimal point ("31", "0012", "4.5"). Leading zeros are
// not read: "0012" is じゅうに. counter: one of KnownCounters(), or empty for none.
// digitByDigit: the whole part is read one digit at a time, "12番" as "いち にばん".
QString NumberKana(const QString& digits, const QString& counter, bool digitByDigit);

// Every digit on its own, blank-separated: "305" as "さん ぜろ ご".
QString DigitsKana(const QString& digits);
