#include "timing/session/LapSession.h"

#include "common/uComm.h"
#include "data/actions/SplitDecision.h"
#include "data/reads/RaceCache.h"
#include "data/rules/RelayLegs.h"
#include "data/rules/SplitRules.h"
#include "speech/Announcements.h"
#include "timing/session/SplitPointCutOff.h"

namespace {

const QString Used = QStringLiteral("1");
const QString HeldForDeadHeat = QStringLiteral("2");
const QString Pending = QStringLiteral("0");

} // namespace

KeyPressResult LapSession::Press(const QString& box, BibKey key,
                                 const std::optional<StampRef>& head, const QString& minutesBox) {
    if (box == QStringLiteral("0")) {
        if (key == BibKey::Space) {
            KeyPressResult nothing;
            nothing.box = box;
            nothing.deadHeatOpen = held_.has_value();
            return nothing;
        }
        return EndDeadHeatOrDiscard(box, head);
    }
    KeyPressResult result = ReadBib(box);
    if (result.Refused())
        return result;
    result.deadHeatOpen = held_.has_value();
    // The held time of a dead heat goes first: the next bib + Enter takes it.
    const std::optional<StampRef> stamp = held_ ? held_ : head;
    if (!stamp) {
        result.refusal = NothingPendingMessage;
        return result;
    }
    const bool hold = key == BibKey::Space;
    setFTtime(result, *stamp, hold ? HeldForDeadHeat : Used, held_ ? HeldForDeadHeat : Pending,
              minutesBox);
    if (!result.Refused()) {
        held_ = hold ? stamp : std::nullopt;
        result.deadHeatOpen = held_.has_value();
    }
    return result;
}

KeyPressResult LapSession::Assign(const QString& bib, const StampRef& stamp,
                                  const QString& minutesBox) {
    KeyPressResult result;
    result.box = result.bib = bib;
    setFTtime(result, stamp, Used, QString(), minutesBox);
    if (!result.Refused())
        LetGo(stamp);
    result.deadHeatOpen = held_.has_value();
    return result;
}

bool LapSession::LetGo(const StampRef& stamp) {
    if (!held_ || !held_->Is(stamp))
        return false;
    held_.reset();
    return true;
}

// While a dead heat is open, "0" ends it: its competitor keeps the time, and the next "0"
// discards the next time.
KeyPressResult LapSession::EndDeadHeatOrDiscard(const QString& box,
                                                const std::optional<StampRef>& head) {
    if (!held_)
        return DiscardHead(box, head);
    KeyPressResult result;
    result.box = box;
    result.shown = NoteAction(QStringLiteral("同着終了 ") + TenthsForm(held_->time), true);
    held_.reset();
    return result;
}

void LapSession::setFTtime(KeyPressResult& result, const StampRef& stamp, const QString& state,
                           const QString& takes, const QString& minutesBox) {
    const QString& bib = result.bib;
    const CompetitorSplits competitor = cache_.Competitor(bib);
    const SplitRequest request{bib,   stamp.time, state, StrToInt(MinutesEntry(minutesBox)),
                               takes, stamp};
    if (!competitor.registered) {
        AwaitConfirmation(result, request);
        return;
    }
    const SplitOutcome outcome = DecideSplit(request, competitor);
    result.log = outcome.log;
    if (!outcome.refusal.isEmpty()) {
        result.refusal = outcome.refusal;
        return;
    }
    const ActionRequest split = DecidedSplit(request, competitor, outcome);
    result.action = PlannedAction{bib, SplitActionText(split), split};
    cache_.Expect(split);
    SplitOutcome shown = outcome;
    shown.recorded = true;
    result.shown = SplitAction(shown, bib, stamp.time);
    // Recorded all the same: the cut-off only flags a late passing for the officials.
    result.shown->afterCutOff = PassedAfterCutOff(stamp.time, CutOffOf(shown.split));
    result.announcement = SplitAnnouncement{bib, outcome.split, outcome.splitTime}.text();
    if (outcome.split != lastSplit_)
        result.listToShow = lastSplit_ = outcome.split;
}

void LapSession::AwaitConfirmation(KeyPressResult& result, const SplitRequest& request) {
    // A runner registered after the copy was read: the server decides, the time is taken.
    ActionRequest split = DecidedSplit(request, {}, {});
    result.action = PlannedAction{request.bib, SplitActionText(split), split};
    result.shown = NoteAction(request.bib + QStringLiteral("  確認待ち  ") +
                                  TenthsForm(request.time),
                              true);
}
