#include "data/rules/CutOff.h"

#include "data/rules/RelayLegs.h"
#include "data/rules/SplitRules.h"
#include "data/rules/SplitTimeEntry.h"

bool AfterCutOff(const QString& timeOfDay, QTime cutOff) {
    if (IsUnsetTime(timeOfDay) || !cutOff.isValid())
        return false;
    constexpr int HalfDay = 12 * 3600 * 1000;
    // MeasuredMs takes a passing soon after midnight past a cut-off late in the evening; one
    // more than half a day after the cut-off came the evening before it.
    const int ms = MeasuredMs(TimeOfDayText(cutOff.msecsSinceStartOfDay()), timeOfDay);
    return ms > 0 && ms < HalfDay;
}
