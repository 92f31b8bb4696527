#include "data/sql/TQuery.h"

#include "data/sql/DatabaseError.h"
#include "data/sql/LiveRowWriter.h"
#include "data/sql/LiveUpdate.h"
#include "data/sql/SqlValue.h"
#include "data/sql/TDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

TQuery::TQuery(TDatabase& database, const QString& name, const QStringList& initialText,
               QObject* parent)
    : QObject(parent), database_(database), lines_(initialText) {
    setObjectName(name);
    connect(&database_, &TDatabase::Closing, this, &TQuery::Close);
}

void TQuery::Clear() {
    Close();
    carried_.clear();
    lines_.clear();
}

void TQuery::Add(const QString& line) {
    Close();
    carried_.clear();
    lines_.append(line);
}

void TQuery::SetSQL(const QStringList& lines) {
    Close();
    if (lines != lines_)
        carried_.clear();
    lines_ = lines;
}

QString TQuery::Text() const {
    return lines_.join(QStringLiteral("\r\n"));
}

const ListOrder& TQuery::Order() const {
    if (!order_ || orderLines_ != lines_) {
        order_.emplace(Text());
        orderLines_ = lines_;
    }
    return *order_;
}

QString TQuery::ShownText() const {
    return ShownStatement(lines_).join(QStringLiteral("\r\n"));
}

QSqlQuery TQuery::Execute(const QString& text) {
    try {
        return ExecuteOnce(text);
    } catch (const DatabaseError& error) {
        // A connection that died while idle is only found by the next statement; that
        // statement never reached the server and goes once more on a new connection.
        if (!error.wasNeverSent() || database_.InTransaction())
            throw;
    }
    return ExecuteOnce(text);
}

QSqlQuery TQuery::ExecuteOnce(const QString& text) {
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

namespace {

// A column read as bytes holds Shift-JIS text (ByteColumns); any other the driver decoded.
QString TextOf(const QVariant& value) {
    if (value.typeId() == QMetaType::QByteArray)
        return FromShiftJisBytes(value.toByteArray());
    return FromShiftJisWire(value.toString());
}

} // namespace

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
        for (int c = 0; c < columns; ++c) {
            // NULL stays apart from the empty text: a live edit finds the row by it.
            const QVariant value = query.value(c);
            row.append(value.isNull() ? QString() : TextOf(value));
        }
        rows->push_back(std::move(row));
    }
}

QString TQuery::FirstWindowText() const {
    if (fetchWindow_ <= 0)
        return Text();
    // The limit goes on the statement itself: the server ignores an order inside a
    // derived table.
    return Text() + QStringLiteral("\r\nlimit %1").arg(fetchWindow_);
}

bool TQuery::Pageable() const {
    const ListOrder& order = Order();
    if (fetchWindow_ <= 0 || !order.Keyed())
        return false;
    for (const OrderKey& key : order.Keys()) {
        if (FieldIndex(key.field) < 0)
            return false;
    }
    return true;
}

QStringList TQuery::KeyOf(const QStringList& row, const ListOrder& order) const {
    QStringList key;
    for (const OrderKey& k : order.Keys())
        key << row.value(FieldIndex(k.field));
    return key;
}

QStringList TQuery::HeldThrough() const {
    if (!active_ || RecordCount() <= fetchWindow_ || !Pageable())
        return {};
    return KeyOf(rows_.back(), Order());
}

void TQuery::Open() {
    OpenThrough(HeldThrough());
}

void TQuery::OpenThrough(const QStringList& last) {
    Close();
    const ListOrder& order = Order();
    const bool through = !last.isEmpty() && order.Keyed();
    std::vector<QStringList> rows;
    QStringList names;
    Run(through ? order.Through(last) : FirstWindowText(), &rows, &names);
    rows_ = std::move(rows);
    fieldNames_ = std::move(names);
    current_ = KeptRow();
    active_ = true;
    // Rows past the last one read again may be there: the next fetch tells.
    moreRows_ = Pageable() && (through || RecordCount() == fetchWindow_);
    PlaceCarriedEdits();
    emit Opened();
}

