#include "LiveUpdate.h"

#include "SqlValue.h"

#include <QRegularExpression>

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

QString LiveUpdateStatement(const LiveSelect& select, const QStringList& columns,
                            const QStringList& readValues, const QStringList& newValues) {
    QStringList assignments;
    QStringList conditions;
    if (!select.Condition.isEmpty())
        conditions << QLatin1Char('(') + select.Condition + QLatin1Char(')');
    for (int c = 0; c < columns.size(); ++c) {
        // BINARY: a change of letter case or of trailing blanks is a change too.
        conditions << QStringLiteral("BINARY ") + columns[c] + QStringLiteral(" = ") +
                          SqlValue(readValues.value(c));
        if (newValues.value(c) != readValues.value(c))
            assignments << columns[c] + QStringLiteral(" = ") + SqlValue(newValues.value(c));
    }
    return QStringLiteral("update ") + select.Table + QStringLiteral(" set ") +
           assignments.join(QStringLiteral(", ")) + QStringLiteral("\r\nwhere ") +
           conditions.join(QStringLiteral("\r\nand ")) + QStringLiteral("\r\nlimit 1");
}
