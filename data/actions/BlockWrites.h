#pragma once
// The writes of one operator action sent to the database as one block, a compound statement:
// it claims the action's id (table midaction), reads and locks the rows each update will
// change, and makes the writes only when every update that must find rows finds them, all in
// one transaction and one round trip. A link with a long round trip costs one per action, not
// one per statement.

#include "data/actions/RowWrites.h"

class TDatabase;

class BlockWrites : public RowWrites {
public:
    // Kept for the block; the count is known once it has run (Later).
    int Update(const QString& table, const QStringList& keyColumns, const QStringList& where,
               const QStringList& columns, const QStringList& values,
               const QString& refusalIfNone = {}) override;
    void Insert(const QString& table, const QStringList& columns,
                const QStringList& values) override;
    void Statement(const QStringList& lines) override;
    void Guard(const QStringList& statements, const QString& expected) override;
    const std::vector<RowChange>& Changes() const override { return changes_; }

    struct Outcome {
        bool appliedBefore = false; // the id was claimed already: nothing was done again
        QString refusal;            // an update found no rows: nothing was done
        // A guard did not hold: nothing was done (GuardedStates says what the server holds).
        bool changedMeanwhile = false;
    };
    // Sends the block as the action `actionId` of `race`. Throws DatabaseError with the
    // server's message; a lost connection is marked so the next statement connects anew.
    Outcome Send(TDatabase& database, const QString& actionId, const QString& race);

    // The block's text, as it is sent.
    QString Text(const QString& actionId, const QString& race) const;

private:
    struct LockedUpdate {
        QString table;
        QStringList keyColumns;
        QStringList where;
        QStringList columns;
        QStringList newHex;
        QString refusal;
    };
    struct ReadGuard {
        QStringList statements;
        QString expected;
    };
    std::vector<LockedUpdate> updates_;
    std::vector<ReadGuard> guards_;
    QStringList writes_; // every write's statement, in order
};
