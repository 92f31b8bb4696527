#include "timing/PendingView.h"

#include <algorithm>

namespace {

bool IsTaken(const StampRef& stamp, const std::vector<StampRef>& taken) {
    return std::any_of(taken.begin(), taken.end(),
                       [&](const StampRef& other) { return other.Is(stamp); });
}

} // namespace

PendingList BuildPending(const PendingSnapshot& snapshot, const std::vector<StampRef>& taken) {
    PendingList list;
    list.count = snapshot.serverCount;
    for (const PendingStamp& row : snapshot.server) {
        if (IsTaken(row.stamp, taken))
            --list.count;
        else
            list.times.push_back(row);
    }
    const bool allRead = int(snapshot.server.size()) >= snapshot.serverCount;
    for (const StampRef& stamp : snapshot.unstored) {
        const bool stored =
            std::any_of(snapshot.server.begin(), snapshot.server.end(),
                        [&](const PendingStamp& row) { return row.stamp.Is(stamp); });
        if (stored || IsTaken(stamp, taken))
            continue;
        ++list.count;
        if (allRead)
            list.times.push_back({stamp, 0});
    }
    list.count = std::max(list.count, int(list.times.size()));
    return list;
}
