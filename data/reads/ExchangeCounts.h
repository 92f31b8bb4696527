#pragma once
// The relay page's count of teams through each exchange: the teams whose leg k has finished.

#include "data/sql/TQuery.h"

#include <QString>
#include <QStringList>
#include <vector>

// Rows: leg, teams; and a row of no teams for each class's number of legs, so that legs
// nobody has finished yet are there too.
QStringList ExchangeCountsStatement(const QString& race);
// Teams through leg 1, 2, ... up to the most legs a class of the race has (at most the legs
// the relay page times).
std::vector<int> ExchangeCountsOf(const ListSnapshot& rows);
