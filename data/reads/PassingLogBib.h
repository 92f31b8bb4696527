#pragma once
// The whole bib of a passing-log row. The log keeps a four-character bib without its first
// character, as other programs read it ("2017" and "0017" both as "017"); the result row that
// took the passing at that time of day names the bib that was typed.

#include <QString>

// A column `zek` for a select from midjyun: the bib of the result row whose passing is the
// row's time, as bytes; the log's own text where no such row is found.
QString PassingLogWholeBibColumn();
