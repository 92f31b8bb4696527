#include "data/CapturedWrites.h"

#include "data/RunStatement.h"
#include "data/SqlValue.h"
#include "data/TQuery.h"

namespace {

QStringList HexColumns(const QStringList& columns) {
    QStringList read;
    for (const QString& column : columns)
        // Cast first: hex() of a number gives its value in hex, not its text's bytes.
        read << QStringLiteral("concat('x', hex(cast(%1 as binary))) as %1").arg(column);
    return read;
}

QStringList Literals(const QStringList& hexValues) {
    QStringList literals;
    for (const QString& hex : hexValues)
        literals << HexLiteral(hex);
    return literals;
}

} // namespace

std::vector<QStringList> CapturedWrites::LockRows(const QString& table, const QStringList& columns,
                                                  const QStringList& where) {
    query_.SetSQL(QStringList{QStringLiteral("select ") + HexColumns(columns).join(',') +
                              QStringLiteral(" from ") + table} +
                  where + QStringList{QStringLiteral("for update")});
    query_.Open();
    std::vector<QStringList> rows;
    for (int row = 0; row < query_.RecordCount(); ++row) {
        QStringList values;
        for (int c = 0; c < columns.size(); ++c) {
            values << query_.Value(row, c);
        }
        rows.push_back(values);
    }
    query_.Close();
    return rows;
}

int CapturedWrites::Update(const QString& table, const QStringList& keyColumns,
                           const QStringList& where, const QStringList& columns,
                           const QStringList& values) {
    QStringList newHex;
    for (const QString& value : values)
        newHex << HexOfText(value);
    const std::vector<QStringList> rows = LockRows(table, keyColumns + columns, where);
    if (rows.empty())
        return 0;
    for (const QStringList& row : rows) {
        RowChange change;
        change.table = table;
        change.keyColumns = keyColumns;
        change.keyValues = row.mid(0, keyColumns.size());
        for (int c = 0; c < columns.size(); ++c) {
            const QString& old = row[keyColumns.size() + c];
            if (old == newHex[c])
                continue;
            change.columns << columns[c];
            change.before << old;
            change.after << newHex[c];
        }
        if (!change.columns.isEmpty())
            Keep(std::move(change));
    }
    QStringList assignments;
    for (int c = 0; c < columns.size(); ++c)
        assignments << columns[c] + QStringLiteral(" = ") + HexLiteral(newHex[c]);
    Write(QStringList{QStringLiteral("update ") + table + QStringLiteral(" set ") +
                      assignments.join(',')} +
          where);
    return static_cast<int>(rows.size());
}

void CapturedWrites::Insert(const QString& table, const QStringList& columns,
                            const QStringList& values) {
    RowChange change;
    change.kind = RowChange::Kind::Inserted;
    change.table = table;
    change.columns = columns;
    for (const QString& value : values)
        change.after << HexOfText(value);
    Write({QStringLiteral("insert into %1 (%2)").arg(table, columns.join(',')),
           QStringLiteral("values (") + Literals(change.after).join(',') + QLatin1Char(')')});
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

void CapturedWrites::Write(const QStringList& lines) {
    if (log_)
        log_(ShownStatement(lines));
    RunStatement(query_, lines);
}

void CapturedWrites::Keep(RowChange change) {
    // Only the last is compared: a reset keeps thousands. Alike rows kept apart are taken
    // back one by one all the same.
    if (!changes_.empty()) {
        RowChange& last = changes_.back();
        change.rows += last.rows;
        if (change == last) {
            last.rows = change.rows;
            return;
        }
        change.rows -= last.rows;
    }
    changes_.push_back(std::move(change));
}
