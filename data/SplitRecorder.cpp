#include "data/SplitRecorder.h"

#include "common/uComm.h"
#include "data/PendingTimeMark.h"
#include "data/RelayLegs.h"
#include "data/RunStatement.h"
#include "data/SplitRules.h"
#include "data/StatementLines.h"
#include "data/Transaction.h"

namespace {

QString NotRegisteredMessage(const QString& bib) {
    return QStringLiteral("ビブNo.%1 は登録されていません。").arg(bib);
}

QString TakenMeanwhileMessage(const QString& bib, int split) {
    return QStringLiteral(
               "ビブNo.%1 の中間%2 は他の端末で記録されました。もう一度入力してください。")
        .arg(bib)
        .arg(split);
}

QStringList Columns(const QString& name) {
    QStringList columns;
    for (int k = 1; k <= SplitColumns; ++k)
        columns << QStringLiteral("r.%1%2").arg(name).arg(k);
    return columns;
}

} // namespace

SplitRecorder::SplitRecorder(TDatabase& database)
    : database_(database), reading_(database, QStringLiteral("SplitReading")),
      writing_(database, QStringLiteral("SplitWriting")) {}

CompetitorSplits SplitRecorder::ReadCompetitor(const QString& bib) {
    // The class's limit comes with the row: one round trip per key press.
    reading_.SetSQL(
        {QStringLiteral("select ") +
             ByteColumns(QStringList{QStringLiteral("r.startedtime")} +
                         Columns(QStringLiteral("midtime")) + Columns(QStringLiteral("midfin"))) +
             QStringLiteral(",e.lapn"),
         QStringLiteral(
             "from result r left join env e on e.tcode = r.tcode and e.class = r.class1"),
         RaceLine(QStringLiteral("where r.tcode = ")),
         ValueLine(QStringLiteral("and r.zek = "), bib), QStringLiteral("limit 1")});
    reading_.Open();
    CompetitorSplits competitor;
    competitor.registered = reading_.RecordCount() > 0;
    competitor.start = reading_.FieldByName(QStringLiteral("startedtime")).AsString();
    for (int k = 1; k <= SplitColumns; ++k) {
        competitor.splitTimes
            << reading_.FieldByName(QStringLiteral("midtime%1").arg(k)).AsString();
        competitor.passings << reading_.FieldByName(QStringLiteral("midfin%1").arg(k)).AsString();
    }
    competitor.lapn = reading_.FieldByName(QStringLiteral("lapn")).AsInteger();
    return competitor;
}

SplitOutcome SplitRecorder::Record(const SplitRequest& request) {
    return Record(request, ReadCompetitor(request.bib));
}

SplitOutcome SplitRecorder::Record(const SplitRequest& request,
                                   const CompetitorSplits& competitor) {
    SplitOutcome outcome;
    if (Admits(request, competitor, outcome))
        Write(request, competitor, outcome);
    return outcome;
}

bool SplitRecorder::Admits(const SplitRequest& request, const CompetitorSplits& competitor,
                           SplitOutcome& outcome) {
    const int n = NextSplitNo(competitor.splitTimes);
    const QString previous = n == 1 ? competitor.start : competitor.passings.value(n - 2);
    outcome.split = n;
    outcome.log << QStringLiteral("mfn ") + request.time << QStringLiteral("mst ") + previous;
    // Not wrapped at midnight: a time measured across it is refused.
    const int d = TimeTextToMs(request.time) - TimeTextToMs(previous);
    outcome.log << QString::number(d);
    if (!ReachesMinimum(d, request.minimumMinutes)) {
        outcome.refusal = TooShortMessage;
        return false;
    }
    outcome.log << QString::number(d);
    if (n > SplitLimitOfClass(competitor.lapn)) {
        // A bib with no row has no class, so no splits: it is told as what it is.
        outcome.refusal =
            competitor.registered ? SplitLimitMessage : NotRegisteredMessage(request.bib);
        return false;
    }
    outcome.splitTime = TenthsForm(ElapsedTimeText(competitor.start, request.time));
    return true;
}

void SplitRecorder::Write(const SplitRequest& request, const CompetitorSplits& competitor,
                          SplitOutcome& outcome) {
    const int n = outcome.split;
    Transaction transaction(database_);
    QStringList split = {ValueLine(QStringLiteral("update result set midtime%1 = ").arg(n),
                                   outcome.splitTime, QStringLiteral(",")),
                         ValueLine(QStringLiteral("midfin%1 = ").arg(n), request.time)};
    // Split 1 is measured from the start itself; later splits record where they were
    // measured from.
    if (n != 1)
        split << ValueLine(QStringLiteral(",midst%1 = ").arg(n), competitor.start);
    // Only while still empty, byte for byte: a text of blanks is a split written.
    split << RaceLine(QStringLiteral("where tcode = "))
          << ValueLine(QStringLiteral("and zek = "), request.bib)
          << QStringLiteral("and (midtime%1 is null or length(midtime%1) = 0)").arg(n);
    if (RunStatement(writing_, split) == 0) {
        outcome.refusal = TakenMeanwhileMessage(request.bib, n);
        return;
    }
    if (!TakeDeviceTime(request)) {
        outcome.refusal = TimeGoneMessage;
        return;
    }
    RunStatement(writing_, {QStringLiteral("insert into midjyun (tcode,bib,mtime,tod)values("),
                            SqlValueList({uComm::RaceCode, PassingLogBib(request.bib),
                                          outcome.splitTime, request.time}) +
                                QStringLiteral(")")});
    transaction.Commit();
    outcome.recorded = true;
}

bool SplitRecorder::TakeDeviceTime(const SplitRequest& request) {
    if (request.pendingOnly)
        return MarkPendingTime(writing_, request.time, request.state);
    // Any state will do, but the time must still be there.
    const QStringList stamp = {RaceLine(QStringLiteral(" where tcode = ")),
                               ValueLine(QStringLiteral("and tm = "), request.time)};
    reading_.SetSQL(QStringList{QStringLiteral("select count(*) as n from tdc_mid")} + stamp);
    reading_.Open();
    if (reading_.FieldByName(QStringLiteral("n")).AsInteger() == 0)
        return false;
    RunStatement(writing_, QStringList{ValueLine(QStringLiteral("update tdc_mid set sumi = "),
                                                 request.state)} +
                               stamp);
    return true;
}

bool SplitRecorder::DiscardPending(const QString& time) {
    return MarkPendingTime(writing_, time, QStringLiteral("2"));
}
