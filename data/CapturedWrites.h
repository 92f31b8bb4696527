#pragma once
// The writes of one operator action, with what they changed kept as row changes (see
// RowChange.h), so that the action can be taken back. The rows an update or delete will
// change are read and locked first, inside the action's transaction, so what is kept is
// exactly what they held.

#include "data/RowChange.h"

#include <QStringList>
#include <functional>
#include <vector>

class TQuery;

class CapturedWrites {
public:
    // Each write is shown to the log as the operator reads it before it runs, so a failing
    // one is on record.
    using StatementLog = std::function<void(const QStringList& shownLines)>;

    explicit CapturedWrites(TQuery& query, StatementLog log = {})
        : query_(query), log_(std::move(log)) {}

    // Sets `columns` to `values` in the rows of `table` that `where` finds (statement lines,
    // the first one starting "where"); each row is known by `keyColumns`. Gives the number of
    // rows found: a row that already held the values counts, though nothing changes in it.
    int Update(const QString& table, const QStringList& keyColumns, const QStringList& where,
               const QStringList& columns, const QStringList& values);
    // Adds a row of these columns and values.
    void Insert(const QString& table, const QStringList& columns, const QStringList& values);
    // Removes the rows `where` finds; `columns` are all the columns a row is put back with.
    // Gives the number of rows removed.
    int Delete(const QString& table, const QStringList& where, const QStringList& columns);

    const std::vector<RowChange>& Changes() const { return changes_; }

private:
    // The rows `where` finds, locked, each as the hex of its columns.
    std::vector<QStringList> LockRows(const QString& table, const QStringList& columns,
                                      const QStringList& where);
    // Rows changed alike one after the other are kept once, with their number.
    void Keep(RowChange change);
    void Write(const QStringList& lines);

    TQuery& query_;
    StatementLog log_;
    std::vector<RowChange> changes_;
};
