#include "data/actions/BlockWrites.h"

#include "data/sql/DatabaseError.h"
#include "data/sql/StatementLines.h"
#include "data/sql/TDatabase.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// ER_DUP_ENTRY: the action's id is in midaction already.
const QString DuplicateKey = QStringLiteral("1062");

QString Joined(const QStringList& lines) {
    return lines.join(QLatin1Char('\n')) + QLatin1Char(';');
}

QString Found(std::size_t k) {
    return QStringLiteral("found%1").arg(k);
}

QString Rows(std::size_t k) {
    return QStringLiteral("rows%1").arg(k);
}

QString State(std::size_t k) {
    return QStringLiteral("state%1").arg(k);
}

QString Scratch(std::size_t k) {
    return QStringLiteral("scratch%1").arg(k);
}

// A text of the program's own, compared byte for byte.
QString BinaryLiteral(const QString& text) {
    return QStringLiteral("X'") + QString::fromLatin1(text.toLatin1().toHex().toUpper()) +
           QLatin1Char('\'');
}

// The block's next result with rows: the driver may report its statements without rows as
// results of their own first.
bool NextRows(QSqlQuery& query) {
    while (query.nextResult())
        if (query.record().count() > 0)
            return true;
    return false;
}

} // namespace

int BlockWrites::Update(const QString& table, const QStringList& keyColumns,
                        const QStringList& where, const QStringList& columns,
                        const QStringList& values, const QString& refusalIfNone) {
    LockedUpdate update{table, keyColumns, where, columns, HexOfTexts(values), refusalIfNone};
    writes_ << Joined(UpdateLines(table, where, columns, update.newHex));
    updates_.push_back(std::move(update));
    return Later;
}

void BlockWrites::Insert(const QString& table, const QStringList& columns,
                         const QStringList& values) {
    RowChange change = InsertedRow(table, columns, values);
    writes_ << Joined(InsertLines(table, columns, change.after));
    Keep(std::move(change));
}

void BlockWrites::Statement(const QStringList& lines) {
    writes_ << Joined(lines);
}

void BlockWrites::Guard(const QStringList& statements, const QString& expected) {
    guards_.push_back({statements, expected});
}

QString BlockWrites::Text(const QString& actionId, const QString& race) const {
    QStringList block = {QStringLiteral("BEGIN NOT ATOMIC")};
    QStringList answer;
    QStringList mustFind;
    for (std::size_t k = 0; k < guards_.size(); ++k)
        block << QStringLiteral("DECLARE %1 LONGTEXT DEFAULT NULL;").arg(State(k))
              << QStringLiteral("DECLARE %1 INT DEFAULT 0;").arg(Scratch(k));
    for (std::size_t k = 0; k < updates_.size(); ++k) {
        block << QStringLiteral("DECLARE %1 INT DEFAULT 0;").arg(Found(k))
              << QStringLiteral("DECLARE %1 LONGTEXT DEFAULT NULL;").arg(Rows(k));
        answer << Found(k) << Rows(k);
        if (!updates_[k].refusal.isEmpty())
            mustFind << Found(k) + QStringLiteral(" > 0");
    }
    for (std::size_t k = 0; k < guards_.size(); ++k)
        answer << State(k);
    block << QStringLiteral("DECLARE EXIT HANDLER FOR SQLEXCEPTION BEGIN ROLLBACK; RESIGNAL; END;")
          << QStringLiteral("START TRANSACTION;")
          << QStringLiteral("INSERT INTO midaction (aid, tcode, done) VALUES (") +
                 SqlValueList({actionId, race}) + QStringLiteral(", now());");
    // What each decision read, read and locked as the server holds it now.
    for (std::size_t k = 0; k < guards_.size(); ++k) {
        for (QString line : guards_[k].statements)
            block << line.replace(QStringLiteral("{state}"), State(k))
                         .replace(QStringLiteral("{scratch}"), Scratch(k));
        mustFind << QStringLiteral("CAST(%1 AS BINARY) <=> %2")
                        .arg(State(k), BinaryLiteral(guards_[k].expected));
    }
    // Each update's rows, read and locked before anything is written, as one JSON array.
    for (std::size_t k = 0; k < updates_.size(); ++k) {
        const LockedUpdate& update = updates_[k];
        QStringList hex;
        for (const QString& column : update.keyColumns + update.columns)
            hex << HexOfColumn(column);
        block << Joined(QStringList{QStringLiteral("SELECT count(*), json_arrayagg(json_array(%1)) "
                                                   "INTO %2, %3 FROM %4")
                                        .arg(hex.join(','), Found(k), Rows(k), update.table)} +
                        update.where + QStringList{QStringLiteral("FOR UPDATE")});
    }
    block << QStringLiteral("IF %1 THEN")
                 .arg(mustFind.isEmpty() ? QStringLiteral("TRUE") : mustFind.join(" AND "))
          << writes_ << QStringLiteral("COMMIT;") << QStringLiteral("ELSE ROLLBACK;")
          << QStringLiteral("END IF;")
          << QStringLiteral("SELECT %1;")
                 .arg(answer.isEmpty() ? QStringLiteral("0") : answer.join(','))
          << QStringLiteral("END");
    return block.join(QLatin1Char('\n'));
}

BlockWrites::Outcome BlockWrites::Send(TDatabase& database, const QString& actionId,
                                       const QString& race) {
    database.ReconnectIfLost();
    QSqlQuery query(database.Connection());
    query.setForwardOnly(true);
    if (!query.exec(Text(actionId, race))) {
        const DatabaseError error = DatabaseError::FromSqlError(query.lastError());
        if (error.nativeCode() == DuplicateKey)
            return {true, {}, false};
        if (error.isConnectionLost())
            database.MarkConnectionLost();
        throw error;
    }
    // One row: what each update found, and its rows as they were.
    const bool answered =
        query.record().count() > 0 ? query.next() : (NextRows(query) && query.next());
    std::vector<int> found;
    std::vector<std::vector<QStringList>> locked;
    for (std::size_t k = 0; answered && k < updates_.size(); ++k) {
        found.push_back(query.value(int(2 * k)).toInt());
        std::vector<QStringList> rows;
        for (const QJsonValue& row :
             QJsonDocument::fromJson(query.value(int(2 * k + 1)).toString().toUtf8()).array()) {
            QStringList values;
            for (const QJsonValue& cell : row.toArray())
                values << (cell.isNull() ? QString() : cell.toString());
            rows.push_back(values);
        }
        locked.push_back(std::move(rows));
    }
    for (std::size_t k = 0; answered && k < guards_.size(); ++k) {
        guardedStates_ << query.value(int(2 * updates_.size() + k)).toString();
        guardsHeld_ = guardsHeld_ && guardedStates_.back() == guards_[k].expected;
    }
    // The block's own answer follows its result: the connection is in step again.
    while (query.nextResult()) {
    }
    if (!answered)
        throw DatabaseError(QStringLiteral("データベースが記録の結果を返しませんでした。"));
    Outcome outcome;
    if (!guardsHeld_) {
        outcome.changedMeanwhile = true;
        return outcome;
    }
    for (std::size_t k = 0; k < updates_.size(); ++k)
        if (!updates_[k].refusal.isEmpty() && found[k] == 0) {
            outcome.refusal = updates_[k].refusal;
            return outcome;
        }
    for (std::size_t k = 0; k < updates_.size(); ++k)
        KeepUpdated(updates_[k].table, updates_[k].keyColumns, updates_[k].columns,
                    updates_[k].newHex, locked[k]);
    return outcome;
}
