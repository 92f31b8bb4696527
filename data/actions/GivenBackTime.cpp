#include "data/actions/GivenBackTime.h"

#include "data/actions/CapturedWrites.h"
#include "data/actions/PendingTimeMark.h"
#include "data/sql/StatementLines.h"
#include "data/sql/TQuery.h"
#include "data/sql/Transaction.h"

namespace {

bool GoneOnFrom(const OperatorAction& refused, const std::deque<OperatorAction>& journal) {
    if (refused.at.msecsTo(QDateTime::currentDateTime()) > AnsweredAtOnceMs)
        return true;
    bool later = false;
    for (const OperatorAction& action : journal) {
        if (later && action.raceCode == refused.raceCode && TakesStamp(action.request))
            return true;
        later = later || action.id == refused.id;
    }
    return false;
}

} // namespace

bool TakesStamp(const ActionRequest& request) {
    using Kind = ActionRequest::Kind;
    return request.kind == Kind::Split || request.kind == Kind::Discard ||
           request.kind == Kind::ForcedStart ||
           (request.kind == Kind::RelayLeg && request.usesTime);
}

bool GiveBackTime(RowWrites& writes, TQuery& query, const QString& time) {
    query.SetSQL({RaceLine(QStringLiteral("select count(*) as n from midjyun where tcode = ")),
                  ValueLine(QStringLiteral("and tod = "), time)});
    query.Open();
    const bool held = query.FieldByName(QStringLiteral("n")).AsInteger() > 0;
    query.Close();
    if (!held)
        MarkTime(writes, time, {}, StampGivenBack);
    return held;
}

std::vector<RowChange> GiveBackRefusedStamp(TDatabase& database, const OperatorAction& refused,
                                            const std::deque<OperatorAction>& journal) {
    if (!TakesStamp(refused.request) || !GoneOnFrom(refused, journal))
        return {};
    const StatementRaceScope race(refused.raceCode);
    TQuery query(database, QStringLiteral("GiveBack"));
    Transaction transaction(database);
    CapturedWrites writes(query);
    MarkStamp(writes, refused.request.stamp, QStringLiteral("0"), StampGivenBack);
    transaction.Commit();
    return writes.Changes();
}

QStringList TimesGivenBack(const std::vector<RowChange>& changes) {
    QStringList times;
    for (const RowChange& change : changes) {
        const qsizetype sumi = change.columns.indexOf(QStringLiteral("sumi"));
        if (change.table != QLatin1String("tdc_mid") || sumi < 0 ||
            TextOfHex(change.after.value(sumi)) != StampGivenBack)
            continue;
        const QString time = change.KeyText(QStringLiteral("tm")).trimmed();
        if (!times.contains(time))
            times << time;
    }
    return times;
}
