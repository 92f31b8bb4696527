#include "data/actions/CapturedWrites.h"

#include "data/sql/RunStatement.h"
#include "data/sql/SqlValue.h"
#include "data/sql/TQuery.h"

std::vector<QStringList> CapturedWrites::LockRows(const QString& table, const QStringList& columns,
                                                  const QStringList& where) {
    query_.SetSQL(LockLines(table, columns, where));
    query_.Open();
    std::vector<QStringList> rows;
    for (int row = 0; row < query_.RecordCount(); ++row) {
        QStringList values;
        for (int c = 0; c < columns.size(); ++c)
            values << query_.Value(row, c);
        rows.push_back(values);
    }
    query_.Close();
    return rows;
}

int CapturedWrites::Update(const QString& table, const QStringList& keyColumns,
                           const QStringList& where, const QStringList& columns,
                           const QStringList& values, const QString&) {
    const QStringList newHex = HexOfTexts(values);
    const std::vector<QStringList> rows = LockRows(table, keyColumns + columns, where);
    if (rows.empty())
        return 0;
    KeepUpdated(table, keyColumns, columns, newHex, rows);
    Write(UpdateLines(table, where, columns, newHex));
    return static_cast<int>(rows.size());
}

void CapturedWrites::Insert(const QString& table, const QStringList& columns,
                            const QStringList& values) {
    RowChange change = InsertedRow(table, columns, values);
    Write(InsertLines(table, columns, change.after));
    Keep(std::move(change));
}

int CapturedWrites::Delete(const QString& table, const QStringList& where,
                           const QStringList& columns) {
    const std::vector<QStringList> rows = LockRows(table, columns, where);
    if (rows.empty())
        return 0;
    for (const QStringList& row : rows) {
        RowChange change;
        change.kind = RowChange::Kind::Deleted;
        change.table = table;
        change.columns = columns;
        change.before = row;
        Keep(std::move(change));
    }
    Write(QStringList{QStringLiteral("delete from ") + table} + where);
    return static_cast<int>(rows.size());
}

void CapturedWrites::Guard(const QStringList& statements, const QString& expected) {
    // One statement at a time, each ending with the line that ends in ";": the driver takes
    // no batches.
    QStringList statement;
    for (QString line : statements) {
        line.replace(QStringLiteral("{state}"), QStringLiteral("@tarnik_state"))
            .replace(QStringLiteral("{scratch}"), QStringLiteral("@tarnik_scratch"));
        if (!line.endsWith(QLatin1Char(';'))) {
            statement << line;
            continue;
        }
        statement << line.chopped(1);
        RunStatement(query_, statement);
        statement.clear();
    }
    query_.SetSQL({QStringLiteral("select @tarnik_state as state")});
    query_.Open();
    const QString state = query_.Value(0, 0);
    query_.Close();
    guardedStates_ << state;
    guardsHeld_ = guardsHeld_ && state == expected;
}

void CapturedWrites::Write(const QStringList& lines) {
    if (log_)
        log_(ShownStatement(lines));
    RunStatement(query_, lines);
}
