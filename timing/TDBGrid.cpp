#include "TDBGrid.h"

#include "CellTextDelegate.h"
#include "data/TDataSource.h"
#include "data/TQuery.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();
    setItemDelegate(new CellTextDelegate(this));
}

void TDBGrid::SetDataSource(TDataSource* source) {
    source_ = source;
    setModel(source);
    TQuery& query = source->DataSet();
    connect(&query, &TQuery::CurrentRowChanged, this, &TDBGrid::FollowQuery);
    connect(&query, &TQuery::Opened, this, [this, &query] { FollowQuery(query.RecNo()); });
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

void TDBGrid::mousePressEvent(QMouseEvent* event) {
    // A right click asks for the row's menu; the row it acts on is the current one, so the
    // click must not move it.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TDBGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit EnterPressed();
        return;
    }
    QTableView::keyPressEvent(event);
}
