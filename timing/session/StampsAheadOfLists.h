#pragma once
// Stamps this workstation knows of before the server's lists can: while a source of its own
// holds them (the journal's unstored stamps, the stamps its unsent actions take), and after
// they leave it until a list read asked for after that comes. Without the second part a stamp
// stored (or taken) just now would leave the panel (or come back to it) until the next read,
// and a bib typed then would find no time, or a time already used.

#include "data/actions/PendingTimeMark.h"

#include <vector>

class StampsAheadOfLists {
public:
    // The source's stamps now; `nextRequest` is the number the next list read will have,
    // which sees every change made before it. The caller asks for a read after each change
    // it hears of, having updated first. Gives the stamps in order: those that left the
    // source first.
    std::vector<StampRef> Update(const std::vector<StampRef>& source, int nextRequest);
    // The lists read for every request up to `request` came.
    void ListsRead(int request);
    // A stamp that left the source and is to show as the source has it now, before the lists
    // (a time an undo gives back).
    void Forget(const StampRef& stamp);

private:
    struct Left {
        StampRef stamp;
        int readBy = 0;
    };
    std::vector<StampRef> source_;
    std::vector<Left> left_;
};
