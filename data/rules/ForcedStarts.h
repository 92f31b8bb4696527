#pragma once
// The legs of a team whose runner was started by force (繰り上げスタート): the officials
// started the next runners of the teams still out on a leg together, so the late runner and
// the forced one are on the course at once. Which of them a stamp belongs to, and the team
// time, which is then the sum of the legs: the overlap counts against the team.

#include "data/rules/RelayLegs.h"

#include <QString>
#include <vector>

// Whether any leg of the team was started by force.
bool WasForced(const std::vector<RelayLeg>& legs);

// The leg a stamp at `time` finishes: the running leg, or, while a leg started by force has
// run less than the minimum measuring time (no runner could have finished it), the late
// runner of the leg before it. At the workstation's own exchange (`exchange`, 0 when not
// said) a team whose next leg was started there by force is the late runner arriving,
// whatever the time. 0 when no leg is running.
int LegFinishedAt(const std::vector<RelayLeg>& legs, const QString& time, int minimumMinutes,
                  int exchange = 0);

// Why an arrival taken as the finish of a leg may be another runner of a team started by
// force: the late runner taken while the next leg runs by force (the forced runner may have
// come back), or the forced runner taken while the runner of the leg before is still out
// (the late runner may be the one who came).
enum class ArrivalDoubt { None, LateRunnerTaken, LateRunnerStillOut };
// `legs` as they were before the finish of `leg` was taken.
ArrivalDoubt DoubtOfArrival(const std::vector<RelayLeg>& legs, int leg);

// The team's standing after the finish of `leg`: the highest leg finished, so a late runner's
// finish never takes the letter back behind a forced runner who finished already.
int LegsDone(const std::vector<RelayLeg>& legs, int leg);

// The team time of a forced team as the sum of its legs' times (each cut after its tenths,
// as it is written) up to leg `upTo`, `legs` holding the finish just taken; empty when a leg
// of them has no finish: a runner who never arrived leaves the team without a time.
QString SumOfLegTimes(const std::vector<RelayLeg>& legs, int upTo);
