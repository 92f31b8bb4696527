#pragma once
// Reading the rows a list read brought back by the names of their fields.

#include "data/sql/TQuery.h"

#include <optional>

// The column of `name` in the rows, found without regard to case. Throws DatabaseError when
// the statement gave no such column.
int SnapshotField(const ListSnapshot& rows, const QString& name);

// A field's whole number; none for NULL or a text that is no number.
std::optional<qint64> NumberField(const QStringList& row, int column);
