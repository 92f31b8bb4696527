#include "data/sql/LiveUpdate.h"

#include "data/sql/DatabaseError.h"
#include "data/sql/RunStatement.h"
#include "data/sql/SqlValue.h"
#include "data/sql/TQuery.h"
#include "data/sql/Transaction.h"

#include <QRegularExpression>

QString ChangedMeanwhileMessage() {
    return QStringLiteral("この行は読み込んだ後に他のプログラムによって変更されたか、削除されています。"
                          "変更を取り消してから読み込み直してください。");
}

QString SeveralRowsMessage(int rows) {
    return QStringLiteral("同じ値の行が %1 行あり、どの行を変更するか決められないため、"
                          "何も書き込みませんでした。")
        .arg(rows);
}

namespace {

QString ValueOrNull(const QString& value) {
    return value.isNull() ? QStringLiteral("NULL") : SqlValue(value);
}

// Compared as the bytes stored: "¥" and "\" are one byte, so changing one into the other
// changes nothing.
bool Changed(const QString& readValue, const QString& newValue) {
    return readValue.isNull() != newValue.isNull() || SqlValue(readValue) != SqlValue(newValue);
}

// The driver ends a text it reads back at a NUL: stored, the value could never be shown or
// its row found again.
void RefuseNul(const QString& value) {
    if (value.contains(QChar(0)))
        throw UnstorableTextError(value);
}

QStringList Assignments(const LiveRowChange& change) {
    QStringList assignments;
    for (int c = 0; c < change.Columns.size(); ++c) {
        RefuseNul(change.NewValues.value(c));
        if (Changed(change.ReadValues.value(c), change.NewValues.value(c)))
            assignments << change.Columns[c] + QStringLiteral(" = ") +
                               SqlValue(change.NewValues.value(c));
    }
    return assignments;
}

} // namespace

std::optional<LiveSelect> ParseLiveSelect(const QString& selectText) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*select\\s.+?\\sfrom\\s+(\\w+)\\s*"
                       "(?:\\swhere\\s(.+?))?\\s*(?:\\sorder\\s+by\\s.*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = pattern.match(QStringLiteral(" ") + selectText + " ");
    if (!match.hasMatch())
        return std::nullopt;
    return LiveSelect{match.captured(1), match.captured(2).trimmed()};
}

QStringList LiveUpdateStatement(const LiveRowChange& change) {
    const QStringList assignments = Assignments(change);
    if (assignments.isEmpty())
        return {};
    return QStringList{QStringLiteral("update ") + change.Select.Table + QStringLiteral(" set ") +
                       assignments.join(QStringLiteral(", "))} +
           LiveRowWhere(change);
}

QStringList LiveRowWhere(const LiveRowChange& change) {
    QStringList lines;
    QString joint = QStringLiteral("where ");
    if (!change.Select.Condition.isEmpty()) {
        lines << joint + QLatin1Char('(') + change.Select.Condition + QLatin1Char(')');
        joint = QStringLiteral("and ");
    }
    for (int c = 0; c < change.Columns.size(); ++c) {
        // BINARY: the bytes decide, with trailing blanks, which "=" of the column's
        // collation would ignore; "<=>" matches NULL with NULL.
        lines << joint + QStringLiteral("BINARY ") + change.Columns[c] + QStringLiteral(" <=> ") +
                     ValueOrNull(change.ReadValues.value(c));
        joint = QStringLiteral("and ");
    }
    return lines;
}

LiveRowOutcome WriteLiveRow(TDatabase& database, const LiveRowChange& change) {
    const QStringList statement = LiveUpdateStatement(change);
    if (statement.isEmpty())
        return {};
    TQuery writing(database, QStringLiteral("LiveRowWriting"));
    Transaction transaction(database);
    // Every column set differs from the bytes the row was found by, so the changed-row
    // count is the matched-row count.
    const int rows = RunStatement(writing, statement);
    if (rows != 1)
        return {LiveRowOutcome::Refused,
                rows == 0 ? ChangedMeanwhileMessage() : SeveralRowsMessage(rows), {}};
    transaction.Commit();
    return {LiveRowOutcome::Written, {}, {}};
}
