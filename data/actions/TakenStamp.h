#pragma once
// Table midtaken: the stamp each passing took, named as the split's action named it (its id,
// its journal id, its time), one row per race, bib and split. A passing's time of day can be
// corrected in the check list afterwards, and then matches no stamp: a cancel or a cleared
// split gives back the stamp recorded here instead, so it is never lost. A table of the
// program's own: result, midjyun and tdc_mid keep the meaning the suite's other programs give
// them. Where the table cannot be made, or a passing was written by another program, the
// passing's time of day is all there is to go by.

#include "data/actions/PendingTimeMark.h"

#include <QString>
#include <optional>

class CapturedWrites;
class RowWrites;
class TQuery;

// A race database made before the table gets it; gives whether it is there.
bool EnsureTakenStampTable(TQuery& query);

// In the writes of the split: split `n` of `zek` took `stamp`. A record left from a passing
// cleared by another program goes.
void RecordTakenStamp(RowWrites& writes, const QString& zek, int n, const StampRef& stamp);

// In the writes of a reset of every split of the race in work: every record goes with them.
void ForgetTakenStamps(CapturedWrites& writes);

// In the writes that clear split `n` of `zek`, whose passing was at `passing`: its record goes
// and the stamp it names is given back (see GivenBackTime.h); without a record, the stamps of
// the passing's time are. Nothing is given back while the stamp is still held, by a dead
// heat's other runner: gives whether it is.
bool GiveBackTakenStamp(CapturedWrites& writes, TQuery& query, const QString& zek, int n,
                        const QString& passing);
