#pragma once
// A device time of the race in work taken out of the pending state ("1" used, "2" discarded
// or held). Only a time still pending is taken: one another workstation took meanwhile, or
// that no longer exists, is left as it is.

#include <QString>

class TQuery;

// True when at least one stamp of that time text was still pending and now has `state`.
bool MarkPendingTime(TQuery& writing, const QString& time, const QString& state);
