#pragma once
// A row as one operator action changed it, kept so that the action can be taken back exactly:
// the cells it changed, before and after, and what the row is found by. Every value is kept
// as the bytes the database holds, in hex behind an "x" ("x" is an empty text, "x3132" is
// "12"), so nothing is lost to a conversion on the way; a null QString stands for NULL.

#include <QJsonObject>
#include <QString>
#include <QStringList>

struct RowChange {
    enum class Kind {
        Updated,  // `columns` went from `before` to `after`
        Inserted, // the action added the row: `columns` hold all of it, `after`
        Deleted,  // the action removed the row: `columns` hold all of it, `before`
    };
    Kind kind = Kind::Updated;
    QString table;
    QStringList keyColumns; // what the row is found by; the action did not change them
    QStringList keyValues;
    QStringList columns;
    QStringList before;
    QStringList after;
    int rows = 1; // rows alike that the action changed the same way

    // A key column's value as text ("0017"); empty when the key has no such column.
    QString KeyText(const QString& column) const;
    // The same table and key: the same row as far as anyone can tell.
    bool SameRow(const RowChange& other) const;
    bool operator==(const RowChange&) const = default;
};

QJsonObject RowChangeToJson(const RowChange& change);
RowChange RowChangeFromJson(const QJsonObject& object);

// A value's bytes in the race database, in hex behind "x"; a null value (as a list reads
// NULL) stays null. Throws UnstorableTextError for a character the database cannot hold.
QString HexOf(const QString& value);
// The same for a text the program writes, which is never NULL, however it was made.
QString HexOfText(const QString& text);
// The text that hex bytes hold.
QString TextOfHex(const QString& hex);
// The value in statement text: `_sjis X'…'`, or NULL.
QString HexLiteral(const QString& hex);
