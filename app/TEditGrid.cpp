#include "app/TEditGrid.h"

#include "common/ErrorReport.h"
#include "data/DatabaseError.h"
#include "data/TDataSource.h"
#include "data/TQuery.h"

#include <QHeaderView>
#include <QKeyEvent>

TEditGrid::TEditGrid(QWidget* parent) : QTableView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->hide();
}

TQuery* TEditGrid::Query() const {
    return source_ ? &source_->DataSet() : nullptr;
}

void TEditGrid::SetDataSource(TDataSource* source) {
    source_ = source;
    setModel(source);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex&, const QModelIndex& previous) {
                if (previous.isValid())
                    PostRow(previous.row());
            });
}

bool TEditGrid::PostRow(int row) {
    TQuery* query = Query();
    if (!query || !query->RowModified(row))
        return true;
    try {
        query->Post(row);
        return true;
    } catch (const DatabaseError& error) {
        // Reached from the grid's own cursor and focus handling, where an exception must
        // not unwind: shown here, and the change stays in the row.
        ReportError(error.message());
        return false;
    }
}

bool TEditGrid::PostChanges() {
    bool all = true;
    for (int row = 0; Query() && row < Query()->RecordCount(); ++row)
        all = PostRow(row) && all;
    return all;
}

void TEditGrid::keyPressEvent(QKeyEvent* event) {
    const bool editing = state() == QAbstractItemView::EditingState;
    if (!editing && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        PostRow(currentIndex().row());
        return;
    }
    if (!editing && event->key() == Qt::Key_Escape && Query()) {
        Query()->CancelRow(currentIndex().row());
        return;
    }
    QTableView::keyPressEvent(event);
}

void TEditGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    // The cell's own editor takes the focus while a cell is edited: that is not leaving.
    if (state() != QAbstractItemView::EditingState && currentIndex().isValid())
        PostRow(currentIndex().row());
}
