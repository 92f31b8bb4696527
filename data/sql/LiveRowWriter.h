#pragma once
// What writes the edited rows of a live query in place of its plain update (WriteLiveRow):
// a writer may keep a column's cells in a form of its own and write, with the row, the rows
// of other tables that go with it.

#include "data/sql/LiveUpdate.h"

#include <QString>

class LiveRowWriter {
public:
    virtual ~LiveRowWriter() = default;

    // What the cell `column` of `row` (its values as shown, edits waiting in it included,
    // named by `fieldNames`) keeps for the typed text. Throws DatabaseError with the
    // operator's message when the cell takes no such text.
    virtual QString CellText(const QStringList& fieldNames, const QStringList& row, int column,
                             const QString& typed) const = 0;
    // Writes one edited row, all or nothing; Refused, with nothing written, when the row is
    // not found exactly once as it was read.
    virtual LiveRowOutcome Write(const LiveRowChange& change) = 0;
};
