#pragma once
// What writes the edited rows of a live query in place of its plain update (WriteLiveRow):
// a writer may keep a column's cells in a form of its own and write, with the row, the rows
// of other tables that go with it.

#include "data/LiveUpdate.h"

#include <QString>

class LiveRowWriter {
public:
    virtual ~LiveRowWriter() = default;

    // What a cell of `column` keeps for the typed text. Throws DatabaseError with the
    // operator's message when the column takes no such text.
    virtual QString CellText(const QString& column, const QString& typed) const = 0;
    // Writes one edited row, all or nothing; Refused, with nothing written, when the row is
    // not found exactly once as it was read.
    virtual LiveRowOutcome Write(const LiveRowChange& change) = 0;
};
