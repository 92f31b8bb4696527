#include "timing/session/LastAction.h"

#include "data/actions/RelayDecision.h"
#include "data/actions/SplitDecision.h"

namespace {

// A bib's key press as the strip says it: what was recorded, or why nothing was.
LastAction KeyPressAction(bool recorded, const QString& bib, const QString& what,
                          const QString& timeTaken, const QString& timeOfDay,
                          const QString& refusal) {
    LastAction action;
    action.recorded = recorded;
    action.bib = bib;
    action.what = what;
    action.timeTaken = timeTaken;
    action.timeOfDay = timeOfDay;
    action.refusal = refusal;
    return action;
}

} // namespace

LastAction SplitAction(const SplitOutcome& outcome, const QString& bib, const QString& time) {
    return KeyPressAction(outcome.recorded, bib, QStringLiteral("中間%1").arg(outcome.split),
                          outcome.splitTime, time, outcome.refusal);
}

LastAction RelayAction(const RelayOutcome& outcome, const QString& bib, const QString& time) {
    return KeyPressAction(outcome.recorded, bib, QStringLiteral("%1走").arg(outcome.leg),
                          outcome.legTime, time, outcome.refusal);
}

LastAction NoteAction(const QString& note, bool done) {
    LastAction action;
    action.recorded = done;
    action.note = note;
    return action;
}
