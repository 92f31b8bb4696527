#include "tools/SplitPointExport.h"

#include "data/DatabaseError.h"
#include "data/NotPassedList.h"
#include "data/SnapshotFields.h"
#include "data/SplitPointPassings.h"
#include "data/SqlValue.h"
#include "data/TQuery.h"
#include "tools/ExportRefusal.h"

namespace {

ListSnapshot Read(TDatabase& database, const QStringList& statement) {
    TQuery query(database, QStringLiteral("export"));
    query.SetSQL(statement);
    query.Open();
    return query.Snapshot();
}

QString FirstValue(TDatabase& database, const QStringList& statement, const QString& field) {
    const ListSnapshot rows = Read(database, statement);
    const int column = SnapshotField(rows, field);
    return rows.rows.empty() ? QString() : rows.rows.front().value(column);
}

QString RaceInWorkCode(TDatabase& database) {
    const QString race =
        FirstValue(database, {QStringLiteral("select tcode from execinfo where num = 1")},
                   QStringLiteral("tcode"));
    if (race.isEmpty())
        throw ExportRefusal(QStringLiteral(
            "execinfo に処理中の大会がありません。--race で大会コードを指定してください。"));
    return race;
}

QString NoSuchRace(const QString& race) {
    return QStringLiteral("大会コード「%1」の大会はありません。").arg(race);
}

void CheckRaceHasSplit(TDatabase& database, const QString& race, int split) {
    try {
        ShiftJisBytes(race);
    } catch (const UnstorableTextError&) {
        throw ExportRefusal(NoSuchRace(race)); // no race code of the database holds it
    }
    const ListSnapshot rows = Read(
        database, {QStringLiteral("select (select count(*) from tiki where tcode = %1) as races,")
                       .arg(SqlValue(race)),
                   QStringLiteral("(select coalesce(max(lapn), 0) from env where tcode = %1) as "
                                  "splits")
                       .arg(SqlValue(race))});
    const QStringList& row = rows.rows.front();
    if (NumberField(row, SnapshotField(rows, QStringLiteral("races"))).value_or(0) == 0)
        throw ExportRefusal(NoSuchRace(race));
    const qint64 splits =
        NumberField(row, SnapshotField(rows, QStringLiteral("splits"))).value_or(0);
    if (splits == 0)
        throw ExportRefusal(QStringLiteral("大会「%1」には中間のある種目がありません。").arg(race));
    if (split > splits)
        throw ExportRefusal(QStringLiteral("大会「%1」に中間%2 はありません（種目の中間は最大 %3 "
                                           "までです）。")
                                .arg(race)
                                .arg(split)
                                .arg(splits));
}

QList<QStringList> PassingRecords(TDatabase& database, const QString& race, int split) {
    QList<QStringList> records = {{QStringLiteral("zek"), QStringLiteral("bib"),
                                   QStringLiteral("class"), QStringLiteral("split"),
                                   QStringLiteral("split_time"), QStringLiteral("time_of_day"),
                                   QStringLiteral("order")}};
    for (const SplitPassing& p :
         SplitPointPassingsOf(Read(database, SplitPointPassingsStatement(race, split))))
        records.append({p.zek, p.bib, p.className, QString::number(split), p.splitTime, p.timeOfDay,
                        QString::number(p.order)});
    return records;
}

QList<QStringList> NotPassedRecords(TDatabase& database, const QString& race, int split) {
    QList<QStringList> records = {{QStringLiteral("zek"), QStringLiteral("class"),
                                   QStringLiteral("last_split"), QStringLiteral("last_passing"),
                                   QStringLiteral("expected_at")}};
    for (const NotPassedRunner& r : NotPassedOf(Read(database, NotPassedStatement(race, split))))
        records.append(
            {r.zek, r.className, QString::number(r.lastSplit), r.lastPassing, r.expectedAt});
    return records;
}

} // namespace

QList<QStringList> SplitPointExportRecords(TDatabase& database, const ExportOptions& options) {
    // The timing window writes this race meanwhile: this connection must not.
    TQuery(database, QStringLiteral("read only"),
           {QStringLiteral("set session transaction read only")})
        .ExecSQL();
    const QString race = options.race.isEmpty() ? RaceInWorkCode(database) : options.race;
    CheckRaceHasSplit(database, race, options.split);
    return options.notPassed ? NotPassedRecords(database, race, options.split)
                             : PassingRecords(database, race, options.split);
}
