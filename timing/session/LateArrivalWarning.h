#pragma once
// What the exchange is told when a relay key press records an arrival that may belong to
// another of the team's runners, a forced start having started the next leg already.

#include "data/rules/ForcedStarts.h"

#include <QString>

// For the arrival taken for team `zek` as the finish of `leg`; empty when there is no doubt.
QString LateArrivalWarning(ArrivalDoubt doubt, const QString& zek, int leg);
