#include "tools/CsvFile.h"

#include "data/sql/SqlValue.h"

#include <algorithm>

namespace {

QString CsvField(const QString& field) {
    static const QString special = QStringLiteral(",\"\r\n");
    if (std::none_of(field.begin(), field.end(), [](QChar c) { return special.contains(c); }))
        return field;
    QString quoted = field;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString CsvText(const QList<QStringList>& records) {
    QString text;
    for (const QStringList& record : records) {
        QStringList fields;
        for (const QString& field : record)
            fields << CsvField(field);
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text;
}

QByteArray CsvBytes(const QString& text, CsvEncoding encoding) {
    if (encoding == CsvEncoding::ShiftJis)
        return ShiftJisBytes(text);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
