#include "TQuery.h"

#include "DatabaseError.h"
#include "LiveUpdate.h"
#include "SqlValue.h"
#include "TDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

TQuery::TQuery(TDatabase& database, const QString& name, const QStringList& initialText,
               QObject* parent)
    : QObject(parent), database_(database), lines_(initialText) {
    setObjectName(name);
    connect(&database_, &TDatabase::Closing, this, &TQuery::Close);
}

void TQuery::Clear() {
    Close();
    lines_.clear();
}

void TQuery::Add(const QString& line) {
    Close();
    lines_.append(line);
}

void TQuery::SetSQL(const QStringList& lines) {
    Close();
    lines_ = lines;
}

QString TQuery::Text() const {
    return lines_.join(QStringLiteral("\r\n"));
}

QString TQuery::ShownText() const {
    return ShownStatement(lines_).join(QStringLiteral("\r\n"));
}

QSqlQuery TQuery::Execute(const QString& text) {
    database_.ReconnectIfLost();
    QSqlQuery query(database_.Connection());
    query.setForwardOnly(true);
    if (!query.exec(text)) {
        const DatabaseError error = DatabaseError::FromSqlError(query.lastError());
        if (error.isConnectionLost())
            database_.MarkConnectionLost();
        throw error;
    }
    return query;
}

void TQuery::Run(const QString& text, std::vector<QStringList>* rows, QStringList* fieldNames) {
    QSqlQuery query = Execute(text);
    if (!rows || !query.isSelect())
        return;
    const QSqlRecord record = query.record();
    const int columns = record.count();
    if (fieldNames) {
        fieldNames->clear();
        for (int c = 0; c < columns; ++c)
            fieldNames->append(record.fieldName(c));
    }
    while (query.next()) {
        QStringList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.append(FromShiftJisWire(query.value(c).toString()));
        rows->push_back(std::move(row));
    }
}

QString TQuery::WindowedText(int offset) const {
    if (fetchWindow_ <= 0)
        return Text();
    // The limit goes on the statement itself: the server ignores an order inside a
    // derived table.
    return Text() + QStringLiteral("\r\nlimit %1 offset %2").arg(fetchWindow_).arg(offset);
}

void TQuery::Open() {
    Close();
    std::vector<QStringList> rows;
    QStringList names;
    Run(WindowedText(0), &rows, &names);
    rows_ = std::move(rows);
    fieldNames_ = std::move(names);
    current_ = 0;
    active_ = true;
    moreRows_ = fetchWindow_ > 0 && RecordCount() == fetchWindow_;
    emit Opened();
}

void TQuery::Close() {
    if (!active_)
        return;
    active_ = false;
    moreRows_ = false;
    rows_.clear();
    readValues_.clear();
    current_ = 0;
    emit Closed();
}

int TQuery::ExecSQL() {
    return Execute(Text()).numRowsAffected();
}

void TQuery::SetRequestLive(bool live) {
    Close();
    live_ = live;
}

void TQuery::SetFieldText(int row, int column, const QString& value) {
    if (!live_)
        throw DatabaseError(
            QStringLiteral("%1: 読み取り専用のデータは変更できません").arg(objectName()));
    if (row < 0 || row >= RecordCount() || column < 0 || column >= FieldCount() ||
        rows_[row][column] == value)
        return;
    readValues_.try_emplace(row, rows_[row]);
    rows_[row][column] = value;
    emit RowChanged(row);
}

void TQuery::Post(int row) {
    const auto read = readValues_.find(row);
    if (read == readValues_.end())
        return;
    const std::optional<LiveSelect> select = ParseLiveSelect(Text());
    if (!select)
        throw DatabaseError(
            QStringLiteral("%1: この問い合わせの行は更新できません").arg(objectName()));
    if (read->second != rows_[row]) {
        const QSqlQuery query =
            Execute(LiveUpdateStatement(*select, fieldNames_, read->second, rows_[row]));
        if (query.numRowsAffected() != 1)
            throw DatabaseError(QStringLiteral(
                "この行は読み込んだ後に他のプログラムによって変更されたか、削除されています。"
                "変更を取り消してから読み込み直してください。"));
    }
    readValues_.erase(read);
    emit RowChanged(row);
}

void TQuery::CancelRow(int row) {
    const auto read = readValues_.find(row);
    if (read == readValues_.end())
        return;
    rows_[row] = read->second;
    readValues_.erase(read);
    emit RowChanged(row);
}

void TQuery::FetchMore() {
    if (!CanFetchMore())
        return;
    std::vector<QStringList> more;
    Run(WindowedText(RecordCount()), &more, nullptr);
    moreRows_ = static_cast<int>(more.size()) == fetchWindow_;
    if (more.empty())
        return;
    const int first = RecordCount();
    emit RowsAboutToBeAppended(first, first + static_cast<int>(more.size()) - 1);
    for (auto& row : more)
        rows_.push_back(std::move(row));
    emit RowsAppended();
}

int TQuery::CountAll() {
    if (active_ && !moreRows_)
        return RecordCount();
    std::vector<QStringList> rows;
    Run(QStringLiteral("select count(*) from (\r\n") + Text() + QStringLiteral("\r\n) counted"),
        &rows, nullptr);
    return rows.empty() ? 0 : rows.front().value(0).toInt();
}

void TQuery::Next() {
    if (!Eof())
        SetRecNo(current_ + 1);
}

void TQuery::SetRecNo(int row) {
    current_ = qBound(0, row, RecordCount());
    emit CurrentRowChanged(current_);
}

bool TQuery::Locate(const QString& fieldName, const QString& value) {
    const int column = FieldIndex(fieldName);
    for (int row = 0; column >= 0 && row < RecordCount(); ++row) {
        if (rows_[row][column] == value) {
            SetRecNo(row);
            return true;
        }
    }
    return false;
}

int TQuery::FieldIndex(const QString& fieldName) const {
    for (int c = 0; c < fieldNames_.size(); ++c) {
        if (fieldNames_[c].compare(fieldName, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

TFieldValue TQuery::FieldByName(const QString& fieldName) const {
    const int column = FieldIndex(fieldName);
    if (column < 0 && active_)
        throw DatabaseError(
            QStringLiteral("%1: フィールド '%2' が見つかりません").arg(objectName(), fieldName));
    if (column < 0 || Eof())
        return TFieldValue();
    return TFieldValue(rows_[current_][column]);
}

QString TQuery::Value(int row, int column) const {
    if (row < 0 || row >= RecordCount() || column < 0 || column >= FieldCount())
        return {};
    return rows_[row][column];
}
