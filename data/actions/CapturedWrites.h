#pragma once
// The writes of one operator action, one statement at a time, with what they changed kept as
// row changes (see RowChange.h), so that the action can be taken back. The rows an update or
// delete will change are read and locked first, inside the action's transaction, so what is
// kept is exactly what they held.

#include "data/actions/RowWrites.h"

#include <QStringList>
#include <functional>
#include <vector>

class TQuery;

class CapturedWrites : public RowWrites {
public:
    // Each write is shown to the log as the operator reads it before it runs, so a failing
    // one is on record.
    using StatementLog = std::function<void(const QStringList& shownLines)>;

    explicit CapturedWrites(TQuery& query, StatementLog log = {})
        : query_(query), log_(std::move(log)) {}

    // The count is known at once: the refusal is the caller's to make.
    int Update(const QString& table, const QStringList& keyColumns, const QStringList& where,
               const QStringList& columns, const QStringList& values,
               const QString& refusalIfNone = {}) override;
    void Insert(const QString& table, const QStringList& columns,
                const QStringList& values) override;
    void Statement(const QStringList& lines) override { Write(lines); }
    // Read at once, in session variables; the caller commits nothing when one did not hold.
    void Guard(const QStringList& statements, const QString& expected) override;
    // Removes the rows `where` finds; `columns` are all the columns a row is put back with.
    // Gives the number of rows removed.
    int Delete(const QString& table, const QStringList& where, const QStringList& columns);

    const std::vector<RowChange>& Changes() const override { return changes_; }

private:
    // The rows `where` finds, locked, each as the hex of its columns.
    std::vector<QStringList> LockRows(const QString& table, const QStringList& columns,
                                      const QStringList& where);
    void Write(const QStringList& lines);

    TQuery& query_;
    StatementLog log_;
};
