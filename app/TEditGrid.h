#pragma once
// A grid whose cells edit the rows of a live query: a changed cell waits in its row, and the
// row is posted when the cursor leaves it, when the grid loses the focus or on Enter (in the
// cell's editor as well as on the grid); Esc
// cancels the row's changes; Ctrl+Z asks for the last written edit to be taken back. Typed text that the cell's column does not take is refused with
// the reason shown, and the cell keeps its value. A refused post is shown and the change stays
// in the grid.

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>

class TDataSource;
class TQuery;

class TEditGrid : public QTableView {
    Q_OBJECT
public:
    explicit TEditGrid(QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source);
    // What an open cell editor holds is taken into its cell, then every row that holds
    // changes is posted, as Enter would. Gives the reasons of what was refused (not shown),
    // none when everything was written.
    QStringList SaveChanges();

    // The cell editor's text into its cell; the reason, empty when taken. For the grid's
    // delegate, which opens the editors.
    QString EnterText(const QModelIndex& index, const QString& typed);
    void EditorOpened(QWidget* editor, const QModelIndex& index);

signals:
    // Ctrl+Z outside a cell's editor (which takes back its own typing).
    void UndoPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    // The row posted when it holds changes; the reason when refused.
    QString Post(int row);
    void PostRow(int row);
    QString TakeOpenEditor();
    TQuery* Query() const;

    TDataSource* source_ = nullptr;
    QPointer<QWidget> editor_;
    QPersistentModelIndex editorIndex_;
    // The row whose post was last refused, and why: told once until the row is edited again.
    int toldRow_ = -1;
    QString toldRefusal_;
};
