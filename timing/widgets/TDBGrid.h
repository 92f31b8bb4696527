#pragma once
// A grid bound to a data source: it shows the query's rows, and its current row is the
// query's current row both ways (a click moves the query, a locate moves the grid). A new read
// of the query leaves the rows where they were on screen: the row under the pointer (or else
// the current one) stays at its place when the query keeps its rows by a key.

#include <QTableView>

#include <optional>

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
    // A mouse button pressed on a row, which is the current row now.
    void RowPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void FollowQuery(int row);
    // The key of each row shown, for the anchor: a read has dropped the rows when it resets.
    void NoteKeys();
    // As a read resets the grid: where the row to keep in place is shown.
    void NoteAnchor();
    // After a read: the query's current row, and the rows scrolled as they were.
    void ShowReadRows();
    int RowToKeepInPlace() const;

    TDataSource* source_ = nullptr;
    QStringList shownKeys_;
    struct Anchor {
        int scroll = 0;
        int row = -1;
        QString key; // of `row`; null when no row is kept in place
    };
    std::optional<Anchor> anchor_;
};
