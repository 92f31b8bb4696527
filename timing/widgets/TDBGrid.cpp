#include "timing/widgets/TDBGrid.h"

#include "data/sql/TDataSource.h"
#include "data/sql/TQuery.h"
#include "timing/widgets/CellTextDelegate.h"

#include <QCursor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <utility>

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Whole rows: a read moves the rows by whole rows, and so does keeping one in place.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();
    setItemDelegate(new CellTextDelegate(this));
}

void TDBGrid::SetDataSource(TDataSource* source) {
    source_ = source;
    setModel(source);
    TQuery& query = source->DataSet();
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, &TDBGrid::NoteAnchor);
    connect(source, &QAbstractItemModel::modelReset, this, &TDBGrid::NoteKeys);
    connect(source, &QAbstractItemModel::rowsInserted, this, &TDBGrid::NoteKeys);
    connect(&query, &TQuery::CurrentRowChanged, this, &TDBGrid::FollowQuery);
    connect(&query, &TQuery::Opened, this, &TDBGrid::ShowReadRows);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, source,
            [source] { source->HoldFetching(false); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [&query](const QModelIndex& current) {
                if (current.isValid() && current.row() != query.RecNo())
                    query.SetRecNo(current.row());
            });
}

void TDBGrid::FollowQuery(int row) {
    if (!source_ || row >= source_->rowCount())
        return;
    const QModelIndex index = source_->index(row, qMax(0, currentIndex().column()));
    if (index != currentIndex())
        setCurrentIndex(index);
}

int TDBGrid::RowToKeepInPlace() const {
    const QPoint pointer = viewport()->mapFromGlobal(QCursor::pos());
    if (viewport()->rect().contains(pointer))
        return rowAt(pointer.y());
    const int current = currentIndex().row();
    return viewport()->rect().intersects(visualRect(currentIndex())) ? current : -1;
}

void TDBGrid::NoteKeys() {
    const TQuery& query = source_->DataSet();
    const int column = query.FieldIndex(query.RowKey());
    shownKeys_.clear();
    for (int row = 0; row < query.RecordCount(); ++row)
        shownKeys_ << query.Value(row, column);
}

void TDBGrid::NoteAnchor() {
    // A read closes the query and opens it again: the first reset, while the grid still shows
    // the rows it had, tells where they were.
    if (anchor_ || shownKeys_.isEmpty())
        return;
    const int row = RowToKeepInPlace();
    anchor_ = Anchor{verticalScrollBar()->value(), row, shownKeys_.value(row)};
}

void TDBGrid::ShowReadRows() {
    // Rows kept in place are not rows scrolled to: more are fetched, on this thread, only when
    // the operator scrolls (a hung server would hold the window up at every read).
    source_->HoldFetching(true);
    const std::optional<Anchor> anchor = std::exchange(anchor_, std::nullopt);
    const TQuery& query = source_->DataSet();
    // The current row as the query kept it, without scrolling to it.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    FollowQuery(query.RecNo());
    setAutoScroll(scrolls);
    if (!anchor)
        return;
    updateGeometries();
    const int row = anchor->key.isNull() ? -1 : query.FindRow(query.RowKey(), anchor->key);
    verticalScrollBar()->setValue(anchor->scroll + (row < 0 ? 0 : row - anchor->row));
}

void TDBGrid::mousePressEvent(QMouseEvent* event) {
    // A right click asks for the row's menu: the row under the pointer becomes the current
    // one first, so the menu acts on the row the operator sees chosen.
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid())
            setCurrentIndex(index);
        event->accept();
    } else {
        QTableView::mousePressEvent(event);
    }
    if (indexAt(event->position().toPoint()).isValid())
        emit RowPressed();
}

void TDBGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit EnterPressed();
        return;
    }
    QTableView::keyPressEvent(event);
}
