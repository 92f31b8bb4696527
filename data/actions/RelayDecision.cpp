#include "data/actions/RelayDecision.h"

#include "common/uComm.h"
#include "data/actions/CapturedWrites.h"
#include "data/actions/DecisionState.h"
#include "data/actions/ExecInfo.h"
#include "data/actions/ForcedStartTable.h"
#include "data/actions/PendingTimeMark.h"
#include "data/actions/StampColumns.h"
#include "data/rules/ForcedStarts.h"
#include "data/rules/SplitRules.h"
#include "data/sql/StatementLines.h"

#include <algorithm>

namespace {

const QString NotStartedMessage = QStringLiteral("当該の選手はスタートしていません。");
const QString LegTakenMessage =
    QStringLiteral("この走者の区間は他の端末で記録されました。記録しませんでした。");
const QString UnsetTimes = QStringLiteral("('','  :  :  .    ')");

QString LegStartedMessage(const QString& bib, int leg) {
    return QStringLiteral("チームNo.%1 の%2走は既にスタートしています。繰上スタートを記録しません"
                          "でした。")
        .arg(bib)
        .arg(leg);
}

const QString TimeTakenMessage =
    QStringLiteral("この時刻は他の端末で処理されたか、削除されました。記録しませんでした。");

const QString LastLegMessage =
    SplitLimitMessage + QStringLiteral("最終走者なら「最終走者も処理」にチェックを入れて"
                                       "から入力してください。");

QString NotRegisteredMessage(const QString& bib) {
    return QStringLiteral("チームNo.%1 は登録されていません。").arg(bib);
}

QString PassedAgoMessage(const QString& bib, int leg, int agoMs) {
    return QStringLiteral("チームNo.%1 は %2前に%3走 を記録済みです。")
        .arg(bib, AgeText(agoMs / 1000))
        .arg(leg);
}

QString RaceFilter() {
    return RaceLine(QStringLiteral("where tcode = "));
}

QString BibAndLeg(const QString& bib, int leg) {
    return ValueLine(QStringLiteral("and zek = "), bib, QStringLiteral(" and num = '%1'").arg(leg));
}

const QStringList LegKey = {QStringLiteral("tcode"), QStringLiteral("zek"), QStringLiteral("num")};
const QStringList TeamKey = {QStringLiteral("tcode"), QStringLiteral("zek")};

// False, and nothing written, when the leg is no longer running.
bool WriteLegFinish(RowWrites& writes, const QString& bib, int leg, const QString& legTime,
                    const QString& finish) {
    return writes.Update(
               QStringLiteral("relaymember"), LegKey,
               {RaceFilter(), BibAndLeg(bib, leg),
                QStringLiteral("and finishtime in ") + UnsetTimes},
               {QStringLiteral("runtime"), QStringLiteral("finishtime"), QStringLiteral("status")},
               {legTime, finish, QStringLiteral("G")}, LegTakenMessage) != 0;
}

// `waitingOnly`: only while the leg has not started. Gives the rows found, or Later.
int StartLeg(RowWrites& writes, const QString& bib, int leg, const QString& start, bool waitingOnly,
             const QString& refusalIfNone = {}) {
    QStringList where = {RaceFilter(), BibAndLeg(bib, leg)};
    if (waitingOnly)
        where << QStringLiteral("and startedtime in ") + UnsetTimes;
    return writes.Update(QStringLiteral("relaymember"), LegKey, where,
                         {QStringLiteral("startedtime"), QStringLiteral("status")},
                         {start, QStringLiteral("T")}, refusalIfNone);
}

void WriteTeamTime(RowWrites& writes, const QString& bib, const QString& teamTime,
                   const QString& letter) {
    writes.Update(QStringLiteral("result"), TeamKey,
                  {RaceFilter(), ValueLine(QStringLiteral("and zek = "), bib)},
                  {QStringLiteral("runtime"), QStringLiteral("status")}, {teamTime, letter});
}

RelayOutcome Refusal(const QString& message, const QString& statement, QStringList log = {}) {
    RelayOutcome outcome;
    outcome.refusal = message;
    outcome.statement = statement;
    outcome.log = std::move(log);
    return outcome;
}

// A team started by force: its time is the sum of its legs, its letter follows the leg now
// running, and a late runner's finish leaves the forced start of the next leg as it is.
void TimeAsForcedTeam(RelayOutcome& outcome, const RelayTeam& team, const QString& finish) {
    const int leg = outcome.leg;
    std::vector<RelayLeg> after = team.timed;
    after[leg - 1].finish = finish;
    const int done = LegsDone(after, leg);
    outcome.forcedTeam = true;
    outcome.keepsNextStart = leg < int(after.size()) && !IsUnsetTime(after[leg].start);
    outcome.teamTime = SumOfLegTimes(after, done);
    outcome.teamLetter = TeamLetterAfterLeg(done, team.legs);
}

} // namespace

