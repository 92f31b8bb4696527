#include "data/actions/RowWrites.h"

QString HexOfColumn(const QString& column) {
    // Cast first: hex() of a number gives its value in hex, not its text's bytes.
    return QStringLiteral("concat('x', hex(cast(%1 as binary)))").arg(column);
}

QStringList LockLines(const QString& table, const QStringList& columns, const QStringList& where) {
    QStringList read;
    for (const QString& column : columns)
        read << HexOfColumn(column) + QStringLiteral(" as ") + column;
    return QStringList{QStringLiteral("select ") + read.join(',') + QStringLiteral(" from ") +
                       table} +
           where + QStringList{QStringLiteral("for update")};
}

QStringList UpdateLines(const QString& table, const QStringList& where, const QStringList& columns,
                        const QStringList& newHex) {
    QStringList assignments;
    for (int c = 0; c < columns.size(); ++c)
        assignments << columns[c] + QStringLiteral(" = ") + HexLiteral(newHex[c]);
    return QStringList{QStringLiteral("update ") + table + QStringLiteral(" set ") +
                       assignments.join(',')} +
           where;
}

QStringList InsertLines(const QString& table, const QStringList& columns,
                        const QStringList& hexValues) {
    QStringList literals;
    for (const QString& hex : hexValues)
        literals << HexLiteral(hex);
    return {QStringLiteral("insert into %1 (%2)").arg(table, columns.join(',')),
            QStringLiteral("values (") + literals.join(',') + QLatin1Char(')')};
}

QStringList HexOfTexts(const QStringList& values) {
    QStringList hex;
    for (const QString& value : values)
        hex << HexOfText(value);
    return hex;
}

void RowWrites::KeepUpdated(const QString& table, const QStringList& keyColumns,
                            const QStringList& columns, const QStringList& newHex,
                            const std::vector<QStringList>& rows) {
    for (const QStringList& row : rows) {
        RowChange change;
        change.table = table;
        change.keyColumns = keyColumns;
        change.keyValues = row.mid(0, keyColumns.size());
        for (int c = 0; c < columns.size(); ++c) {
            const QString& old = row.value(keyColumns.size() + c);
            if (old == newHex[c])
                continue;
            change.columns << columns[c];
            change.before << old;
            change.after << newHex[c];
        }
        if (!change.columns.isEmpty())
            Keep(std::move(change));
    }
}

RowChange RowWrites::InsertedRow(const QString& table, const QStringList& columns,
                                 const QStringList& values) {
    RowChange change;
    change.kind = RowChange::Kind::Inserted;
    change.table = table;
    change.columns = columns;
    change.after = HexOfTexts(values);
    return change;
}

void RowWrites::Keep(RowChange change) {
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
