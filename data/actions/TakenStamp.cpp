#include "data/actions/TakenStamp.h"

#include "data/actions/CapturedWrites.h"
#include "data/actions/GivenBackTime.h"
#include "data/actions/OwnTable.h"
#include "data/sql/StatementLines.h"
#include "data/sql/TQuery.h"

namespace {

const QString Table = QStringLiteral("midtaken");

OwnTable& TakenStamps() {
    static OwnTable table(
        Table,
        {QStringLiteral("create table if not exists midtaken ("),
         QStringLiteral("tcode VARCHAR(20) NOT NULL DEFAULT '', zek VARCHAR(10) NOT NULL "
                        "DEFAULT '', split VARCHAR(2) NOT NULL DEFAULT '',"),
         QStringLiteral("stampid VARCHAR(20) NOT NULL DEFAULT '', jid VARCHAR(40) NOT NULL "
                        "DEFAULT '', tm VARCHAR(20) NOT NULL DEFAULT '',"),
         QStringLiteral("KEY midtaken_split (tcode, zek, split))"),
         QStringLiteral("ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci")});
    return table;
}

const QStringList Columns = {QStringLiteral("tcode"), QStringLiteral("zek"),
                             QStringLiteral("split"), QStringLiteral("stampid"),
                             QStringLiteral("jid"),   QStringLiteral("tm")};

QStringList SplitWhere(const QString& zek, int n) {
    return {RaceLine(QStringLiteral("where tcode = ")),
            ValueLine(QStringLiteral("and zek = "), zek) +
                ValueLine(QStringLiteral(" and split = "), QString::number(n))};
}

std::optional<StampRef> TakenStamp(TQuery& query, const QString& zek, int n) {
    query.SetSQL(QStringList{QStringLiteral("select stampid, jid, tm from midtaken")} +
                 SplitWhere(zek, n));
    query.Open();
    std::optional<StampRef> taken;
    if (query.RecordCount() == 1)
        taken = StampRef{query.Value(0, 0).toLongLong(), query.Value(0, 1), query.Value(0, 2)};
    query.Close();
    return taken;
}

// A dead heat's other runner holds the stamp: its passing-log row has the stamp's time, or,
// its passing corrected, its own record names the stamp.
bool StillHeld(TQuery& query, const StampRef& stamp) {
    query.SetSQL({RaceLine(QStringLiteral("select (select count(*) from midjyun where tcode = ")) +
                      ValueLine(QStringLiteral(" and tod = "), stamp.time) +
                      QStringLiteral(") + (select count(*) from midtaken"),
                  RaceLine(QStringLiteral("where tcode = ")) +
                      ValueLine(QStringLiteral(" and stampid = "), QString::number(stamp.id)) +
                      ValueLine(QStringLiteral(" and jid = "), stamp.jid) +
                      ValueLine(QStringLiteral(" and tm = "), stamp.time) +
                      QStringLiteral(") as n")});
    query.Open();
    const bool held = query.FieldByName(QStringLiteral("n")).AsInteger() > 0;
    query.Close();
    return held;
}

} // namespace

bool EnsureTakenStampTable(TQuery& query) {
    return TakenStamps().Ensure(query);
}

void RecordTakenStamp(RowWrites& writes, const QString& zek, int n, const StampRef& stamp) {
    if (!TakenStamps().Kept())
        return;
    writes.Statement(QStringList{QStringLiteral("delete from midtaken")} + SplitWhere(zek, n));
    writes.Insert(Table, Columns,
                  {StatementRace(), zek, QString::number(n), QString::number(stamp.id), stamp.jid,
                   stamp.time});
}

void ForgetTakenStamps(CapturedWrites& writes) {
    if (TakenStamps().Kept())
        writes.Delete(Table, {RaceLine(QStringLiteral("where tcode = "))}, Columns);
}

bool GiveBackTakenStamp(CapturedWrites& writes, TQuery& query, const QString& zek, int n,
                        const QString& passing) {
    const std::optional<StampRef> taken =
        TakenStamps().Kept() ? TakenStamp(query, zek, n) : std::nullopt;
    if (!taken)
        return GiveBackTime(writes, query, passing);
    writes.Delete(Table, SplitWhere(zek, n), Columns);
    if (StillHeld(query, *taken))
        return true;
    MarkStamp(writes, *taken, {}, StampGivenBack);
    return false;
}
