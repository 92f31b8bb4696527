#pragma once
// The relay page's key presses: team + Enter takes the time at the head of the panel as the
// finish of the team's running leg and the start of the next, team + Space the same with the
// time left pending for the next team of a dead heat, "0" + Enter discards it. Decided from
// the race cache, which learns each leg at once.

#include "timing/KeyPressResult.h"

class RaceCache;

class RelaySession {
public:
    explicit RelaySession(RaceCache& cache) : cache_(cache) {}

    // `head` is the stamp the panel shows first; `minutesBox` the minimum-time box's text;
    // `lastLegToo` the "最終走者も処理" box.
    KeyPressResult Press(const QString& box, BibKey key, const std::optional<StampRef>& head,
                         const QString& minutesBox, bool lastLegToo);

private:
    RaceCache& cache_;
    bool deadHeatOpen_ = false;
    int lastLeg_ = 0; // the leg whose list last followed a key press
};
