#include "support/PressAndApply.h"

#include "common/uComm.h"
#include "data/actions/DecideAgain.h"
#include "data/sql/SqlValue.h"
#include "support/TestDatabase.h"

#include <QUuid>
#include <algorithm>
#include <gtest/gtest.h>

QString AppliedAction::Refusal() const {
    if (press.Refused())
        return press.refusal;
    return outcome && outcome->result == ApplyOutcome::Result::Refused ? outcome->refusal
                                                                       : QString();
}

PressAndApply::PressAndApply(TDatabase& database)
    : reading_(database, QStringLiteral("CacheReading")), applier_(database) {}

void PressAndApply::Load() {
    cache_.Load(reading_);
}

AppliedAction PressAndApply::Lap(const QString& box, BibKey key, const StampRef& head,
                                 const QString& minutesBox) {
    return Pressed(ActionPage::Lap, lap_.Press(box, key, head, minutesBox));
}

AppliedAction PressAndApply::Assign(const QString& bib, const StampRef& stamp,
                                    const QString& minutesBox) {
    return Pressed(ActionPage::Lap, lap_.Assign(bib, stamp, minutesBox));
}

AppliedAction PressAndApply::Relay(const QString& box, BibKey key, const StampRef& head,
                                   bool lastLegToo, const QString& minutesBox) {
    return Pressed(ActionPage::Relay, relay_.Press(box, key, head, minutesBox, lastLegToo));
}

AppliedAction PressAndApply::Cancel(const QString& zek, int n, const QString& passing) {
    ActionRequest cancel;
    cancel.kind = ActionRequest::Kind::Cancel;
    cancel.bib = zek;
    cancel.number = n;
    cancel.passing = passing;
    return Send(ActionPage::Lap, zek, QStringLiteral("取消 中間%1  %2").arg(n).arg(passing),
                cancel);
}

AppliedAction PressAndApply::Reset() {
    lap_.LetGoAll();
    ActionRequest reset;
    reset.kind = ActionRequest::Kind::Reset;
    return Send(ActionPage::Lap, {},
                QStringLiteral("初期化 中間記録 %1 件を消去").arg(cache_.CountSplits().splits),
                reset);
}

AppliedAction PressAndApply::RelayReset() {
    ActionRequest reset;
    reset.kind = ActionRequest::Kind::RelayReset;
    return Send(ActionPage::Relay, {},
                QStringLiteral("リレー初期化 区間 %1 件を消去").arg(cache_.FinishedLegs()), reset,
                true);
}

AppliedAction PressAndApply::Undo(ActionPage page) {
    const auto last = std::find_if(history_.rbegin(), history_.rend(), [&](const auto& action) {
        return action.page == page && !action.undone &&
               action.progress == OperatorAction::Progress::Applied &&
               action.request.kind != ActionRequest::Kind::Undo;
    });
    if (last == history_.rend()) {
        ADD_FAILURE() << "nothing to take back on the page";
        return {};
    }
    const OperatorAction target = *last;
    // Shown at once, whenever the server takes it.
    cache_.Unexpect(target.request);
    lap_.LetGo(target.request.stamp);
    ActionRequest undo;
    undo.kind = ActionRequest::Kind::Undo;
    undo.target = target.id;
    AppliedAction applied =
        Send(page, target.bib, QStringLiteral("元に戻す: ") + target.what, undo);
    if (applied.Applied())
        for (OperatorAction& action : history_)
            action.undone |= action.id == target.id;
    return applied;
}

StampRef PressAndApply::Stored(const TestDatabase& db, const QString& time) {
    return {db.Scalar("select min(id) from tdc_mid where tm = " + SqlValue(time)).toLongLong(),
            {},
            time};
}

AppliedAction PressAndApply::Pressed(ActionPage page, const KeyPressResult& press) {
    if (!press.action)
        return {press, {}, std::nullopt};
    AppliedAction applied = Send(page, press.action->bib, press.action->what, press.action->request,
                                 press.action->marksChange);
    applied.press = press;
    return applied;
}

AppliedAction PressAndApply::Send(ActionPage page, const QString& bib, const QString& what,
                                  const ActionRequest& request, bool marksChange) {
    OperatorAction action;
    action.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    action.raceCode = uComm::RaceCode;
    action.at = QDateTime::currentDateTime();
    action.page = page;
    action.bib = bib;
    action.what = what;
    action.request = request;
    action.marksChange = marksChange;
    cache_.Expect(request);
    // Only an undo needs the others, as the writer gives them.
    const ApplyOutcome outcome = applier_.Apply(action, request.kind == ActionRequest::Kind::Undo
                                                            ? history_
                                                            : std::deque<OperatorAction>{});
    Follow(request, outcome);
    if (outcome.decided) {
        action.request = *outcome.decided;
        action.what = DecisionText(*outcome.decided);
    }
    action.changes = outcome.changes;
    action.refusal = outcome.refusal;
    action.progress =
        outcome.result == ApplyOutcome::Result::Applied   ? OperatorAction::Progress::Applied
        : outcome.result == ApplyOutcome::Result::Refused ? OperatorAction::Progress::Refused
                                                          : OperatorAction::Progress::Waiting;
    history_.push_back(action);
    return {{}, action, outcome};
}

void PressAndApply::Follow(const ActionRequest& sent, const ApplyOutcome& outcome) {
    if (outcome.state)
        cache_.TakeState(sent, *outcome.state);
    if (outcome.result == ApplyOutcome::Result::Applied) {
        cache_.Expect(outcome.decided.value_or(sent));
    } else if (outcome.result == ApplyOutcome::Result::Refused) {
        // What the copy expected did not happen: the race is read again whole, as the
        // window reads it after a refused relay leg.
        lap_.LetGo(sent.stamp);
        Load();
    }
}
