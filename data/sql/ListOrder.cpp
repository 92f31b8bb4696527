#include "data/sql/ListOrder.h"

#include "data/sql/SqlValue.h"

#include <QRegularExpression>

namespace {

const QRegularExpression OrderByWords(QStringLiteral("\\border\\s+by\\b"),
                                      QRegularExpression::CaseInsensitiveOption);
const QRegularExpression PlainKey(QStringLiteral("^\\s*([\\w.]+)(?:\\s+(asc|desc))?\\s*$"),
                                  QRegularExpression::CaseInsensitiveOption);
const QRegularExpression WhereWord(QStringLiteral("\\bwhere\\b"),
                                   QRegularExpression::CaseInsensitiveOption);

// A bare name that the select takes from one of its tables ("a.finishtime") is named with its
// table in the condition, where the bare name could be either table's.
QString ColumnOf(const QString& name, const QString& select) {
    if (name.contains(QLatin1Char('.')))
        return name;
    const QRegularExpression taken(QStringLiteral("(?:^|[\\s,])(\\w+\\.") +
                                       QRegularExpression::escape(name) +
                                       QStringLiteral(")(?=\\s*(?:,|\\bfrom\\b))"),
                                   QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = taken.match(select);
    return match.hasMatch() ? match.captured(1) : name;
}

QString FieldOf(const QString& column, const QString& select) {
    const QRegularExpression named(QStringLiteral("(?:^|[\\s,])") +
                                       QRegularExpression::escape(column) +
                                       QStringLiteral("\\s+as\\s+(\\w+)"),
                                   QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = named.match(select);
    return match.hasMatch() ? match.captured(1) : column.section(QLatin1Char('.'), -1);
}

} // namespace

ListOrder::ListOrder(const QString& statement) {
    QRegularExpressionMatch last;
    for (auto matches = OrderByWords.globalMatch(statement); matches.hasNext();)
        last = matches.next();
    if (!last.hasMatch())
        return;
    head_ = statement.left(last.capturedStart());
    orderBy_ = statement.mid(last.capturedStart());
    for (const QString& item : statement.mid(last.capturedEnd()).split(QLatin1Char(','))) {
        const QRegularExpressionMatch key = PlainKey.match(item);
        if (!key.hasMatch()) {
            keys_.clear();
            return;
        }
        const QString column = ColumnOf(key.captured(1), head_);
        keys_.push_back({column, FieldOf(column, head_),
                         key.captured(2).compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0});
    }
}

QString ListOrder::Seeking(const QStringList& last, bool onwards) const {
    const auto bound = [&](int k, const QString& orEqual) {
        const OrderKey& key = keys_[k];
        const bool less = key.descending == onwards;
        return key.column + (less ? QStringLiteral(" <") : QStringLiteral(" >")) + orEqual +
               QLatin1Char(' ') + SqlValue(last.value(k));
    };
    // Beyond the row on its first key, or level with it there and beyond it on the next; level
    // on every key is the row itself, which is in.
    const int count = int(keys_.size());
    QString condition = bound(count - 1, QStringLiteral("="));
    for (int k = count - 2; k >= 0; --k)
        condition = QStringLiteral("(%1 or (%2 = %3 and %4))")
                        .arg(bound(k, {}), keys_[k].column, SqlValue(last.value(k)), condition);
    // The first key's bound on its own lets the server take the rows from the list's index.
    if (count > 1)
        condition = bound(0, QStringLiteral("=")) + QStringLiteral(" and ") + condition;
    const QString join = head_.contains(WhereWord) ? QStringLiteral("and ") : QStringLiteral("where ");
    return head_ + QStringLiteral("\r\n") + join + condition + QStringLiteral("\r\n") + orderBy_;
}
