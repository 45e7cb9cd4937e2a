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

std::size_t FindingGroups::newGroup(const Finding& f) {
    FindingGroup g;
    g.kind = f.kind;
    g.recordType.assign(f.recordType);
    g.field = f.field;
    g.firstRecord = f.record;
    g.firstOffset = f.offset;
    g.example.assign(f.text);
    groups_.push_back(std::move(g));
    return groups_.size() - 1;
}

std::size_t FindingGroups::add(const Finding& f) {
    std::size_t index = 0;
    if (f.recordType.size() <= 2) {
        // kind: 8 bits, field: 32 bits, the type's length: 2 bits, its characters: 16 bits.
        std::uint64_t key = static_cast<std::uint64_t>(f.kind) | std::uint64_t{f.field} << 8 |
                            std::uint64_t{f.recordType.size()} << 40;
        for (std::size_t i = 0; i < f.recordType.size(); ++i)
            key |= std::uint64_t{static_cast<unsigned char>(f.recordType[i])} << (42 + 8 * i);
        const auto at = packed_.find(key);
        index = at != packed_.end() ? at->second : packed_.emplace(key, newGroup(f)).first->second;
    } else {
        probe_.kind = f.kind;
        probe_.field = f.field;
        probe_.recordType.assign(f.recordType);
        const auto at = index_.find(probe_);
        index = at != index_.end() ? at->second : index_.emplace(probe_, newGroup(f)).first->second;
    }
    FindingGroup& g = groups_[index];
    ++g.count;
    if (f.error) ++g.errors;
    return index;
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
    packed_.clear();
    index_.clear();
    groups_.clear();
}

} // namespace arti
