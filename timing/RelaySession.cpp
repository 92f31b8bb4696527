#include "timing/RelaySession.h"

#include "data/RaceCache.h"
#include "data/RelayRecorder.h"
#include "data/SplitRules.h"
#include "speech/Announcements.h"

KeyPressResult RelaySession::Press(const QString& box, BibKey key,
                                   const std::optional<StampRef>& head, const QString& minutesBox,
                                   bool lastLegToo) {
    if (box == QStringLiteral("0")) {
        KeyPressResult result;
        if (key == BibKey::Enter) {
            result = DiscardHead(box, head);
            deadHeatOpen_ = deadHeatOpen_ && result.Refused();
        }
        result.box = box;
        result.deadHeatOpen = deadHeatOpen_;
        return result;
    }
    KeyPressResult result = ReadBib(box);
    result.deadHeatOpen = deadHeatOpen_;
    if (result.Refused())
        return result;
    if (!head) {
        result.refusal = NothingPendingMessage;
        return result;
    }
    const RelayEntry entry{result.bib, head->time, minutesBox, lastLegToo, *head};
    const RelayOutcome outcome = DecideRelayFinish(cache_.Team(entry.bib), entry);
    result.statement = outcome.statement;
    result.log = outcome.log;
    // Space keeps the time pending for the dead heat's next team; Enter closes a dead heat
    // whatever comes of it.
    const bool hold = key == BibKey::Space;
    if (!hold)
        deadHeatOpen_ = false;
    if (!outcome.recorded) {
        result.refusal = outcome.refusal;
        result.deadHeatOpen = deadHeatOpen_;
        return result;
    }
    deadHeatOpen_ = hold;
    result.deadHeatOpen = deadHeatOpen_;
    ActionRequest leg;
    leg.kind = ActionRequest::Kind::RelayLeg;
    leg.bib = entry.bib;
    leg.stamp = entry.stamp;
    leg.number = outcome.leg;
    leg.legs = outcome.legs;
    leg.runningTime = outcome.legTime;
    leg.teamTime = outcome.teamTime;
    leg.teamLetter = outcome.teamLetter;
    leg.usesTime = !hold;
    result.action =
        PlannedAction{entry.bib,
                      QStringLiteral("%1走  %2  %3  チーム %4")
                          .arg(outcome.leg)
                          .arg(outcome.legTime.trimmed(), entry.time, outcome.teamTime.trimmed()),
                      leg, true};
    cache_.ExpectLeg(entry.bib, outcome.leg, entry.time);
    result.shown = RelayAction(outcome, entry.bib, entry.time);
    result.announcement = LegFinishAnnouncement{entry.bib, outcome.leg, outcome.legs,
                                                outcome.legTime, outcome.teamTime}
                              .text();
    if (outcome.leg != lastLeg_)
        result.listToShow = lastLeg_ = outcome.leg;
    return result;
}
