#pragma once
// The state of a device time of the race in work: "0" pending, "1" used, "2" discarded or
// held for a dead heat. A time is taken only in the state the action expects: one another
// workstation took meanwhile, or that no longer exists, is left as it is.

#include <QString>

class CapturedWrites;

// The stamps of that time text in state `from` (in any state when `from` is empty) get
// `to`; gives how many there were.
int MarkTime(CapturedWrites& writes, const QString& time, const QString& from, const QString& to);
