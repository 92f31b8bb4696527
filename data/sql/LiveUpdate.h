#pragma once
// The update that writes an edited row of a live query: the changed columns are set, and the
// row is found by the values every fetched column had when it was read, within the rows the
// query itself selects. The match is byte for byte and takes NULL as a value, so a row that
// another program changed meanwhile (even only in letter case or trailing blanks) matches
// nothing. It must match exactly one row: the update runs in a transaction that is rolled
// back otherwise, so two rows alike are never both changed.

#include "data/sql/RowChange.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class TDatabase;

struct LiveSelect {
    QString Table;
    QString Condition; // the select's own where condition, empty when it has none
};

// The table and condition of a single-table select; nothing for any other statement.
std::optional<LiveSelect> ParseLiveSelect(const QString& selectText);

// One edited row. A null QString among the read values stands for NULL.
struct LiveRowChange {
    LiveSelect Select;
    QStringList Columns;
    QStringList ReadValues;
    QStringList NewValues;
};

struct LiveRowOutcome {
    enum Result { Written, NothingToDo, Refused };
    Result result = NothingToDo;
    QString refusal; // the message for the operator when refused
    // What the write changed, to take it back; the plain update keeps none.
    std::vector<RowChange> changes;
};

// The refusals of a row that is not found exactly once.
QString ChangedMeanwhileMessage();
QString SeveralRowsMessage(int rows);

// "where (<condition>) and BINARY <column> <=> <read value> ...": the edited row, by the
// values it was read with.
QStringList LiveRowWhere(const LiveRowChange& change);

// "update <table> set ... where (<condition>) and BINARY <column> <=> <read value> ...".
// No lines when no column changed. Throws UnstorableTextError for a new value the race
// database cannot hold as typed.
QStringList LiveUpdateStatement(const LiveRowChange& change);

// Writes the change when it finds its row, and only that row. A server error is thrown with
// the server's message.
LiveRowOutcome WriteLiveRow(TDatabase& database, const LiveRowChange& change);
