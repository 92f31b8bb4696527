#pragma once
// Table midforced, the mark of a forced start: one row per team and leg started by force,
// with the start and the action that wrote it. A table of the program's own beside the suite's
// tables, so relaymember's and result's letters and times keep the meaning the suite's other
// programs give them: a forced leg is simply running ("T") from its start.

#include <QString>
#include <QStringList>

class TQuery;

inline const QString ForcedStartTable = QStringLiteral("midforced");

// tcode, zek, leg (the leg started, as relaymember.num), startedtime, aid.
QStringList ForcedStartColumns();

// A race database made before forced starts gets the table; one that has it is left alone.
// Where the user may not create it, the program goes on without forced starts: their marks
// read as none, a relay reset has none to clear, and a forced start is refused with
// NoForcedStartTableMessage. Gives whether the table is there.
bool EnsureForcedStartTable(TQuery& query);
// Whether the race database has the table, as last found; read by every thread.
bool ForcedStartsKept();
extern const QString NoForcedStartTableMessage;

// A column for a read of relaymember rows (the table itself, unaliased): "1" when the row's
// leg was started by force, named "forced".
QString ForcedLegColumn();
// An expression over relaymember rows aliased `alias`: "繰上" for a team with a forced start,
// empty otherwise.
QString ForcedTeamMark(const QString& alias);
