#pragma once
// The running times of the timing window ("   12:34.5", "1:23:31.4", "     9.1") in the
// counters an announcer reads them with ("12分34秒5", "1時間23分31秒4", "9秒1").

#include <QString>

// A text that is one running time with its tenths digit, blanks around it allowed; empty when
// it is not one. Leading zeros of each field are not said: "1:05:03.2" is "1時間5分3秒2".
QString TimeInCounters(const QString& timeText);

// Every running time with minutes inside a longer text rewritten so. A bare "9.1" stays as it
// is: in a free text it may be any decimal number.
QString TimesInCounters(const QString& text);