void TQuery::Adopt(ListSnapshot snapshot) {
    const std::vector<QStringList> held = active_ ? rows_ : std::vector<QStringList>();
    const bool heldMore = moreRows_;
    Close();
    rows_ = std::move(snapshot.rows);
    fieldNames_ = std::move(snapshot.fieldNames);
    moreRows_ = snapshot.moreRows;
    KeepRowsFetchedMeanwhile(held, heldMore);
    current_ = KeptRow();
    active_ = true;
    PlaceCarriedEdits();
    emit Opened();
}

// The read stopped at the row it was asked to, or at its first window; the rows held after its
// last row were fetched by scrolling since it was asked for, and those level with its last
// row it may have left out. Within the first window nothing is kept, so a list nobody
// scrolls stays one window long.
void TQuery::KeepRowsFetchedMeanwhile(const std::vector<QStringList>& held, bool heldMore) {
    if (rows_.empty() || static_cast<int>(held.size()) <= fetchWindow_ || !Pageable())
        return;
    const ListOrder& order = Order();
    const QStringList last = KeyOf(rows_.back(), order);
    auto after = held.end();
    while (after != held.begin() && KeyOf(*(after - 1), order) != last)
        --after;
    if (after == held.begin())
        return;
    std::vector<QStringList> kept = LevelRows(held, last, order);
    LeaveOut(kept, LevelRows(rows_, last, order));
    kept.insert(kept.end(), after, held.end());
    if (after != held.end())
        moreRows_ = heldMore;
    rows_.insert(rows_.end(), kept.begin(), kept.end());
}

void TQuery::Close() {
    if (!active_)
        return;
    CarryEdits();
    active_ = false;
    moreRows_ = false;
    rows_.clear();
    current_ = 0;
    emit Closed();
}

int TQuery::ExecSQL() {
    return Execute(Text()).numRowsAffected();
}

void TQuery::SetRequestLive(bool live) {
    Close();
    if (!live)
        carried_.clear();
    live_ = live;
}

void TQuery::SetFieldText(int row, int column, const QString& value) {
    if (!live_)
        throw DatabaseError(
            QStringLiteral("%1: 読み取り専用のデータは変更できません").arg(objectName()));
    if (row < 0 || row >= RecordCount() || column < 0 || column >= FieldCount() ||
        rows_[row][column] == value)
        return;
    const QString kept =
        writer_ ? writer_->CellText(fieldNames_, rows_[row], column, value) : value;
    if (rows_[row][column] == kept)
        return;
    edits_.try_emplace(row, RowEdit{rows_[row], rows_[row]});
    rows_[row][column] = kept;
    emit RowChanged(row);
}

void TQuery::Post(int row) {
    const auto edit = edits_.find(row);
    if (edit == edits_.end())
        return;
    const std::optional<LiveSelect> select = ParseLiveSelect(Text());
    if (!select)
        throw DatabaseError(
            QStringLiteral("%1: この問い合わせの行は更新できません").arg(objectName()));
    const LiveRowChange change{*select, fieldNames_, edit->second.readValues, rows_[row]};
    const LiveRowOutcome outcome = writer_ ? writer_->Write(change) : WriteLiveRow(database_, change);
    if (outcome.result == LiveRowOutcome::Refused)
        throw DatabaseError(outcome.refusal);
    const QStringList readValues = edit->second.readValues;
    edits_.erase(edit);
    emit RowChanged(row);
    if (outcome.result == LiveRowOutcome::Written)
        emit RowWritten(fieldNames_, readValues, rows_[row], outcome.changes);
}

void TQuery::CancelRow(int row) {
    const auto edit = edits_.find(row);
    if (edit == edits_.end())
        return;
    rows_[row] = edit->second.uneditedValues;
    edits_.erase(edit);
    emit RowChanged(row);
}

