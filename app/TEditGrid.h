#pragma once
// A grid whose cells edit the rows of a live query: a changed cell waits in its row, and the
// row is posted when the cursor leaves it, when the grid loses the focus or on Enter; Esc
// cancels the row's changes. A refused post is shown and the change stays in the grid.

#include <QTableView>

class TDataSource;
class TQuery;

class TEditGrid : public QTableView {
    Q_OBJECT
public:
    explicit TEditGrid(QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source);
    // Posts every row that holds changes; false (with the error shown) if one was refused.
    bool PostChanges();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool PostRow(int row);
    TQuery* Query() const;

    TDataSource* source_ = nullptr;
};
