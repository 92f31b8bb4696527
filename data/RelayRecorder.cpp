#include "data/RelayRecorder.h"

#include "common/uComm.h"
#include "data/ExecInfo.h"
#include "data/PendingTimeMark.h"
#include "data/RunStatement.h"
#include "data/SplitRules.h"
#include "data/StatementLines.h"
#include "data/TQuery.h"
#include "data/Transaction.h"

#include <algorithm>

namespace {

const QString NotStartedMessage = QStringLiteral("当該の選手はスタートしていません。");
const QString LegTakenMessage =
    QStringLiteral("この走者の区間は他の端末で記録されました。記録しませんでした。");
const QString TimeTakenMessage =
    QStringLiteral("この時刻は他の端末で処理されたか、削除されました。記録しませんでした。");

QString RaceFilter() {
    return RaceLine(QStringLiteral("where tcode = "));
}

QString BibAndLeg(const QString& bib, int leg) {
    return ValueLine(QStringLiteral("and zek = "), bib, QStringLiteral(" and num = '%1'").arg(leg));
}

RelayOutcome Refusal(const QString& message, const QString& statement, QStringList log = {}) {
    RelayOutcome outcome;
    outcome.refusal = message;
    outcome.statement = statement;
    outcome.log = std::move(log);
    return outcome;
}

} // namespace

RelayRecorder::RelayRecorder(TDatabase& database)
    : database_(database), reading_(database, QStringLiteral("RelayReading")),
      writing_(database, QStringLiteral("RelayWriting")) {}

RelayOutcome RelayRecorder::TakeTime(const RelayEntry& entry) {
    return RecordWithTime(entry, true);
}

RelayOutcome RelayRecorder::HoldTime(const RelayEntry& entry) {
    return RecordWithTime(entry, false);
}

RelayOutcome RelayRecorder::RecordWithTime(const RelayEntry& entry, bool useTime) {
    Transaction transaction(database_);
    RelayOutcome outcome = RecordFinish(ReadTeam(entry.bib), entry);
    // A time refused for the team is used up all the same; a recorded finish stands only
    // with a time still pending (rolled back otherwise).
    const bool timeFree = useTime ? UseTime(entry.time) : TimeIsPending(entry.time);
    if (outcome.recorded && !timeFree)
        return Refusal(TimeTakenMessage, outcome.statement, outcome.log);
    transaction.Commit();
    return outcome;
}

// Leg 1 keeps its start, which is the team's start.
void RelayRecorder::ResetRace() {
    Transaction transaction(database_);
    const QString race = RaceFilter();
    RunStatement(writing_, {QStringLiteral("update result set startedtime = '',runtime = ''"),
                            QStringLiteral(",status = 'A',midfin2 = ''"), race});
    RunStatement(writing_, {QStringLiteral("update tdc_mid set sumi = '0'"), race});
    RunStatement(writing_,
                 {QStringLiteral("update relaymember set startedtime = '',finishtime = '',"
                                 "runtime = ''"),
                  QStringLiteral(",status = 'S'"), race + QStringLiteral(" and num <> '1'")});
    RunStatement(writing_, {QStringLiteral(
                                "update relaymember set status = 'T',finishtime = '',runtime = ''"),
                            race + QStringLiteral(" and num = '1'")});
    transaction.Commit();
}

// The team's rows give its class, its start (leg 1's row, wherever it comes) and its legs by
// number, so a missing row leaves its leg empty instead of moving the later ones up.
RelayTeam RelayRecorder::ReadTeam(const QString& bib) {
    reading_.SetSQL({QStringLiteral("select num,class1,startedtime,finishtime"),
                     QStringLiteral("from relaymember ") + RaceFilter(),
                     ValueLine(QStringLiteral("and zek = "), bib)});
    RelayTeam team{bib, {}, 0, {}, reading_.ShownText()};
    reading_.Open();
    const QString teamClass = reading_.FieldByName(QStringLiteral("class1")).AsString();
    std::vector<RelayLeg> legs(RelayTimedLegs);
    for (reading_.First(); !reading_.Eof(); reading_.Next()) {
        const int num = reading_.FieldByName(QStringLiteral("num")).AsString().toInt();
        if (num >= 1 && num <= RelayTimedLegs)
            legs[num - 1] = {reading_.FieldByName(QStringLiteral("startedtime")).AsString(),
                             reading_.FieldByName(QStringLiteral("finishtime")).AsString()};
    }
    team.start = legs.front().start;

    reading_.SetSQL({RaceLine(QStringLiteral("select RELAYN from env where tcode = ")),
                     ValueLine(QStringLiteral("and class = "), teamClass)});
    reading_.Open();
    team.legs = reading_.FieldByName(QStringLiteral("RELAYN")).AsInteger();
    legs.resize(std::clamp(team.legs, 0, RelayTimedLegs));
    team.timed = std::move(legs);
    return team;
}

