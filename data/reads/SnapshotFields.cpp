#include "data/reads/SnapshotFields.h"

#include "data/sql/DatabaseError.h"

int SnapshotField(const ListSnapshot& rows, const QString& name) {
    for (int c = 0; c < rows.fieldNames.size(); ++c)
        if (rows.fieldNames[c].compare(name, Qt::CaseInsensitive) == 0)
            return c;
    throw DatabaseError(QStringLiteral("フィールド '%1' が見つかりません").arg(name));
}

std::optional<qint64> NumberField(const QStringList& row, int column) {
    bool number = false;
    const qint64 value = row.value(column).toLongLong(&number);
    return number ? std::optional(value) : std::nullopt;
}
