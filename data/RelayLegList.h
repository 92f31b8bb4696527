#pragma once
// The relay grid's list: the runners who finished one leg, and how many legs there are.

#include <QStringList>

class TQuery;

// The statement listing the finished runners of `leg`: leg 1 by its finish, later legs by
// the team's running time; a team started by force is marked "繰上". The fourth line ends in the bare leg time, which the leg line's
// "and" turns into a condition: only legs with a time are listed.
QStringList RelayLegListStatement(int leg);

// The most legs a class of the race in work has (RELAYN); 0 when none has any.
int MostRelayLegs(TQuery& reading);
