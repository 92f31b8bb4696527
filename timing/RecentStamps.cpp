#include "timing/RecentStamps.h"

#include <algorithm>

namespace {

bool Holds(const std::vector<StampRef>& stamps, const StampRef& stamp) {
    return std::any_of(stamps.begin(), stamps.end(),
                       [&](const StampRef& other) { return other.Is(stamp); });
}

} // namespace

std::vector<StampRef> RecentStamps::Update(const std::vector<StampRef>& unstored,
                                           int nextRequest) {
    for (const StampRef& stamp : unstored_)
        if (!Holds(unstored, stamp))
            stored_.push_back({stamp, nextRequest});
    unstored_ = unstored;
    std::vector<StampRef> recent = unstored;
    for (const Stored& stored : stored_)
        recent.push_back(stored.stamp);
    // Both kinds in order of arrival: the stored ones came first.
    std::rotate(recent.begin(), recent.begin() + long(unstored.size()), recent.end());
    return recent;
}

void RecentStamps::ListsRead(int request) {
    stored_.erase(std::remove_if(stored_.begin(), stored_.end(),
                                 [&](const Stored& stored) { return stored.readBy <= request; }),
                  stored_.end());
}
