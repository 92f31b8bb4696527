#include "timing/session/RelaySession.h"

#include "common/uComm.h"
#include "data/actions/ForcedStartTable.h"
#include "data/actions/RelayDecision.h"
#include "data/reads/RaceCache.h"
#include "data/rules/SplitRules.h"
#include "speech/Announcements.h"
#include "timing/session/LateArrivalWarning.h"
#include "timing/session/TypedDigit.h"

namespace {

const QString ForcedMark = QStringLiteral("繰上");

QString ExchangeText(const ForcedStartChoice& choice) {
    const QString exchange = QStringLiteral("第%1中継所").arg(choice.exchange);
    return choice.teamClass.isEmpty()
               ? exchange
               : exchange + QStringLiteral("（クラス %1）").arg(choice.teamClass);
}

} // namespace

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
    const RelayEntry entry{result.bib, head->time, minutesBox, lastLegToo, *head,
                           uComm::RelayExchange};
    const RelayTeam team = cache_.Team(entry.bib);
    // Space keeps the time pending for the dead heat's next team; Enter closes a dead heat
    // whatever comes of it.
    const bool hold = key == BibKey::Space;
    if (!team.registered) {
        // A team registered after the copy was read: the server decides.
        deadHeatOpen_ = hold;
        result.deadHeatOpen = deadHeatOpen_;
        const ActionRequest leg = DecidedLeg(team, entry, {}, !hold);
        result.action = PlannedAction{entry.bib, RelayLegActionText(leg), leg, true};
        result.shown =
            NoteAction(entry.bib + QStringLiteral("  確認待ち  ") + TenthsForm(entry.time), true);
        return result;
    }
    const RelayOutcome outcome = DecideRelayFinish(team, entry);
    result.statement = outcome.statement;
    result.log = outcome.log;
    if (!hold)
        deadHeatOpen_ = false;
    if (!outcome.recorded) {
        result.refusal = outcome.refusal;
        result.deadHeatOpen = deadHeatOpen_;
        return result;
    }
    deadHeatOpen_ = hold;
    result.deadHeatOpen = deadHeatOpen_;
    const ActionRequest leg = DecidedLeg(team, entry, outcome, !hold);
    result.action = PlannedAction{entry.bib, RelayLegActionText(leg), leg, true};
    cache_.Expect(leg);
    result.shown = RelayAction(outcome, entry.bib, entry.time);
    if (outcome.forcedTeam)
        result.shown->what += QStringLiteral("  ") + ForcedMark;
    result.warning =
        LateArrivalWarning(DoubtOfArrival(team.timed, outcome.leg), entry.bib, outcome.leg);
    if (!result.warning.isEmpty())
        result.shown->what += QStringLiteral("  要確認");
    result.announcement = LegFinishAnnouncement{entry.bib, outcome.leg, outcome.legs,
                                                outcome.legTime, outcome.teamTime}
                              .text();
    if (outcome.leg != lastLeg_)
        result.listToShow = lastLeg_ = outcome.leg;
    return result;
}

bool RelaySession::AsksForcedStart(const QString& box) {
    const QString text = box.trimmed();
    return text.startsWith(QLatin1Char('*')) || text.startsWith(QChar(u'＊'));
}

ForcedStartPlan RelaySession::PlanForcedStart(const QString& box,
                                              const std::optional<StampRef>& head) const {
    QString digits;
    for (const QChar c : box.trimmed().mid(1))
        digits += QLatin1Char(DigitOf(QString(c)));
    ForcedStartChoice choice;
    // An exchange has one or two digits; anything else names none.
    if (!digits.isEmpty() && !digits.contains(QChar(0)) && digits.size() <= 2)
        choice.exchange = digits.toInt();
    return PlanForcedStart(choice, head, box);
}

ForcedStartPlan RelaySession::PlanForcedStart(const ForcedStartChoice& choice,
                                              const std::optional<StampRef>& head,
                                              const QString& box) const {
    ForcedStartPlan plan;
    KeyPressResult& press = plan.press;
    press.box = box;
    press.deadHeatOpen = deadHeatOpen_;
    const QStringList teams = cache_.TeamsToForce(choice.exchange, choice.teamClass);
    press.refusal = ForcedStartRefusal(choice, head.has_value(), teams);
    if (press.Refused())
        return plan;
    const int leg = choice.exchange + 1;
    const QString start = NextLegStart(head->time);
    ActionRequest forced;
    forced.kind = ActionRequest::Kind::ForcedStart;
    forced.stamp = *head;
    forced.number = leg;
    forced.start = start;
    forced.teams = teams;
    const QString what = QStringLiteral("繰上スタート %1  %2走  %3  %4チーム")
                             .arg(ExchangeText(choice))
                             .arg(leg)
                             .arg(TenthsForm(start))
                             .arg(teams.size());
    press.action = PlannedAction{{}, what, forced, true};
    press.shown = NoteAction(what, true);
    plan.question = QStringLiteral("%1で繰上スタートします。\n%2走 %3 チームを %4 にスタートさせ"
                                   "ます。\nよろしいですか？")
                        .arg(ExchangeText(choice))
                        .arg(leg)
                        .arg(teams.size())
                        .arg(TenthsForm(start));
    return plan;
}

QString RelaySession::ForcedStartRefusal(const ForcedStartChoice& choice, bool headShown,
                                         const QStringList& teams) const {
    if (!ForcedStartsKept())
        return NoForcedStartTableMessage;
    if (choice.exchange < 1)
        return QStringLiteral(
            "中継所の番号を入力してください（例: *2 Enter で第2中継所の繰上スタート）。");
    // The head is the dead heat's time, which waits for its next team.
    if (deadHeatOpen_)
        return QStringLiteral("同着の処理中は繰上スタートできません。同着の次のチームを入力"
                              "するか、0 Enter で同着を終えてください。");
    if (!headShown)
        return NothingPendingMessage;
    if (teams.isEmpty())
        return QStringLiteral("%1で繰上スタートするチームはありません。").arg(ExchangeText(choice));
    return {};
}

KeyPressResult RelaySession::StartForced(const ForcedStartPlan& plan) {
    if (const std::optional<PlannedAction>& action = plan.press.action)
        cache_.ExpectForcedStart(action->request.teams, action->request.number,
                                 action->request.start);
    return plan.press;
}
