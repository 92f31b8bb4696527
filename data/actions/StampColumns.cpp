#include "data/actions/StampColumns.h"

#include "data/sql/TQuery.h"

#include <atomic>

namespace {

std::atomic<bool> hasId{true};
std::atomic<bool> hasJid{true};

} // namespace

StampColumns ReadStampColumns(TQuery& query) {
    query.SetSQL({QStringLiteral("select column_name as name from information_schema.columns"),
                  QStringLiteral("where table_schema = database() and table_name = 'tdc_mid'"),
                  QStringLiteral("and column_name in ('id', 'jid')")});
    query.Open();
    StampColumns columns{false, false};
    for (int row = 0; row < query.RecordCount(); ++row) {
        const QString name = query.Value(row, 0).toLower();
        columns.id = columns.id || name == QLatin1String("id");
        columns.jid = columns.jid || name == QLatin1String("jid");
    }
    query.Close();
    return columns;
}

void SetStampColumns(StampColumns columns) {
    hasId = columns.id;
    hasJid = columns.jid;
}

StampColumns CurrentStampColumns() {
    return {hasId, hasJid};
}

QStringList StampRowKey() {
    // Without the id, stamps of the same time in the race are alike to a taking back.
    return hasId ? QStringList{QStringLiteral("id"), QStringLiteral("tm")}
                 : QStringList{QStringLiteral("tcode"), QStringLiteral("tm")};
}

QString StampIdColumn() {
    return hasId ? QStringLiteral("tdc_mid.id") : QStringLiteral("0 as id");
}

QString StampArrivalOrder() {
    // Within a second of arrival the device's own time orders, as it sent them: a typed
    // stamp given its neighbour's arrival falls in its place.
    return hasId ? QStringLiteral("dt, tm, id") : QStringLiteral("dt, tm");
}

QString MissingStampColumnsMessage(StampColumns columns) {
    QStringList costs;
    if (!columns.id)
        costs << QStringLiteral("id がないため、同じ秒に届いたタイムの順は到着順と限らず、"
                                "同じ時刻のタイムは区別できません");
    if (!columns.jid)
        costs << QStringLiteral("jid がないため、保存の応答が途切れたタイムが二重に保存される"
                                "ことがあります");
    if (costs.isEmpty())
        return {};
    return QStringLiteral("このレースのデータベースの tdc_mid に列がありません: ") +
           costs.join(QStringLiteral("。")) + QStringLiteral("。");
}
