#include "timing/session/SplitPointCutOff.h"

#include "common/uComm.h"
#include "data/rules/CutOff.h"

std::optional<QTime> CutOffOf(int split) {
    if (split < 1 || split > int(std::size(uComm::CutOffTimes)))
        return std::nullopt;
    const QTime time = QTime::fromString(uComm::CutOffTimes[split - 1], QStringLiteral("HH:mm:ss"));
    return time.isValid() ? std::optional(time) : std::nullopt;
}

bool PassedAfterCutOff(const QString& timeOfDay, const std::optional<QTime>& cutOff) {
    return cutOff && AfterCutOff(timeOfDay, *cutOff);
}
