#pragma once
// The state of a device time once an entry has dealt with it: every stamp of the race with
// that time text gets the state, whatever it had ("1" used, "2" discarded or held for a
// dead heat).

#include <QString>

class TQuery;

void MarkDeviceTime(TQuery& query, const QString& state, const QString& time);