// Leg 1 keeps its start, which is the team's start.
void WriteRelayReset(CapturedWrites& writes) {
    const QString race = RaceFilter();
    writes.Update(
        QStringLiteral("result"), TeamKey, {race},
        {QStringLiteral("startedtime"), QStringLiteral("runtime"), QStringLiteral("status"),
         QStringLiteral("midfin2")},
        {QStringLiteral(""), QStringLiteral(""), QStringLiteral("A"), QStringLiteral("")});
    writes.Update(QStringLiteral("tdc_mid"), StampRowKey(),
                  {race, QStringLiteral("and not (BINARY sumi <=> '0')")}, {QStringLiteral("sumi")},
                  {QStringLiteral("0")});
    writes.Update(
        QStringLiteral("relaymember"), LegKey, {race, QStringLiteral("and num <> '1'")},
        {QStringLiteral("startedtime"), QStringLiteral("finishtime"), QStringLiteral("runtime"),
         QStringLiteral("status")},
        {QStringLiteral(""), QStringLiteral(""), QStringLiteral(""), QStringLiteral("S")});
    writes.Update(
        QStringLiteral("relaymember"), LegKey, {race, QStringLiteral("and num = '1'")},
        {QStringLiteral("status"), QStringLiteral("finishtime"), QStringLiteral("runtime")},
        {QStringLiteral("T"), QStringLiteral(""), QStringLiteral("")});
    if (ForcedStartsKept())
        writes.Delete(ForcedStartTable, {race}, ForcedStartColumns());
}

QString WriteForcedStart(RowWrites& writes, const QStringList& teams, int leg, const QString& start,
                         const StampRef& stamp, const QString& actionId) {
    for (const QString& bib : teams) {
        if (StartLeg(writes, bib, leg, start, true, LegStartedMessage(bib, leg)) == 0)
            return LegStartedMessage(bib, leg);
        writes.Insert(ForcedStartTable, ForcedStartColumns(),
                      {StatementRace(), bib, QString::number(leg), start, actionId});
    }
    writes.Statement(ChangeMarkerLines(QStringLiteral("C1")));
    if (MarkStamp(writes, stamp, QStringLiteral("0"), QStringLiteral("1"), TimeTakenMessage) == 0)
        return TimeTakenMessage;
    return {};
}

// The team's rows give its class, its start (leg 1's row, wherever it comes) and its legs by
// number, so a missing row leaves its leg empty instead of moving the later ones up.
QStringList TeamReadLines(const QString& bib) {
    return {QStringLiteral("select num,class1,startedtime,finishtime"),
            QStringLiteral("from relaymember ") + RaceFilter(),
            ValueLine(QStringLiteral("and zek = "), bib)};
}

