#include "data/SplitRecorder.h"

#include "common/uComm.h"
#include "data/CapturedWrites.h"
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

QString PassedAgoMessage(const QString& bib, int split, int agoMs) {
    return QStringLiteral("ビブNo.%1 は %2前に中間%3 を記録済みです。")
        .arg(bib, AgeText(agoMs / 1000))
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
    SplitOutcome outcome = DecideSplit(request, competitor);
    if (!outcome.refusal.isEmpty())
        return outcome;
    Transaction transaction(database_);
    CapturedWrites writes(writing_);
    outcome.refusal = WriteSplit(writes, request, competitor.start, outcome);
    if (!outcome.refusal.isEmpty())
        return outcome;
    transaction.Commit();
    outcome.recorded = true;
    outcome.changes = writes.Changes();
    return outcome;
}

SplitOutcome DecideSplit(const SplitRequest& request, const CompetitorSplits& competitor) {
    SplitOutcome outcome;
    if (request.time.trimmed().isEmpty()) {
        outcome.refusal = NothingPendingMessage;
        return outcome;
    }
    const int n = NextSplitNo(competitor.splitTimes);
    const QString previous = n == 1 ? competitor.start : competitor.passings.value(n - 2);
    outcome.split = n;
    outcome.log << QStringLiteral("mfn ") + request.time << QStringLiteral("mst ") + previous;
    const int d = MeasuredMs(previous, request.time);
    outcome.log << QString::number(d);
    if (!ReachesMinimum(d, request.minimumMinutes)) {
        // The same bib typed again soon after its split is told as that split.
        outcome.refusal =
            n > 1 && d >= 0 ? PassedAgoMessage(request.bib, n - 1, d) : TooShortMessage;
        return outcome;
    }
    outcome.log << QString::number(d);
    if (n > SplitLimitOfClass(competitor.lapn)) {
        // A bib with no row has no class, so no splits: it is told as what it is.
        outcome.refusal =
            competitor.registered ? SplitLimitMessage : NotRegisteredMessage(request.bib);
        return outcome;
    }
    outcome.splitTime = TenthsForm(ElapsedTimeText(competitor.start, request.time));
    return outcome;
}

QString WriteSplit(RowWrites& writes, const SplitRequest& request, const QString& start,
                   const SplitOutcome& decided) {
    const int n = decided.split;
    QStringList columns = {QStringLiteral("midtime%1").arg(n), QStringLiteral("midfin%1").arg(n)};
    QStringList values = {decided.splitTime, request.time};
    // Split 1 is measured from the start itself; later splits record where they were
    // measured from.
    if (n != 1) {
        columns << QStringLiteral("midst%1").arg(n);
        values << start;
    }
    // Only while still empty, byte for byte: a text of blanks is a split written.
    const int written =
        writes.Update(QStringLiteral("result"), {QStringLiteral("tcode"), QStringLiteral("zek")},
                      {RaceLine(QStringLiteral("where tcode = ")),
                       ValueLine(QStringLiteral("and zek = "), request.bib),
                       QStringLiteral("and (midtime%1 is null or length(midtime%1) = 0)").arg(n)},
                      columns, values, TakenMeanwhileMessage(request.bib, n));
    if (written == 0)
        return TakenMeanwhileMessage(request.bib, n);
    const StampRef stamp = request.stamp.Named() ? request.stamp : StampRef{0, {}, request.time};
    if (MarkStamp(writes, stamp, request.takes, request.state, TimeGoneMessage) == 0)
        return TimeGoneMessage;
    writes.Insert(QStringLiteral("midjyun"), PassingLogColumns,
                  {StatementRace(), PassingLogBib(request.bib), decided.splitTime, request.time});
    return {};
}

std::vector<RowChange> SplitRecorder::DiscardPending(const QString& time) {
    Transaction transaction(database_);
    CapturedWrites writes(writing_);
    if (MarkTime(writes, time, QStringLiteral("0"), QStringLiteral("2")) == 0)
        return {};
    transaction.Commit();
    return writes.Changes();
}
