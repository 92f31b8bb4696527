#pragma once
// A statement that returns no rows, given as its lines: the query's text is replaced by them
// and executed; gives the number of rows it changed. A refused statement throws the server's
// message.

#include <QStringList>

class TQuery;

int RunStatement(TQuery& query, const QStringList& lines);
