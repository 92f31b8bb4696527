#pragma once
// A statement that returns no rows, given as its lines: the query's text is replaced by them
// and executed. A refused statement throws the server's message.

#include <QStringList>

class TQuery;

void RunStatement(TQuery& query, const QStringList& lines);