RelayOutcome RelayRecorder::RecordFinish(const RelayTeam& team, const RelayEntry& entry) {
    const int leg = RunningLeg(team.timed);
    if (leg == 0)
        return Refusal(NotStartedMessage, team.statement);
    const QString legStart = team.timed[leg - 1].start;
    const int elapsed = TimeTextToMs(entry.time) - TimeTextToMs(legStart);
    QStringList log = {entry.time, legStart, QString::number(elapsed)};
    if (!ReachesMinimum(elapsed, StrToInt(MinutesEntry(entry.minimumMinutes))))
        return Refusal(TooShortMessage, team.statement, log);
    log << QString::number(elapsed);
    if (!MayFinishLeg(leg, team.legs, entry.lastLegToo))
        return Refusal(SplitLimitMessage, team.statement, log);

    RelayOutcome outcome{true,
                         {},
                         team.statement,
                         log,
                         leg,
                         team.legs,
                         TenthsForm(ElapsedTimeText(legStart, entry.time)),
                         TenthsForm(ElapsedTimeText(team.start, entry.time)),
                         TeamLetterAfterLeg(leg, team.legs)};
    if (!WriteLegFinish(team, leg, outcome.legTime, entry.time))
        return Refusal(LegTakenMessage, team.statement, log);
    // After the class's last leg there is no leg to start.
    if (leg < team.legs)
        StartLeg(team.bib, leg + 1, NextLegStart(entry.time));
    WriteTeamTime(team.bib, outcome.teamTime, outcome.teamLetter);
    update_execinfo(writing_, QStringLiteral("C1"));
    return outcome;
}

bool RelayRecorder::WriteLegFinish(const RelayTeam& team, int leg, const QString& legTime,
                                   const QString& finish) {
    return RunStatement(writing_,
                        {ValueLine(QStringLiteral("update relaymember set runtime = "), legTime,
                                   QStringLiteral(",")),
                         ValueLine(QStringLiteral("finishtime = "), finish),
                         QStringLiteral(",status = 'G'"), RaceFilter(), BibAndLeg(team.bib, leg),
                         QStringLiteral("and finishtime in ('','  :  :  .    ')")}) > 0;
}

void RelayRecorder::StartLeg(const QString& bib, int leg, const QString& start) {
    RunStatement(writing_, {QStringLiteral("update relaymember set "),
                            ValueLine(QStringLiteral("startedtime = "), start),
                            QStringLiteral(",status = 'T'"), RaceFilter(), BibAndLeg(bib, leg)});
}

void RelayRecorder::WriteTeamTime(const QString& bib, const QString& teamTime,
                                  const QString& letter) {
    RunStatement(writing_, {ValueLine(QStringLiteral("update result set runtime = "), teamTime,
                                      ValueLine(QStringLiteral(",status = "), letter)),
                            ValueLine(RaceFilter() + QStringLiteral(" and zek = "), bib)});
}

bool RelayRecorder::UseTime(const QString& time) {
    return MarkPendingTime(writing_, time, QStringLiteral("1"));
}

bool RelayRecorder::TimeIsPending(const QString& time) {
    reading_.SetSQL({QStringLiteral("select count(*) as n from tdc_mid ") + RaceFilter(),
                     ValueLine(QStringLiteral("and tm = "), time),
                     QStringLiteral("and sumi = '0'")});
    reading_.Open();
    return reading_.FieldByName(QStringLiteral("n")).AsInteger() > 0;
}
