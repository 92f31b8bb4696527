#include "app/TEditGrid.h"

#include "common/ErrorReport.h"
#include "data/sql/DatabaseError.h"
#include "data/sql/TDataSource.h"
#include "data/sql/TQuery.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QStyledItemDelegate>
#include <QTimer>

namespace {

QString EditorText(QWidget* editor) {
    return editor->metaObject()->userProperty().read(editor).toString();
}

// Cell editors whose text goes to the grid, which may refuse it.
class CellEntryDelegate : public QStyledItemDelegate {
public:
    explicit CellEntryDelegate(TEditGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        grid_->EditorOpened(editor, index);
        return editor;
    }

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        const QString refusal = grid_->EnterText(index, EditorText(editor));
        // Shown once the editor has closed: a box opened now would take the focus from the
        // editor, which commits it again.
        if (!refusal.isEmpty())
            QTimer::singleShot(0, grid_, [refusal] { ReportError(refusal); });
    }

private:
    TEditGrid* grid_;
};

} // namespace

TEditGrid::TEditGrid(QWidget* parent) : QTableView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setItemDelegate(new CellEntryDelegate(this));
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

void TEditGrid::EditorOpened(QWidget* editor, const QModelIndex& index) {
    editor_ = editor;
    editorIndex_ = index;
}

QString TEditGrid::EnterText(const QModelIndex& index, const QString& typed) {
    toldRow_ = -1; // an edited row's refusal is news again
    try {
        model()->setData(index, typed);
        return {};
    } catch (const DatabaseError& error) {
        return error.message();
    }
}

QString TEditGrid::TakeOpenEditor() {
    if (state() != QAbstractItemView::EditingState || !editor_ || !editorIndex_.isValid())
        return {};
    QWidget* editor = editor_;
    const QString refusal = EnterText(editorIndex_, EditorText(editor));
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return refusal;
}

QString TEditGrid::Post(int row) {
    TQuery* query = Query();
    if (!query || !query->RowModified(row))
        return {};
    try {
        query->Post(row);
        return {};
    } catch (const DatabaseError& error) {
        return error.message();
    }
}

void TEditGrid::PostRow(int row) {
    // Reached from the grid's own cursor and focus handling, where an exception must not
    // unwind: shown here, and the change stays in the row. Enter and then leaving the row is
    // one try for the operator: the same refusal is not told twice.
    const QString refusal = Post(row);
    if (!refusal.isEmpty() && (row != toldRow_ || refusal != toldRefusal_))
        ReportError(refusal);
    toldRow_ = refusal.isEmpty() ? -1 : row;
    toldRefusal_ = refusal;
}

QStringList TEditGrid::SaveChanges() {
    QStringList refusals;
    if (const QString refusal = TakeOpenEditor(); !refusal.isEmpty())
        refusals << refusal;
    for (int row = 0; Query() && row < Query()->RecordCount(); ++row)
        if (const QString refusal = Post(row); !refusal.isEmpty())
            refusals << refusal;
    return refusals;
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
    if (!editing && event->matches(QKeySequence::Undo)) {
        emit UndoPressed();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TEditGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const int row = editorIndex_.row();
    QTableView::closeEditor(editor, hint);
    // Enter in the editor stores the row at once: what the operator saw taken is not lost
    // to a crash before the cursor leaves the row.
    if (hint == QAbstractItemDelegate::SubmitModelCache && row >= 0)
        PostRow(row);
}

void TEditGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    // The cell's own editor takes the focus while a cell is edited: that is not leaving.
    if (state() != QAbstractItemView::EditingState && currentIndex().isValid())
        PostRow(currentIndex().row());
}
