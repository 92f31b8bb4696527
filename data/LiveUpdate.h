#pragma once
// The update that posts an edited row of a live query: the changed columns are set, and the
// row is found by the values every fetched column had when it was read, within the rows the
// query itself selects. If another program changed the row meanwhile, no row matches.

#include <QString>
#include <QStringList>
#include <optional>

struct LiveSelect {
    QString Table;
    QString Condition; // the select's own where condition, empty when it has none
};

// The table and condition of a single-table select; nothing for any other statement.
std::optional<LiveSelect> ParseLiveSelect(const QString& selectText);

// "update <table> set ... where (<condition>) and <column> = '<read value>' ... limit 1".
QString LiveUpdateStatement(const LiveSelect& select, const QStringList& columns,
                            const QStringList& readValues, const QStringList& newValues);
