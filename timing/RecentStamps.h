#pragma once
// This workstation's stamps that the server's lists may not show yet: those still in the
// journal, and those stored since the list read on screen was asked for. Without the second
// kind a stamp would leave the panel between its storing and the next read, and a bib typed
// then would find no time.

#include "data/PendingTimeMark.h"

#include <vector>

class RecentStamps {
public:
    // The journal's stamps now; `nextRequest` is the number the next list read will have,
    // which a stamp stored before it is sure to be in. The caller asks for a read after each
    // storing it hears of, having updated first.
    std::vector<StampRef> Update(const std::vector<StampRef>& unstored, int nextRequest);
    // The lists read for every request up to `request` came.
    void ListsRead(int request);

private:
    struct Stored {
        StampRef stamp;
        int readBy = 0;
    };
    std::vector<StampRef> unstored_;
    std::vector<Stored> stored_;
};
