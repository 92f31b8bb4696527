#include "data/sql/TDataSource.h"

#include "common/ErrorReport.h"
#include "data/sql/DatabaseError.h"
#include "data/sql/TQuery.h"

TDataSource::TDataSource(TQuery& query, QObject* parent)
    : QAbstractTableModel(parent), query_(query) {
    connect(&query_, &TQuery::Opened, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&query_, &TQuery::Closed, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&query_, &TQuery::RowsAboutToBeAppended, this,
            [this](int first, int last) { beginInsertRows({}, first, last); });
    connect(&query_, &TQuery::RowsAppended, this, [this] { endInsertRows(); });
    connect(&query_, &TQuery::RowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
}

void TDataSource::SetColumns(const QList<TGridColumn>& columns) {
    beginResetModel();
    columns_ = columns;
    endResetModel();
}

void TDataSource::BindColumn(int column, const QString& fieldName) {
    if (column < 0 || column >= columns_.size())
        return;
    columns_[column].FieldName = fieldName;
    emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

int TDataSource::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : query_.RecordCount();
}

int TDataSource::columnCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return columns_.isEmpty() ? query_.FieldCount() : static_cast<int>(columns_.size());
}

int TDataSource::FieldOfColumn(int column) const {
    if (columns_.isEmpty())
        return column;
    return query_.FieldIndex(columns_.value(column).FieldName);
}

void TDataSource::ShowColumnAs(int column, std::function<QString(const QString&)> shown) {
    shownAs_.insert(column, std::move(shown));
}

QVariant TDataSource::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole && !columns_.isEmpty())
        return QVariant::fromValue(columns_.value(index.column()).Alignment);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const QString stored = query_.Value(index.row(), FieldOfColumn(index.column()));
    const auto shown = shownAs_.find(index.column());
    return role == Qt::DisplayRole && shown != shownAs_.end() ? (*shown)(stored) : stored;
}

Qt::ItemFlags TDataSource::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && query_.RequestLive() && !columns_.isEmpty() &&
        columns_.value(index.column()).Editable)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TDataSource::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    query_.SetFieldText(index.row(), FieldOfColumn(index.column()), value.toString());
    return true;
}

QVariant TDataSource::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal && !columns_.isEmpty())
        return QVariant::fromValue(columns_.value(section).TitleAlignment);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return columns_.isEmpty() ? query_.FieldName(section) : columns_.value(section).Title;
}

bool TDataSource::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !fetchingHeld_ && query_.CanFetchMore();
}

void TDataSource::fetchMore(const QModelIndex& parent) {
    if (parent.isValid())
        return;
    try {
        query_.FetchMore();
    } catch (const DatabaseError& error) {
        // The view asks for rows from deep inside its own painting and scrolling, which an
        // exception must not cross.
        ReportError(error.message());
    }
}

QString TDataSource::FieldOfRow(int row, const QString& fieldName) const {
    return query_.Value(row, query_.FieldIndex(fieldName));
}
