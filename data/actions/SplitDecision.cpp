#include "data/actions/SplitDecision.h"

#include "common/uComm.h"
#include "data/actions/DecisionState.h"
#include "data/actions/PendingTimeMark.h"
#include "data/actions/RowWrites.h"
#include "data/actions/TakenStamp.h"
#include "data/rules/RelayLegs.h"
#include "data/rules/SplitRules.h"
#include "data/sql/StatementLines.h"

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

// Where split `n` is measured from.
QString SplitFromName(int n) {
    return n == 1 ? QStringLiteral("スタート") : QStringLiteral("中間%1").arg(n - 1);
}

} // namespace

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
        outcome.refusal = n > 1 && d >= 0 ? PassedAgoMessage(request.bib, n - 1, d)
                                           : TooShortMessage(SplitFromName(n), previous, d,
                                                             request.minimumMinutes);
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

QString WriteSplit(RowWrites& writes, const ActionRequest& split) {
    const int n = split.number;
    const QString& time = split.stamp.time;
    QStringList columns = {QStringLiteral("midtime%1").arg(n), QStringLiteral("midfin%1").arg(n)};
    QStringList values = {split.runningTime, time};
    // Split 1 is measured from the start itself; later splits record where they were
    // measured from.
    if (n != 1) {
        columns << QStringLiteral("midst%1").arg(n);
        values << split.start;
    }
    // Only while still empty, byte for byte: a text of blanks is a split written.
    const int written =
        writes.Update(QStringLiteral("result"), {QStringLiteral("tcode"), QStringLiteral("zek")},
                      {RaceLine(QStringLiteral("where tcode = ")),
                       ValueLine(QStringLiteral("and zek = "), split.bib),
                       QStringLiteral("and (midtime%1 is null or length(midtime%1) = 0)").arg(n)},
                      columns, values, TakenMeanwhileMessage(split.bib, n));
    if (written == 0)
        return TakenMeanwhileMessage(split.bib, n);
    const StampRef stamp = split.stamp.Named() ? split.stamp : StampRef{0, {}, time};
    if (MarkStamp(writes, stamp, split.takes, split.state, TimeGoneMessage) == 0)
        return TimeGoneMessage;
    writes.Insert(QStringLiteral("midjyun"), PassingLogColumns,
                  {StatementRace(), PassingLogBib(split.bib), split.runningTime, time});
    RecordTakenStamp(writes, split.bib, n, stamp);
    return {};
}

ActionRequest DecidedSplit(const SplitRequest& request, const CompetitorSplits& competitor,
                          const SplitOutcome& decided) {
    ActionRequest split;
    split.kind = ActionRequest::Kind::Split;
    split.bib = request.bib;
    split.stamp = request.stamp;
    split.number = decided.split;
    split.runningTime = decided.splitTime;
    split.start = competitor.start;
    split.state = request.state;
    split.takes = request.takes;
    split.read = CompetitorStateText(competitor);
    split.minimumMinutes = request.minimumMinutes;
    return split;
}

QString SplitActionText(const ActionRequest& split) {
    const QString kind = split.state == QLatin1String("2") ? QStringLiteral("同着 ")
                         : split.takes.isEmpty()           ? QStringLiteral("手動 ")
                                                           : QString();
    if (split.Undecided())
        return kind + QStringLiteral("確認待ち  %1").arg(split.stamp.time);
    return kind + QStringLiteral("中間%1  %2  %3")
                      .arg(split.number)
                      .arg(split.runningTime.trimmed(), split.stamp.time);
}
