#pragma once
// The passings of a split point in the order the runners came through.

#include "data/sql/TQuery.h"

#include <QString>
#include <QStringList>
#include <vector>

struct SplitPassing {
    QString zek;
    QString bib;           // as registered
    QString className;     // result.class1
    QString splitTime;     // the running time written with the split, without its leading blanks
    QString timeOfDay;     // midfinN
    int order = 0;         // 1 for the first through
    int classOrder = 0;    // the same among the runners of the class
    bool deadHeat = false; // through at the same moment as another runner
};

// Every runner of the race through `split`.
QStringList SplitPointPassingsStatement(const QString& race, int split);
// In passing order: by the time of day of the passing, reckoned from the runner's start so
// that a passing after midnight comes after the evening's; runners through at the same time
// by zek. Runners through at the same moment share their order, overall and in their class,
// and the next after them counts all of them: 7, 7, 9.
std::vector<SplitPassing> SplitPointPassingsOf(const ListSnapshot& rows);
