#include "timing/session/StampsAheadOfLists.h"

#include <algorithm>

namespace {

bool Holds(const std::vector<StampRef>& stamps, const StampRef& stamp) {
    return std::any_of(stamps.begin(), stamps.end(),
                       [&](const StampRef& other) { return other.Is(stamp); });
}

} // namespace

std::vector<StampRef> StampsAheadOfLists::Update(const std::vector<StampRef>& source,
                                                 int nextRequest) {
    for (const StampRef& stamp : source_)
        if (!Holds(source, stamp))
            left_.push_back({stamp, nextRequest});
    source_ = source;
    std::vector<StampRef> ahead;
    ahead.reserve(left_.size() + source.size());
    for (const Left& left : left_)
        ahead.push_back(left.stamp);
    ahead.insert(ahead.end(), source.begin(), source.end());
    return ahead;
}

void StampsAheadOfLists::ListsRead(int request) {
    left_.erase(std::remove_if(left_.begin(), left_.end(),
                               [&](const Left& left) { return left.readBy <= request; }),
                left_.end());
}

void StampsAheadOfLists::Forget(const StampRef& stamp) {
    left_.erase(std::remove_if(left_.begin(), left_.end(),
                               [&](const Left& left) { return left.stamp.Is(stamp); }),
                left_.end());
}
