#include "timing/session/PendingView.h"

#include <algorithm>

namespace {

bool IsTaken(const StampRef& stamp, const std::vector<StampRef>& taken) {
    return std::any_of(taken.begin(), taken.end(),
                       [&](const StampRef& other) { return other.Is(stamp); });
}

// Stored already: the server's rows hold it.
bool Listed(const PendingSnapshot& snapshot, const StampRef& stamp) {
    return std::any_of(snapshot.server.begin(), snapshot.server.end(),
                       [&](const PendingStamp& row) { return row.stamp.Is(stamp); });
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
        if (Listed(snapshot, stamp) || IsTaken(stamp, taken))
            continue;
        ++list.count;
        if (allRead)
            list.times.push_back({stamp, 0});
    }
    for (const StampRef& stamp : snapshot.typed) {
        if (Listed(snapshot, stamp) || IsTaken(stamp, taken))
            continue;
        ++list.count;
        const auto later = std::find_if(list.times.begin(), list.times.end(),
                                        [&](const PendingStamp& row) {
                                            return row.stamp.time > stamp.time;
                                        });
        if (later != list.times.end() || allRead)
            list.times.insert(later, {stamp, 0, true});
    }
    list.count = std::max(list.count, int(list.times.size()));
    return list;
}
