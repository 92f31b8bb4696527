#pragma once
// Lines of statement text that hold a value. The value goes in as a literal no character of
// it can break out of (see SqlValue.h).

#include <QString>
#include <QStringList>

// head + the value's literal + tail: ValueLine("and zek = ", "0012") is
// "and zek = _sjis X'30303132'".
QString ValueLine(const QString& head, const QString& value, const QString& tail = {});

// head + the race in work: RaceLine("where tcode = ").
QString RaceLine(const QString& head);

// The race the statements of this thread are about: the race in work, or on a writer thread
// the race of the action it applies.
QString StatementRace();

// While it lives, the statements of this thread are about `race`.
class StatementRaceScope {
public:
    explicit StatementRaceScope(const QString& race);
    ~StatementRaceScope();
    StatementRaceScope(const StatementRaceScope&) = delete;
    StatementRaceScope& operator=(const StatementRaceScope&) = delete;

private:
    QString previous_;
    bool hadPrevious_;
};

// The values' literals joined by commas, for a values list: "_sjis X'..',_sjis X'..'".
QString SqlValueList(const QStringList& values);

// Columns read as the bytes they hold, each under its own name, for the lists read again on
// every key press: the driver converts a text column and probes its length cell by cell, bytes
// it copies (TQuery decodes them). ByteColumns({"r.zek", "bib"}) is
// "cast(r.zek as binary) as zek,cast(bib as binary) as bib". The names now stand for the
// bytes in an order by too, where the index needs the column: order by table.column.
QString ByteColumns(const QStringList& columns);
