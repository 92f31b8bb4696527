#include "data/actions/DecideAgain.h"

#include "data/actions/DecisionState.h"
#include "data/actions/RelayDecision.h"
#include "data/actions/RowWrites.h"
#include "data/actions/SplitDecision.h"

namespace {

using Kind = ActionRequest::Kind;

DecidedAgain SplitAgain(const ActionRequest& request, const QString& state) {
    const CompetitorSplits competitor = CompetitorFromState(state);
    const SplitRequest split{request.bib,    request.stamp.time, request.state,
                             request.minimumMinutes, request.takes, request.stamp};
    const SplitOutcome decided = DecideSplit(split, competitor);
    if (!decided.refusal.isEmpty())
        return {std::nullopt, decided.refusal};
    ActionRequest again = DecidedSplit(split, competitor, decided);
    // The server's own text: what it holds is what the next check compares.
    again.read = state;
    return {again, {}};
}

DecidedAgain LegAgain(const ActionRequest& request, const QString& state) {
    const RelayTeam team = TeamFromState(request.bib, state);
    const RelayEntry entry{request.bib, request.stamp.time, QString::number(request.minimumMinutes),
                           request.lastLegToo, request.stamp, request.exchange};
    const RelayOutcome decided = DecideRelayFinish(team, entry);
    if (!decided.recorded)
        return {std::nullopt, decided.refusal};
    ActionRequest again = DecidedLeg(team, entry, decided, request.usesTime);
    again.read = state;
    return {again, {}};
}

QString SplitNote(const ActionRequest& shown, const ActionRequest& applied) {
    if (shown.number < applied.number)
        return QStringLiteral("%1 は中間%2 として記録しました（中間%3 は他の端末で記録済み）")
            .arg(applied.bib)
            .arg(applied.number)
            .arg(shown.number);
    if (shown.number > applied.number)
        return QStringLiteral("%1 は中間%2 として記録しました（中間%2 は他の端末で取り消し済み）")
            .arg(applied.bib)
            .arg(applied.number);
    return QStringLiteral("%1 の中間%2 は %3 として記録しました（スタート時刻が他の端末で変更"
                          "されています）")
        .arg(applied.bib)
        .arg(applied.number)
        .arg(applied.runningTime.trimmed());
}

QString LegNote(const ActionRequest& shown, const ActionRequest& applied) {
    const QString teamTime =
        applied.teamTime.isEmpty() ? QStringLiteral("記録なし") : applied.teamTime.trimmed();
    const QString said = QStringLiteral("チームNo.%1 は%2走 %3（チーム %4）として記録しました")
                             .arg(applied.bib)
                             .arg(applied.number)
                             .arg(applied.runningTime.trimmed(), teamTime);
    if (shown.number != applied.number)
        return said + QStringLiteral("（%1走 は他の端末で変更されています）").arg(shown.number);
    return said + QStringLiteral("（他の端末での変更を反映）");
}

} // namespace

DecidedAgain DecideAgain(const ActionRequest& request, const QString& state) {
    if (request.kind == Kind::Split)
        return SplitAgain(request, state);
    if (request.kind == Kind::RelayLeg)
        return LegAgain(request, state);
    return {request, {}};
}

QStringList DecisionReadStatements(const ActionRequest& request) {
    return request.kind == Kind::RelayLeg ? TeamStateStatements(request.bib)
                                          : CompetitorStateStatements(request.bib);
}

void GuardDecision(RowWrites& writes, const ActionRequest& request) {
    if (request.kind == Kind::Split || request.kind == Kind::RelayLeg)
        writes.Guard(DecisionReadStatements(request), request.read);
}

QString ChangedDecisionNote(const ActionRequest& shown, const ActionRequest& applied) {
    if (shown.Undecided())
        return {};
    const bool same = shown.number == applied.number &&
                      shown.runningTime == applied.runningTime &&
                      shown.teamTime == applied.teamTime;
    if (same)
        return {};
    return applied.kind == Kind::RelayLeg ? LegNote(shown, applied) : SplitNote(shown, applied);
}

QString DecisionText(const ActionRequest& request) {
    return request.kind == Kind::RelayLeg ? RelayLegActionText(request) : SplitActionText(request);
}
