// The findings of a check in groups: one group per message kind, record type and field,
// with its count, its errors, where it first occurred and the first finding's text. One
// systematic fault that repeats on every article becomes one line beside the rare ones.
// The groups are built from the typed findings as they are logged (one hash lookup per
// finding), never from their texts.
#pragma once

#include "rules/MessageKind.h"
#include "run/ErrorLog.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace arti {

struct FindingGroup {
    MessageKind kind = MessageKind{};
    std::string recordType;         // empty: about the file or the run
    std::uint32_t field = kNoField; // kNoField: about the record as a whole
    std::uint64_t count = 0;
    std::uint64_t errors = 0;                 // of the count, those that count as errors
    std::optional<unsigned long> firstRecord; // the record counter as shown at the first one
    long long firstOffset = 0;                // where the record of the first one starts
    std::string example;                      // the first finding's text, Windows-1252
};

class FindingGroups final : public IFindingObserver {
public:
    void finding(const Finding& f) override { add(f); }
    // Counts the finding in its group and returns the group's index in the order of
    // their first findings (what at() takes).
    std::size_t add(const Finding& f);
    // The groups, largest first; groups of the same size in the order they first occurred.
    std::vector<FindingGroup> sorted() const;
    // The indices of the groups in the order of sorted().
    std::vector<std::size_t> sortedOrder() const;
    const FindingGroup& at(std::size_t index) const { return groups_[index]; }
    std::size_t size() const { return groups_.size(); }
    bool empty() const { return groups_.empty(); }
    void clear();

private:
    struct Key {
        MessageKind kind;
        std::uint32_t field;
        std::string recordType;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const noexcept;
    };
    struct PackedHash {
        std::size_t operator()(std::uint64_t k) const noexcept { return k * 0x9E3779B97F4A7C15ULL >> 16; }
    };
    std::size_t newGroup(const Finding& f);

    // Record types are one or two characters: kind, field and type then make one number,
    // looked up without building a key; longer types take the general index.
    std::unordered_map<std::uint64_t, std::size_t, PackedHash> packed_;
    std::unordered_map<Key, std::size_t, KeyHash> index_;
    std::vector<FindingGroup> groups_; // in the order of their first finding
    Key probe_{};                      // reused for every lookup: its storage stays
};

} // namespace arti