void TQuery::CarryEdits() {
    for (const auto& [row, edit] : edits_)
        carried_.push_back({edit.readValues, rows_[row]});
    edits_.clear();
}

void TQuery::PlaceCarriedEdits() {
    for (const CarriedEdit& edit : carried_) {
        const int row = RowToCarryTo(edit);
        // A row gone from the list (deleted, or moved by another program) has nowhere to
        // show the change, and its post would be refused as well.
        if (row < 0)
            continue;
        QStringList& values = rows_[row];
        edits_.try_emplace(row, RowEdit{edit.readValues, values});
        for (int c = 0; c < values.size(); ++c) {
            if (edit.editedValues.value(c) != edit.readValues.value(c))
                values[c] = edit.editedValues.value(c);
        }
    }
    carried_.clear();
}

// The row read again that has the edited row's values, or else its first field (the key the
// operator knows it by); a row takes one change only.
int TQuery::RowToCarryTo(const CarriedEdit& edit) const {
    int sameKey = -1;
    for (int row = 0; row < RecordCount(); ++row) {
        if (edits_.count(row) > 0)
            continue;
        if (rows_[row] == edit.readValues)
            return row;
        if (sameKey < 0 && rows_[row].value(0) == edit.readValues.value(0))
            sameKey = row;
    }
    return sameKey;
}

void TQuery::FetchMore() {
    if (!CanFetchMore())
        return;
    const ListOrder& order = Order();
    const QStringList last = KeyOf(rows_.back(), order);
    // The rows level with the last one on every key are read again, in whatever order the
    // server gives them this time, and those held already are left out.
    const std::vector<QStringList> level = LevelRows(rows_, last, order);
    std::vector<QStringList> more;
    Run(order.From(last) +
            QStringLiteral("\r\nlimit %1").arg(fetchWindow_ + static_cast<int>(level.size())),
        &more, nullptr);
    moreRows_ = more.size() == fetchWindow_ + level.size();
    LeaveOut(more, level);
    if (more.empty())
        return;
    const int first = RecordCount();
    emit RowsAboutToBeAppended(first, first + static_cast<int>(more.size()) - 1);
    for (auto& row : more)
        rows_.push_back(std::move(row));
    emit RowsAppended();
}

std::vector<QStringList> TQuery::LevelRows(const std::vector<QStringList>& rows,
                                           const QStringList& key, const ListOrder& order) const {
    std::vector<QStringList> level;
    for (const QStringList& row : rows) {
        if (KeyOf(row, order) == key)
            level.push_back(row);
    }
    return level;
}

void TQuery::LeaveOut(std::vector<QStringList>& rows, std::vector<QStringList> left) {
    for (auto row = rows.begin(); row != rows.end() && !left.empty();) {
        const auto same = std::find(left.begin(), left.end(), *row);
        if (same == left.end()) {
            ++row;
            continue;
        }
        left.erase(same);
        row = rows.erase(row);
    }
}

void TQuery::Next() {
    if (!Eof())
        SetRecNo(current_ + 1);
}

void TQuery::SetRecNo(int row) {
    current_ = qBound(0, row, RecordCount());
    // Kept from now on; a key of no row (past the last) keeps none.
    keptKey_ = rowKey_.isEmpty() ? QString() : Value(current_, FieldIndex(rowKey_));
    emit CurrentRowChanged(current_);
}

int TQuery::KeptRow() {
    const int row = keptKey_.isNull() ? -1 : FindRow(rowKey_, keptKey_);
    if (row < 0)
        keptKey_ = QString();
    return qMax(0, row);
}

bool TQuery::Locate(const QString& fieldName, const QString& value) {
    const int row = FindRow(fieldName, value);
    if (row >= 0)
        SetRecNo(row);
    return row >= 0;
}

int TQuery::FindRow(const QString& fieldName, const QString& value) const {
    const int column = FieldIndex(fieldName);
    for (int row = 0; column >= 0 && row < RecordCount(); ++row) {
        if (rows_[row][column] == value)
            return row;
    }
    return -1;
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
