#include "tools/SpreadsheetCell.h"

QString KeptAsText(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QStringLiteral("=\"") + quoted + QLatin1Char('"');
}

QString FormulaSafe(const QString& text) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && formulaStarts.contains(text.front()))
        return KeptAsText(text);
    return text;
}
