#pragma once
// The relay grid's list: the runners who finished one leg.

#include <QStringList>

// The statement listing the finished runners of `leg`: leg 1 by its finish, later legs by
// the team's running time; a team started by force is marked "繰上". The fourth line ends in the bare leg time, which the leg line's
// "and" turns into a condition: only legs with a time are listed.
QStringList RelayLegListStatement(int leg);
