#pragma once
// The cut-off (関門) kept for a split point and whether a passing came after it: the lap
// session flags a late passing with it, the split point's view counts down to it and shades
// the late ones.

#include <QString>
#include <QTime>
#include <optional>

// The cut-off kept for split point n (1 .. 5), if one is set.
std::optional<QTime> CutOffOf(int split);
// Whether a passing at this time of day ("HH:MM:SS.ffff") came after the cut-off; exactly at
// the cut-off is in time.
bool PassedAfterCutOff(const QString& timeOfDay, const std::optional<QTime>& cutOff);
