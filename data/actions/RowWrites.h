#pragma once
// The writes of one operator action, made either one statement at a time (CapturedWrites) or
// sent all at once as one block (BlockWrites). Either way the rows an update changes are read
// and locked first and kept as row changes (see RowChange.h), so the action can be taken back.

#include "data/sql/RowChange.h"

#include <QStringList>
#include <vector>

class RowWrites {
public:
    // A count known only once the writes have run together.
    static constexpr int Later = -1;

    virtual ~RowWrites() = default;

    // Sets `columns` to `values` in the rows of `table` that `where` finds (statement lines,
    // the first one starting "where"); each row is known by `keyColumns`. Gives the number of
    // rows found (a row that already held the values counts), or Later; then, when it finds
    // none, `refusalIfNone` (when given) refuses all the writes.
    virtual int Update(const QString& table, const QStringList& keyColumns,
                       const QStringList& where, const QStringList& columns,
                       const QStringList& values, const QString& refusalIfNone = {}) = 0;
    // Adds a row of these columns and values.
    virtual void Insert(const QString& table, const QStringList& columns,
                        const QStringList& values) = 0;
    // A statement kept for no undo (the change marker of the suite).
    virtual void Statement(const QStringList& lines) = 0;
    // The writes apply only while the text that `statements` set `{state}` to is `expected`
    // (see DecisionState.h); otherwise none of them does.
    virtual void Guard(const QStringList& statements, const QString& expected) = 0;
    // Whether every guard held, and the text each found on the server; known once the writes
    // have run.
    bool GuardsHeld() const { return guardsHeld_; }
    const QStringList& GuardedStates() const { return guardedStates_; }

    virtual const std::vector<RowChange>& Changes() const = 0;

protected:
    // The rows an update found, as the hex of the key and the columns, kept as row changes
    // where a value changes.
    void KeepUpdated(const QString& table, const QStringList& keyColumns,
                     const QStringList& columns, const QStringList& newHex,
                     const std::vector<QStringList>& rows);
    // Rows changed alike one after the other are kept once, with their number.
    void Keep(RowChange change);
    // A row of these columns and values to add, as it is kept.
    static RowChange InsertedRow(const QString& table, const QStringList& columns,
                                 const QStringList& values);

    std::vector<RowChange> changes_;
    bool guardsHeld_ = true;
    QStringList guardedStates_;
};

// The statement text of the writes.
// A column's value read as the hex of its bytes behind "x"; NULL stays NULL.
QString HexOfColumn(const QString& column);
// Reads and locks the rows `where` finds: each column as the hex of its bytes.
QStringList LockLines(const QString& table, const QStringList& columns, const QStringList& where);
QStringList UpdateLines(const QString& table, const QStringList& where, const QStringList& columns,
                        const QStringList& newHex);
QStringList InsertLines(const QString& table, const QStringList& columns,
                        const QStringList& hexValues);
// Each value's hex, as the program writes it (never NULL).
QStringList HexOfTexts(const QStringList& values);
