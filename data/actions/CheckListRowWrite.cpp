#include "data/actions/CheckListRowWrite.h"

#include "common/uComm.h"
#include "data/actions/CapturedWrites.h"
#include "data/actions/TakenStamp.h"
#include "data/rules/SplitRules.h"
#include "data/rules/SplitTimeEntry.h"
#include "data/sql/DatabaseError.h"
#include "data/sql/StatementLines.h"
#include "data/sql/Transaction.h"

namespace {

// The competitor's row as the edit found it.
struct Record {
    QString tcode;
    QString zek;
    QString start;
    QStringList passings;     // midfin1 .. midfin5
    QStringList measuredFrom; // midst1 .. midst5; split 1 has no column, always empty
};

QStringList RecordColumns() {
    QStringList columns = {QStringLiteral("tcode"), QStringLiteral("zek"),
                           QStringLiteral("startedtime")};
    for (int n = 1; n <= SplitColumns; ++n)
        columns << QStringLiteral("midfin%1").arg(n);
    for (int n = 2; n <= SplitColumns; ++n)
        columns << QStringLiteral("midst%1").arg(n);
    return columns;
}

// One passing whose split time the edit changes: the passing-log row at `oldPassing` follows.
struct PassingEdit {
    int split = 0;
    QString oldPassing;
    QString splitTime;  // empty: the split is cleared
    QString newPassing; // empty with it
};

// The result row's columns and values that an edit sets, and the passings it moves.
struct RecordEdit {
    QStringList columns;
    QStringList values;
    std::vector<PassingEdit> passings;

    void Set(const QString& column, const QString& value) {
        columns << column;
        values << value;
    }
};

// Split n given `splitTime`: its passing is the time it is measured from plus the split time;
// a later split with no start of its own is measured from the start, and records it, as a
// recorded split does.
void EditSplit(RecordEdit& edit, const Record& record, int n, const QString& splitTime) {
    const QString old = record.passings.value(n - 1);
    edit.Set(QStringLiteral("midtime%1").arg(n), splitTime);
    if (splitTime.isEmpty()) {
        edit.Set(QStringLiteral("midfin%1").arg(n), splitTime);
        edit.passings.push_back({n, old, {}, {}});
        return;
    }
    const QString ownStart = record.measuredFrom.value(n - 1);
    const bool fromStart = ownStart.trimmed().isEmpty();
    const QString from = fromStart ? record.start : ownStart;
    const QString passing =
        TimeOfDayText(qint64(TimeTextToMs(from)) + TypedRunningTimeMs(splitTime).value_or(0));
    edit.Set(QStringLiteral("midfin%1").arg(n), passing);
    if (n > 1 && fromStart)
        edit.Set(QStringLiteral("midst%1").arg(n), record.start);
    edit.passings.push_back({n, old, splitTime, passing});
}

// The passing-log row of the old passing takes the new one; a cleared split's row goes and
// its stamp is given back, as a cancel does; a passing that had none gets one, so the log has
// every split. A corrected passing keeps the record of the stamp it took.
void WritePassingLog(CapturedWrites& writes, TQuery& query, const Record& record,
                     const PassingEdit& edit) {
    const QString bib = PassingLogBib(record.zek);
    const QStringList where = {ValueLine(QStringLiteral("where tcode = "), record.tcode),
                               ValueLine(QStringLiteral("and bib = "), bib) +
                                   ValueLine(QStringLiteral(" and tod = "), edit.oldPassing)};
    const bool hadPassing = !edit.oldPassing.isEmpty();
    if (edit.splitTime.isEmpty()) {
        if (!hadPassing)
            return;
        writes.Delete(QStringLiteral("midjyun"), where, PassingLogColumns);
        const StatementRaceScope race(record.tcode);
        GiveBackTakenStamp(writes, query, record.zek, edit.split, edit.oldPassing);
        return;
    }
    const int moved = hadPassing
                          ? writes.Update(QStringLiteral("midjyun"),
                                          {QStringLiteral("tcode"), QStringLiteral("bib")}, where,
                                          {QStringLiteral("mtime"), QStringLiteral("tod")},
                                          {edit.splitTime, edit.newPassing})
                          : 0;
    if (moved == 0)
        writes.Insert(QStringLiteral("midjyun"), PassingLogColumns,
                      {record.tcode, bib, edit.splitTime, edit.newPassing});
}

} // namespace

