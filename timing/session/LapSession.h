#pragma once
// The lap page's key presses: bib + Enter takes the time at the head of the panel as the
// competitor's next split, bib + Space holds it for the next bib of a dead heat, "0" + Enter
// discards it or ends the dead heat; and a time given to a bib by hand. Decided from the
// race cache, which learns each split at once.

#include "timing/session/KeyPressResult.h"

class RaceCache;
struct SplitRequest;

class LapSession {
public:
    explicit LapSession(RaceCache& cache) : cache_(cache) {}

    // `head` is the stamp the panel shows first; `minutesBox` the minimum-time box's text.
    KeyPressResult Press(const QString& box, BibKey key, const std::optional<StampRef>& head,
                         const QString& minutesBox);
    // A stamp in any state given to a four-digit bib by hand.
    KeyPressResult Assign(const QString& bib, const StampRef& stamp, const QString& minutesBox);

    // The time held for a dead heat: it heads the panel until the dead heat's next bib.
    const std::optional<StampRef>& Held() const { return held_; }
    // The stamp went back (an undo, a refusal): it is held no more. True when it was held.
    bool LetGo(const StampRef& stamp);
    void LetGoAll() { held_.reset(); }

private:
    KeyPressResult EndDeadHeatOrDiscard(const QString& box, const std::optional<StampRef>& head);
    // Records `stamp` as the bib's next split; `state` it takes, `takes` the state it must be
    // in (empty: any).
    void setFTtime(KeyPressResult& result, const StampRef& stamp, const QString& state,
                   const QString& takes, const QString& minutesBox);
    // A bib the copy does not know: sent for the server to decide, shown as 確認待ち.
    static void AwaitConfirmation(KeyPressResult& result, const SplitRequest& request);

    RaceCache& cache_;
    std::optional<StampRef> held_;
    int lastSplit_ = 0; // the split point whose list last followed a key press
};
