#pragma once
// A data source: the table model through which a grid shows the rows of a query. It
// follows every open, close and window fetch of the query, and the grid's columns are bound
// to fields by name (rebinding a column shows another field with the same title).

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <functional>

class TQuery;

struct TGridColumn {
    QString FieldName;
    QString Title;
    bool Editable = false; // only where the query is live
    Qt::Alignment Alignment = Qt::AlignLeft | Qt::AlignVCenter;
    Qt::Alignment TitleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
};

class TDataSource : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TDataSource(TQuery& query, QObject* parent = nullptr);

    TQuery& DataSet() const { return query_; }

    // No columns set: every field of the query, titled by its name.
    void SetColumns(const QList<TGridColumn>& columns);
    void BindColumn(int column, const QString& fieldName);
    // How a column's cells are shown, when not as they are stored; an edit starts from the
    // stored text.
    void ShowColumnAs(int column, std::function<QString(const QString&)> shown);
    QList<TGridColumn> Columns() const { return columns_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edit waits in its row until the row is posted (TQuery::Post).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    // While set, the view asks for no more rows: a grid that keeps its rows in place after a
    // read would otherwise fetch the next window from the database, on the window's thread,
    // whenever the rows kept bring the window's last row into sight.
    void HoldFetching(bool held) { fetchingHeld_ = held; }

    // A field of a row by name, whether a column shows it or not (for row shading).
    QString FieldOfRow(int row, const QString& fieldName) const;

private:
    int FieldOfColumn(int column) const;

    TQuery& query_;
    QList<TGridColumn> columns_;
    QHash<int, std::function<QString(const QString&)>> shownAs_;
    bool fetchingHeld_ = false;
};