CheckListRowWriter::CheckListRowWriter(TDatabase& database)
    : database_(database), query_(database, QStringLiteral("CheckListWriting")) {}

QString CheckListRowWriter::CellText(const QStringList& fieldNames, const QStringList& row,
                                     int column, const QString& typed) const {
    const int split = SplitOfColumn(fieldNames.value(column));
    if (split == 0)
        return typed;
    const std::optional<QString> entry = SplitTimeEntry(typed);
    if (!entry)
        throw DatabaseError(SplitTimeFormMessage(split, typed));
    if (const QString refusal = SplitOrderRefusal(split, *entry, SplitTimesOf(fieldNames, row));
        !refusal.isEmpty())
        throw DatabaseError(refusal);
    return *entry;
}

LiveRowOutcome CheckListRowWriter::Write(const LiveRowChange& change) {
    const QStringList where = LiveRowWhere(change);
    // Made before the transaction, which a table's creation would end.
    if (!takenStampsChecked_) {
        EnsureTakenStampTable(query_);
        takenStampsChecked_ = true;
    }
    Transaction transaction(database_);
    query_.SetSQL(QStringList{QStringLiteral("select ") + ByteColumns(RecordColumns()) +
                              QStringLiteral(" from ") + change.Select.Table} +
                  where + QStringList{QStringLiteral("for update")});
    query_.Open();
    const int found = query_.RecordCount();
    if (found != 1)
        return {LiveRowOutcome::Refused,
                found == 0 ? ChangedMeanwhileMessage() : SeveralRowsMessage(found),
                {}};
    Record record{query_.Value(0, 0), query_.Value(0, 1), query_.Value(0, 2), {}, {QString()}};
    for (int n = 1; n <= SplitColumns; ++n)
        record.passings << query_.Value(0, 2 + n);
    for (int n = 2; n <= SplitColumns; ++n)
        record.measuredFrom << query_.Value(0, 1 + SplitColumns + n);
    query_.Close();

    RecordEdit edit;
    for (int c = 0; c < change.Columns.size(); ++c) {
        const QString& column = change.Columns[c];
        const QString& typed = change.NewValues.value(c);
        if (HexOf(change.ReadValues.value(c)) == HexOf(typed))
            continue;
        const int split = SplitOfColumn(column);
        if (split == 0) {
            edit.Set(column, typed);
            continue;
        }
        // The grid's cells take split times only (CellText); a write driven without them is
        // held to the same form.
        const std::optional<QString> splitTime = SplitTimeEntry(typed);
        if (!splitTime)
            return {LiveRowOutcome::Refused, SplitTimeFormMessage(split, typed), {}};
        if (const QString refusal = SplitOrderRefusal(
                split, *splitTime, SplitTimesOf(change.Columns, change.NewValues));
            !refusal.isEmpty())
            return {LiveRowOutcome::Refused, refusal, {}};
        EditSplit(edit, record, split, *splitTime);
    }
    if (edit.columns.isEmpty())
        return {};
    CapturedWrites writes(query_);
    writes.Update(change.Select.Table, {QStringLiteral("tcode"), QStringLiteral("zek")}, where,
                  edit.columns, edit.values);
    for (const PassingEdit& passing : edit.passings)
        WritePassingLog(writes, query_, record, passing);
    transaction.Commit();
    return {LiveRowOutcome::Written, {}, writes.Changes()};
}
