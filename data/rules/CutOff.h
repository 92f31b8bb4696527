#pragma once
// The cut-off (関門) of a split point: a passing after its time of day is flagged.

#include <QString>
#include <QTime>

// Whether the passing at `timeOfDay` came after `cutOff`, to the millisecond: exactly at the
// cut-off is not after. Times of day are taken within half a day of the cut-off, so a passing
// at 00:10 is after a cut-off at 23:50 and one at 23:50 is before a cut-off at 00:30. An empty
// text is no passing, and no passing is after anything.
bool AfterCutOff(const QString& timeOfDay, QTime cutOff);
