#pragma once
// The program's own columns of tdc_mid: `id` (the order of arrival, and each stamp's name once
// stored) and `jid` (the journal's name of a stamp, so one is never stored twice). A race
// database made by the suite's other programs may lack them; the program then still works,
// at a cost it tells the operator once. Found when the race opens and read by every thread
// that names stamps.

#include <QString>
#include <QStringList>

class TQuery;

struct StampColumns {
    bool id = true;
    bool jid = true;
};

// Reads which of the two columns the connection's database has.
StampColumns ReadStampColumns(TQuery& query);

void SetStampColumns(StampColumns columns);
StampColumns CurrentStampColumns();

// The columns a changed stamp row is found by again when a change is taken back.
QStringList StampRowKey();
// The stamp's id as a column of a read ("0 as id" without it), and the order of arrival.
QString StampIdColumn();
QString StampArrivalOrder();

// What the missing columns cost, said for the operator; empty when none is missing.
QString MissingStampColumnsMessage(StampColumns columns);
