#pragma once
// A grid bound to a data source: it shows the query's rows, and its current row is the
// query's current row both ways (a click moves the query, a locate moves the grid).

#include <QTableView>

class TDataSource;

class TDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const { return source_; }

signals:
    // Enter pressed on the grid.
    void EnterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void FollowQuery(int row);

    TDataSource* source_ = nullptr;
};
