#include "data/sql/RowChange.h"

#include "data/sql/SqlValue.h"

#include <QJsonArray>

namespace {

const QString KindKey = QStringLiteral("k");
const QString TableKey = QStringLiteral("t");
const QString KeyColumnsKey = QStringLiteral("kc");
const QString KeyValuesKey = QStringLiteral("kv");
const QString ColumnsKey = QStringLiteral("c");
const QString BeforeKey = QStringLiteral("b");
const QString AfterKey = QStringLiteral("a");
const QString RowsKey = QStringLiteral("n");

const QStringList KindNames = {QStringLiteral("u"), QStringLiteral("i"), QStringLiteral("d")};

// NULL is JSON's null, so it never reads back as an empty text.
QJsonArray ToArray(const QStringList& values) {
    QJsonArray array;
    for (const QString& value : values)
        array.append(value.isNull() ? QJsonValue() : QJsonValue(value));
    return array;
}

QStringList FromArray(const QJsonValue& value) {
    QStringList values;
    for (const QJsonValue& item : value.toArray())
        values << (item.isNull() ? QString() : item.toString());
    return values;
}

} // namespace

QString RowChange::KeyText(const QString& column) const {
    const qsizetype at = keyColumns.indexOf(column);
    return at < 0 ? QString() : TextOfHex(keyValues.value(at));
}

bool RowChange::SameRow(const RowChange& other) const {
    return table == other.table && keyColumns == other.keyColumns &&
           keyValues == other.keyValues;
}

QJsonObject RowChangeToJson(const RowChange& change) {
    return {{KindKey, KindNames[static_cast<int>(change.kind)]},
            {TableKey, change.table},
            {KeyColumnsKey, QJsonArray::fromStringList(change.keyColumns)},
            {KeyValuesKey, ToArray(change.keyValues)},
            {ColumnsKey, QJsonArray::fromStringList(change.columns)},
            {BeforeKey, ToArray(change.before)},
            {AfterKey, ToArray(change.after)},
            {RowsKey, change.rows}};
}

RowChange RowChangeFromJson(const QJsonObject& object) {
    RowChange change;
    change.kind = static_cast<RowChange::Kind>(
        std::max<qsizetype>(0, KindNames.indexOf(object.value(KindKey).toString())));
    change.table = object.value(TableKey).toString();
    change.keyColumns = FromArray(object.value(KeyColumnsKey));
    change.keyValues = FromArray(object.value(KeyValuesKey));
    change.columns = FromArray(object.value(ColumnsKey));
    change.before = FromArray(object.value(BeforeKey));
    change.after = FromArray(object.value(AfterKey));
    change.rows = object.value(RowsKey).toInt(1);
    return change;
}

QString HexOf(const QString& value) {
    return value.isNull() ? QString() : HexOfText(value);
}

QString HexOfText(const QString& text) {
    return QLatin1Char('x') + QString::fromLatin1(ShiftJisBytes(text).toHex().toUpper());
}

QString TextOfHex(const QString& hex) {
    if (hex.isNull())
        return {};
    return FromShiftJisBytes(QByteArray::fromHex(hex.mid(1).toLatin1()));
}

QString HexLiteral(const QString& hex) {
    if (hex.isNull())
        return QStringLiteral("NULL");
    // Only hex digits reach the statement, whatever a journal file was made to hold.
    return QStringLiteral("_sjis X'") +
           QString::fromLatin1(QByteArray::fromHex(hex.mid(1).toLatin1()).toHex().toUpper()) +
           QLatin1Char('\'');
}
