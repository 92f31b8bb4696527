#pragma once
// Split times as an operator types them into the check list, and the texts the program keeps
// for them: a running time in the form a recorded split gets ("   12:34.5"), and the time of
// day of the passing in the device's form ("10:12:34.5000").

#include <QString>
#include <optional>

// The split number of a split-time column ("midtime2", in any letter case, gives 2); 0 for
// any other column.
int SplitOfColumn(const QString& column);

// Milliseconds of a running time typed as [[h:]mm:]ss[.f] with blanks around it allowed:
// "1:02:03.4", "12:34.5", "59.9", "12:34"; at most three fraction digits, minutes and seconds
// below 60, hours below 24 (a split is measured within the day). None for anything else
// ("1:5", "abc").
std::optional<int> TypedRunningTimeMs(const QString& typed);

// What a split-time cell keeps for the typed text: the running time in the recorded form, cut
// after its tenths digit as a recording cuts it; blanks or nothing give the empty text (no
// split). None when the text is no running time.
std::optional<QString> SplitTimeEntry(const QString& typed);

// The refusal of a text that is no split time, naming the column as the list titles it.
QString SplitTimeFormMessage(int split, const QString& typed);

// The split times of a row, split 1 first, from its values named by `fieldNames`; a split the
// row does not hold is empty.
QStringList SplitTimesOf(const QStringList& fieldNames, const QStringList& row);

// The refusal of `splitTime` for split `split` when it lies before the nearest split ahead of
// it that has a time in `splitTimes`, or after the nearest one behind it, naming that split;
// empty when in order (or cleared). Splits measure from the start, so their times only grow.
QString SplitOrderRefusal(int split, const QString& splitTime, const QStringList& splitTimes);

// A time of day in the device's form, four fraction digits, from milliseconds that may lie
// past midnight (they wrap into the next day).
QString TimeOfDayText(qint64 ms);
