#pragma once
// A time of day the operator typed for a runner the device missed. It is stored as a stamp row
// like the device's: tcode, dt, tm, sumi, st, tstat and zek hold what a device stamp of that
// time would hold, so the suite's other programs take it as any stamp. Only the raw-line
// column getstr, which they do not read, says it was typed by hand.

#include "data/actions/PendingTimeMark.h"

#include <QString>
#include <optional>

class CapturedWrites;
class TQuery;

// getstr of a typed stamp.
inline const QString HandStampLine = QStringLiteral("手入力");

// "H:MM:SS" or "H:MM:SS.t" (full-width digits and colons as typed in the Japanese input mode
// too) as the time of day device stamps carry, "HH:MM:SS.t000"; none when it is not one.
std::optional<QString> HandTimeOfDay(const QString& typed);

// Stores the stamp in the race of the statements. Its arrival (dt) is that of the stamp just
// before it in time of day, else of the one just after it, else now: the pending times, read
// in order of arrival, offer it in its place among the device's.
void WriteHandStamp(CapturedWrites& writes, TQuery& reading, const StampRef& stamp);

// A column `hand` for a select from tdc_mid: "手" for a typed stamp.
QString StampByHandColumn();
// A column `hand` for a select from midjyun: "手" for a passing at a typed stamp's time.
QString PassingByHandColumn();
