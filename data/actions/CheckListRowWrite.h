#pragma once
// The write of a row edited in the check list. A split time corrected there corrects the rest
// of the record with it, in one transaction: the time of day of the passing (the time the
// split is measured from plus the new split time) and the passing-log row of that passing. A
// split time cleared clears its passing, deletes its passing-log row and gives the stamp the
// passing took back to the operator (see TakenStamp.h). The rows changed are kept, so that the
// edit is taken back whole.

#include "data/sql/LiveRowWriter.h"
#include "data/sql/TQuery.h"

class TDatabase;

class CheckListRowWriter : public LiveRowWriter {
public:
    explicit CheckListRowWriter(TDatabase& database);

    // A split-time cell keeps a running time in the recorded form ("12:34.5" typed gives
    // "   12:34.5"), or nothing; any other text, or a time out of order with the row's
    // neighbouring splits, is refused naming the split.
    QString CellText(const QStringList& fieldNames, const QStringList& row, int column,
                     const QString& typed) const override;
    LiveRowOutcome Write(const LiveRowChange& change) override;

private:
    TDatabase& database_;
    TQuery query_;
    bool takenStampsChecked_ = false;
};
