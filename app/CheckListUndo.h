#pragma once
// The check list's own undo, for the edits no timing window keeps (it is closed): newest
// first, each edit taken back whole, and only while its rows still hold what it wrote (see
// UndoChanges.h); otherwise nothing changes and the edit stays the next to take back.

#include "data/sql/RowChange.h"

#include <QString>
#include <vector>

class TDatabase;

class CheckListUndo {
public:
    void Keep(std::vector<RowChange> changes);
    bool Empty() const { return edits_.empty(); }
    // Takes back the newest edit; why it cannot be, for the operator, when it cannot.
    QString TakeBackNewest(TDatabase& database);

private:
    std::vector<std::vector<RowChange>> edits_;
};
