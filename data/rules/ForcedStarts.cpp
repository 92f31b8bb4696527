#include "data/rules/ForcedStarts.h"

#include "common/uComm.h"
#include "data/rules/SplitRules.h"

#include <algorithm>

namespace {

// A leg's time as it is written: wrapped once past midnight, cut after its tenths.
int LegTenthsMs(const RelayLeg& leg) {
    return ElapsedMs(leg.start, leg.finish) / 100 * 100;
}

} // namespace

bool WasForced(const std::vector<RelayLeg>& legs) {
    return std::any_of(legs.begin(), legs.end(),
                       [](const RelayLeg& leg) { return leg.forcedStart; });
}

int LegFinishedAt(const std::vector<RelayLeg>& legs, const QString& time, int minimumMinutes,
                  int exchange) {
    const bool lateHere = exchange >= 1 && exchange < int(legs.size()) &&
                          legs[exchange].forcedStart && !IsUnsetTime(legs[exchange - 1].start) &&
                          IsUnsetTime(legs[exchange - 1].finish);
    if (lateHere)
        return exchange;
    const int running = RunningLeg(legs);
    if (running < 2 || !legs[running - 1].forcedStart ||
        ReachesMinimum(MeasuredMs(legs[running - 1].start, time), minimumMinutes))
        return running;
    // The late runner: the highest leg still running below the forced one.
    const int late = RunningLeg({legs.begin(), legs.begin() + (running - 1)});
    return late != 0 ? late : running;
}

ArrivalDoubt DoubtOfArrival(const std::vector<RelayLeg>& legs, int leg) {
    if (leg < 1 || leg > int(legs.size()))
        return ArrivalDoubt::None;
    if (leg < int(legs.size()) && legs[leg].forcedStart)
        return ArrivalDoubt::LateRunnerTaken;
    const bool earlierStillOut = leg >= 2 && legs[leg - 1].forcedStart &&
                                 !IsUnsetTime(legs[leg - 2].start) &&
                                 IsUnsetTime(legs[leg - 2].finish);
    return earlierStillOut ? ArrivalDoubt::LateRunnerStillOut : ArrivalDoubt::None;
}

int LegsDone(const std::vector<RelayLeg>& legs, int leg) {
    int done = leg;
    for (int k = leg + 1; k <= int(legs.size()); ++k)
        if (!IsUnsetTime(legs[k - 1].finish))
            done = k;
    return done;
}

QString SumOfLegTimes(const std::vector<RelayLeg>& legs, int upTo) {
    int sum = 0;
    for (int k = 1; k <= upTo && k <= int(legs.size()); ++k) {
        const RelayLeg& leg = legs[k - 1];
        if (IsUnsetTime(leg.start) || IsUnsetTime(leg.finish))
            return {};
        sum += LegTenthsMs(leg);
    }
    return MsToTenthsText(sum);
}
