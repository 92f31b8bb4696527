#include "data/actions/PendingTimeMark.h"

#include "data/actions/RowWrites.h"
#include "data/actions/StampColumns.h"
#include "data/sql/StatementLines.h"
#include "data/sql/TQuery.h"

namespace {

int Mark(RowWrites& writes, QStringList where, const QString& from, const QString& to,
         const QString& refusalIfNone = {}) {
    if (!from.isEmpty())
        where << ValueLine(QStringLiteral("and sumi = "), from);
    return writes.Update(QStringLiteral("tdc_mid"), StampRowKey(), where, {QStringLiteral("sumi")},
                         {to}, refusalIfNone);
}

// A database without the journal-id column knows a stamp of the journal by its time alone.
bool NamedByJournal(const StampRef& stamp) {
    return !stamp.jid.isEmpty() && CurrentStampColumns().jid;
}

} // namespace

bool StampRef::Is(const StampRef& other) const {
    if (id != 0 && other.id != 0)
        return id == other.id;
    if (!jid.isEmpty() && !other.jid.isEmpty())
        return jid == other.jid;
    return !Named() && !other.Named() && time == other.time;
}

QJsonObject StampToJson(const StampRef& stamp) {
    return {{QStringLiteral("id"), QString::number(stamp.id)},
            {QStringLiteral("jid"), stamp.jid},
            {QStringLiteral("tm"), stamp.time}};
}

StampRef StampFromJson(const QJsonObject& object) {
    return {object.value(QStringLiteral("id")).toString().toLongLong(),
            object.value(QStringLiteral("jid")).toString(),
            object.value(QStringLiteral("tm")).toString()};
}

int MarkTime(RowWrites& writes, const QString& time, const QString& from, const QString& to) {
    return Mark(
        writes,
        {RaceLine(QStringLiteral("where tcode = ")), ValueLine(QStringLiteral("and tm = "), time)},
        from, to);
}

int MarkStamp(RowWrites& writes, const StampRef& stamp, const QString& from, const QString& to,
              const QString& refusalIfNone) {
    const QString identity = stamp.id != 0 ? QStringLiteral("and id = %1").arg(stamp.id)
                             : NamedByJournal(stamp)
                                 ? ValueLine(QStringLiteral("and jid = "), stamp.jid)
                                 : ValueLine(QStringLiteral("and tm = "), stamp.time);
    return Mark(writes, {RaceLine(QStringLiteral("where tcode = ")), identity}, from, to,
                refusalIfNone);
}

bool StampStored(TQuery& query, const StampRef& stamp) {
    query.SetSQL({QStringLiteral("select count(*) as n from tdc_mid"),
                  NamedByJournal(stamp) ? ValueLine(QStringLiteral("where jid = "), stamp.jid)
                                        : RaceLine(QStringLiteral("where tcode = ")) +
                                              ValueLine(QStringLiteral(" and tm = "), stamp.time)});
    query.Open();
    const bool stored = query.FieldByName(QStringLiteral("n")).AsInteger() > 0;
    query.Close();
    return stored;
}
