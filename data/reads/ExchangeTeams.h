#pragma once
// The teams an ekiden exchange still waits for: those whose runner of the leg arriving there
// has not arrived, each with the leg it is on, when it is expected, and what a forced start
// (繰り上げスタート) there would do to it. A team still on an earlier leg is expected as the
// split points of a lap race are, the legs counting as equally long: the start of the leg it
// is on plus the class's median time of this leg for each leg still to run.

#include "data/sql/TQuery.h"

#include <QString>
#include <QStringList>
#include <vector>

struct ExchangeTeam {
    QString zek;        // as stored
    QString className;  // relaymember.class1
    int runningLeg = 0; // the leg the team is on, at most the one arriving here
    QString legStart;   // time of day that leg started
    QString expectedAt; // time of day expected here, four decimals; empty when unknown
    // The leg after the exchange: none (here is the class's finish), still waiting (a forced
    // start would take it), or already started by force while this runner is out.
    enum class NextLeg { None, Waiting, StartedByForce } next = NextLeg::None;
};

// The teams due at exchange n (leg n arriving), the soonest expected first, unknown last,
// then by bib. Teams that have not started are not due.
QStringList ExchangeTeamsStatement(const QString& race, int exchange);
std::vector<ExchangeTeam> ExchangeTeamsOf(const ListSnapshot& rows);

// The bibs a forced start at the exchange would start now, in bib order.
QStringList TeamsAForcedStartTakes(const std::vector<ExchangeTeam>& due);
