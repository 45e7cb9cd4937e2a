#include "run/FindingGroups.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <string_view>

namespace arti {

std::size_t FindingGroups::KeyHash::operator()(const Key& k) const noexcept {
    const std::size_t h = std::hash<std::string_view>{}(k.recordType);
    return h ^ (static_cast<std::size_t>(k.kind) * 0x9E3779B97F4A7C15ULL) ^ (std::size_t{k.field} << 17);
}

std::size_t FindingGroups::add(const Finding& f) {
    probe_.kind = f.kind;
    probe_.field = f.field;
    probe_.recordType.assign(f.recordType);
    auto [at, added] = index_.try_emplace(probe_, groups_.size());
    if (added) {
        FindingGroup g;
        g.kind = f.kind;
        g.recordType = probe_.recordType;
        g.field = f.field;
        g.firstRecord = f.record;
        g.firstOffset = f.offset;
        g.example.assign(f.text);
        groups_.push_back(std::move(g));
    }
    FindingGroup& g = groups_[at->second];
    ++g.count;
    if (f.error) ++g.errors;
    return at->second;
}

std::vector<std::size_t> FindingGroups::sortedOrder() const {
    std::vector<std::size_t> order(groups_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [this](std::size_t a, std::size_t b) { return groups_[a].count > groups_[b].count; });
    return order;
}

std::vector<FindingGroup> FindingGroups::sorted() const {
    std::vector<FindingGroup> out;
    out.reserve(groups_.size());
    for (const std::size_t i : sortedOrder())
        out.push_back(groups_[i]);
    return out;
}

void FindingGroups::clear() {
    index_.clear();
    groups_.clear();
}

} // namespace arti
