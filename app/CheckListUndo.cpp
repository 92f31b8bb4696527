#include "app/CheckListUndo.h"

#include "data/actions/ActionApplier.h"
#include "data/actions/UndoChanges.h"

void CheckListUndo::Keep(std::vector<RowChange> changes) {
    if (!changes.empty())
        edits_.push_back(std::move(changes));
}

QString CheckListUndo::TakeBackNewest(TDatabase& database) {
    if (edits_.empty())
        return {};
    const std::vector<RowChange>& newest = edits_.back();
    const int blocking = UndoChanges(database, newest);
    if (blocking >= 0)
        return QStringLiteral("%1はその後変更されたため、元に戻せません。")
            .arg(RowDescription(newest[blocking]));
    edits_.pop_back();
    return {};
}
