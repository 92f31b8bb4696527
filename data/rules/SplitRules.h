#pragma once
// The rules of one competitor's splits: which split a time becomes, how many splits a class
// may record, whether enough time has passed, and the bib form of the passing log.

#include <QString>
#include <QStringList>
#include <optional>

// What the operator is told when a time cannot be recorded.
// Too soon after the time it is measured from (`fromName` such as "スタート" or "中間1"), with
// what the operator needs to see why: "最短計測時間に達していません（スタート 09:00:00.0、
// 経過 0:03:12、最短 5 分）".
QString TooShortMessage(const QString& fromName, const QString& from, int elapsedMs, int minutes);
inline const QString SplitLimitMessage = QStringLiteral("既に最大中間数に達してます。");
inline const QString TimeGoneMessage =
    QStringLiteral("この時刻は他の端末で処理されたか、削除されています。");
inline const QString NothingPendingMessage =
    QStringLiteral("処理待ちのタイムがありません。機器からのタイムを待ってから入力してください。");

// The result row has five split columns.
constexpr int SplitColumns = 5;

// One more than the highest split whose time text is not empty (a text of blanks counts as
// filled, an empty split below it does not matter); 1 when none is filled.
int NextSplitNo(const QStringList& splitTimes);

// The highest split a class may record: its lapn, but never a column the row does not have.
int SplitLimitOfClass(int lapn);

// The minutes typed into the minimum-time box: its edit control takes Enter as a line break,
// so line breaks and blanks around the number are not part of it.
QString MinutesEntry(const QString& boxText);
// The box's minutes as a whole number from 0 up; none when the box holds anything else.
std::optional<int> MinimumMinutesOf(const QString& boxText);
inline const QString MinutesBoxMessage =
    QStringLiteral("最短計測時間には 0 以上の整数（分）を入力してください。");

// Milliseconds from one time of day to the next. A time more than half a day before the other
// was taken after midnight and wraps (23:00 to 00:30 is 1:30:00.0), as the running times do;
// one a little before it stays negative: a stamp out of order, never a day's run.
int MeasuredMs(const QString& from, const QString& to);

// Whether `elapsedMs` after the previous time reach a minimum of `minutes`.
bool ReachesMinimum(int elapsedMs, int minutes);

// The passing log's columns, as its rows are written, moved and taken back.
inline const QStringList PassingLogColumns = {QStringLiteral("tcode"), QStringLiteral("bib"),
                                              QStringLiteral("mtime"), QStringLiteral("tod")};

// The passing log keeps a four-character bib without its first character ("0012" gives
// "012"); any other text as it is.
QString PassingLogBib(const QString& bib);
// A bib as the screen shows it, whatever form a table keeps: four digits ("12", "012" and
// "0012" give "0012"); text that is no number as it is.
QString ShownBib(const QString& bib);
