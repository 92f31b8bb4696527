#include "tools/SplitPointExport.h"

#include "data/reads/NotPassedList.h"
#include "data/reads/SnapshotFields.h"
#include "data/reads/SplitPointPassings.h"
#include "data/rules/CutOff.h"
#include "data/sql/DatabaseError.h"
#include "data/sql/SqlValue.h"
#include "data/sql/TQuery.h"
#include "tools/ExportRefusal.h"
#include "tools/SpreadsheetCell.h"

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

// A column's heading in the two languages of --header.
struct Heading {
    QString japanese;
    QString english;
};

QStringList HeaderRecord(const QList<Heading>& headings, HeaderLanguage language) {
    QStringList record;
    for (const Heading& heading : headings)
        record << (language == HeaderLanguage::Japanese ? heading.japanese : heading.english);
    return record;
}

QString Mark(bool set, const QString& word) {
    return set ? word : QString();
}

QList<QStringList> PassingRecords(TDatabase& database, const QString& race,
                                  const ExportOptions& options) {
    QList<QStringList> records = {HeaderRecord(
        {
            {QStringLiteral("ビブNo."), QStringLiteral("zek")},
            {QStringLiteral("登録ビブNo."), QStringLiteral("bib")},
            {QStringLiteral("クラス"), QStringLiteral("class")},
            {QStringLiteral("中間"), QStringLiteral("split")},
            {QStringLiteral("タイム"), QStringLiteral("split_time")},
            {QStringLiteral("時刻"), QStringLiteral("time_of_day")},
            {QStringLiteral("順位"), QStringLiteral("order")},
            {QStringLiteral("クラス内順位"), QStringLiteral("class_order")},
            {QStringLiteral("同着"), QStringLiteral("dead_heat")},
            {QStringLiteral("関門後"), QStringLiteral("after_cutoff")},
        },
        options.header)};
    for (const SplitPassing& p :
         SplitPointPassingsOf(Read(database, SplitPointPassingsStatement(race, options.split))))
        records.append({KeptAsText(p.zek), KeptAsText(p.bib), FormulaSafe(p.className),
                        QString::number(options.split), p.splitTime, p.timeOfDay,
                        QString::number(p.order), QString::number(p.classOrder),
                        Mark(p.deadHeat, QStringLiteral("同着")),
                        Mark(AfterCutOff(p.timeOfDay, options.cutOff), QStringLiteral("関門後"))});
    return records;
}

QList<QStringList> NotPassedRecords(TDatabase& database, const QString& race,
                                    const ExportOptions& options) {
    QList<QStringList> records = {HeaderRecord(
        {
            {QStringLiteral("ビブNo."), QStringLiteral("zek")},
            {QStringLiteral("クラス"), QStringLiteral("class")},
            {QStringLiteral("最終中間"), QStringLiteral("last_split")},
            {QStringLiteral("最終通過時刻"), QStringLiteral("last_passing")},
            {QStringLiteral("通過予想時刻"), QStringLiteral("expected_at")},
        },
        options.header)};
    for (const NotPassedRunner& r :
         NotPassedOf(Read(database, NotPassedStatement(race, options.split))))
        records.append({KeptAsText(r.zek), FormulaSafe(r.className), QString::number(r.lastSplit),
                        r.lastPassing, r.expectedAt});
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
    return options.notPassed ? NotPassedRecords(database, race, options)
                             : PassingRecords(database, race, options);
}
