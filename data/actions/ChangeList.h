#pragma once
// The change list (table midchange): every action a workstation of this program applies adds
// the bibs whose rows it changed, in the action's own transaction, so every other
// workstation's copy of the race follows by reading what came after the last number it saw.
// An empty bib stands for the whole race (a reset). Changes made by other programs are not
// listed: the checked writes catch them, and the copy is read again whole now and then.

#include <QString>
#include <QStringList>

class TQuery;

// Makes the table where the race database lacks it; without it the copy follows by the
// whole reads alone.
bool EnsureChangeListTable(TQuery& query);
bool ChangeListKept();
// As a copy of the race found it, for a window opened while the server does not answer.
void AssumeChangeListKept(bool kept);

// The statement that lists `zeks` as changed in the race in work (none: the whole race).
QStringList ChangeListLines(const QStringList& zeks);

// What came after number `seen`, read again a little way back: a transaction that took its
// number earlier may commit later. One row: `last` (the highest number, `seen` when none),
// `whole` (the highest number that changed the whole race, 0 when none).
QStringList ChangesAfterStatement(qint64 seen);
// The same over the whole list: where a copy read whole now starts.
QStringList LastChangeStatement();
// The condition on zek of the rows those changes name: every row of the race once a change
// after `wholeSeen` changed the whole race, so a reset anywhere comes with the same read.
QString ChangedBibsCondition(qint64 seen, qint64 wholeSeen);