RelayOutcome DecideRelayFinish(const RelayTeam& team, const RelayEntry& entry) {
    if (!team.registered)
        return Refusal(NotRegisteredMessage(team.bib), team.statement);
    const bool forced = WasForced(team.timed);
    const auto minutes = [&] { return StrToInt(MinutesEntry(entry.minimumMinutes)); };
    const int leg =
        forced ? LegFinishedAt(team.timed, entry.time, minutes(), entry.exchange)
               : RunningLeg(team.timed);
    if (leg == 0)
        return Refusal(NotStartedMessage, team.statement);
    const QString legStart = team.timed[leg - 1].start;
    const int elapsed = MeasuredMs(legStart, entry.time);
    QStringList log = {entry.time, legStart, QString::number(elapsed)};
    if (!ReachesMinimum(elapsed, minutes())) {
        // The same team typed again soon after its exchange is told as that exchange.
        const QString refusal =
            leg > 1 && elapsed >= 0
                ? PassedAgoMessage(team.bib, leg - 1, elapsed)
                : TooShortMessage(QStringLiteral("%1走スタート").arg(leg), legStart, elapsed,
                                  minutes());
        return Refusal(refusal, team.statement, log);
    }
    log << QString::number(elapsed);
    if (!MayFinishLeg(leg, team.legs, entry.lastLegToo))
        return Refusal(leg == team.legs ? LastLegMessage : SplitLimitMessage, team.statement, log);
    RelayOutcome outcome;
    outcome.recorded = true;
    outcome.statement = team.statement;
    outcome.log = log;
    outcome.leg = leg;
    outcome.legs = team.legs;
    outcome.legTime = TenthsForm(ElapsedTimeText(legStart, entry.time));
    outcome.teamTime = TenthsForm(ElapsedTimeText(team.start, entry.time));
    outcome.teamLetter = TeamLetterAfterLeg(leg, team.legs);
    if (forced)
        TimeAsForcedTeam(outcome, team, entry.time);
    return outcome;
}

QString WriteRelayFinish(RowWrites& writes, const ActionRequest& leg) {
    const QString& finish = leg.stamp.time;
    if (!WriteLegFinish(writes, leg.bib, leg.number, leg.runningTime, finish))
        return LegTakenMessage;
    // After the class's last leg there is no leg to start.
    if (leg.number < leg.legs)
        StartLeg(writes, leg.bib, leg.number + 1, NextLegStart(finish), leg.keepsNextStart);
    WriteTeamTime(writes, leg.bib, leg.teamTime, leg.teamLetter);
    writes.Statement(ChangeMarkerLines(QStringLiteral("C1")));
    return {};
}

ActionRequest DecidedLeg(const RelayTeam& team, const RelayEntry& entry,
                             const RelayOutcome& decided, bool usesTime) {
    ActionRequest leg;
    leg.kind = ActionRequest::Kind::RelayLeg;
    leg.bib = entry.bib;
    leg.stamp = entry.stamp;
    leg.number = decided.leg;
    leg.legs = decided.legs;
    leg.runningTime = decided.legTime;
    leg.teamTime = decided.teamTime;
    leg.teamLetter = decided.teamLetter;
    leg.usesTime = usesTime;
    leg.keepsNextStart = decided.keepsNextStart;
    leg.forcedTeam = decided.forcedTeam;
    leg.read = TeamStateText(team);
    leg.minimumMinutes = StrToInt(MinutesEntry(entry.minimumMinutes));
    leg.lastLegToo = entry.lastLegToo;
    leg.exchange = entry.exchange;
    return leg;
}

QString RelayLegActionText(const ActionRequest& leg) {
    if (leg.Undecided())
        return QStringLiteral("確認待ち  %1").arg(leg.stamp.time);
    // A forced team whose runner never arrived has no team time.
    const QString teamTime =
        leg.teamTime.isEmpty() ? QStringLiteral("記録なし") : leg.teamTime.trimmed();
    const QString mark = leg.forcedTeam ? QStringLiteral("  繰上") : QString();
    return QStringLiteral("%1走  %2  %3  チーム %4")
               .arg(leg.number)
               .arg(leg.runningTime.trimmed(), leg.stamp.time, teamTime) +
           mark;
}
