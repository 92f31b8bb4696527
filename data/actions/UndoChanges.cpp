#include "data/actions/UndoChanges.h"

#include "data/sql/RunStatement.h"
#include "data/sql/TQuery.h"
#include "data/sql/Transaction.h"

namespace {

// Rows put back by one insert statement: a reset may have removed many thousands.
constexpr int InsertRowsAtOnce = 500;

// "BINARY col <=> value" for each column: the bytes decide, NULL matches NULL.
QStringList Matches(const QStringList& columns, const QStringList& hexValues) {
    QStringList matches;
    for (int c = 0; c < columns.size(); ++c)
        matches << QStringLiteral("BINARY %1 <=> %2").arg(columns[c], HexLiteral(hexValues[c]));
    return matches;
}

QString Values(const QStringList& hexValues) {
    QStringList literals;
    for (const QString& hex : hexValues)
        literals << HexLiteral(hex);
    return QLatin1Char('(') + literals.join(',') + QLatin1Char(')');
}

// Updates alike but for a single-column key (a reset's stamps) go as one statement.
bool Alike(const RowChange& a, const RowChange& b) {
    return a.kind == RowChange::Kind::Updated && b.kind == a.kind && a.keyColumns.size() == 1 &&
           a.table == b.table && a.keyColumns == b.keyColumns && a.columns == b.columns &&
           a.before == b.before && a.after == b.after;
}

class Undoing {
public:
    explicit Undoing(TQuery& query) : query_(query) {}

    // changes[first .. last], alike when more than one; false when their rows are not as the
    // action left them.
    bool TakeBack(const std::vector<RowChange>& changes, std::size_t first, std::size_t last) {
        const RowChange& change = changes[first];
        switch (change.kind) {
        case RowChange::Kind::Updated:
            return Restore(changes, first, last);
        case RowChange::Kind::Inserted:
            return Remove(change);
        case RowChange::Kind::Deleted:
            PutBack(change);
            return true;
        }
        return false;
    }

private:
    bool Restore(const std::vector<RowChange>& changes, std::size_t first, std::size_t last) {
        const RowChange& change = changes[first];
        QStringList assignments;
        for (int c = 0; c < change.columns.size(); ++c)
            assignments << change.columns[c] + QStringLiteral(" = ") + HexLiteral(change.before[c]);
        QString where;
        int rows = 0;
        if (first == last) {
            where = Matches(change.keyColumns, change.keyValues).join(QStringLiteral(" and "));
            rows = change.rows;
        } else {
            QStringList keys;
            for (std::size_t k = first; k <= last; ++k) {
                keys << HexLiteral(changes[k].keyValues.value(0));
                rows += changes[k].rows;
            }
            where = QStringLiteral("BINARY %1 in (%2)").arg(change.keyColumns[0], keys.join(','));
        }
        // Setting a cell to what it held before always changes it (it holds what the action
        // wrote, which differs), so the count of changed rows is the count of rows found.
        return RunStatement(query_,
                            {QStringLiteral("update ") + change.table + QStringLiteral(" set ") +
                                 assignments.join(','),
                             QStringLiteral("where ") + where,
                             QStringLiteral("and ") +
                                 Matches(change.columns, change.after).join(QStringLiteral(" and ")),
                             QStringLiteral("limit %1").arg(rows)}) == rows;
    }

    bool Remove(const RowChange& change) {
        return RunStatement(query_, {QStringLiteral("delete from ") + change.table,
                                     QStringLiteral("where ") + Matches(change.columns, change.after)
                                                                    .join(QStringLiteral(" and ")),
                                     QStringLiteral("limit %1").arg(change.rows)}) == change.rows;
    }

    void PutBack(const RowChange& change) {
        for (int done = 0; done < change.rows;) {
            const int now = std::min(InsertRowsAtOnce, change.rows - done);
            QStringList rows;
            for (int k = 0; k < now; ++k)
                rows << Values(change.before);
            RunStatement(query_, {QStringLiteral("insert into %1 (%2) values")
                                      .arg(change.table, change.columns.join(',')),
                                  rows.join(',')});
            done += now;
        }
    }

    TQuery& query_;
};

} // namespace

int UndoChanges(TDatabase& database, const std::vector<RowChange>& changes,
                const std::function<void(TQuery&)>& alsoWithin) {
    TQuery query(database, QStringLiteral("UndoWriting"));
    Transaction transaction(database);
    const int blocking = TakeBackChanges(query, changes);
    if (blocking >= 0)
        return blocking;
    if (alsoWithin)
        alsoWithin(query);
    transaction.Commit();
    return -1;
}

int TakeBackChanges(TQuery& query, const std::vector<RowChange>& changes) {
    Undoing undoing(query);
    for (std::size_t end = changes.size(); end > 0;) {
        // changes[first .. end - 1] are alike: one statement takes them back.
        std::size_t first = end - 1;
        while (first > 0 && Alike(changes[first - 1], changes[end - 1]))
            --first;
        if (!undoing.TakeBack(changes, first, end - 1))
            return static_cast<int>(end - 1);
        end = first;
    }
    return -1;
}
