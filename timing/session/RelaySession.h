#pragma once
// The relay page's key presses: team + Enter takes the time at the head of the panel as the
// finish of the team's running leg and the start of the next, team + Space the same with the
// time left pending for the next team of a dead heat, "0" + Enter discards it, "*" + an
// exchange + Enter starts the next runners of the teams still out there (a forced start).
// Decided from the race cache, which learns each leg at once.

#include "timing/session/KeyPressResult.h"

class RaceCache;

// A forced start the operator asked for: at exchange n, the runners of leg n + 1 start.
struct ForcedStartChoice {
    int exchange = 0;
    QString teamClass; // empty: every class
};

// A forced start decided, to be sent once the operator answers its question Yes.
struct ForcedStartPlan {
    KeyPressResult press; // refused, or the action
    QString question;
};

class RelaySession {
public:
    explicit RelaySession(RaceCache& cache) : cache_(cache) {}

    // `head` is the stamp the panel shows first; `minutesBox` the minimum-time box's text;
    // `lastLegToo` the "最終走者も処理" box.
    KeyPressResult Press(const QString& box, BibKey key, const std::optional<StampRef>& head,
                         const QString& minutesBox, bool lastLegToo);

    // Whether the box asks for a forced start ("*2", "＊２").
    static bool AsksForcedStart(const QString& box);
    // The forced start the box asks for, of every class, at the time `head`.
    ForcedStartPlan PlanForcedStart(const QString& box, const std::optional<StampRef>& head) const;
    ForcedStartPlan PlanForcedStart(const ForcedStartChoice& choice,
                                    const std::optional<StampRef>& head, const QString& box) const;
    // The operator said Yes: the cache expects the starts, the action is to be sent.
    KeyPressResult StartForced(const ForcedStartPlan& plan);

private:
    // Why the forced start cannot be planned; empty when it can.
    QString ForcedStartRefusal(const ForcedStartChoice& choice, bool headShown,
                               const QStringList& teams) const;

    RaceCache& cache_;
    bool deadHeatOpen_ = false;
    int lastLeg_ = 0; // the leg whose list last followed a key press
};
