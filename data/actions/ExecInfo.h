#pragma once
// The change marker: after this program changes relay data it rewrites row 1 of execinfo,
// so the suite's other programs know that something changed, when, and where.

#include <QString>
#include <QStringList>
#include <QTime>

class TQuery;

// Whole tenths of a second since local midnight: 0 at 00:00:00.05, 863999 at 23:59:59.9.
int TenthsSinceMidnight(const QTime& time);

void update_execinfo(TQuery& work, const QString& s, const QTime& now = QTime::currentTime());
// Its statement, for writes sent together.
QStringList ChangeMarkerLines(const QString& s, const QTime& now = QTime::currentTime());
