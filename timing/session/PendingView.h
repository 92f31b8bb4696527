#pragma once
// The times waiting for a bib as this workstation sees them: what the server said at its last
// answer, less the stamps this workstation's own actions took and the server does not know of
// yet, plus the stamps still in this workstation's journal. So the panel stays right while the
// server does not answer, and the next key press takes the stamp the panel shows.

#include "data/actions/PendingTimeMark.h"

#include <vector>

struct PendingStamp {
    StampRef stamp;
    qint64 ageSeconds = 0; // by the server's clock; 0 for one it has not seen
    bool byHand = false;   // typed by the operator, not sent by the device
};

struct PendingSnapshot {
    std::vector<PendingStamp> server; // the first pending rows, in order of arrival
    int serverCount = 0;              // all pending rows of the race
    std::vector<StampRef> unstored;   // this workstation's stamps the server does not have yet
    std::vector<StampRef> typed;      // the same typed by hand: each offered in its time's place
};

struct PendingList {
    std::vector<PendingStamp> times; // in the order the key presses take them
    int count = 0;                   // all of them
};

// The journal's stamps follow the server's only when the server's were all read: after a gap
// nobody can see, a stamp would be offered out of its turn.
// A typed stamp goes before the first time later than its own, as the server will list it.
PendingList BuildPending(const PendingSnapshot& snapshot, const std::vector<StampRef>& taken);
